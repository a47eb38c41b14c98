// Marks the plug-in's entry points: plain C names, visible outside the
// library, called with the C convention.
#pragma once

#include "frame/calling_convention.h"

#if defined(_WIN32)
#define CVX_EXPORT extern "C" __declspec(dllexport)
#else
#define CVX_EXPORT extern "C" __attribute__((visibility("default")))
#endif
