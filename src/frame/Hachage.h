// Hash of the short texts that key the caches of a call (rule codes, act codes): FNV-1a,
// cheaper than the standard hash on a dozen bytes. A hasher of our own also keeps the
// standard library from walking small tables key by key, as it does for std::hash<std::string>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline uint64_t hacherTexte(const char* texte, size_t longueur) noexcept {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < longueur; ++i) h = (h ^ static_cast<unsigned char>(texte[i])) * 1099511628211ull;
    return h;
}

struct HachageTexte {
    size_t operator()(const std::string& texte) const noexcept {
        return static_cast<size_t>(hacherTexte(texte.data(), texte.size()));
    }
};
