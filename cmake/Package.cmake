# make package: a Debian package of the installed tree under /usr, whose
# dependencies dpkg-shlibdeps finds from what the binaries link.

# The changelog's newest entry names the version being packaged (a version
# raised without an entry would ship a changelog that does not describe it)
# and, in its signature, the maintainer.
set(changelog ${CMAKE_SOURCE_DIR}/resources/changelog)
file(STRINGS ${changelog} newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^korlan-flow \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "resources/changelog has no entry for ${PROJECT_VERSION} at its head: ${newest}")
endif()
file(STRINGS ${changelog} signature REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- (.*>)  .*$" "\\1" maintainer "${signature}")

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${KORLAN_FLOW_INSTALL_COMPONENT};/")
set(CPACK_PACKAGE_NAME korlan-flow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver drawing an evolving flow pattern on the GPU")
set(CPACK_PACKAGE_DESCRIPTION
    "KORLAN Flow draws an endlessly evolving, organic flow pattern on every\n"
    "monitor through Vulkan, sixty times a second, with the KORLAN logo in\n"
    "the upper-left corner. It runs full screen, as a hack of XScreenSaver or\n"
    "xsecurelock, or in a window. Its speed, intensity and complexity are set\n"
    "in a settings window of its own.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${maintainer})
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The platform library is the package's own, beside the program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CPACK_PACKAGING_INSTALL_PREFIX}/${KORLAN_FLOW_INSTALL_PRIVATE_DIR})
# Without a Vulkan driver the saver only shows its background.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mesa-vulkan-drivers | vulkan-icd")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
