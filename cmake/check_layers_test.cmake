# Runs check_layers.cmake on a small tree with known includes and fails unless it names exactly
# the wrong ones.
#
#   cmake -DSCRATCH=<scratch folder> -P cmake/check_layers_test.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${SCRATCH}")

# file, then the headers it includes; a leading '!' marks an include the check must name.
set(cases
    "core/base/state.h|core/base/limits.h|!core/lang/parser.h"
    "core/lang/parser.cpp|core/lang/parser.h|core/base/state.h|!core/eval/evaluator.h"
    "core/solve/newton.cpp|core/symbolic/jacobian_file.h|core/lang/parser.h|!core/run/entry.h"
    "core/run/entry.cpp|core/solve/newton.h|core/base/state.h|!cli/charset.h"
    "core/extra/table.h|core/base/limits.h|!core/lang/parser.h"
    "cli/main.cpp|core/run/entry.h|core/base/state.h|cli/options.h|!core/eval/evaluator.h"
    "shell/view.cpp|core/run/entry.h|!core/solve/newton.h"
    "import/reader.cpp|core/base/limits.h|!core/run/entry.h")

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
string(REGEX MATCHALL "[^\n]*: includes [^\n]*" named "${out}")
list(LENGTH named named_count)
if(NOT named_count EQUAL count)
    message(FATAL_ERROR "the check named ${named_count} includes, ${count} are wrong:\n${out}")
endif()
message("named the ${count} wrong includes")
