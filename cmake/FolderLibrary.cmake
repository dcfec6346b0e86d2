# Each folder of the program is a library whose headers only the targets that link it can
# see: a target's include path holds a link to each folder it may use and to no other, so
# an include against the direction of dependency does not compile.

# Makes the folder's headers visible, under the folder's own path, to the target and to
# everything that links it.
function(tessaro_expose_folder target folder)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# A static library of the folder's sources, its headers exposed, linking what it may use.
# A core folder that calls a host's pure functions through a platform interface (addresses,
# platform/Url.h) links their library as $<LINK_ONLY:...>: the code, never the host's
# headers or include paths.
function(tessaro_folder_library target folder)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    add_library(${target} STATIC ${sources})
    tessaro_expose_folder(${target} ${folder})
    target_link_libraries(${target} PUBLIC ${ARGN})
endfunction()
