# Builds each probe and passes only when every one fails to compile for the expected reason.
#   cmake -DBUILD_DIR=dir -DPROBES=target|message-regex,... -P backend_headers.cmake
string(REPLACE "," ";" probes "${PROBES}")
foreach(probe ${probes})
  string(REPLACE "|" ";" fields "${probe}")
  list(GET fields 0 target)
  list(GET fields 1 expected)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    message(FATAL_ERROR "${target} compiled: a backend header reached code outside the platform")
  endif()
  if(NOT output MATCHES "${expected}")
    message(FATAL_ERROR "${target} failed without \"${expected}\":\n${output}")
  endif()
  message(STATUS "${target}: ${expected}")
endforeach()
list(LENGTH probes count)
message(STATUS "passed: ${count} backend headers stay inside the platform layer")
