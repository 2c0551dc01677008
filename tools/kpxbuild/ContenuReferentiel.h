// A référentiel as the build tools hold it: header values, the tables by
// identifier (the act index excluded: it is made from the acts), the acts in
// code order, and the modification tables when there are any.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "referentiel/NiveauActe.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "zone/Date.h"

struct ContenuReferentiel {
    ContenuReferentiel();

    std::string version = "1000";
    std::string versionBaseCCAM = "0000 ";
    std::string versionMinimaleLogiciel = "0300";
    uint16_t numeroRevision = 0;
    std::string variante = "A001      ";
    std::string commentaire;
    Date date = Date(2026, 1, 1);
    // Header date of the modification file, when there is one.
    bool avecModifications = false;
    Date dateModifications = Date(2026, 1, 1);

    std::unique_ptr<Table> tables[Referentiel::kNombreIdentifiants];
    std::vector<std::unique_ptr<NiveauActe>> actes;

    // The slot of an identifier, created empty when first asked for.
    Table& table(uint16_t identifiant);
    // Keeps the acts sorted by code, replacing one with the same code.
    void ajouterActe(std::unique_ptr<NiveauActe> acte);
};

// How a file is laid out; tests use it to write files the loader must refuse.
struct DispositionFichier {
    std::string nomFichier;
    // Sections in file order; empty means every table in ascending order, 000 last
    // (modification file: 035 to 043).
    std::vector<uint16_t> ordre;
    // Sections written as these bytes instead of their table.
    std::map<uint16_t, std::string> sectionsBrutes;
};

// Writes chemin (table_v2.kpx) with its CRC; index offsets point at the acts written after table 000.
// False with a message when the writer failed.
bool ecrireFichierTables(ContenuReferentiel& contenu, const std::string& chemin, std::string& erreur,
                         const DispositionFichier& disposition = {});
// Writes chemin (modrefv2.kpx) with tables 035 to 043; versionEntete, when given, replaces the version.
bool ecrireFichierModifications(ContenuReferentiel& contenu, const std::string& chemin, std::string& erreur,
                                const DispositionFichier& disposition = {}, const std::string& versionEntete = "");

// Reads a référentiel directory back (every deferred table and every act, and the
// modification file if present). False with the loader's code and message otherwise.
bool lireFichiers(const std::string& repertoire, ContenuReferentiel& contenu, std::string& erreur);

// The identifier's three-digit text.
std::string texteIdentifiant(uint16_t identifiant);
