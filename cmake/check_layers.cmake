# Names every include line of the core, the import library and the front ends that runs against
# the layer direction, and every include circle between files of the core or of the import
# library.
#
#   cmake -DROOT=<source tree> -P cmake/check_layers.cmake
#
# Ranks: a core layer's place in VALDRIX_CORE_LAYERS (cmake/ValdrixLayers.cmake), from
# core/numeric 0 to core/run. A core file may include its own rank and below, and no front end; a
# file in a folder of core/ that is no layer is named, as the build would not compile it. The
# front ends (cli, shell, graphs, grid) may include the core folders of VALDRIX_FRONT_END_VIEW,
# import/ those of VALDRIX_IMPORT_VIEW, the same folders their include roots show.
#
# Circles: a header and the source of the same name are one unit (core/solve/newton.h and
# newton.cpp). A unit depends on another when one of its files includes the other's header; a
# circle is a chain of such dependencies back to where it began. Within a layer the direction
# allows them, yet they tie files together that could not be understood, tested or moved one
# without the other. Each circle is named by the include lines that close it.
#
# Fails when it found a wrong include or a circle.
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED ROOT)
    message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P check_layers.cmake")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/ValdrixLayers.cmake)

set(front_ends cli shell graphs grid)
set(project_folders core ${front_ends} import)

# The rank of a core folder, -1 for one that is no layer.
function(rank_of folder out)
    list(FIND VALDRIX_CORE_LAYERS "${folder}" rank)
    set(${out} ${rank} PARENT_SCOPE)
endfunction()

set(globs "")
foreach(folder IN LISTS project_folders)
    list(APPEND globs "${ROOT}/${folder}/*")
endforeach()
file(GLOB_RECURSE files RELATIVE "${ROOT}" ${globs})
list(FILTER files INCLUDE REGEX "\\.(h|hh|hpp|c|cc|cpp|cxx)$")

# The units the circle search looks at: the files of the core and of import/, without extension.
set(units "")
foreach(file IN LISTS files)
    if(file MATCHES "^(core|import)/")
        string(REGEX REPLACE "\\.[^./]+$" "" unit "${file}")
        list(APPEND units "${unit}")
    endif()
endforeach()
list(REMOVE_DUPLICATES units)

set(violations 0)
foreach(file IN LISTS files)
    string(REGEX MATCH "^[^/]+" top "${file}")
    set(rank -1)
    if(top STREQUAL "core")
        set(folder "")
        if(file MATCHES "^core/([^/]+)/")
            set(folder "${CMAKE_MATCH_1}")
        endif()
        rank_of("${folder}" rank)
        if(rank EQUAL -1)
            message("${file}: lies in core/${folder}, which is no layer of the core")
            math(EXPR violations "${violations} + 1")
        endif()
    endif()
    string(REGEX REPLACE "\\.[^./]+$" "" unit "${file}")
    file(STRINGS "${ROOT}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" included "${line}")
        string(REGEX MATCH "^[^/]+" included_top "${included}")
        set(wrong "")
        if(included_top STREQUAL "core" AND included MATCHES "^core/([^/]+)/")
            set(included_folder "${CMAKE_MATCH_1}")
            rank_of("${included_folder}" included_rank)
            if(included_rank EQUAL -1)
                set(wrong "core/${included_folder} is no layer of the core")
            elseif(top STREQUAL "core" AND rank GREATER -1 AND included_rank GREATER rank)
                set(wrong "core/${included_folder} (rank ${included_rank}) lies above core/${folder} (rank ${rank})")
            elseif(top IN_LIST front_ends AND NOT "core/${included_folder}" IN_LIST VALDRIX_FRONT_END_VIEW)
                set(wrong "a front end reaches the core through core/run and core/base only")
            elseif(top STREQUAL "import" AND NOT "core/${included_folder}" IN_LIST VALDRIX_IMPORT_VIEW)
                set(wrong "import reaches the core through core/base only")
            endif()
        elseif(top STREQUAL "core" AND (included_top IN_LIST front_ends OR included_top STREQUAL "import"))
            set(wrong "the core includes no front end")
        endif()
        if(wrong)
            message("${file}: includes ${included}: ${wrong}")
            math(EXPR violations "${violations} + 1")
        endif()
        # A dependency of one unit on another, with the line that makes it, for the circles.
        if(top MATCHES "^(core|import)$" AND included MATCHES "^(core|import)/")
            string(REGEX REPLACE "\\.[^./]+$" "" target "${included}")
            if(NOT target STREQUAL unit AND target IN_LIST units)
                if(NOT DEFINED "why_${unit}+${target}")
                    list(APPEND "next_${unit}" "${target}")
                    list(APPEND "previous_${target}" "${unit}")
                    set("why_${unit}+${target}" "${file} includes ${included}")
                endif()
            endif()
        endif()
    endforeach()
endforeach()

# Circles. Units that depend on nothing left are taken away one by one (counting, for each unit,
# the units it still depends on); what is left lies on a circle or leads into one. From any unit
# left, following dependencies on units left must come back to a unit already passed: that
# loop is named, its units taken away, and the search goes on with the rest.
set(queue "")
foreach(unit IN LISTS units)
    list(LENGTH "next_${unit}" "left_${unit}")
    if("${left_${unit}}" EQUAL 0)
        list(APPEND queue "${unit}")
    endif()
endforeach()
# A unit that has gone: each remaining unit that depended on it counts one dependency less,
# and joins the queue when none is left.
macro(release_dependents gone)
    foreach(previous IN LISTS "previous_${gone}")
        if(previous IN_LIST remaining)
            math(EXPR "left_${previous}" "${left_${previous}} - 1")
            if("${left_${previous}}" EQUAL 0)
                list(APPEND queue "${previous}")
            endif()
        endif()
    endforeach()
endmacro()

set(remaining ${units})
set(circles 0)
while(TRUE)
    while(queue)
        list(POP_FRONT queue unit)
        list(REMOVE_ITEM remaining "${unit}")
        release_dependents("${unit}")
    endwhile()
    if(NOT remaining)
        break()
    endif()
    list(GET remaining 0 unit)
    set(path "")
    while(NOT unit IN_LIST path)
        list(APPEND path "${unit}")
        set(found "")
        foreach(next IN LISTS "next_${unit}")
            if(next IN_LIST remaining)
                set(found "${next}")
                break()
            endif()
        endforeach()
        if(NOT found)
            message(FATAL_ERROR "check_layers: ${unit} is left without a dependency left")
        endif()
        set(unit "${found}")
    endwhile()
    list(FIND path "${unit}" start)
    list(SUBLIST path ${start} -1 circle)
    list(APPEND circle "${unit}")
    set(links "")
    set(from "")
    foreach(to IN LISTS circle)
        if(from)
            list(APPEND links "${why_${from}+${to}}")
        endif()
        set(from "${to}")
    endforeach()
    list(JOIN links ", " text)
    message("include circle: ${text}")
    math(EXPR circles "${circles} + 1")
    # The circle's units go; those that depended on them count one dependency less.
    list(POP_BACK circle)
    foreach(unit IN LISTS circle)
        list(REMOVE_ITEM remaining "${unit}")
    endforeach()
    foreach(unit IN LISTS circle)
        release_dependents("${unit}")
    endforeach()
endwhile()

list(LENGTH files checked)
if(violations GREATER 0 OR circles GREATER 0)
    message(FATAL_ERROR "${violations} include(s) against the layer direction and ${circles} include circle(s) in ${checked} files")
endif()
message("0 includes against the layer direction and no include circle in ${checked} files")
