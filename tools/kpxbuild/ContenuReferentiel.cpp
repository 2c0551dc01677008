// Writing and reading référentiel files for the build tools. The index is
// written twice: with placeholder offsets, then with the offsets of the acts
// that follow it (its size does not depend on them).
#include "kpxbuild/ContenuReferentiel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "KPXW32.h"
#include "referentiel/Codage.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/lignes/Lignes.h"

namespace {

void copierFixe(char* destination, const std::string& valeur, size_t n) {
    std::string fixe(valeur, 0, std::min(n, valeur.size()));
    fixe.resize(n, ' ');
    std::memcpy(destination, fixe.data(), n);
}

std::string fixe(const std::string& valeur, size_t n) {
    std::string texte(valeur, 0, std::min(n, valeur.size()));
    texte.resize(n, ' ');
    return texte;
}

bool estModification(uint16_t identifiant) { return identifiant >= 35 && identifiant <= 43; }

// Header values of a Referentiel, for the writer.
void preparerEntete(const ContenuReferentiel& contenu, const std::string& version, Referentiel& entete) {
    copierFixe(entete.version, version, sizeof entete.version);
    copierFixe(entete.versionBaseCCAM, contenu.versionBaseCCAM, sizeof entete.versionBaseCCAM);
    copierFixe(entete.variante, contenu.variante, sizeof entete.variante);
    entete.commentaire = contenu.commentaire;
    entete.numeroRevision = contenu.numeroRevision;
}

class FichierEcrit {
public:
    explicit FichierEcrit(const std::string& chemin) : fichier_(std::fopen(chemin.c_str(), "w+b")) {}
    ~FichierEcrit() {
        if (fichier_ != nullptr) std::fclose(fichier_);
    }
    FILE* get() const { return fichier_; }
    bool fermer() {
        bool ok = std::fclose(fichier_) == 0;
        fichier_ = nullptr;
        return ok;
    }

private:
    FILE* fichier_;
};

bool ecrireSections(ContenuReferentiel& contenu, const std::string& chemin, std::string& erreur,
                    const DispositionFichier& disposition, const std::string& versionEntete, bool reference) {
    Referentiel entete;
    preparerEntete(contenu, versionEntete, entete);
    FichierEcrit fichier(chemin);
    if (fichier.get() == nullptr) {
        erreur = "impossible de creer " + chemin;
        return false;
    }
    std::vector<uint16_t> ordre = disposition.ordre;
    if (ordre.empty()) {
        for (uint16_t id = 1; id < Referentiel::kNombreIdentifiants; ++id)
            if (Table::aUneClasse(id) && estModification(id) != reference) ordre.push_back(id);
        if (reference) ordre.push_back(0);
    }
    std::string nom = disposition.nomFichier.empty() ? (reference ? Referentiel::kFichierTables
                                                                  : Referentiel::kFichierModifications)
                                                     : disposition.nomFichier;
    Ecrivain ecrivain(entete, fichier.get());
    const Date& date = reference ? contenu.date : contenu.dateModifications;
    const std::string versionMinimale = reference ? fixe(contenu.versionMinimaleLogiciel, 4) : "0000";
    uint16_t cr = ecrivain.ecrireEntete(nom.c_str(), date, versionMinimale.c_str(), contenu.numeroRevision,
                                        fixe(contenu.variante, 10).c_str());
    for (uint16_t identifiant : ordre) {
        if (cr != 0) break;
        auto brute = disposition.sectionsBrutes.find(identifiant);
        if (brute != disposition.sectionsBrutes.end()) {
            if (std::fwrite(brute->second.data(), 1, brute->second.size(), fichier.get()) != brute->second.size())
                cr = KPX_CR_ECRITURE;
            continue;
        }
        if (identifiant != 0 || !reference) {
            cr = contenu.table(identifiant).ecrireTable(ecrivain);
            continue;
        }
        Table index(texteIdentifiant(0).c_str(), 0, 0, 0, true);
        for (const auto& acte : contenu.actes) {
            std::unique_ptr<Index> ligne(new Index);
            ligne->codeActe = acte->codeStructure;
            index.ajouterLigne(std::move(ligne));
        }
        const long debutIndex = std::ftell(fichier.get());
        cr = index.ecrireTable(ecrivain);
        for (size_t i = 0; cr == 0 && i < contenu.actes.size(); ++i) {
            const long position = std::ftell(fichier.get());
            if (position < 0 || static_cast<unsigned long>(position) > 0xFFFFFFFFul) cr = KPX_CR_ECRITURE;
            index.ligneDe<Index>(static_cast<uint32_t>(i))->positionActe = static_cast<uint32_t>(position);
            if (cr == 0) cr = contenu.actes[i]->ecrireNiveauActe(ecrivain);
        }
        const long fin = std::ftell(fichier.get());
        if (cr == 0 && std::fseek(fichier.get(), debutIndex, SEEK_SET) != 0) cr = KPX_CR_ECRITURE;
        if (cr == 0) cr = index.ecrireTable(ecrivain);
        if (cr == 0 && std::fseek(fichier.get(), fin, SEEK_SET) != 0) cr = KPX_CR_ECRITURE;
    }
    uint16_t crc = 0;
    if (cr == 0 && (std::fflush(fichier.get()) != 0 || !Referentiel::calculerCRC16(fichier.get(), crc)))
        cr = KPX_CR_ECRITURE;
    if (cr == 0) cr = ecrivain.ecrireCRC(crc);
    if (!fichier.fermer() && cr == 0) cr = KPX_CR_ECRITURE;
    if (cr != 0) {
        char texte[64];
        std::snprintf(texte, sizeof texte, "ecriture de %s impossible (0x%04X)", nom.c_str(), cr);
        erreur = texte;
        return false;
    }
    return true;
}

// Tables 035 to 043 of a modification file, read as they are stored.
bool lireModifications(const std::string& chemin, ContenuReferentiel& contenu, std::string& erreur) {
    FILE* fichier = std::fopen(chemin.c_str(), "rb");
    if (fichier == nullptr) return true;
    Referentiel entete;
    copierFixe(entete.version, contenu.version, sizeof entete.version);
    uint16_t cr = 0;
    {
        Lecteur lecteur(entete, fichier);
        uint16_t crcLu = 0;
        uint16_t crcCalcule = 0;
        cr = lecteur.lireCRC(crcLu);
        if (cr == 0 && (!Referentiel::calculerCRC16(fichier, crcCalcule) || crcLu != crcCalcule))
            cr = KPX_CR_CRC_MODIFICATIONS;
    }
    if (cr == 0) {
        Lecteur lecteur(entete, fichier);
        cr = lecteur.lireEnteteModif();
        while (cr == 0) {
            char identifiant[4];
            uint32_t nombre = 0;
            long position = 0;
            uint16_t lu = lecteur.lireEnteteTable(identifiant, nombre, position);
            if (lu == Lecteur::kFinFichier) break;
            if (lu != 0) {
                cr = lu;
                break;
            }
            std::unique_ptr<Table> table(new Table(identifiant, nombre, position, lecteur.tailleTable(), false));
            if (table->etat() == Table::kNonAcceptee) {
                cr = lecteur.sauterTable();
                continue;
            }
            if (table->etat() != Table::kChargee) {
                cr = KPX_CR_LECTURE_MODIFICATIONS;
                break;
            }
            cr = table->lireTable(lecteur);
            if (cr == 0) contenu.tables[table->numero()] = std::move(table);
        }
    }
    std::fclose(fichier);
    if (cr != 0) {
        char texte[96];
        std::snprintf(texte, sizeof texte, "%s illisible (0x%04X)", chemin.c_str(), cr);
        erreur = texte;
        return false;
    }
    contenu.avecModifications = true;
    contenu.dateModifications = entete.dateDerniereModification;
    return true;
}

}  // namespace

