// Steps that every field of a zone passes through are put inside their caller
// whatever the compiler weighs: a field is mostly a few bytes, so calls, not
// bytes, make its cost. Their rare paths stay apart (HORS_LIGNE), so that the common one
// keeps a small frame.
#pragma once

#if defined(_MSC_VER)
#define EN_LIGNE __forceinline
#define HORS_LIGNE __declspec(noinline)
#else
#define EN_LIGNE inline __attribute__((always_inline))
#define HORS_LIGNE __attribute__((noinline))
#endif
