# A game program on the runtime, with its media archive beside it.
#
#   kvn_add_game(NAME source... ASSETS dir [ARCHIVE file] [FILES file...] [DEPENDS dep...]
#                [OUTPUT_DIRECTORY dir])
#
# builds the program NAME from the sources (linked with kvn::kvn, which brings the runtime's
# main), packs every file of the ASSETS directory with kvn-pack into the media archive ARCHIVE
# (default NAME.gfx) and copies FILES (what the program opens as plain files, music say) next
# to the program, in OUTPUT_DIRECTORY (default: the current binary directory). The program
# names its archive with set_media_archives. DEPENDS are targets or files that make the assets
# directory when it is generated; the archive is packed again when they or the directory's
# files change. The target NAME_media builds the archive and the copies.
function(kvn_add_game name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "ASSETS;ARCHIVE;OUTPUT_DIRECTORY" "FILES;DEPENDS")
  if(NOT arg_ASSETS)
    message(FATAL_ERROR "kvn_add_game(${name}): ASSETS names no directory")
  endif()
  set(sources ${arg_UNPARSED_ARGUMENTS})
  set(archive ${name}.gfx)
  if(arg_ARCHIVE)
    set(archive ${arg_ARCHIVE})
  endif()
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR})
  if(arg_OUTPUT_DIRECTORY)
    set(out_dir ${arg_OUTPUT_DIRECTORY})
  endif()
  get_filename_component(assets ${arg_ASSETS} ABSOLUTE)

  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE kvn::kvn)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${out_dir})

  file(GLOB asset_files CONFIGURE_DEPENDS ${assets}/*)
  add_custom_command(
    OUTPUT ${out_dir}/${archive}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND sh -c "\"$0\" create \"$1\" \"$2\"/* >/dev/null" $<TARGET_FILE:kvn::kvn-pack>
            ${out_dir}/${archive} ${assets}
    DEPENDS ${asset_files} ${arg_DEPENDS} $<TARGET_FILE:kvn::kvn-pack>
    COMMENT "Packing ${arg_ASSETS} into ${archive}"
    VERBATIM)
  set(outputs ${out_dir}/${archive})
  foreach(file ${arg_FILES})
    get_filename_component(source ${file} ABSOLUTE)
    get_filename_component(file_name ${file} NAME)
    add_custom_command(
      OUTPUT ${out_dir}/${file_name}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${out_dir}/${file_name}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND outputs ${out_dir}/${file_name})
  endforeach()
  add_custom_target(${name}_media DEPENDS ${outputs})
  add_dependencies(${name} ${name}_media)
  # Built with the runtime in one project, the packer is built first.
  get_target_property(packer kvn::kvn-pack ALIASED_TARGET)
  if(packer)
    add_dependencies(${name}_media ${packer})
  endif()
endfunction()
