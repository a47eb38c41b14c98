/* The sizes of the host's text buffers, for C and C++ alike: a getter of a
 * tag writes at most 511 bytes and a NUL, GetFileName at most 259 and a NUL. */
#ifndef CVX_FIELD_SIZES_H
#define CVX_FIELD_SIZES_H

#define CVX_TAG_FIELD_SIZE 512
#define CVX_PATH_FIELD_SIZE 260

#endif
