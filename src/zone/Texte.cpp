// Texts: construction, byte form, folding for keyword search.
#include "zone/Texte.h"

#include <cstring>
#include <utility>

#include "frame/Trace.h"

namespace {

// ISO 8859-1 folding: digits and capitals kept, small letters raised, accented
// letters to their base letter, everything else 0 (dropped).
struct TableRepliement {
    char valeurs[256] = {};
    TableRepliement() {
        for (int c = '0'; c <= '9'; ++c) valeurs[c] = static_cast<char>(c);
        for (int c = 'A'; c <= 'Z'; ++c) valeurs[c] = static_cast<char>(c);
        for (int c = 'a'; c <= 'z'; ++c) valeurs[c] = static_cast<char>(c - 'a' + 'A');
        plage(0xC0, 0xC6, 'A');
        plage(0xE0, 0xE6, 'A');
        plage(0xC7, 0xC7, 'C');
        plage(0xE7, 0xE7, 'C');
        plage(0xC8, 0xCB, 'E');
        plage(0xE8, 0xEB, 'E');
        plage(0xCC, 0xCF, 'I');
        plage(0xEC, 0xEF, 'I');
        plage(0xD0, 0xD0, 'D');
        plage(0xF0, 0xF0, 'D');
        plage(0xD1, 0xD1, 'N');
        plage(0xF1, 0xF1, 'N');
        plage(0xD2, 0xD6, 'O');
        plage(0xD8, 0xD8, 'O');
        plage(0xF2, 0xF6, 'O');
        plage(0xF8, 0xF8, 'O');
        plage(0xD9, 0xDC, 'U');
        plage(0xF9, 0xFC, 'U');
        plage(0xDD, 0xDD, 'Y');
        plage(0xFD, 0xFD, 'Y');
        plage(0xFF, 0xFF, 'Y');
        plage(0xDF, 0xDF, 'B');
    }
    void plage(int debut, int fin, char lettre) {
        for (int c = debut; c <= fin; ++c) valeurs[c] = lettre;
    }
};

const TableRepliement kRepliement;

}  // namespace

// Values are built by the thousand in a control: each string is built once, at its length.
Texte::Texte(const char* chaine) : texte_(chaine != nullptr ? chaine : "") {}

Texte::Texte(const char* octets, size_t n)
    : texte_(octets != nullptr ? octets : "", longueurAvantNul(octets, n)) {}

Texte::Texte(const uint8_t* octets, size_t n) : Texte(reinterpret_cast<const char*>(octets), n) {}

Texte::Texte(std::string&& chaine) : texte_(std::move(chaine)) {
    texte_.resize(longueurAvantNul(texte_.data(), texte_.size()));
}

size_t Texte::longueurAvantNul(const char* octets, size_t n) {
    if (octets == nullptr || n == 0) return 0;
    const void* nul = std::memchr(octets, '\0', n);
    return nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - octets) : n;
}

void Texte::afficher(FILE* fichier) const { std::fprintf(fichier, "%s", chaine()); }

void Texte::tracer(uint16_t niveau) const { tracerDetail(CAT_ZONE, niveau, "  texte = %s", chaine()); }

bool Texte::estRenseigne() const {
    for (char c : texte_)
        if (c != ' ' && c != '\t') return true;
    return false;
}

void Texte::formeOctets(FormeOctets& forme) const {
    forme.donnees = reinterpret_cast<const uint8_t*>(texte_.data());
    forme.longueur = static_cast<uint32_t>(texte_.size());
}

Texte Texte::operator+(const Texte& autre) const {
    Texte somme(*this);
    somme.ajouter(autre);
    return somme;
}

Texte& Texte::ajouter(const Texte& autre) {
    texte_ += autre.texte_;
    return *this;
}

Texte& Texte::ajouter(const char* chaine) {
    if (chaine != nullptr) texte_ += chaine;
    return *this;
}

char Texte::replier(uint8_t octet) { return kRepliement.valeurs[octet]; }

void Texte::canoniser() {
    std::string gardes;
    gardes.reserve(texte_.size());
    for (char c : texte_) {
        char replie = replier(static_cast<uint8_t>(c));
        if (replie != 0) gardes.push_back(replie);
    }
    if (!gardes.empty()) texte_ = std::move(gardes);
}

int Texte::comparer(const Texte& autre) const { return std::strcmp(chaine(), autre.chaine()); }

