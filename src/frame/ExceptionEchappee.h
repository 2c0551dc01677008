// The last guard of every exported function: no C++ exception may reach the host,
// which may not be C++ at all. An export's body is a function-try-block:
//   KPX_API uint16_t KPX_CALL KPX_X(...) try { ... } catch (...) { return codeExceptionEchappee("KPX_X"); }
#pragma once

#include <cstdint>

// 0xDFFC for std::bad_alloc, 0xDFFD for any other exception, with a level-5 trace line.
// Only from within a catch handler: it looks at the exception being handled.
uint16_t codeExceptionEchappee(const char* fonction) noexcept;