std::string texteIdentifiant(uint16_t identifiant) {
    char texte[8];
    std::snprintf(texte, sizeof texte, "%03u", identifiant);
    return texte;
}

ContenuReferentiel::ContenuReferentiel() = default;

Table& ContenuReferentiel::table(uint16_t identifiant) {
    std::unique_ptr<Table>& table = tables[identifiant];
    if (!table) table.reset(new Table(texteIdentifiant(identifiant).c_str(), 0, 0, 0, !estModification(identifiant)));
    return *table;
}

void ContenuReferentiel::ajouterActe(std::unique_ptr<NiveauActe> acte) {
    auto position = std::lower_bound(actes.begin(), actes.end(), acte->codeStructure,
                                     [](const std::unique_ptr<NiveauActe>& a, const std::string& code) {
                                         return a->codeStructure < code;
                                     });
    if (position != actes.end() && (*position)->codeStructure == acte->codeStructure) *position = std::move(acte);
    else actes.insert(position, std::move(acte));
}

bool ecrireFichierTables(ContenuReferentiel& contenu, const std::string& chemin, std::string& erreur,
                         const DispositionFichier& disposition) {
    return ecrireSections(contenu, chemin, erreur, disposition, contenu.version, true);
}

bool ecrireFichierModifications(ContenuReferentiel& contenu, const std::string& chemin, std::string& erreur,
                                const DispositionFichier& disposition, const std::string& versionEntete) {
    return ecrireSections(contenu, chemin, erreur, disposition,
                          versionEntete.empty() ? contenu.version : versionEntete, false);
}

