# One static library per subsystem folder of src/, with the dependency direction enforced.
#
#   kvn_add_subsystem(NAME [PURE] [TARGET target] [EXCLUDE file...] [DEPENDS subsystem...]
#                     [PLATFORM service...] [SERVICES service...] [HEADERS public-header...]
#                     [LIBRARIES library...] [PKG_MODULES module...])
#
# builds kvn_NAME (or TARGET) from every .cpp file of the calling folder except EXCLUDE. The
# target sees only its own headers ("NAME/x.h", and its public headers "kvn/x.h" from
# include/kvn/) and those of the subsystems it DEPENDS on, directly or through them: each
# subsystem has an include root of its own in the build tree holding links to just its files,
# and only linking a subsystem adds its root. So an include of a subsystem the target may not
# use fails to compile.
#
# The platform layer is reached by service instead: PLATFORM names the platform services the
# target's own files include ("platform/window.h" is the service window). They are the
# target's alone and do not reach its dependents, so a target including a header that itself
# includes "platform/x.h" names x as well. SERVICES is the platform layer's own list of the
# headers it offers; its other headers stay inside it.
#
# LIBRARIES are outside libraries the target links privately: their headers reach no other
# target. PKG_MODULES are their pkg-config names, collected for kvn.pc. SDL, X11 and libmpv
# belong to the platform layer alone: every other subsystem and whatever links it sees the
# backend fence (kvn_backend_fence), so an include of their headers fails to compile even
# where they sit on the compiler's default path.
#
# PURE marks a core of plain code over plain data: no platform services, only other pure
# subsystems, and outside libraries only if they are no backend of the platform layer (a
# compression library, say). The platform layer itself may link it, so it carries no backend
# fence (the fence would hide the backends' headers from the platform layer's own files).
function(kvn_add_subsystem name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "PURE" "TARGET"
    "EXCLUDE;DEPENDS;PLATFORM;SERVICES;HEADERS;LIBRARIES;PKG_MODULES")
  set(target kvn_${name})
  if(arg_TARGET)
    set(target ${arg_TARGET})
  endif()

  if(arg_PURE)
    if(arg_PLATFORM OR arg_SERVICES)
      message(FATAL_ERROR "pure subsystem ${name} names platform services")
    endif()
    foreach(module ${arg_PKG_MODULES})
      if(module MATCHES "^(sdl2|x11|mpv|gl)$")
        message(FATAL_ERROR "pure subsystem ${name} links the platform backend ${module}")
      endif()
    endforeach()
    get_property(pure_subsystems GLOBAL PROPERTY KVN_PURE_SUBSYSTEMS)
    foreach(dependency ${arg_DEPENDS})
      if(NOT dependency IN_LIST pure_subsystems)
        message(FATAL_ERROR "pure subsystem ${name} depends on ${dependency}, which is not pure")
      endif()
    endforeach()
    set_property(GLOBAL APPEND PROPERTY KVN_PURE_SUBSYSTEMS ${name})
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
  if(arg_SERVICES)
    # The platform layer: its own root is private, each service header gets a root of its own.
    target_include_directories(${target} PRIVATE ${root})
    foreach(service ${arg_SERVICES})
      set(service_header ${CMAKE_CURRENT_SOURCE_DIR}/${service}.h)
      if(NOT EXISTS ${service_header})
        message(FATAL_ERROR "platform service ${service} has no header ${service_header}")
      endif()
      set(service_root ${CMAKE_BINARY_DIR}/include_roots/platform_services/${service})
      file(REMOVE_RECURSE ${service_root})
      file(MAKE_DIRECTORY ${service_root}/${name})
      file(CREATE_LINK ${service_header} ${service_root}/${name}/${service}.h SYMBOLIC)
    endforeach()
    set_property(GLOBAL PROPERTY KVN_PLATFORM_SERVICES ${arg_SERVICES})
  elseif(arg_PURE)
    target_include_directories(${target} PUBLIC ${root})
  else()
    kvn_backend_fence(fence)
    target_include_directories(${target} PUBLIC ${root} ${fence})
  endif()

  list(TRANSFORM arg_DEPENDS PREPEND kvn_)
  target_link_libraries(${target} PUBLIC ${arg_DEPENDS})
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES})
  kvn_use_platform(${target} ${arg_PLATFORM})
  target_compile_options(${target} PRIVATE ${KVN_WARNINGS})
  set_target_properties(${target} PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

  set_property(GLOBAL APPEND PROPERTY KVN_SUBSYSTEMS ${name})
  set_property(GLOBAL APPEND PROPERTY KVN_LIBRARIES ${target})
  set_property(GLOBAL APPEND PROPERTY KVN_PKG_MODULES ${arg_PKG_MODULES})
endfunction()

# Gives the target the headers of these platform services (and links the platform layer), for
# its own files only. Subsystems name them with PLATFORM; tests, benchmarks and tools that
# include a platform header call this.
function(kvn_use_platform target)
  if(NOT ARGN)
    return()
  endif()
  get_property(services GLOBAL PROPERTY KVN_PLATFORM_SERVICES)
  foreach(service ${ARGN})
    if(NOT service IN_LIST services)
      message(FATAL_ERROR "${target}: no platform service named ${service}")
    endif()
    target_include_directories(${target} PRIVATE
      ${CMAKE_BINARY_DIR}/include_roots/platform_services/${service})
  endforeach()
  target_link_libraries(${target} PRIVATE kvn_platform)
endfunction()

# An include root whose SDL2/, X11/ and mpv/ headers stand in for the real ones with an #error,
# made once; its path in the variable named out. The backends' headers on the default include
# path are found in front of it only by the platform layer, which does not see it.
function(kvn_backend_fence out)
  set(fence ${CMAKE_BINARY_DIR}/include_roots/backend_fence)
  set(${out} ${fence} PARENT_SCOPE)
  get_property(made GLOBAL PROPERTY KVN_BACKEND_FENCE_MADE)
  if(made)
    return()
  endif()
  set_property(GLOBAL PROPERTY KVN_BACKEND_FENCE_MADE TRUE)
  file(REMOVE_RECURSE ${fence})
  find_path(KVN_SDL2_HEADERS SDL2/SDL.h HINTS ${SDL2_INCLUDE_DIRS}/..)
  find_path(KVN_X11_HEADERS X11/Xlib.h HINTS ${X11_INCLUDE_DIRS})
  find_path(KVN_MPV_HEADERS mpv/client.h HINTS ${MPV_INCLUDE_DIRS})
  foreach(backend SDL2 X11 mpv)
    string(TOUPPER ${backend} upper)
    file(GLOB headers RELATIVE ${KVN_${upper}_HEADERS} ${KVN_${upper}_HEADERS}/${backend}/*.h)
    foreach(header ${headers})
      file(CONFIGURE OUTPUT ${fence}/${header} CONTENT
        "#error \"${header} is included by the platform layer (src/platform) only\"\n")
    endforeach()
  endforeach()
endfunction()
