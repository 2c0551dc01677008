// The access patterns shared by the queries of LectureDonnees, written once:
// the query trace, keyed binary search over a sorted table, dated rows, lists
// of codes, and the walk back over a modification table. Internal to the layer.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "KPXW32.h"
#include "frame/Trace.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/RecherchePlage.h"
#include "zone/Code.h"
#include "zone/Date.h"
#include "zone/Texte.h"
#include "zone/TypeListe.h"

void ecrireLecture(const char* format, ...) KPX_FORMAT(1, 2);
// A macro: a query runs thousands of times a control, its lines written only while a test
// listens, and the arguments of a dropped line are not even evaluated.
#define tracerLecture(...) \
    (TraceDetail::estActif(CAT_CONSULTATION, NIV_DETAIL) ? ecrireLecture(__VA_ARGS__) : static_cast<void>(0))
void tracerErreurLecture(const char* format, ...) KPX_FORMAT(1, 2);
inline void tracerDateReference(const Date& dateReference) {
    tracerLecture("Date de reference : %04u/%02u/%02u", dateReference.annee(), dateReference.mois(),
                  dateReference.jour());
}

// "LectureDonnees::<nom>, <objet>" on entry, "Code retour de LectureDonnees::<nom> : 0x%04X" on exit.
class TraceRequete {
public:
    // Inline: a control runs thousands of queries, none traced unless a test listens.
    TraceRequete(const char* nom, const char* objet, const uint16_t& cr) : nom_(nom), cr_(cr) {
        if (TraceDetail::estActif(CAT_CONSULTATION, NIV_DETAIL)) tracerEntree(objet);
    }
    ~TraceRequete() {
        if (TraceDetail::estActif(CAT_CONSULTATION, NIV_DETAIL)) tracerSortie();
    }
    TraceRequete(const TraceRequete&) = delete;
    TraceRequete& operator=(const TraceRequete&) = delete;

private:
    void tracerEntree(const char* objet);
    void tracerSortie();

    const char* nom_;
    const uint16_t& cr_;
};

// A key copied into a buffer of its column's width, padded with spaces: the bytes
// LectureDonnees::initBufferCode gives, without a string; 0xDFFE when longer.
class CleFixe {
public:
    static constexpr size_t kLargeurMax = 16;
    CleFixe(const Texte& code, size_t largeur, uint16_t& cr);
    const char* data() const { return octets_; }
    const char* c_str() const { return octets_; }
    size_t size() const { return largeur_; }
    char operator[](size_t i) const { return octets_[i]; }

private:
    char octets_[kLargeurMax + 1] = {};  // NUL-terminated
    size_t largeur_ = 0;
};

// Row key against searched key, both read as fixed-width bytes; a short field
// reads as spaces past its end. Only the sign tells.
int comparerCle(const std::string& champ, const char* cle, size_t n);
// The first eight bytes from p, the first one weighing most.
inline uint64_t motOrdonne(const char* p) {
    uint64_t mot;
    std::memcpy(&mot, p, 8);
    return __builtin_bswap64(mot);
}
// A field of the key's width, of 8 bytes or more, compared as two overlapping words.
inline int comparerCle(const std::string& champ, const CleFixe& cle) {
    const size_t n = cle.size();
    if (champ.size() != n || n < 8) return comparerCle(champ, cle.data(), n);
    uint64_t a = motOrdonne(champ.data());
    uint64_t b = motOrdonne(cle.data());
    if (a == b) {
        a = motOrdonne(champ.data() + n - 8);
        b = motOrdonne(cle.data() + n - 8);
    }
    return a == b ? 0 : (a < b ? -1 : 1);
}
inline int comparerCle(const std::string& champ, const std::string& cle) {
    return comparerCle(champ, cle.data(), cle.size());
}
inline int comparerOctet(char champ, char cle) {
    return static_cast<int>(static_cast<unsigned char>(champ)) - static_cast<int>(static_cast<unsigned char>(cle));
}
// Byte-wise unsigned, as for NUL-terminated strings.
inline int comparerChaine(const std::string& champ, const char* cle) { return std::strcmp(champ.c_str(), cle); }

