# Installs the build into a fresh prefix outside the build tree, then configures and builds a
# separate host project that finds the package there, and runs its programs the way a user
# would: no LD_LIBRARY_PATH, no DISPLAY.
#   cmake -DBUILD_DIR=... -DCONSUMER_DIR=... -DWORK_DIR=... -DGENERATOR=...
#         [-DSANITIZER_FLAGS=... -DLEAK_SUPPRESSIONS=... -DASAN_OPTIONS=...]
#         -P InstallConsumerTest.cmake
foreach(var BUILD_DIR CONSUMER_DIR WORK_DIR GENERATOR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()

# Outside the build tree, so that nothing the build left there can stand in for what the
# installed libraries must find by themselves.
set(temp_root $ENV{TMPDIR})
if(NOT temp_root)
    set(temp_root /tmp)
endif()
string(RANDOM LENGTH 10 suffix)
set(prefix ${temp_root}/oivwintav-install-${suffix})
set(consumer_build ${WORK_DIR}/consumer-build)
set(picture ${WORK_DIR}/host.png)
file(REMOVE_RECURSE ${prefix} ${consumer_build} ${picture})

# A program of the host project, run with the environment a user's shell would give it.
set(plain_env ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=DISPLAY
              --unset=OIVWINTAV_HEADLESS)
# A sanitizer build's host runs with the test programs' sanitizer settings.
if(SANITIZER_FLAGS)
    list(APPEND plain_env "LSAN_OPTIONS=suppressions=${LEAK_SUPPRESSIONS}"
         "ASAN_OPTIONS=${ASAN_OPTIONS}")
endif()

# The prefix is not left behind in the temporary folder, whatever fails.
function(fail text)
    file(REMOVE_RECURSE ${prefix})
    message(FATAL_ERROR "${text}")
endfunction()

function(run step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        fail("${step} failed (${result}):\n${out}\n${err}")
    endif()
    message(STATUS "${step}: ok")
    set(last_output "${out}${err}" PARENT_SCOPE)
endfunction()

function(expect_quiet step)
    if(last_output MATCHES "glxglue|GLX context")
        fail("${step} printed Coin's GLX warning:\n${last_output}")
    endif()
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
if(NOT EXISTS ${prefix}/include/OivWinTav/platform/win32/windows.h)
    fail("<windows.h> was not installed in its own folder")
endif()
if(EXISTS ${prefix}/include/windows.h)
    fail("<windows.h> was installed where it shadows system headers")
endif()
if(NOT EXISTS ${prefix}/share/OivWinTav/background.png)
    fail("the image background's picture was not installed with the library's data")
endif()
# A sanitizer build of the library needs the sanitizer runtime in the host program too.
run("configure" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${consumer_build} -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_CXX_FLAGS=${SANITIZER_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZER_FLAGS}")
run("build" ${CMAKE_COMMAND} --build ${consumer_build})

# The README's host: links only OivWinTav::OivWinTav, draws its canvas and writes the picture.
run("canvas host" ${plain_env} ${consumer_build}/canvas_host ${picture})
expect_quiet("canvas host")
# The window loop, the companion nodes read from a file, and what the host's picture shows.
run("consumer" ${plain_env} ${consumer_build}/consumer ${picture})
expect_quiet("consumer")
message(STATUS "${last_output}")
file(REMOVE_RECURSE ${prefix})
