#pragma once

// Which hand-written vector code a build has. SSE2 is the floor: every x86-64 processor has it,
// an i386 baseline does not. Wider arithmetic (SSSE3, AVX) is compiled with target attributes
// on the functions that use it and chosen at run time, after asking the processor. Built with
// TOVRA_PLAIN_PATHS (the CMake option of that name) there is none: every step takes its plain
// path, which gives the same results.
#if defined(__SSE2__) && !defined(TOVRA_PLAIN_PATHS)
#define TOVRA_SSE2_PATHS 1
#else
#define TOVRA_SSE2_PATHS 0
#endif