// A fixed-width field as a code, without its trailing spaces.
inline Code codeFixe(const std::string& champ) { return Code(champ.data(), champ.size(), Code::largeurFixe); }
inline Code codeFixe(char champ) { return Code(&champ, 1, Code::largeurFixe); }
inline VueCode vueFixe(const std::string& champ) { return VueCode(champ.data(), champ.size(), Code::largeurFixe); }
// By reference: the view reads the column where it lies.
inline VueCode vueFixe(const char& champ) { return VueCode(&champ, 1, Code::largeurFixe); }
// The same for a text column.
Texte texteFixe(const std::string& champ);

// Binary search over a table sorted by key; comparer(row) is the sign of row key - searched key.
template <class L, class Comparer>
const L* chercherDichotomie(const Table* table, Comparer comparer, uint16_t& cr, const char* messageAbsent) {
    if (cr != 0 || table == nullptr) return nullptr;
    uint32_t bas = 0;
    uint32_t haut = table->nombreLignes();
    while (bas < haut) {
        uint32_t milieu = bas + (haut - bas) / 2;
        const L* ligne = table->template ligneDe<L>(milieu);
        if (ligne == nullptr) break;
        int c = comparer(*ligne);
        if (c == 0) return ligne;
        if (c < 0) bas = milieu + 1;
        else haut = milieu;
    }
    tracerErreurLecture("%s", messageAbsent);
    cr = KPX_CR_ELEMENT_ABSENT;
    return nullptr;
}

// The first row in table order valid at the date (start not after it, end inclusive when set).
template <class L>
const L* chercherLigneDatee(const Table* table, const Date& dateReference, uint16_t& cr, const char* messageAbsent) {
    if (cr != 0 || table == nullptr) return nullptr;
    for (uint32_t i = 0; i < table->nombreLignes(); ++i) {
        const L* ligne = table->template ligneDe<L>(i);
        if (ligne != nullptr && estEnVigueur(ligne->dateDebut, ligne->dateFin, dateReference)) return ligne;
    }
    tracerErreurLecture("%s", messageAbsent);
    cr = KPX_CR_RIEN_EN_VIGUEUR;
    return nullptr;
}

// Appends one entry to a result list; a list that cannot take it stops the walk.
// The value is moved straight into the list: a list of codes takes hundreds per control.
template <class T>
void ajouterEntree(TypeListe<T>& liste, T&& valeur, uint32_t indice, const char* brut, uint16_t& cr) {
    if (cr != 0) return;
    if (liste.ajouter(std::move(valeur)) != 0) {
        tracerErreurLecture("probleme lors de la creation de l'objet Code");
        tracerErreurLecture("Indice %u, valeur %s", indice, brut);
        cr = KPX_CR_DONNEES_INCOHERENTES;
    }
}
inline void ajouterCode(TypeListe<Code>& liste, const std::string& champ, uint32_t indice, uint16_t& cr) {
    ajouterEntree(liste, codeFixe(champ), indice, champ.c_str(), cr);
}
inline void ajouterCode(TypeListe<Code>& liste, char champ, uint32_t indice, uint16_t& cr) {
    const char brut[2] = {champ, '\0'};
    ajouterEntree(liste, codeFixe(champ), indice, brut, cr);
}

// The last record of the key, walking back from the end, whose effective date is not after the date.
template <class L, class MemeCle>
const L* derniereModification(const Table* table, const Date& dateReference, MemeCle memeCle) {
    if (table == nullptr) return nullptr;
    for (uint32_t i = table->nombreLignes(); i-- > 0;) {
        const L* ligne = table->template ligneDe<L>(i);
        if (ligne != nullptr && memeCle(*ligne) && !dateReference.estAnterieure(ligne->dateEffet)) return ligne;
    }
    return nullptr;
}

// Calls f(row, row index) for each child row of a range, in range order, while cr stays 0.
template <class L, class P, class F>
void pourChaqueEnfant(const Table* enfants, const P& plage, uint16_t& cr, F f) {
    if (enfants == nullptr) return;
    for (uint32_t k = plage.position; cr == 0 && k < static_cast<uint32_t>(plage.position) + plage.nombre; ++k) {
        const L* ligne = enfants->template ligneDe<L>(k);
        if (ligne == nullptr) break;
        f(*ligne, k);
    }
}
