// Checks that mirror the loader's, reported with the place in the content, then
// the file written and read back by the loader itself before it is kept.
#include "kpxbuild/Compilateur.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "KPXW32.h"
#include "kpxbuild/SourceJson.h"
#include "kpxbuild/TraceDetailCapturee.h"
#include "referentiel/Ecrivain.h"
#include "referentiel/Lecteur.h"
#include "referentiel/lignes/Lignes.h"

namespace fs = std::filesystem;

namespace {

class TablesDuContenu : public SourceTables {
public:
    explicit TablesDuContenu(const ContenuReferentiel& contenu) : contenu_(contenu) {}
    const Table* table(uint16_t identifiant) const override {
        return identifiant < Referentiel::kNombreIdentifiants ? contenu_.tables[identifiant].get() : nullptr;
    }

private:
    const ContenuReferentiel& contenu_;
};

std::string lieu(uint16_t identifiant, uint32_t ligne) {
    return std::string(familleTable(identifiant)) + ": /" + classeDeTable(identifiant) + "/" + std::to_string(ligne);
}

std::string erreursTrace(const TraceDetailCapturee& trace) {
    std::string texte;
    for (const std::string& ligne : trace.lignes())
        if (ligne.rfind("ERREUR", 0) == 0 || ligne.find(" :") == ligne.size() - 2) texte += (texte.empty() ? "" : " / ") + ligne;
    return texte;
}

// The bytes of one record read back by the loader's reader: same checks, same messages.
template <class Ecrire, class Lire>
bool relire(Ecrire ecrire, Lire lire, std::string& message) {
    Referentiel referentiel;
    FILE* fichier = std::tmpfile();
    if (fichier == nullptr) return true;
    TraceDetailCapturee trace;
    uint16_t cr = 0;
    {
        Ecrivain ecrivain(referentiel, fichier);
        cr = ecrire(ecrivain);
    }
    if (cr == 0) {
        std::rewind(fichier);
        Lecteur lecteur(referentiel, fichier);
        cr = lire(lecteur);
    }
    std::fclose(fichier);
    if (cr == 0) return true;
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", cr);
    message = erreursTrace(trace) + " (" + code + ")";
    return false;
}

// Tables whose rows the queries search by binary search on their first field.
bool estTableTriee(uint16_t identifiant) {
    switch (identifiant) {
        case 1: case 3: case 5: case 7: case 11: case 16: case 22: case 31: case 34: case 45: case 47: case 54:
        case 55: case 56: case 58: case 63: case 64: case 67:
            return true;
        default:
            return false;
    }
}

struct Cle {
    const LigneTable& ligne;
    std::string texte;
    template <class L>
    void operator()() {
        if (ligne.identifiantTable() != L::kIdentifiant) return;
        Collecte collecte;
        L::decrire(static_cast<const L&>(ligne), collecte);
        texte = collecte.texte;
    }
    // Bytes of the first field, compared unsigned.
    struct Collecte {
        std::string texte;
        bool fait = false;
        void prendre(const std::string& t) {
            if (!fait) texte = t;
            fait = true;
        }
        void code(const char& v, const char*, bool = true) { prendre(std::string(1, v)); }
        void code(const std::string& v, size_t, const char*, bool = true) { prendre(v); }
        void caracteres(const char& v, const char*) { prendre(std::string(1, v)); }
        void caracteres(const std::string& v, size_t, const char*) { prendre(v); }
        void top(const char&, const char*) {}
        void entier16(const uint16_t& v, const char*) {
            prendre(std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)});
        }
        void entier32(const uint32_t& v, const char*, const char* = nullptr) {
            prendre(std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                                static_cast<char>(v)});
        }
        // The keyword table is searched on its canonical form, its second string.
        void chaine(const std::string& v, const char* libelle, bool = false) {
            if (std::strcmp(libelle, "mot-cle sous forme canonique") != 0) return prendre(v);
            texte = v;
            fait = true;
        }
        void dateDebut(const Date&, const char*) {}
        void dateFin(const Date&, const char*) {}
        void nombre(const double&, const char*, double = 0, const char* = nullptr) {}
        template <class P>
        void plage(const P&, const EnfantsPlage&) {}
    };
};

