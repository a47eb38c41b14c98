# The readers every check compares the plug-ins with
# (tests/support/prescribed_readers.h), for the tests and the fuzz targets.
# The Ogg part takes its record rules from whichever Ogg reader library its
# user links after it: ogg_reader, or ogg_reader_small_limits.
add_library(prescribed_readers STATIC
  ${PROJECT_SOURCE_DIR}/tests/support/prescribed_flac.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/prescribed_mp4.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/prescribed_opus.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/prescribed_vorbis.cpp)
target_include_directories(prescribed_readers PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prescribed_readers PUBLIC frame flac_reader m4a_reader opus_reader PkgConfig::VORBISFILE)

# The page finder and the setup check held against the libraries they follow
# (tests/support/library_comparisons.h).
add_library(library_comparisons STATIC
  ${PROJECT_SOURCE_DIR}/tests/support/library_comparisons.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/library_page_search.cpp)
target_include_directories(library_comparisons PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(library_comparisons PUBLIC frame ogg_reader PkgConfig::VORBISFILE)
