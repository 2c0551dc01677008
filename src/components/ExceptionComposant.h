// No C++ exception may cross a component's entry: its callers may not be C++.
// An entry's body is a function-try-block whose handler returns this code.
#pragma once

#include <cstdint>
#include <new>

// 0xDFFC for std::bad_alloc, 0xDFFD for any other exception. Only from within a catch handler.
inline uint16_t codeExceptionComposant() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return 0xDFFCu;
    } catch (...) {
        return 0xDFFDu;
    }
}