bool plusPetit(const std::string& a, const std::string& b) {
    return std::memcmp(a.data(), b.data(), std::min(a.size(), b.size())) < 0 ||
           (std::memcmp(a.data(), b.data(), std::min(a.size(), b.size())) == 0 && a.size() < b.size());
}

// A local modification of a dated table inserts its new row at the head and ends the
// previous one the day before, so these rows go from the newest to the oldest.
template <class L>
void verifierPlusRecenteDAbord(const Table& table, uint32_t debut, uint32_t nombre, std::vector<std::string>& erreurs) {
    for (uint32_t i = debut + 1; i < debut + nombre && i < table.nombreLignes(); ++i) {
        const Date& precedente = table.ligneDe<L>(i - 1)->dateDebut;
        const Date& courante = table.ligneDe<L>(i)->dateDebut;
        if (courante < precedente) continue;
        erreurs.push_back(lieu(L::kIdentifiant, i) + ": date debut " + texteDate(courante) +
                          " non anterieure a celle de la ligne " + std::to_string(i - 1) + " (" +
                          texteDate(precedente) + ") : les lignes datees vont de la plus recente a la plus ancienne");
    }
}

template <class L>
void verifierTablePlusRecenteDAbord(ContenuReferentiel& contenu, std::vector<std::string>& erreurs) {
    const Table& table = contenu.table(L::kIdentifiant);
    verifierPlusRecenteDAbord<L>(table, 0, table.nombreLignes(), erreurs);
}

template <class Parent, class L, class Champ>
void verifierPlagesPlusRecenteDAbord(ContenuReferentiel& contenu, Champ Parent::*plage,
                                     std::vector<std::string>& erreurs) {
    const Table& parents = contenu.table(Parent::kIdentifiant);
    for (uint32_t i = 0; i < parents.nombreLignes(); ++i) {
        const Champ& p = parents.ligneDe<Parent>(i)->*plage;
        verifierPlusRecenteDAbord<L>(contenu.table(L::kIdentifiant), p.position, p.nombre, erreurs);
    }
}

// Tables the loader refuses empty (the deferred ones once loaded).
const uint16_t kNonVides[] = {31, 1, 7, 14, 34, 11, 18, 13, 3, 10, 5, 44, 59, 45, 46, 47, 48,
                              49, 50, 51, 52, 53, 54, 55, 60, 61, 62};

}  // namespace

