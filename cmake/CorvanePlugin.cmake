# corvane_add_plugin(<name> DESCRIPTION <text> FILE_VERSION <a.b.c.d>
#                    SOURCES <files...> LIBRARIES <targets...>)
# Builds <name>.cvx: the frame's entry points and version identification
# compiled for this plug-in together with its SOURCES (its constants), linked
# with its reader libraries, exporting only the three entry points. The
# product version is the project's; the description and file version stay on
# the target as CORVANE_DESCRIPTION and CORVANE_FILE_VERSION, for the tests.

function(corvane_add_plugin name)
  cmake_parse_arguments(PLUGIN "" "DESCRIPTION;FILE_VERSION" "SOURCES;LIBRARIES" ${ARGN})
  set(PLUGIN_NAME ${name})
  set(PLUGIN_PRODUCT_VERSION ${PROJECT_VERSION})
  set(PLUGIN_PRODUCT_NAME ${CORVANE_PRODUCT_NAME})
  if(WIN32)
    # A VERSIONINFO resource; its numeric versions have four parts.
    string(REPLACE "." "," PLUGIN_FILE_VERSION_COMMAS ${PLUGIN_FILE_VERSION})
    string(REPLACE "." "," PLUGIN_PRODUCT_VERSION_COMMAS ${PLUGIN_PRODUCT_VERSION}.0.0)
    set(version_source ${CMAKE_CURRENT_BINARY_DIR}/${name}_version_info.rc)
    configure_file(${PROJECT_SOURCE_DIR}/frame/version_info.rc.in ${version_source} @ONLY)
  else()
    set(version_source ${CMAKE_CURRENT_BINARY_DIR}/${name}_version_info.cpp)
    configure_file(${PROJECT_SOURCE_DIR}/frame/version_info.cpp.in ${version_source} @ONLY)
  endif()

  add_library(${name} SHARED ${PROJECT_SOURCE_DIR}/frame/entry_points.cpp ${version_source}
    ${PLUGIN_SOURCES})
  target_link_libraries(${name} PRIVATE ${PLUGIN_LIBRARIES} frame)
  set_target_properties(${name} PROPERTIES
    PREFIX "" SUFFIX ".cvx"
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
    CORVANE_DESCRIPTION "${PLUGIN_DESCRIPTION}"
    CORVANE_FILE_VERSION ${PLUGIN_FILE_VERSION})

  if(WIN32)
    # The DLL ships alone: the C and C++ runtimes of GCC are linked in, so it
    # imports only KERNEL32 and msvcrt. Only the __declspec(dllexport) entry
    # points are exported, nothing of the static libraries. Symbols are
    # stripped: the host has no use for them.
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++
      -Wl,--exclude-all-symbols -s)
    return()
  endif()

  set(map ${PROJECT_SOURCE_DIR}/frame/exports.map)
  target_link_options(${name} PRIVATE -Wl,--version-script=${map})
  # A symbol left unresolved would only fail when the host loads the plug-in;
  # the sanitizer runtimes resolve theirs at load time, so not there.
  if(NOT CORVANE_SANITIZE AND NOT CORVANE_TSAN)
    target_link_options(${name} PRIVATE -Wl,-z,defs)
  endif()
  set_target_properties(${name} PROPERTIES LINK_DEPENDS ${map})
endfunction()

# corvane_version_definitions(<target>): the versions and descriptions as
# compile definitions, for a test that checks what the plug-ins carry.
function(corvane_version_definitions target)
  target_compile_definitions(${target} PRIVATE
    CORVANE_PRODUCT_VERSION="${PROJECT_VERSION}"
    OGG_FILE_VERSION="$<TARGET_PROPERTY:OGG,CORVANE_FILE_VERSION>"
    OGG_DESCRIPTION="$<TARGET_PROPERTY:OGG,CORVANE_DESCRIPTION>"
    FLAC_FILE_VERSION="$<TARGET_PROPERTY:FLAC,CORVANE_FILE_VERSION>"
    FLAC_DESCRIPTION="$<TARGET_PROPERTY:FLAC,CORVANE_DESCRIPTION>"
    OPUS_FILE_VERSION="$<TARGET_PROPERTY:OPUS,CORVANE_FILE_VERSION>"
    OPUS_DESCRIPTION="$<TARGET_PROPERTY:OPUS,CORVANE_DESCRIPTION>")
endfunction()
