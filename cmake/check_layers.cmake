# Names every include line of the core and the front ends that runs against the layer direction.
#
#   cmake -DROOT=<source tree> -P cmake/check_layers.cmake
#
# Ranks: core/lang 1, core/eval 2, core/symbolic 3, core/solve 4, core/run 5, any other core
# folder 0 (the bottom). A core file may include its own rank and below, and no front end. The
# front ends (cli, shell, graphs, grid) may include ranks 0 and 5 only, import/ rank 0 only.
# Fails when it found one.
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED ROOT)
    message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P check_layers.cmake")
endif()

set(front_ends cli shell graphs grid)
set(project_folders core ${front_ends} import)

function(rank_of folder out)
    set(ranks lang eval symbolic solve run)
    list(FIND ranks ${folder} index)
    math(EXPR rank "${index} + 1")
    set(${out} ${rank} PARENT_SCOPE)
endfunction()

set(globs "")
foreach(folder IN LISTS project_folders)
    list(APPEND globs "${ROOT}/${folder}/*")
endforeach()
file(GLOB_RECURSE files RELATIVE "${ROOT}" ${globs})
list(FILTER files INCLUDE REGEX "\\.(h|hh|hpp|c|cc|cpp|cxx)$")

set(violations 0)
foreach(file IN LISTS files)
    string(REGEX MATCH "^[^/]+" top "${file}")
    set(rank "")
    if(top STREQUAL "core")
        string(REGEX MATCH "^core/([^/]+)/" ignored "${file}")
        set(folder "${CMAKE_MATCH_1}")
        rank_of("${folder}" rank)
    endif()
    file(STRINGS "${ROOT}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" included "${line}")
        string(REGEX MATCH "^[^/]+" included_top "${included}")
        set(wrong "")
        if(included_top STREQUAL "core" AND included MATCHES "^core/([^/]+)/")
            set(included_folder "${CMAKE_MATCH_1}")
            rank_of("${included_folder}" included_rank)
            if(top STREQUAL "core" AND included_rank GREATER rank)
                set(wrong "core/${included_folder} (rank ${included_rank}) lies above core/${folder} (rank ${rank})")
            elseif(top IN_LIST front_ends AND NOT included_rank EQUAL 0 AND NOT included_rank EQUAL 5)
                set(wrong "a front end reaches the core through core/run and core/base only")
            elseif(top STREQUAL "import" AND NOT included_rank EQUAL 0)
                set(wrong "import reaches the core through core/base only")
            endif()
        elseif(top STREQUAL "core" AND (included_top IN_LIST front_ends OR included_top STREQUAL "import"))
            set(wrong "the core includes no front end")
        endif()
        if(wrong)
            message("${file}: includes ${included}: ${wrong}")
            math(EXPR violations "${violations} + 1")
        endif()
    endforeach()
endforeach()

list(LENGTH files checked)
if(violations GREATER 0)
    message(FATAL_ERROR "${violations} include(s) against the layer direction in ${checked} files")
endif()
message("0 includes against the layer direction in ${checked} files")
