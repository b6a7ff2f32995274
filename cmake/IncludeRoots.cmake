# Each library of the tree has an include root of its own, holding only its folder: a target sees
# "link/CommEngine.h" only when it links the library of link/, so an include across the layering
# fails to compile instead of waiting for the lint. The root is a folder in the build tree with one
# link, named as the source folder, to that folder.
#
#   climate_include_root(<target> [<folder>])
#
# <folder> is the source folder, relative to the top (default: the current one). Libraries of the
# same folder share its root.
function(climate_include_root target)
    if(ARGC GREATER 1)
        set(folder ${ARGV1})
    else()
        file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set(root ${CMAKE_BINARY_DIR}/include-roots/${folder})
    if(NOT IS_SYMLINK ${root}/${folder})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC ${root})
endfunction()
