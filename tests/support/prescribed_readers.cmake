# The readers every check compares the plug-ins with
# (tests/support/prescribed_readers.h), for the tests and the fuzz targets.
add_library(prescribed_readers STATIC
  ${PROJECT_SOURCE_DIR}/tests/support/prescribed_flac.cpp)
target_include_directories(prescribed_readers PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prescribed_readers PUBLIC frame flac_reader PkgConfig::VORBISFILE)
