# corvane_add_plugin(<NAME> READER <class> HEADER <header> DESCRIPTION <text>
#                    FILE_VERSION <a.b.c.d> LIBRARIES <targets...>
#                    NOTICES <Debian source packages linked in...>)
# The one place a plug-in is named. Builds <NAME>.cvx: the frame's entry
# points and version identification compiled for this plug-in, with its
# constants generated from <NAME> (the extension word; in lower case the
# word Install searches for; ", <NAME>" what it appends) and its reader
# class, linked with its reader libraries, exporting only the three entry
# points. The product version is the project's; the description and file
# version stay on the target as CORVANE_DESCRIPTION and CORVANE_FILE_VERSION.
# The plug-in joins the list that corvane_plugins() gives and
# corvane_write_plugin_list() writes out for the tests and the scripts; its
# NOTICES name the libraries whose licences ship with it on Windows.

function(corvane_add_plugin name)
  cmake_parse_arguments(PLUGIN "" "READER;HEADER;DESCRIPTION;FILE_VERSION" "LIBRARIES;NOTICES" ${ARGN})
  set(PLUGIN_NAME ${name})
  string(TOLOWER ${name} PLUGIN_SEARCH_WORD)
  set(constants_source ${CMAKE_CURRENT_BINARY_DIR}/${name}_plugin.cpp)
  configure_file(${PROJECT_SOURCE_DIR}/frame/plugin_constants.cpp.in ${constants_source} @ONLY)
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
    ${constants_source})
  target_link_libraries(${name} PRIVATE ${PLUGIN_LIBRARIES} frame)
  set_target_properties(${name} PROPERTIES
    PREFIX "" SUFFIX ".cvx"
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
    CORVANE_DESCRIPTION "${PLUGIN_DESCRIPTION}"
    CORVANE_FILE_VERSION ${PLUGIN_FILE_VERSION}
    CORVANE_NOTICES "${PLUGIN_NOTICES}")
  set_property(GLOBAL APPEND PROPERTY CORVANE_PLUGINS ${name})
  # Installed beside cvxscan, which loads the plug-ins of its own folder.
  install(TARGETS ${name} LIBRARY DESTINATION bin RUNTIME DESTINATION bin)

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

# corvane_plugins(<out>): the plug-ins' names, in the order they were added.
function(corvane_plugins out)
  get_property(plugins GLOBAL PROPERTY CORVANE_PLUGINS)
  set(${out} ${plugins} PARENT_SCOPE)
endfunction()

# corvane_write_plugin_list(): once every plug-in is added, the list for
# what is not CMake: plugins.txt in the build folder for the scripts (a
# line each: the name, then the Debian source packages linked in), and
# corvane_plugins.h for the tests and hosts, C and C++ (an X macro of name,
# lower-case word, description and file version, and the folder the
# plug-ins land in), with the interface target corvane_plugins that lends
# its users that header's folder and corvane_plugins_built, which builds
# them all.
function(corvane_write_plugin_list)
  corvane_plugins(plugins)
  set(lines "")
  set(entries "")
  foreach(plugin ${plugins})
    get_target_property(notices ${plugin} CORVANE_NOTICES)
    get_target_property(description ${plugin} CORVANE_DESCRIPTION)
    get_target_property(file_version ${plugin} CORVANE_FILE_VERSION)
    string(TOLOWER ${plugin} word)
    list(JOIN notices " " notice_words)
    string(APPEND lines "${plugin} ${notice_words}\n")
    string(APPEND entries "    X(${plugin}, \"${plugin}\", \"${word}\", \"${description}\", \"${file_version}\") \\\n")
  endforeach()
  file(WRITE ${PROJECT_BINARY_DIR}/plugins.txt "${lines}")
  set(header ${PROJECT_BINARY_DIR}/generated/corvane_plugins.h)
  file(WRITE ${header}.in
    "/* Every plug-in the build makes, in the order corvane_add_plugin added\n"
    " * them: generated by CMake, do not edit. X(NAME, \"NAME\", \"name\",\n"
    " * description, file version). */\n"
    "#ifndef CORVANE_PLUGINS_H\n#define CORVANE_PLUGINS_H\n"
    "#define CORVANE_PLUGIN_FOLDER \"${PROJECT_BINARY_DIR}\"\n"
    "#define CORVANE_PRODUCT_VERSION \"${PROJECT_VERSION}\"\n"
    "#define CORVANE_PLUGINS(X) \\\n${entries}\n#endif\n")
  configure_file(${header}.in ${header} COPYONLY)
  add_library(corvane_plugins INTERFACE)
  target_include_directories(corvane_plugins INTERFACE ${PROJECT_BINARY_DIR}/generated)
  add_custom_target(corvane_plugins_built DEPENDS ${plugins})
endfunction()