void verifierContenu(ContenuReferentiel& contenu, std::vector<std::string>& erreurs) {
    TablesDuContenu tables(contenu);
    for (uint16_t id = 1; id < Referentiel::kNombreIdentifiants; ++id) {
        if (!Table::aUneClasse(id)) continue;
        Table& table = contenu.table(id);
        std::string precedente;
        for (uint32_t i = 0; i < table.nombreLignes(); ++i) {
            LigneTable& ligne = *table.ligne(i);
            std::string message;
            if (!relire([&](Ecrivain& e) { return ligne.ecrireLigne(e); },
                        [&](Lecteur& l) {
                            std::unique_ptr<LigneTable> relue = table.creerLigneTable(id);
                            return relue->lireLigne(l);
                        },
                        message)) {
                erreurs.push_back(lieu(id, i) + ": " + message);
                continue;
            }
            TraceDetailCapturee trace;
            if (ligne.controlerLigne(tables) != 0) erreurs.push_back(lieu(id, i) + ": " + erreursTrace(trace));
            if (estTableTriee(id)) {
                Cle cle{ligne, {}};
                pourChaqueClasse(cle);
                if (i > 0 && !plusPetit(precedente, cle.texte))
                    erreurs.push_back(lieu(id, i) + ": table non triee (cle egale ou inferieure a la ligne precedente)");
                precedente = cle.texte;
            }
        }
    }
    verifierTablePlusRecenteDAbord<Seuil>(contenu, erreurs);
    verifierTablePlusRecenteDAbord<ReductionNonConventionne>(contenu, erreurs);
    verifierPlagesPlusRecenteDAbord<AssoGrille, HistoriqueAssociationNonPrevue>(contenu, &AssoGrille::historiques,
                                                                                erreurs);
    verifierPlagesPlusRecenteDAbord<ModificaGrille, HistoriqueValeurModificateur>(
        contenu, &ModificaGrille::historiquesValeur, erreurs);
    for (uint16_t id : kNonVides)
        if (contenu.table(id).nombreLignes() == 0)
            erreurs.push_back(std::string(familleTable(id)) + ": /" + classeDeTable(id) + ": table vide (interdit)");
    if (contenu.actes.empty()) erreurs.push_back("actes: aucun acte (l'index ne doit pas etre vide)");
    for (size_t i = 0; i < contenu.actes.size(); ++i) {
        NiveauActe& acte = *contenu.actes[i];
        std::string message;
        if (!relire([&](Ecrivain& e) { return acte.ecrireNiveauActe(e); },
                    [&](Lecteur& l) {
                        NiveauActe relu;
                        return relu.lireNiveauActe(l);
                    },
                    message))
            erreurs.push_back("actes: " + acte.codeStructure.substr(0, acte.codeStructure.find_last_not_of(' ') + 1) +
                              ": " + message);
    }
}

bool compiler(const std::string& source, const std::string& sortie, std::vector<std::string>& erreurs) {
    ContenuReferentiel contenu;
    lireSource(source, contenu, erreurs);
    if (erreurs.empty()) verifierContenu(contenu, erreurs);
    if (!erreurs.empty()) return false;
    std::error_code ec;
    fs::create_directories(sortie, ec);
    const fs::path temporaire = fs::path(sortie) / ".kpx-build";
    fs::remove_all(temporaire, ec);
    fs::create_directories(temporaire, ec);
    std::string erreur;
    bool ok = ecrireFichierTables(contenu, (temporaire / Referentiel::kFichierTables).string(), erreur);
    if (ok && contenu.avecModifications)
        ok = ecrireFichierModifications(contenu, (temporaire / Referentiel::kFichierModifications).string(), erreur);
    if (!ok) erreurs.push_back(erreur);
    // The loader itself has the last word: a file it refuses is never left behind.
    if (ok) {
        TraceDetailCapturee trace;
        ContenuReferentiel relu;
        if (!lireFichiers(temporaire.string(), relu, erreur)) {
            erreurs.push_back(erreur + ": " + erreursTrace(trace));
            ok = false;
        }
    }
    if (ok) {
        fs::rename(temporaire / Referentiel::kFichierTables, fs::path(sortie) / Referentiel::kFichierTables, ec);
        fs::remove(fs::path(sortie) / Referentiel::kFichierModifications);
        if (!ec && contenu.avecModifications)
            fs::rename(temporaire / Referentiel::kFichierModifications,
                       fs::path(sortie) / Referentiel::kFichierModifications, ec);
        if (ec) {
            erreurs.push_back("impossible de placer les fichiers dans " + sortie + ": " + ec.message());
            ok = false;
        }
    }
    fs::remove_all(temporaire, ec);
    return ok;
}

bool decompiler(const std::string& repertoire, const std::string& source, std::vector<std::string>& erreurs) {
    ContenuReferentiel contenu;
    std::string erreur;
    TraceDetailCapturee trace;
    if (!lireFichiers(repertoire, contenu, erreur)) {
        erreurs.push_back(erreur + ": " + erreursTrace(trace));
        return false;
    }
    if (!ecrireSource(contenu, source, erreur)) {
        erreurs.push_back(erreur);
        return false;
    }
    return true;
}
