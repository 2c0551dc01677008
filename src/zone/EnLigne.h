// Steps that every field of a zone passes through are put inside their caller
// whatever the compiler weighs: a field is mostly a few bytes, so calls, not
// bytes, make its cost.
#pragma once

#if defined(_MSC_VER)
#define EN_LIGNE __forceinline
#else
#define EN_LIGNE inline __attribute__((always_inline))
#endif
