// Fixture référentiels: the minimal content, written with the build tools' writer.
#include "support/ConstructeurReferentiel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "kpxbuild/Minimal.h"
#include "referentiel/lignes/Lignes.h"

ConstructeurReferentiel::ConstructeurReferentiel() {
    for (uint16_t id = 0; id < Referentiel::kNombreIdentifiants; ++id) {
        if (!Table::aUneClasse(id)) continue;
        if (id >= 35 && id <= 43) ordreModifications.push_back(id);
        else if (id != 0) ordre.push_back(id);
    }
    ordre.push_back(0);

    remplirMinimal(contenu_);
}

Table& ConstructeurReferentiel::table(uint16_t identifiant) { return contenu_.table(identifiant); }

void ConstructeurReferentiel::vider(uint16_t identifiant) { contenu_.tables[identifiant].reset(); }

std::unique_ptr<NiveauActe> ConstructeurReferentiel::acteSimple(const std::string& code, double prix) {
    return ::acteSimple(code, prix);
}

void ConstructeurReferentiel::ajouterActe(std::unique_ptr<NiveauActe> acte) { contenu_.ajouterActe(std::move(acte)); }

void ConstructeurReferentiel::preparerEntete() {
    contenu_.version = version;
    contenu_.versionBaseCCAM = versionBaseCCAM;
    contenu_.versionMinimaleLogiciel = versionMinimaleLogiciel;
    contenu_.numeroRevision = numeroRevision;
    contenu_.variante = variante;
    contenu_.commentaire = commentaire;
    contenu_.date = date;
    contenu_.dateModifications = date;
}

bool ConstructeurReferentiel::ecrire(const std::string& repertoire) {
    preparerEntete();
    std::string erreur;
    return ecrireFichierTables(contenu_, repertoire + "/table_v2.kpx", erreur, {nomFichier, ordre, sectionsBrutes});
}

bool ConstructeurReferentiel::ecrireModifications(const std::string& repertoire) {
    preparerEntete();
    std::string erreur;
    return ecrireFichierModifications(contenu_, repertoire + "/modrefv2.kpx", erreur, {"", ordreModifications, {}},
                                      versionModifications);
}

RepertoireTemporaire::RepertoireTemporaire(const std::string& nom) : chemin_(std::string(KPX_TEST_TMP) + "/" + nom) {
    std::filesystem::remove_all(chemin_);
    std::filesystem::create_directories(chemin_);
}

RepertoireTemporaire::~RepertoireTemporaire() {
    std::error_code ignore;
    std::filesystem::remove_all(chemin_, ignore);
}

std::vector<uint8_t> lireOctets(const std::string& chemin) {
    std::vector<uint8_t> octets;
    FILE* fichier = std::fopen(chemin.c_str(), "rb");
    if (fichier == nullptr) return octets;
    int c;
    while ((c = std::fgetc(fichier)) != EOF) octets.push_back(static_cast<uint8_t>(c));
    std::fclose(fichier);
    return octets;
}

std::string lireTexte(const std::string& chemin) {
    const std::vector<uint8_t> octets = lireOctets(chemin);
    return std::string(octets.begin(), octets.end());
}

void ecrireOctets(const std::string& chemin, const std::vector<uint8_t>& octets) {
    FILE* fichier = std::fopen(chemin.c_str(), "wb");
    if (fichier == nullptr) return;
    if (!octets.empty()) std::fwrite(octets.data(), 1, octets.size(), fichier);
    std::fclose(fichier);
}
