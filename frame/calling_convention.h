// How the host calls into a plug-in. On 32-bit Windows the host is built
// with Microsoft's compiler: member functions take `this` in ECX
// (__thiscall), exported functions are __cdecl, and a virtual destructor
// occupies one slot of the table of virtual operations.
#pragma once

#if defined(_WIN32)
#define CVX_THISCALL __thiscall
#define CVX_CDECL __cdecl
#else
#define CVX_THISCALL
#define CVX_CDECL
#endif

// Whether slot 0 must be written out by hand as MSVC's scalar deleting
// destructor: on Windows with any compiler but Microsoft's own.
#if defined(_WIN32) && !defined(_MSC_VER)
#define CVX_MSVC_DELETING_DESTRUCTOR 1
#else
#define CVX_MSVC_DELETING_DESTRUCTOR 0
#endif
