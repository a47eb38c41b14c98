/* CHECK for the test programs outside GoogleTest, in C and C++: the Windows
 * hosts and the fuzz targets. A failed check prints its file, line and
 * condition; a program that defines CHECK_ABORTS before including this (a
 * fuzz target, so that libFuzzer reports the input) then aborts, any other
 * counts it in gCheckFailures and carries on. */
#ifndef CVX_TESTS_CHECK_H
#define CVX_TESTS_CHECK_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef CHECK_ABORTS
#define CHECK_FAILED() abort()
#else
static int gCheckFailures = 0;
#define CHECK_FAILED() (++gCheckFailures)
#endif

#define CHECK(condition)                                                           \
    do {                                                                           \
        if (!(condition)) {                                                        \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            CHECK_FAILED();                                                        \
        }                                                                          \
    } while (0)

#define CHECK_TEXT(actual, expected)                                                           \
    do {                                                                                       \
        if (strcmp((actual), (expected)) != 0) {                                               \
            fprintf(stderr, "%s:%d: '%s' is not '%s'\n", __FILE__, __LINE__, (actual), (expected)); \
            CHECK_FAILED();                                                                    \
        }                                                                                      \
    } while (0)

#endif
