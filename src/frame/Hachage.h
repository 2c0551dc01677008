// Hash of the short texts that key the caches of a call (rule codes, act codes). A
// hasher of our own on purpose: for std::hash<std::string> the standard library walks
// a small table key by key, which for a few dozen codes costs more than one hash.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

struct HachageTexte {
    size_t operator()(const std::string& texte) const noexcept { return std::hash<std::string_view>{}(texte); }
};