bool lireFichiers(const std::string& repertoire, ContenuReferentiel& contenu, std::string& erreur) {
    Referentiel referentiel;
    // An empty directory stands for the modification directory: the modification
    // file is read on its own below.
    const std::string sansModifications = repertoire + "/.kpx-sans-modifications";
    uint16_t cr = referentiel.chargerReferentiel(repertoire.c_str(), sansModifications.c_str(),
                                                 "ZZZZ", "0000");
    for (uint16_t id : {30, 31, 58})
        if (cr == 0) cr = referentiel.chargerTable(id);
    char texte[128];
    if (cr != 0) {
        std::snprintf(texte, sizeof texte, "chargement de %s/table_v2.kpx refuse (0x%04X)", repertoire.c_str(), cr);
        erreur = texte;
        return false;
    }
    contenu.version.assign(referentiel.version, 4);
    contenu.versionBaseCCAM.assign(referentiel.versionBaseCCAM, 5);
    contenu.versionMinimaleLogiciel.assign(referentiel.versionMinimaleLogiciel, 4);
    contenu.variante.assign(referentiel.variante, 10);
    contenu.numeroRevision = referentiel.numeroRevision;
    contenu.commentaire = referentiel.commentaire;
    // The header date is not kept by the loader: read its eight digits at offset 29.
    if (FILE* fichier = std::fopen((repertoire + "/table_v2.kpx").c_str(), "rb")) {
        char date[9] = {};
        if (std::fseek(fichier, 29, SEEK_SET) == 0 && std::fread(date, 1, 8, fichier) == 8) contenu.date = Date(date);
        std::fclose(fichier);
    }
    for (uint16_t id = 1; id < Referentiel::kNombreIdentifiants; ++id) {
        if (!Table::aUneClasse(id) || estModification(id) || referentiel.table(id) == nullptr) continue;
        contenu.tables[id].reset(new Table(*referentiel.table(id)));
    }
    const Table* index = referentiel.table(0);
    for (uint32_t i = 0; i < index->nombreLignes(); ++i) {
        const Index* ligne = index->ligneDe<Index>(i);
        std::unique_ptr<NiveauActe> acte(new NiveauActe);
        cr = referentiel.chargerActe(ligne->positionActe, *acte, ligne->codeActe.c_str());
        if (cr != 0) {
            std::snprintf(texte, sizeof texte, "acte %s illisible (0x%04X)", ligne->codeActe.c_str(), cr);
            erreur = texte;
            return false;
        }
        contenu.actes.push_back(std::move(acte));
    }
    return lireModifications(repertoire + "/modrefv2.kpx", contenu, erreur);
}
