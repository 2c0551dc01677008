// Hash of the short texts that key the caches of a call (rule codes, act codes): FNV-1a,
// cheaper than the standard hash on a dozen bytes. A hasher of our own also keeps the
// standard library from walking small tables key by key, as it does for std::hash<std::string>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct HachageTexte {
    size_t operator()(const std::string& texte) const noexcept {
        uint64_t h = 14695981039346656037ull;
        for (unsigned char c : texte) h = (h ^ c) * 1099511628211ull;
        return static_cast<size_t>(h);
    }
};
