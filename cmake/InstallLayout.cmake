# Where make install and the package put things, relative to the prefix, so
# that the installed tree works wherever it is put: the program finds its
# bundle, and each binary its platform library, through paths relative to
# itself.

# Debian's place for what is built for one architecture, under any prefix
# (GNUInstallDirs takes it only for /usr): the package's private libraries
# then lie outside the directories that ldconfig searches, so installing
# the package does not have to run it.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH "Object code libraries (LIBDIR)")
endif()
include(GNUInstallDirs)

foreach(directory BINDIR LIBDIR LIBEXECDIR DATADIR MANDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${directory}}")
    message(FATAL_ERROR "CMAKE_INSTALL_${directory} must be relative to the prefix, so the installed tree can move")
  endif()
endforeach()

# The program's own files: the platform library, its SVG rasterizer (which
# it finds beside itself) and the bundle.
set(KORLAN_FLOW_INSTALL_PRIVATE_DIR ${CMAKE_INSTALL_LIBDIR}/korlan-flow)
set(KORLAN_FLOW_INSTALL_BUNDLE_DIR ${KORLAN_FLOW_INSTALL_PRIVATE_DIR}/KORLANFlow.saver)
set(KORLAN_FLOW_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/korlan-flow)
# The hacks directory and the description files of XScreenSaver; Debian's
# daemon looks in /usr/libexec/xscreensaver and /usr/share/xscreensaver/config.
set(KORLAN_FLOW_INSTALL_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
set(KORLAN_FLOW_INSTALL_HACK_CONFIG_DIR ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

# Every install rule is in this one component. An install of it alone, as
# the package and the install test make, records what it put where in
# install_manifest_<component>.txt, which keeps install_manifest.txt the
# record of the user's own make install that make uninstall reads.
set(KORLAN_FLOW_INSTALL_COMPONENT korlan-flow)

file(RELATIVE_PATH KORLAN_FLOW_BUNDLE_FROM_PROGRAM /${CMAKE_INSTALL_BINDIR} /${KORLAN_FLOW_INSTALL_BUNDLE_DIR})
file(RELATIVE_PATH KORLAN_FLOW_PRIVATE_DIR_FROM_PROGRAM /${CMAKE_INSTALL_BINDIR} /${KORLAN_FLOW_INSTALL_PRIVATE_DIR})
file(RELATIVE_PATH KORLAN_FLOW_PRIVATE_DIR_FROM_MODULE /${KORLAN_FLOW_INSTALL_BUNDLE_DIR}/Contents/Linux
     /${KORLAN_FLOW_INSTALL_PRIVATE_DIR})
file(RELATIVE_PATH KORLAN_FLOW_PROGRAM_FROM_HACK_DIR /${KORLAN_FLOW_INSTALL_HACK_DIR} /${CMAKE_INSTALL_BINDIR}/korlan-flow)
