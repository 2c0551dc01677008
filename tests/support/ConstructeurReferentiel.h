// Builds référentiel files for tests with the project's own writer and row
// classes. It starts from the smallest content the loader accepts (every table
// that must not be empty has one coherent row, one act in the index) and lets a
// test change rows, acts, header values and the order of the table sections.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kpxbuild/ContenuReferentiel.h"
#include "referentiel/NiveauActe.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "zone/Date.h"

class ConstructeurReferentiel {
public:
    ConstructeurReferentiel();

    // Rows of table L (created empty when a test first asks for it).
    template <class L>
    L& ajouter() {
        std::unique_ptr<L> ligne(new L);
        L& reference = *ligne;
        table(L::kIdentifiant).ajouterLigne(std::move(ligne));
        return reference;
    }
    template <class L>
    L& ligne(uint32_t i) {
        return *table(L::kIdentifiant).template ligneDe<L>(i);
    }
    Table& table(uint16_t identifiant);
    void vider(uint16_t identifiant);

    // An act with one activity '1', one phase '0' and one history of each level,
    // effective from 2000-01-01, at unit price prix.
    static std::unique_ptr<NiveauActe> acteSimple(const std::string& code, double prix = 10.0);
    // Acts are written after table 000 in code order; the index is made from them.
    void ajouterActe(std::unique_ptr<NiveauActe> acte);

    // Header values.
    std::string nomFichier = "table_v2.kpx";
    std::string version = "1000";
    std::string versionBaseCCAM = "5800 ";
    std::string versionMinimaleLogiciel = "0300";
    uint16_t numeroRevision = 3;
    std::string variante = "A001      ";
    std::string commentaire;
    Date date = Date(2026, 1, 15);

    // Identifiers of the sections in file order; by default every reference table
    // in ascending order, 000 last. A section with raw bytes is written as they are.
    std::vector<uint16_t> ordre;
    std::map<uint16_t, std::string> sectionsBrutes;

    // Writes repertoire/table_v2.kpx; false when the writer failed.
    bool ecrire(const std::string& repertoire);
    // Writes repertoire/modrefv2.kpx with tables 35 to 43 (or those in ordreModifications),
    // its header carrying versionModifications.
    bool ecrireModifications(const std::string& repertoire);
    std::string versionModifications = "1000";
    std::vector<uint16_t> ordreModifications;

    ContenuReferentiel& contenu() { return contenu_; }

private:
    void preparerEntete();

    ContenuReferentiel contenu_;
};

// A row added to a loaded référentiel's table (a modification record, say), for the caller to fill.
template <class L>
L& ajouterLigne(Referentiel& referentiel) {
    std::unique_ptr<L> ligne(new L);
    L& reference = *ligne;
    referentiel.table(L::kIdentifiant)->ajouterLigne(std::move(ligne));
    return reference;
}

// The key of a modification record on an act: the code padded to 13 characters, the activity,
// the phase when the record has one, the effective date.
template <class M>
M& cleActe(M& m, const std::string& acte, char activite, const Date& effet) {
    m.codeActe = acte + std::string(13 - acte.size(), ' ');
    m.activite = activite;
    m.dateEffet = effet;
    return m;
}
template <class M>
M& cleActe(M& m, const std::string& acte, char activite, char phase, const Date& effet) {
    m.phase = phase;
    return cleActe(m, acte, activite, effet);
}

// Fresh empty directory under the build's temporary tree, removed by the destructor.
class RepertoireTemporaire {
public:
    explicit RepertoireTemporaire(const std::string& nom);
    ~RepertoireTemporaire();
    RepertoireTemporaire(const RepertoireTemporaire&) = delete;
    RepertoireTemporaire& operator=(const RepertoireTemporaire&) = delete;
    const std::string& chemin() const { return chemin_; }
    std::string fichier(const std::string& nom) const { return chemin_ + "/" + nom; }

private:
    std::string chemin_;
};

// Small file helpers for corrupting what the builder wrote.
std::vector<uint8_t> lireOctets(const std::string& chemin);
std::string lireTexte(const std::string& chemin);
void ecrireOctets(const std::string& chemin, const std::vector<uint8_t>& octets);
