# Installs the build into a prefix inside the build tree, then configures, builds and runs a
# separate host project that finds the package there.
#   cmake -DBUILD_DIR=... -DCONSUMER_DIR=... -DWORK_DIR=... -DGENERATOR=...
#         [-DSANITIZER_FLAGS=...] -P InstallConsumerTest.cmake
foreach(var BUILD_DIR CONSUMER_DIR WORK_DIR GENERATOR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()

set(prefix ${WORK_DIR}/prefix)
set(consumer_build ${WORK_DIR}/consumer-build)
file(REMOVE_RECURSE ${prefix} ${consumer_build})

function(run step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${step} failed (${result}):\n${out}\n${err}")
    endif()
    message(STATUS "${step}: ok")
    set(last_output "${out}" PARENT_SCOPE)
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
if(NOT EXISTS ${prefix}/include/OivWinTav/platform/win32/windows.h)
    message(FATAL_ERROR "<windows.h> was not installed in its own folder")
endif()
if(EXISTS ${prefix}/include/windows.h)
    message(FATAL_ERROR "<windows.h> was installed where it shadows system headers")
endif()
# A sanitizer build of the library needs the sanitizer runtime in the host program too.
run("configure" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${consumer_build} -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_CXX_FLAGS=${SANITIZER_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZER_FLAGS}")
run("build" ${CMAKE_COMMAND} --build ${consumer_build})
run("run" ${consumer_build}/consumer)
message(STATUS "${last_output}")
