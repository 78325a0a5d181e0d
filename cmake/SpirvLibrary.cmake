# korlan_flow_spirv_library(<target> OUTPUT <file.spv>
#   ENTRY_POINTS <name>:<stage>:<source> ...)
# Compiles each GLSL source's main() under the given entry-point name, links
# them into one SPIR-V module and validates it, as a custom target.
find_program(GLSLANG_VALIDATOR glslangValidator REQUIRED)
find_program(SPIRV_LINK spirv-link REQUIRED)
find_program(SPIRV_VAL spirv-val REQUIRED)

function(korlan_flow_spirv_library target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OUTPUT" "ENTRY_POINTS;INCLUDE_DIRECTORIES")
  set(objects)
  set(includes)
  foreach(directory IN LISTS ARG_INCLUDE_DIRECTORIES)
    list(APPEND includes "-I${directory}")
  endforeach()
  foreach(entry IN LISTS ARG_ENTRY_POINTS)
    string(REPLACE ":" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 stage)
    list(GET parts 2 source)
    get_filename_component(source "${source}" ABSOLUTE)
    set(object "${CMAKE_CURRENT_BINARY_DIR}/${target}/${name}.spv")
    add_custom_command(
      OUTPUT "${object}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/${target}"
      COMMAND ${GLSLANG_VALIDATOR} --quiet --target-env vulkan1.3 ${includes} -S ${stage} -e ${name}
              --source-entrypoint main --depfile "${object}.d" -o "${object}" "${source}"
      DEPENDS "${source}"
      DEPFILE "${object}.d"
      COMMENT "Compiling ${name} (${stage})"
      VERBATIM)
    list(APPEND objects "${object}")
  endforeach()
  add_custom_command(
    OUTPUT "${ARG_OUTPUT}"
    COMMAND ${SPIRV_LINK} --target-env vulkan1.3 ${objects} -o "${ARG_OUTPUT}"
    COMMAND ${SPIRV_VAL} --target-env vulkan1.3 "${ARG_OUTPUT}"
    DEPENDS ${objects}
    COMMENT "Linking ${target}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${ARG_OUTPUT}")
endfunction()
