# One static library per subsystem folder of src/, with the dependency direction enforced.
#
#   kvn_add_subsystem(NAME [TARGET target] [EXCLUDE file...] [DEPENDS subsystem...]
#                     [HEADERS public-header...] [LIBRARIES library...] [PKG_MODULES module...])
#
# builds kvn_NAME (or TARGET) from every .cpp file of the calling folder except EXCLUDE. The
# target sees only its own headers ("NAME/x.h", and its public headers "kvn/x.h" from
# include/kvn/) and those of the subsystems it DEPENDS on, directly or through them: each
# subsystem has an include root of its own in the build tree holding links to just its files,
# and only linking a subsystem adds its root. So an include of a subsystem the target may not
# use fails to compile. LIBRARIES are outside libraries it links; PKG_MODULES their pkg-config
# names, collected for kvn.pc.
function(kvn_add_subsystem name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TARGET" "EXCLUDE;DEPENDS;HEADERS;LIBRARIES;PKG_MODULES")
  set(target kvn_${name})
  if(arg_TARGET)
    set(target ${arg_TARGET})
  endif()

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${arg_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  add_library(${target} STATIC ${sources})

  set(root ${CMAKE_BINARY_DIR}/include_roots/${name})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/kvn)
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)
  foreach(header ${arg_HEADERS})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/include/kvn/${header} ${root}/kvn/${header} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})

  list(TRANSFORM arg_DEPENDS PREPEND kvn_)
  target_link_libraries(${target} PUBLIC ${arg_DEPENDS} ${arg_LIBRARIES})
  target_compile_options(${target} PRIVATE ${KVN_WARNINGS})
  set_target_properties(${target} PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

  set_property(GLOBAL APPEND PROPERTY KVN_SUBSYSTEMS ${name})
  set_property(GLOBAL APPEND PROPERTY KVN_LIBRARIES ${target})
  set_property(GLOBAL APPEND PROPERTY KVN_PKG_MODULES ${arg_PKG_MODULES})
endfunction()
