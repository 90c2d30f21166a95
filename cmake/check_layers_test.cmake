# Runs check_layers.cmake on a small tree with known includes and fails unless it names exactly
# the wrong ones: the includes against the layer direction, the file outside the layers and the
# one include circle.
#
#   cmake -DSCRATCH=<scratch folder> -P cmake/check_layers_test.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${SCRATCH}")

# file, then the headers it includes; a leading '!' marks an include the check must name. The
# wrong includes of the core name headers of no file here, so that they close no circle.
set(cases
    "core/numeric/matrix.h|!core/base/limits.h"
    "core/base/state.h|core/base/limits.h|core/numeric/matrix.h|!core/lang/writer.h"
    "core/lang/parser.cpp|core/lang/parser.h|core/base/state.h|!core/eval/evaluator.h"
    "core/solve/newton.cpp|core/symbolic/jacobian_file.h|core/lang/parser.h|!core/drive/sweep.h|!core/run/commands.h"
    "core/drive/stepping.cpp|core/solve/newton.h|core/numeric/matrix.h|!core/run/options.h"
    "core/run/entry.cpp|core/drive/stepping.h|core/base/state.h|!cli/charset.h"
    "core/extra/table.h|core/base/limits.h"
    "cli/main.cpp|core/run/entry.h|core/base/state.h|cli/options.h|!core/eval/evaluator.h"
    "shell/view.cpp|core/run/entry.h|!core/solve/newton.h|!core/numeric/matrix.h"
    "import/reader.cpp|import/reader.h|core/base/limits.h|!core/run/entry.h|!core/numeric/matrix.h"
    # A circle of three units, one link through a header, and a unit that only leads into it.
    "core/eval/a.cpp|core/eval/b.h"
    "core/eval/b.h|core/eval/c.h"
    "core/eval/c.cpp|core/eval/a.h"
    "core/eval/d.cpp|core/eval/a.h|core/eval/c.h")

set(expected "")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(POP_FRONT parts file)
    set(text "")
    foreach(header IN LISTS parts)
        string(REGEX REPLACE "^!" "" name "${header}")
        string(APPEND text "#include \"${name}\"\n")
        if(header MATCHES "^!")
            list(APPEND expected "${file}: includes ${name}:")
        endif()
    endforeach()
    file(WRITE "${SCRATCH}/${file}" "${text}")
endforeach()
list(APPEND expected "core/extra/table.h: lies in core/extra")
# An include of a standard header and a local one are not the layers' business.
file(APPEND "${SCRATCH}/core/lang/parser.cpp" "#include <vector>\n#include \"local.h\"\n")

execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${SCRATCH} -P ${CMAKE_CURRENT_LIST_DIR}/check_layers.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(REMOVE_RECURSE "${SCRATCH}")

if(result EQUAL 0)
    message(FATAL_ERROR "the check passed a tree with wrong includes:\n${out}")
endif()
foreach(line IN LISTS expected)
    string(FIND "${out}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the check did not name '${line}':\n${out}")
    endif()
endforeach()
list(LENGTH expected count)
string(REGEX MATCHALL "[^\n]*: (includes|lies in) [^\n]*" named "${out}")
list(LENGTH named named_count)
if(NOT named_count EQUAL count)
    message(FATAL_ERROR "the check named ${named_count} includes, ${count} are wrong:\n${out}")
endif()

# The circle is named once, by its own three links (from whichever unit it begins), and the unit
# that only depends on it is not part of it.
string(REGEX MATCHALL "include circle: [^\n]*" circles "${out}")
list(LENGTH circles circle_count)
if(NOT circle_count EQUAL 1)
    message(FATAL_ERROR "the check named ${circle_count} include circles, there is 1:\n${out}")
endif()
foreach(link "core/eval/a.cpp includes core/eval/b.h" "core/eval/b.h includes core/eval/c.h"
             "core/eval/c.cpp includes core/eval/a.h")
    string(FIND "${circles}" "${link}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the circle named lacks '${link}':\n${out}")
    endif()
endforeach()
string(FIND "${circles}" "core/eval/d.cpp" at)
if(NOT at EQUAL -1)
    message(FATAL_ERROR "the circle named takes in a file outside it:\n${out}")
endif()
message("named the ${count} wrong includes and the include circle")
