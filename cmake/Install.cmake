# make install: the program, its private files, the manual, the settings
# window's desktop entry and icon, and XScreenSaver's hack and description,
# laid out as InstallLayout.cmake says.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME ${KORLAN_FLOW_INSTALL_COMPONENT})

# Each binary finds the platform library through a path relative to itself.
set_target_properties(korlan-flow PROPERTIES INSTALL_RPATH "$ORIGIN/${KORLAN_FLOW_PRIVATE_DIR_FROM_PROGRAM}")
set_target_properties(KORLANFlow PROPERTIES INSTALL_RPATH "$ORIGIN/${KORLAN_FLOW_PRIVATE_DIR_FROM_MODULE}")

install(TARGETS korlan-flow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS KORLANFlowPlatform LIBRARY DESTINATION ${KORLAN_FLOW_INSTALL_PRIVATE_DIR})
install(TARGETS korlan-flow-svg-rasterizer RUNTIME DESTINATION ${KORLAN_FLOW_INSTALL_PRIVATE_DIR})
install(TARGETS KORLANFlow LIBRARY DESTINATION ${KORLAN_FLOW_INSTALL_BUNDLE_DIR}/Contents/Linux)
install(FILES ${KORLAN_FLOW_BUNDLE_DIR}/Contents/Info.ini DESTINATION ${KORLAN_FLOW_INSTALL_BUNDLE_DIR}/Contents)
install(DIRECTORY ${KORLAN_FLOW_BUNDLE_DIR}/Contents/Resources DESTINATION ${KORLAN_FLOW_INSTALL_BUNDLE_DIR}/Contents)

# The manual and the changelog go out compressed, as Debian has them.
find_program(GZIP gzip REQUIRED)
set(KORLAN_FLOW_COMPRESSED_DIR ${CMAKE_BINARY_DIR}/compressed)
configure_file(${CMAKE_SOURCE_DIR}/resources/korlan-flow.1.in ${KORLAN_FLOW_COMPRESSED_DIR}/korlan-flow.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/changelog ${KORLAN_FLOW_COMPRESSED_DIR}/changelog COPYONLY)
set(compressed)
foreach(file korlan-flow.1 changelog)
  set(source ${KORLAN_FLOW_COMPRESSED_DIR}/${file})
  add_custom_command(OUTPUT ${source}.gz
    COMMAND ${GZIP} -9nkf ${source}
    DEPENDS ${source}
    COMMENT "Compressing ${file}")
  list(APPEND compressed ${source}.gz)
endforeach()
add_custom_target(KORLANFlowCompressedDocuments ALL DEPENDS ${compressed})

install(FILES ${KORLAN_FLOW_COMPRESSED_DIR}/korlan-flow.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KORLAN_FLOW_COMPRESSED_DIR}/changelog.gz ${CMAKE_SOURCE_DIR}/resources/copyright
        DESTINATION ${KORLAN_FLOW_INSTALL_DOC_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/de.korlan.flow.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/korlan-flow.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The hack is a link to the program, relative so that it holds wherever the
# tree is installed; the program resolves it to find its bundle.
set(KORLAN_FLOW_HACK_LINK ${CMAKE_BINARY_DIR}/xscreensaver-hack/korlan-flow)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/xscreensaver-hack)
file(CREATE_LINK ${KORLAN_FLOW_PROGRAM_FROM_HACK_DIR} ${KORLAN_FLOW_HACK_LINK} SYMBOLIC)
install(FILES ${KORLAN_FLOW_HACK_LINK} DESTINATION ${KORLAN_FLOW_INSTALL_HACK_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/korlan-flow.xml DESTINATION ${KORLAN_FLOW_INSTALL_HACK_CONFIG_DIR})
