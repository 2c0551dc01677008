// What the fuzz targets that write référentiel files share: a scratch directory,
// whole files read and written (a failure there stops the target: it cannot go on),
// and byte edits of a file with its CRC written anew.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "VerifierFuzz.h"
#include "support/SectionsTables.h"

// In memory where the system offers it: every run writes a file or more.
inline std::string repertoireFuzz(const std::string& nom) {
    const std::string repertoire =
        std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/" + nom + "." + std::to_string(getpid());
    verifier(std::system(("mkdir -p " + repertoire).c_str()) == 0, "no scratch directory");
    return repertoire;
}

inline std::vector<uint8_t> lire(const std::string& chemin) {
    std::vector<uint8_t> octets;
    FILE* fichier = std::fopen(chemin.c_str(), "rb");
    verifier(fichier != nullptr, "cannot read a file");
    int c;
    while ((c = std::fgetc(fichier)) != EOF) octets.push_back(static_cast<uint8_t>(c));
    std::fclose(fichier);
    return octets;
}

inline void ecrire(const std::string& chemin, const uint8_t* octets, size_t n) {
    FILE* fichier = std::fopen(chemin.c_str(), "wb");
    verifier(fichier != nullptr, "cannot write a file");
    verifier(std::fwrite(octets, 1, n, fichier) == n && std::fclose(fichier) == 0, "cannot write a file");
}

// An edit is 4 bytes: a 24-bit big-endian offset (modulo the file's size) and the byte put there.
inline void appliquer(std::vector<uint8_t>& fichier, const uint8_t* editions, size_t n) {
    for (size_t i = 0; i + 4 <= n && !fichier.empty(); i += 4) {
        const size_t position = ((size_t{editions[i]} << 16) | (size_t{editions[i + 1]} << 8) | editions[i + 2]);
        fichier[position % fichier.size()] = editions[i + 3];
    }
    recalculerCRC(fichier);
}
