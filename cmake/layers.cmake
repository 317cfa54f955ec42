# The layering, enforced by the compiler: a library's headers are reachable only from the
# library itself and from the targets that link it. Each folder under src/ is exposed as
# <build>/include/<folder>/<folder>, a link to the folder, so "folder/header.h" resolves
# through that include directory alone; nothing adds src/ itself to any search path.
set(QUILLON_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/include)

# Exposes ${source} (a folder) as "${name}/..." to target and its dependents.
function(quillon_expose target name source)
  set(root ${QUILLON_INCLUDE_ROOT}/${name})
  file(MAKE_DIRECTORY ${root})
  if(NOT IS_SYMLINK ${root}/${name})
    file(CREATE_LINK ${source} ${root}/${name} SYMBOLIC)
  endif()
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# Exposes src/<folder> for the library of that folder.
function(quillon_layer target folder)
  quillon_expose(${target} ${folder} ${CMAKE_SOURCE_DIR}/src/${folder})
endfunction()
