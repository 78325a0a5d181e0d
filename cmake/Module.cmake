# The module: its sources form an object library that the unit tests link
# directly, and the shared library inside the bundle directory that the host
# and the bundle tests load with dlopen.
add_library(KORLANFlowModuleObjects OBJECT)
target_include_directories(KORLANFlowModuleObjects PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(KORLANFlowModuleObjects
  PUBLIC KORLAN_FLOW_BUNDLE_IDENTIFIER="${KORLAN_FLOW_BUNDLE_IDENTIFIER}")
target_link_libraries(KORLANFlowModuleObjects PUBLIC KORLANFlowPlatform)

add_subdirectory(renderer)
add_subdirectory(saver)
add_subdirectory(settings)
add_subdirectory(sheet)

add_library(KORLANFlow SHARED)
target_link_libraries(KORLANFlow PRIVATE KORLANFlowModuleObjects)
# The version script keeps the exported names to the module's public C
# interface, also hiding what template instantiations would export.
set(KORLAN_FLOW_EXPORTS ${CMAKE_SOURCE_DIR}/cmake/KORLANFlow.exports)
target_link_options(KORLANFlow PRIVATE "LINKER:--version-script=${KORLAN_FLOW_EXPORTS}" "LINKER:--no-undefined" "LINKER:-Bsymbolic")
set_target_properties(KORLANFlow PROPERTIES
  LINK_DEPENDS ${KORLAN_FLOW_EXPORTS}
  LIBRARY_OUTPUT_DIRECTORY ${KORLAN_FLOW_BUNDLE_DIR}/Contents/Linux)

configure_file(${CMAKE_SOURCE_DIR}/resources/Info.ini.in ${KORLAN_FLOW_BUNDLE_DIR}/Contents/Info.ini @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/overlay-logo.svg ${KORLAN_FLOW_BUNDLE_DIR}/Contents/Resources/overlay-logo.svg
               COPYONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/preview.png ${KORLAN_FLOW_BUNDLE_DIR}/Contents/Resources/preview.png
               COPYONLY)

# The bundle's GPU program library ships with the module.
add_subdirectory(shaders)
add_dependencies(KORLANFlow KORLANFlowShaders)
