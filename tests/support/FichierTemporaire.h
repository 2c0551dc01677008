// A scratch file for reader and writer tests, removed by the system when closed.
// Looking at its content or size leaves the file position where it was.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class FichierTemporaire {
public:
    FichierTemporaire() : fichier_(std::tmpfile()) {}
    // Starts with these bytes, positioned at the start.
    explicit FichierTemporaire(const std::string& octets) : FichierTemporaire() {
        std::fwrite(octets.data(), 1, octets.size(), fichier_);
        std::rewind(fichier_);
    }
    ~FichierTemporaire() { std::fclose(fichier_); }
    FichierTemporaire(const FichierTemporaire&) = delete;
    FichierTemporaire& operator=(const FichierTemporaire&) = delete;

    FILE* get() const { return fichier_; }

    std::string octets() const {
        std::fflush(fichier_);
        const long position = std::ftell(fichier_);
        std::rewind(fichier_);
        std::string texte;
        char bloc[512];
        size_t lu;
        while ((lu = std::fread(bloc, 1, sizeof bloc, fichier_)) > 0) texte.append(bloc, lu);
        std::fseek(fichier_, position, SEEK_SET);
        return texte;
    }

    long taille() const { return static_cast<long>(octets().size()); }

    // Keeps the first n bytes only, and goes back to the start.
    void tronquer(long n) {
        const std::string garde = octets().substr(0, static_cast<size_t>(n));
        std::fclose(fichier_);
        fichier_ = std::tmpfile();
        std::fwrite(garde.data(), 1, garde.size(), fichier_);
        std::rewind(fichier_);
    }

private:
    FILE* fichier_;
};
