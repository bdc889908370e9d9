// Read first by script/test's MSVC-mode compile. MinGW-w64's headers are written for GCC: they expect the compiler
// to define _X86_ (the SDK's own windows.h derives it from _M_IX86), and two spots of their MSVC branch parse only
// under GCC: a __declspec after a declarator, and a memory barrier in GCC's assembly.
#define _X86_ 1
#include <_mingw.h>
#undef __MINGW_ATTRIB_NORETURN
#define __MINGW_ATTRIB_NORETURN
#undef __MINGW_ATTRIB_DEPRECATED
#define __MINGW_ATTRIB_DEPRECATED
#define __buildmemorybarrier() {}
