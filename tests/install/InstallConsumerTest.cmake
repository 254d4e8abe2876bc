# Installs the build into a fresh prefix outside the build tree, then configures and builds a
# separate host project that finds the package there, and runs its programs the way a user
# would: no LD_LIBRARY_PATH, no DISPLAY. The README's host is also built with pkg-config alone.
# Then the Debian package is made, unpacked with dpkg-deb into a temporary root (never installed
# on this machine), its dependencies are looked up in the package index, and the host project
# and oivwintav-view run from that root.
#   cmake -DBUILD_DIR=... -DCONSUMER_DIR=... -DWORK_DIR=... -DGENERATOR=... -DSOURCE_DIR=...
#         -DCXX=... [-DSANITIZER_FLAGS=... -DLEAK_SUPPRESSIONS=... -DASAN_OPTIONS=...]
#         -P InstallConsumerTest.cmake
foreach(var BUILD_DIR CONSUMER_DIR WORK_DIR GENERATOR SOURCE_DIR CXX)
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
set(package_root ${temp_root}/oivwintav-package-${suffix})
set(consumer_build ${WORK_DIR}/consumer-build)
set(picture ${WORK_DIR}/host.png)
file(REMOVE_RECURSE ${prefix} ${package_root} ${consumer_build} ${picture})

# A program of the host project, run with the environment a user's shell would give it.
set(plain_env ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=DISPLAY
              --unset=OIVWINTAV_HEADLESS)
# A sanitizer build's host runs with the test programs' sanitizer settings.
if(SANITIZER_FLAGS)
    list(APPEND plain_env "LSAN_OPTIONS=suppressions=${LEAK_SUPPRESSIONS}"
         "ASAN_OPTIONS=${ASAN_OPTIONS}")
endif()

# Nothing is left behind in the temporary folder, whatever fails.
function(fail text)
    file(REMOVE_RECURSE ${prefix} ${package_root})
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

# Builds the host project against the package found below `root` and runs its checks.
function(check_host_project step root)
    file(REMOVE_RECURSE ${consumer_build} ${picture})
    # A sanitizer build of the library needs the sanitizer runtime in the host program too.
    run("${step}: configure" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${consumer_build}
        -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${root} -DCMAKE_BUILD_TYPE=Release
        "-DCMAKE_CXX_FLAGS=${SANITIZER_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZER_FLAGS}")
    run("${step}: build" ${CMAKE_COMMAND} --build ${consumer_build})
    # The README's host: links only OivWinTav::OivWinTav, draws its canvas and writes the picture.
    run("${step}: canvas host" ${plain_env} ${consumer_build}/canvas_host ${picture})
    expect_quiet("${step}: canvas host")
    # The window loop, the companion nodes read from a file, and what the host's picture shows.
    run("${step}: consumer" ${plain_env} ${consumer_build}/consumer ${picture})
    expect_quiet("${step}: consumer")
    message(STATUS "${last_output}")
endfunction()

check_host_project("prefix" ${prefix})

# The README's host again, built by the compiler with pkg-config's flags alone. A prefix outside
# the linker's paths is named as the program's run path, as any such host does.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run("pkg-config" ${PKG_CONFIG} --cflags --libs oivwintav)
string(STRIP "${last_output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(sanitizer_flags UNIX_COMMAND "${SANITIZER_FLAGS}")
file(REMOVE ${picture})
run("pkg-config host: build" ${CXX} -std=c++17 ${sanitizer_flags} ${SOURCE_DIR}/examples/HostExample.cpp
    ${pc_flags} -Wl,-rpath,${prefix}/lib -o ${WORK_DIR}/pkg-config-host)
run("pkg-config host" ${plain_env} ${WORK_DIR}/pkg-config-host ${picture})
run("pkg-config host's picture" ${plain_env} ${consumer_build}/consumer ${picture})
file(REMOVE_RECURSE ${prefix})

# The Debian package, unpacked into a root of its own.
file(MAKE_DIRECTORY ${package_root}/out)
get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
run("cpack" ${cmake_bin}/cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${package_root}/out)
file(GLOB deb ${package_root}/out/*.deb)
list(LENGTH deb debs)
if(NOT debs EQUAL 1)
    fail("cpack made ${debs} Debian packages: ${deb}")
endif()
run("dpkg-deb -x" dpkg-deb -x ${deb} ${package_root}/root)
# Every package the .deb depends on exists in the package index (the first of alternatives).
run("dpkg-deb -f" dpkg-deb -f ${deb} Depends)
string(REGEX REPLACE "\\([^)]*\\)|\\|[^,]*|[ \n]" "" depends "${last_output}")
string(REPLACE "," ";" depends "${depends}")
if(NOT depends)
    fail("the package declares no dependency")
endif()
foreach(package IN LISTS depends)
    run("apt-cache policy ${package}" apt-cache policy ${package})
    if(NOT last_output MATCHES "Candidate: [^(]")
        fail("the package depends on ${package}, which apt does not know:\n${last_output}")
    endif()
endforeach()
message(STATUS "the package depends on: ${depends}")
check_host_project("package" ${package_root}/root/usr)
set(view_picture ${WORK_DIR}/view.png)
file(REMOVE ${view_picture})
run("oivwintav-view from the package" ${plain_env} ${package_root}/root/usr/bin/oivwintav-view
    --png ${view_picture} --size 160x120 ${SOURCE_DIR}/tests/data/small-scene-ascii.iv)
run("oivwintav-view's picture" ${plain_env} ${consumer_build}/consumer --view ${view_picture} 160 120)
message(STATUS "${last_output}")
file(REMOVE_RECURSE ${package_root})
