# The layers of the solver core from the bottom up. A file of one layer includes headers of its
# own folder and of the folders before it in this list, never of those after it. The include
# check (check_layers.cmake) ranks the layers by their place here.
set(VALDRIX_CORE_LAYERS numeric base lang eval symbolic solve drive run)

# The folders a front end may include besides its own: the plain data of the bottom folder and
# the entry points of run.
set(VALDRIX_FRONT_END_VIEW core/base core/run cli shell graphs grid import)

# What the import library sees: its own folder and the bottom folder's bounds and limits, as it
# writes documents the core must be able to read.
set(VALDRIX_IMPORT_VIEW core/base import)

# valdrix_include_root(<target> <scope> <who> <folder>...)
#
# Gives <target> an include root of its own in the build tree that holds only the listed source
# folders (as links), so that an include of any other folder cannot be found. A header of a core
# folder left out is a stub whose #error names the include and the rule, so the compiler's
# message says why rather than only that the file is missing. <who> names the includer in that
# message.
function(valdrix_include_root target scope who)
    set(root ${CMAKE_BINARY_DIR}/include_roots/${target})
    set(visible ${ARGN})
    foreach(folder IN LISTS visible)
        set(link ${root}/${folder})
        get_filename_component(parent ${link} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        if(NOT IS_SYMLINK ${link})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
        endif()
    endforeach()
    list(JOIN VALDRIX_CORE_LAYERS ", " layers)
    foreach(layer IN LISTS VALDRIX_CORE_LAYERS)
        if("core/${layer}" IN_LIST visible)
            continue()
        endif()
        file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
             ${PROJECT_SOURCE_DIR}/core/${layer}/*.h)
        foreach(header IN LISTS headers)
            set(text "#error \"${who} may not include ${header}: the core's layers run ${layers}; each includes only itself and the layers below it, the front ends only core/base and core/run, the import library only core/base\"\n")
            file(CONFIGURE OUTPUT ${root}/${header} CONTENT "${text}")
        endforeach()
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()
