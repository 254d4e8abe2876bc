# What a host needs besides the CMake package: a pkg-config file, and a Debian package of the
# installed tree (`cpack -G DEB` in the build folder).

# --- pkg-config -----------------------------------------------------------------------------------
set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
# From the pkg-config folder back up to the prefix: one ".." per folder of its path.
string(REGEX REPLACE "[^/]+" ".." OIVWINTAV_PC_PREFIX_FROM_PCFILE ${pc_dir})
set(OIVWINTAV_PC_PLATFORM_CFLAGS)
foreach(dir IN LISTS platform_include_dirs)
    string(APPEND OIVWINTAV_PC_PLATFORM_CFLAGS " -I\${includedir}/platform/${dir}")
endforeach()
string(STRIP "${OIVWINTAV_PC_PLATFORM_CFLAGS}" OIVWINTAV_PC_PLATFORM_CFLAGS)
configure_file(${CMAKE_CURRENT_LIST_DIR}/oivwintav.pc.in ${PROJECT_BINARY_DIR}/oivwintav.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/oivwintav.pc DESTINATION ${pc_dir})

# --- Resources ------------------------------------------------------------------------------------
# Beside the image background's picture: the tracking button's pictures that the library has
# compiled in, for hosts that draw buttons of their own.
install(FILES ${PROJECT_SOURCE_DIR}/resources/tracking_on.bmp
              ${PROJECT_SOURCE_DIR}/resources/tracking_off.bmp
        DESTINATION ${CMAKE_INSTALL_DATADIR}/OivWinTav)

# --- Debian package ---------------------------------------------------------------------------------
set(CPACK_PACKAGE_NAME oivwintav)
set(CPACK_PACKAGE_VENDOR "OivWinTav developers")
set(CPACK_PACKAGE_CONTACT "OivWinTav developers <oivwintav@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Interactive 3D canvases for host applications, on Coin3D")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
# The shared libraries' own needs (FFmpeg, simage, X11, ...) are read from the binaries; declared
# here are what a host builds against (the headers name Coin's and EGL's) and the drivers that
# draw without a display, which nothing links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libcoin-dev, libegl-dev, libgl-dev, libopengl-dev, libegl-mesa0, libgl1-mesa-dri")
include(CPack)
