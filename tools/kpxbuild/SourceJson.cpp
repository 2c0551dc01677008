// JSON <-> rows through the same field lists that read and write the table file,
// so a field can never be known to one and not the other. Acts have their own
// tree, written out by hand below.
#include "kpxbuild/SourceJson.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <algorithm>

#include "kpxbuild/Latin1.h"
#include "referentiel/lignes/Lignes.h"

using nlohmann::json;
using nlohmann::ordered_json;
namespace fs = std::filesystem;

std::string cleJson(const char* libelle) {
    std::string cle;
    std::string mot;
    auto finirMot = [&](bool elision) {
        if (mot.empty()) return;
        if (!(elision && mot.size() == 1)) {
            if (!cle.empty() && mot[0] >= 'a' && mot[0] <= 'z') mot[0] = static_cast<char>(mot[0] - 'a' + 'A');
            if (cle.empty() && mot[0] >= 'A' && mot[0] <= 'Z' && !(mot.size() > 1 && mot[1] >= 'A' && mot[1] <= 'Z'))
                mot[0] = static_cast<char>(mot[0] - 'A' + 'a');
            cle += mot;
        }
        mot.clear();
    };
    for (const char* p = libelle; *p != '\0'; ++p) {
        if (*p == ' ' || *p == '-') finirMot(false);
        else if (*p == '\'') finirMot(true);
        else mot.push_back(*p);
    }
    finirMot(false);
    return cle;
}

std::string texteDate(const Date& date) {
    char texte[16];
    std::snprintf(texte, sizeof texte, "%04u-%02u-%02u", date.annee(), date.mois(), date.jour());
    return texte;
}

namespace {

std::string sansBlancsFinaux(const std::string& texte) {
    size_t fin = texte.find_last_not_of(' ');
    return fin == std::string::npos ? std::string() : texte.substr(0, fin + 1);
}

std::string texteCode(const std::string& code) { return latin1VersUtf8(sansBlancsFinaux(code)); }
std::string texteCaractere(char c) { return latin1VersUtf8(std::string(1, c)); }


// Conversions shared by rows and acts; each reports into erreurs with its path.
class Conversion {
public:
    Conversion(std::vector<std::string>& erreurs) : erreurs_(erreurs) {}

    void erreur(const std::string& chemin, const std::string& message) { erreurs_.push_back(chemin + ": " + message); }

    void caractere(const json& v, const std::string& chemin, char& valeur) {
        std::string s;
        if (!v.is_string() || !texte(v, chemin, s)) return;
        if (s.size() > 1) return erreur(chemin, "un caractere attendu");
        valeur = s.empty() ? ' ' : s[0];
    }
    void fixe(const json& v, const std::string& chemin, size_t n, std::string& valeur) {
        if (!v.is_string()) return erreur(chemin, "une chaine attendue");
        std::string s;
        if (!texte(v, chemin, s)) return;
        if (s.size() > n) return erreur(chemin, "au plus " + std::to_string(n) + " caracteres attendus");
        s.resize(n, ' ');
        valeur = s;
    }
    void chaine(const json& v, const std::string& chemin, std::string& valeur) {
        if (!v.is_string()) return erreur(chemin, "une chaine attendue");
        if (!texte(v, chemin, valeur)) return;
        if (valeur.find('\0') != std::string::npos) erreur(chemin, "caractere NUL interdit");
    }
    bool texte(const json& v, const std::string& chemin, std::string& latin1) {
        if (utf8VersLatin1(v.get<std::string>(), latin1)) return true;
        erreur(chemin, "caractere hors Latin-1");
        return false;
    }
    template <class T>
    void entier(const json& v, const std::string& chemin, T& valeur) {
        if (!v.is_number_integer() || v.get<int64_t>() < 0 ||
            static_cast<uint64_t>(v.get<int64_t>()) > static_cast<uint64_t>(static_cast<T>(-1)))
            return erreur(chemin, "un entier de 0 a " + std::to_string(static_cast<uint64_t>(static_cast<T>(-1))) +
                                      " attendu");
        valeur = static_cast<T>(v.get<int64_t>());
    }
    void date(const json& v, const std::string& chemin, Date& valeur) {
        if (v.is_null()) {
            valeur = Date();
            return;
        }
        unsigned a = 0, m = 0, j = 0;
        char reste = 0;
        if (!v.is_string() || std::sscanf(v.get<std::string>().c_str(), "%4u-%2u-%2u%c", &a, &m, &j, &reste) != 3 ||
            v.get<std::string>().size() != 10)
            return erreur(chemin, "une date \"AAAA-MM-JJ\" ou null attendue");
        valeur = Date(static_cast<uint16_t>(a), static_cast<uint8_t>(m), static_cast<uint8_t>(j));
    }
    void nombre(const json& v, const std::string& chemin, double& valeur) {
        if (v.is_number()) {
            valeur = v.get<double>();
        } else if (v.is_string()) {
            const std::string s = v.get<std::string>();
            char* fin = nullptr;
            valeur = std::strtod(s.c_str(), &fin);
            if (s.empty() || *fin != '\0') return erreur(chemin, "un nombre decimal attendu");
        } else {
            return erreur(chemin, "un nombre attendu");
        }
        if (!std::isfinite(valeur) || std::fabs(valeur) >= 1e14) erreur(chemin, "nombre hors limites (|x| < 10^14)");
    }

private:
    std::vector<std::string>& erreurs_;
};

// Fills a row from a JSON object; absent keys keep the row's default value.
class LectureJson {
public:
    LectureJson(const json& objet, const std::string& chemin, Conversion& conversion)
        : objet_(objet), chemin_(chemin), conversion_(conversion) {}

    void code(char& v, const char* l, bool = true) { si(l, [&](const json& j, const std::string& c) { conversion_.caractere(j, c, v); }); }
    void code(std::string& v, size_t n, const char* l, bool = true) { caracteres(v, n, l); }
    void caracteres(char& v, const char* l) { code(v, l); }
    void caracteres(std::string& v, size_t n, const char* l) {
        si(l, [&](const json& j, const std::string& c) { conversion_.fixe(j, c, n, v); });
    }
    void top(char& v, const char* l) { code(v, l); }
    void entier16(uint16_t& v, const char* l) { si(l, [&](const json& j, const std::string& c) { conversion_.entier(j, c, v); }); }
    void entier32(uint32_t& v, const char* l, const char* = nullptr) {
        si(l, [&](const json& j, const std::string& c) { conversion_.entier(j, c, v); });
    }
    void chaine(std::string& v, const char* l, bool = false) {
        si(l, [&](const json& j, const std::string& c) { conversion_.chaine(j, c, v); });
    }
    void dateDebut(Date& v, const char* l) { si(l, [&](const json& j, const std::string& c) { conversion_.date(j, c, v); }); }
    void dateFin(Date& v, const char* l) { dateDebut(v, l); }
    void nombre(double& v, const char* l, double = 0, const char* = nullptr) {
        si(l, [&](const json& j, const std::string& c) { conversion_.nombre(j, c, v); });
    }
    template <class P>
    void plage(P& v, const EnfantsPlage& e) {
        si(e.nom, [&](const json& j, const std::string& c) {
            if (!j.is_object() || !j.contains("position") || !j.contains("nombre") || j.size() != 2)
                return conversion_.erreur(c, "{\"position\": p, \"nombre\": n} attendu");
            conversion_.entier(j["position"], c + "/position", v.position);
            conversion_.entier(j["nombre"], c + "/nombre", v.nombre);
        });
    }

    void terminer() {
        for (auto it = objet_.begin(); it != objet_.end(); ++it)
            if (!utilisees_.count(it.key())) conversion_.erreur(chemin_ + "/" + it.key(), "champ inconnu");
    }

private:
    template <class F>
    void si(const char* libelle, F&& f) {
        const std::string cle = cleJson(libelle);
        utilisees_.insert(cle);
        auto trouve = objet_.find(cle);
        if (trouve != objet_.end()) f(*trouve, chemin_ + "/" + cle);
    }

    const json& objet_;
    std::string chemin_;
    Conversion& conversion_;
    std::set<std::string> utilisees_;
};

class EcritureJson {
public:
    ordered_json objet = ordered_json::object();
    void code(const char& v, const char* l, bool = true) { objet[cleJson(l)] = v == ' ' ? "" : latin1VersUtf8(std::string(1, v)); }
    void code(const std::string& v, size_t, const char* l, bool = true) { objet[cleJson(l)] = latin1VersUtf8(sansBlancsFinaux(v)); }
    void caracteres(const char& v, const char* l) { code(v, l); }
    void caracteres(const std::string& v, size_t n, const char* l) { code(v, n, l); }
    void top(const char& v, const char* l) { code(v, l); }
    void entier16(const uint16_t& v, const char* l) { objet[cleJson(l)] = v; }
    void entier32(const uint32_t& v, const char* l, const char* = nullptr) { objet[cleJson(l)] = v; }
    void chaine(const std::string& v, const char* l, bool = false) { objet[cleJson(l)] = latin1VersUtf8(v); }
    void dateDebut(const Date& v, const char* l) { dateFin(v, l); }
    void dateFin(const Date& v, const char* l) {
        objet[cleJson(l)] = (v.annee() == 0 && v.mois() == 0 && v.jour() == 0) ? ordered_json() : ordered_json(texteDate(v));
    }
    void nombre(const double& v, const char* l, double = 0, const char* = nullptr) { objet[cleJson(l)] = v; }
    template <class P>
    void plage(const P& v, const EnfantsPlage& e) {
        objet[cleJson(e.nom)] = ordered_json{{"position", v.position}, {"nombre", v.nombre}};
    }
};

struct NomsClasses {
    std::map<std::string, uint16_t> identifiants;
    const char* noms[69] = {};
    template <class L>
    void operator()() {
        identifiants[L::kNom] = L::kIdentifiant;
        noms[L::kIdentifiant] = L::kNom;
    }
};

const NomsClasses& nomsClasses() {
    static const NomsClasses noms = [] {
        NomsClasses n;
        pourChaqueClasse(n);
        return n;
    }();
    return noms;
}

struct VersJson {
    const LigneTable& ligne;
    ordered_json resultat;
    template <class L>
    void operator()() {
        if (ligne.identifiantTable() != L::kIdentifiant) return;
        EcritureJson ecriture;
        L::decrire(static_cast<const L&>(ligne), ecriture);
        resultat = std::move(ecriture.objet);
    }
};

struct DepuisJson {
    const json& objet;
    const std::string& chemin;
    Conversion& conversion;
    LigneTable& ligne;
    template <class L>
    void operator()() {
        if (ligne.identifiantTable() != L::kIdentifiant) return;
        LectureJson lecture(objet, chemin, conversion);
        L::decrire(static_cast<L&>(ligne), lecture);
        lecture.terminer();
    }
};

const char* const kFamilles[69] = {
    "index", "associations", "associations", "associations", "associations", "specialites", "specialites",
    "specialites", "specialites", "specialites", "parametres", "parametres", "parametres", "parametres",
    "parametres", "", "specialites", "specialites", "parametres", "concepts", "concepts", "concepts",
    "modificateurs", "modificateurs", "modificateurs", "modificateurs", "modificateurs", "modificateurs", "",
    "recherche", "recherche", "recherche", "concepts", "concepts", "regles", "modifications", "modifications",
    "modifications", "modifications", "modifications", "modifications", "modifications", "modifications",
    "modifications", "parametres", "regles", "regles", "regles", "regles", "interface", "interface", "interface",
    "interface", "interface", "regles", "regles", "regles", "regles", "recherche", "associations", "associations",
    "associations", "modificateurs", "contextes", "contextes", "contextes", "contextes", "contextes", "contextes",
};

// ---- acts

template <class T, class F>
void liste(Conversion& conversion, const json& objet, const std::string& chemin, const char* cle, std::vector<T>& valeurs,
           F&& element) {
    auto trouve = objet.find(cle);
    if (trouve == objet.end()) return;
    if (!trouve->is_array()) return conversion.erreur(chemin + "/" + cle, "une liste attendue");
    for (size_t i = 0; i < trouve->size(); ++i) {
        T valeur{};
        element((*trouve)[i], chemin + "/" + cle + "/" + std::to_string(i), valeur);
        valeurs.push_back(valeur);
    }
}

// Calls element(item, path) for each item of the list at cle.
template <class F>
void pourChaque(Conversion& conversion, const json& objet, const std::string& chemin, const char* cle, F&& element) {
    auto trouve = objet.find(cle);
    if (trouve == objet.end()) return;
    if (!trouve->is_array()) return conversion.erreur(chemin + "/" + cle, "une liste attendue");
    for (size_t i = 0; i < trouve->size(); ++i) element((*trouve)[i], chemin + "/" + cle + "/" + std::to_string(i));
}

// Checks that an object has only the given keys.
void clesConnues(Conversion& conversion, const json& objet, const std::string& chemin, std::set<std::string> cles) {
    if (!objet.is_object()) return conversion.erreur(chemin, "un objet attendu");
    for (auto it = objet.begin(); it != objet.end(); ++it)
        if (!cles.count(it.key())) conversion.erreur(chemin + "/" + it.key(), "champ inconnu");
}

template <class F>
void champ(const json& objet, const std::string& chemin, const char* cle, F&& f) {
    auto trouve = objet.find(cle);
    if (trouve != objet.end()) f(*trouve, chemin + "/" + cle);
}

ordered_json codes(const std::vector<std::string>& valeurs) {
    ordered_json j = ordered_json::array();
    for (const auto& v : valeurs) j.push_back(texteCode(v));
    return j;
}

ordered_json codes(const std::vector<char>& valeurs) {
    ordered_json j = ordered_json::array();
    for (char v : valeurs) j.push_back(texteCaractere(v));
    return j;
}

ordered_json date(const Date& d) { return d.estRenseigne() ? ordered_json(texteDate(d)) : ordered_json(); }

}  // namespace

uint16_t identifiantDeClasse(const std::string& nom) {
    auto trouve = nomsClasses().identifiants.find(nom);
    return trouve == nomsClasses().identifiants.end() ? 0xFFFF : trouve->second;
}

const char* classeDeTable(uint16_t identifiant) { return identifiant < 69 ? nomsClasses().noms[identifiant] : nullptr; }

const char* familleTable(uint16_t identifiant) { return identifiant < 69 ? kFamilles[identifiant] : ""; }

ordered_json tableVersJson(const Table& table) {
    ordered_json lignes = ordered_json::array();
    for (uint32_t i = 0; i < table.nombreLignes(); ++i) {
        VersJson vers{*table.ligne(i), {}};
        pourChaqueClasse(vers);
        lignes.push_back(std::move(vers.resultat));
    }
    return lignes;
}

void jsonVersTable(const json& lignes, uint16_t identifiant, Table& table, const std::string& chemin,
                   std::vector<std::string>& erreurs) {
    Conversion conversion(erreurs);
    if (!lignes.is_array()) return conversion.erreur(chemin, "une liste de lignes attendue");
    for (size_t i = 0; i < lignes.size(); ++i) {
        const std::string cheminLigne = chemin + "/" + std::to_string(i);
        if (!lignes[i].is_object()) {
            conversion.erreur(cheminLigne, "un objet attendu");
            continue;
        }
        std::unique_ptr<LigneTable> ligne = table.creerLigneTable(identifiant);
        DepuisJson depuis{lignes[i], cheminLigne, conversion, *ligne};
        pourChaqueClasse(depuis);
        table.ajouterLigne(std::move(ligne));
    }
}

ordered_json acteVersJson(const NiveauActe& acte) {
    ordered_json j;
    j["code"] = texteCode(acte.codeStructure);
    j["libelleCourt"] = latin1VersUtf8(acte.libelleCourt);
    j["libelleLong"] = latin1VersUtf8(acte.libelleLong);
    j["typeActe"] = texteCaractere(acte.typeActe);
    j["conditionsGenerales"] = latin1VersUtf8(acte.conditionsGenerales);
    j["notes"] = latin1VersUtf8(acte.notes);
    j["sexeCompatible"] = texteCaractere(acte.sexeCompatible);
    j["codeMenu"] = acte.codeMenu;
    j["dateCreation"] = date(acte.dateCreation);
    j["dateFin"] = date(acte.dateFin);
    j["fraisDeplacement"] = texteCaractere(acte.fraisDeplacement);
    j["naturesAssurance"] = codes(acte.naturesAssurance);
    j["historiques"] = ordered_json::array();
    for (const HistoriqueNiveauActe* h = acte.premierHistorique(); h != nullptr; h = h->suivant()) {
        ordered_json hj;
        hj["dateEffet"] = date(h->dateEffet);
        hj["admissionRemboursement"] = texteCaractere(h->admissionRemboursement);
        hj["ententePrealable"] = texteCaractere(h->ententePrealable);
        hj["codesETM"] = codes(h->codesETM);
        hj["procedures"] = codes(h->procedures);
        hj["actesIncompatibles"] = codes(h->actesIncompatibles);
        hj["forfaitsCMU"] = ordered_json::array();
        for (const ForfaitCMU& f : h->forfaitsCMU)
            hj["forfaitsCMU"].push_back(
                {{"code", texteCode(f.codeForfait)}, {"debut", date(f.dateDebutValidite)}, {"fin", date(f.dateFinValidite)}});
        j["historiques"].push_back(std::move(hj));
    }
    j["activites"] = ordered_json::array();
    for (const auto& activite : acte.activites()) {
        ordered_json aj;
        aj["code"] = texteCaractere(activite->codeActivite);
        aj["typesAgrementRadio"] = codes(activite->typesAgrementRadio);
        aj["rmo"] = codes(activite->rmo);
        aj["codesExtensionDocumentaire"] = codes(activite->codesExtensionDocumentaire);
        aj["historiques"] = ordered_json::array();
        for (const HistoriqueNiveauActivite* h = activite->premierHistorique(); h != nullptr; h = h->suivant()) {
            ordered_json hj;
            hj["dateEffet"] = date(h->dateEffet);
            hj["categorieMedicale"] = texteCode(h->categorieMedicale);
            hj["codeRegroupement"] = texteCode(h->codeRegroupement);
            hj["modificateurs"] = codes(h->modificateurs);
            hj["classesSpecialite"] = codes(h->classesSpecialite);
            hj["associations"] = ordered_json::array();
            for (const AssociationActivite& a : h->associations)
                hj["associations"].push_back({{"acte", texteCode(a.codeActe)}, {"regle", texteCaractere(a.codeRegleTarifaire)}});
            aj["historiques"].push_back(std::move(hj));
        }
        aj["phases"] = ordered_json::array();
        for (const auto& phase : activite->phases()) {
            ordered_json pj;
            pj["code"] = texteCaractere(phase->codePhase);
            pj["nombreDents"] = texteCode(phase->nombreDentsATraiter);
            pj["ageMinimum"] = phase->ageMinimum;
            pj["ageMaximum"] = phase->ageMaximum;
            pj["dentsIncompatibles"] = codes(phase->dentsIncompatibles);
            pj["historiques"] = ordered_json::array();
            for (const HistoriqueNiveauPhase* h = phase->premierHistorique(); h != nullptr; h = h->suivant()) {
                ordered_json hj;
                hj["dateEffet"] = date(h->dateEffet);
                hj["prixUnitaire"] = h->prixUnitaireBase;
                hj["supplementCharge"] = h->supplementCharge;
                hj["majorationsDOM"] = {h->majorationsDOM[0], h->majorationsDOM[1], h->majorationsDOM[2], h->majorationsDOM[3]};
                hj["grilles"] = ordered_json::array();
                for (const PrixGrille& g : h->grilles) hj["grilles"].push_back({{"grille", g.codeGrille}, {"prix", g.prixUnitaire}});
                pj["historiques"].push_back(std::move(hj));
            }
            aj["phases"].push_back(std::move(pj));
        }
        j["activites"].push_back(std::move(aj));
    }
    return j;
}

std::unique_ptr<NiveauActe> jsonVersActe(const json& j, const std::string& chemin, std::vector<std::string>& erreurs) {
    Conversion c(erreurs);
    std::unique_ptr<NiveauActe> acte(new NiveauActe);
    clesConnues(c, j, chemin,
                {"code", "libelleCourt", "libelleLong", "typeActe", "conditionsGenerales", "notes", "sexeCompatible",
                 "codeMenu", "dateCreation", "dateFin", "fraisDeplacement", "naturesAssurance", "historiques", "activites"});
    if (!j.is_object()) return acte;
    auto car = [&](const char* cle, char& v) { champ(j, chemin, cle, [&](const json& x, const std::string& p) { c.caractere(x, p, v); }); };
    champ(j, chemin, "code", [&](const json& x, const std::string& p) { c.fixe(x, p, 13, acte->codeStructure); });
    champ(j, chemin, "libelleCourt", [&](const json& x, const std::string& p) { c.chaine(x, p, acte->libelleCourt); });
    champ(j, chemin, "libelleLong", [&](const json& x, const std::string& p) { c.chaine(x, p, acte->libelleLong); });
    car("typeActe", acte->typeActe);
    champ(j, chemin, "conditionsGenerales", [&](const json& x, const std::string& p) { c.chaine(x, p, acte->conditionsGenerales); });
    champ(j, chemin, "notes", [&](const json& x, const std::string& p) { c.chaine(x, p, acte->notes); });
    car("sexeCompatible", acte->sexeCompatible);
    champ(j, chemin, "codeMenu", [&](const json& x, const std::string& p) { c.entier(x, p, acte->codeMenu); });
    champ(j, chemin, "dateCreation", [&](const json& x, const std::string& p) { c.date(x, p, acte->dateCreation); });
    champ(j, chemin, "dateFin", [&](const json& x, const std::string& p) { c.date(x, p, acte->dateFin); });
    car("fraisDeplacement", acte->fraisDeplacement);
    auto fixes = [&](size_t n) {
        return [&c, n](const json& x, const std::string& p, std::string& v) { c.fixe(x, p, n, v); };
    };
    auto caracteres = [&c](const json& x, const std::string& p, char& v) { c.caractere(x, p, v); };
    liste(c, j, chemin, "naturesAssurance", acte->naturesAssurance, fixes(2));

    if (!j.contains("historiques") || !j["historiques"].is_array() || j["historiques"].empty())
        c.erreur(chemin + "/historiques", "un acte a au moins un historique");
    std::unique_ptr<HistoriqueNiveauActe>* fin = &acte->teteHistoriques();
    pourChaque(c, j, chemin, "historiques", [&](const json& h, const std::string& p) {
        std::unique_ptr<HistoriqueNiveauActe> historique(new HistoriqueNiveauActe);
        clesConnues(c, h, p, {"dateEffet", "admissionRemboursement", "ententePrealable", "codesETM", "procedures",
                              "actesIncompatibles", "forfaitsCMU"});
        if (h.is_object()) {
            champ(h, p, "dateEffet", [&](const json& x, const std::string& q) { c.date(x, q, historique->dateEffet); });
            champ(h, p, "admissionRemboursement", [&](const json& x, const std::string& q) { c.caractere(x, q, historique->admissionRemboursement); });
            champ(h, p, "ententePrealable", [&](const json& x, const std::string& q) { c.caractere(x, q, historique->ententePrealable); });
            liste(c, h, p, "codesETM", historique->codesETM, caracteres);
            liste(c, h, p, "procedures", historique->procedures, fixes(13));
            liste(c, h, p, "actesIncompatibles", historique->actesIncompatibles, fixes(13));
            liste(c, h, p, "forfaitsCMU", historique->forfaitsCMU, [&](const json& f, const std::string& q, ForfaitCMU& v) {
                clesConnues(c, f, q, {"code", "debut", "fin"});
                if (!f.is_object()) return;
                champ(f, q, "code", [&](const json& x, const std::string& r) { c.fixe(x, r, 3, v.codeForfait); });
                champ(f, q, "debut", [&](const json& x, const std::string& r) { c.date(x, r, v.dateDebutValidite); });
                champ(f, q, "fin", [&](const json& x, const std::string& r) { c.date(x, r, v.dateFinValidite); });
            });
        }
        *fin = std::move(historique);
        fin = &(*fin)->lienSuivant();
    });

    if (!j.contains("activites") || !j["activites"].is_array() || j["activites"].empty())
        c.erreur(chemin + "/activites", "un acte a au moins une activite");
    pourChaque(c, j, chemin, "activites", [&](const json& a, const std::string& p) {
        std::unique_ptr<NiveauActivite> activite(new NiveauActivite);
        clesConnues(c, a, p, {"code", "typesAgrementRadio", "rmo", "codesExtensionDocumentaire", "historiques", "phases"});
        if (!a.is_object()) return;
        champ(a, p, "code", [&](const json& x, const std::string& q) { c.caractere(x, q, activite->codeActivite); });
        liste(c, a, p, "typesAgrementRadio", activite->typesAgrementRadio, fixes(2));
        liste(c, a, p, "rmo", activite->rmo, fixes(5));
        liste(c, a, p, "codesExtensionDocumentaire", activite->codesExtensionDocumentaire, caracteres);
        if (!a.contains("historiques") || !a["historiques"].is_array() || a["historiques"].empty())
            c.erreur(p + "/historiques", "une activite a au moins un historique");
        std::unique_ptr<HistoriqueNiveauActivite>* finA = &activite->teteHistoriques();
        pourChaque(c, a, p, "historiques", [&](const json& h, const std::string& q) {
            std::unique_ptr<HistoriqueNiveauActivite> historique(new HistoriqueNiveauActivite);
            clesConnues(c, h, q, {"dateEffet", "categorieMedicale", "codeRegroupement", "modificateurs", "classesSpecialite", "associations"});
            if (h.is_object()) {
                champ(h, q, "dateEffet", [&](const json& x, const std::string& r) { c.date(x, r, historique->dateEffet); });
                champ(h, q, "categorieMedicale", [&](const json& x, const std::string& r) { c.fixe(x, r, 2, historique->categorieMedicale); });
                champ(h, q, "codeRegroupement", [&](const json& x, const std::string& r) { c.fixe(x, r, 3, historique->codeRegroupement); });
                liste(c, h, q, "modificateurs", historique->modificateurs, caracteres);
                liste(c, h, q, "classesSpecialite", historique->classesSpecialite, fixes(2));
                liste(c, h, q, "associations", historique->associations, [&](const json& x, const std::string& r, AssociationActivite& v) {
                    clesConnues(c, x, r, {"acte", "regle"});
                    if (!x.is_object()) return;
                    champ(x, r, "acte", [&](const json& y, const std::string& s) { c.fixe(y, s, 13, v.codeActe); });
                    champ(x, r, "regle", [&](const json& y, const std::string& s) { c.caractere(y, s, v.codeRegleTarifaire); });
                });
            }
            *finA = std::move(historique);
            finA = &(*finA)->lienSuivant();
        });
        pourChaque(c, a, p, "phases", [&](const json& ph, const std::string& q) {
            std::unique_ptr<NiveauPhase> phase(new NiveauPhase);
            clesConnues(c, ph, q, {"code", "nombreDents", "ageMinimum", "ageMaximum", "dentsIncompatibles", "historiques"});
            if (!ph.is_object()) return;
            champ(ph, q, "code", [&](const json& x, const std::string& r) { c.caractere(x, r, phase->codePhase); });
            champ(ph, q, "nombreDents", [&](const json& x, const std::string& r) { c.fixe(x, r, 2, phase->nombreDentsATraiter); });
            champ(ph, q, "ageMinimum", [&](const json& x, const std::string& r) { c.entier(x, r, phase->ageMinimum); });
            champ(ph, q, "ageMaximum", [&](const json& x, const std::string& r) { c.entier(x, r, phase->ageMaximum); });
            liste(c, ph, q, "dentsIncompatibles", phase->dentsIncompatibles, fixes(2));
            if (!ph.contains("historiques") || !ph["historiques"].is_array() || ph["historiques"].empty())
                c.erreur(q + "/historiques", "une phase a au moins un historique");
            std::unique_ptr<HistoriqueNiveauPhase>* finP = &phase->teteHistoriques();
            pourChaque(c, ph, q, "historiques", [&](const json& h, const std::string& r) {
                std::unique_ptr<HistoriqueNiveauPhase> historique(new HistoriqueNiveauPhase);
                clesConnues(c, h, r, {"dateEffet", "prixUnitaire", "supplementCharge", "majorationsDOM", "grilles"});
                if (h.is_object()) {
                    champ(h, r, "dateEffet", [&](const json& x, const std::string& s) { c.date(x, s, historique->dateEffet); });
                    champ(h, r, "prixUnitaire", [&](const json& x, const std::string& s) { c.nombre(x, s, historique->prixUnitaireBase); });
                    champ(h, r, "supplementCharge", [&](const json& x, const std::string& s) { c.nombre(x, s, historique->supplementCharge); });
                    champ(h, r, "majorationsDOM", [&](const json& x, const std::string& s) {
                        if (!x.is_array() || x.size() != 4) return c.erreur(s, "quatre majorations attendues");
                        for (size_t k = 0; k < 4; ++k) c.nombre(x[k], s + "/" + std::to_string(k), historique->majorationsDOM[k]);
                    });
                    liste(c, h, r, "grilles", historique->grilles, [&](const json& g, const std::string& s, PrixGrille& v) {
                        clesConnues(c, g, s, {"grille", "prix"});
                        if (!g.is_object()) return;
                        champ(g, s, "grille", [&](const json& y, const std::string& t) { c.entier(y, t, v.codeGrille); });
                        champ(g, s, "prix", [&](const json& y, const std::string& t) { c.nombre(y, t, v.prixUnitaire); });
                    });
                }
                *finP = std::move(historique);
                finP = &(*finP)->lienSuivant();
            });
            activite->ajouterPhase(std::move(phase));
        });
        acte->ajouterActivite(std::move(activite));
    });
    return acte;
}

namespace {

bool lireJson(const fs::path& chemin, json& document, std::vector<std::string>& erreurs) {
    std::ifstream entree(chemin);
    if (!entree) {
        erreurs.push_back(chemin.string() + ": illisible");
        return false;
    }
    try {
        document = json::parse(entree);
    } catch (const json::parse_error& e) {
        erreurs.push_back(chemin.string() + ": JSON invalide: " + e.what());
        return false;
    }
    return true;
}

std::vector<fs::path> fichiersJson(const fs::path& repertoire) {
    std::vector<fs::path> fichiers;
    std::error_code ec;
    if (!fs::is_directory(repertoire, ec)) return fichiers;
    for (const auto& entree : fs::directory_iterator(repertoire))
        if (entree.path().extension() == ".json") fichiers.push_back(entree.path());
    std::sort(fichiers.begin(), fichiers.end());
    return fichiers;
}

std::string relatif(const fs::path& chemin, const fs::path& base) { return fs::relative(chemin, base).generic_string(); }

void lireTables(const json& document, const std::string& nom, bool modifications, ContenuReferentiel& contenu,
                std::set<uint16_t>& vues, std::vector<std::string>& erreurs) {
    if (!document.is_object()) {
        erreurs.push_back(nom + ": un objet {\"Classe\": [lignes...]} attendu");
        return;
    }
    for (auto it = document.begin(); it != document.end(); ++it) {
        const uint16_t id = identifiantDeClasse(it.key());
        const bool estModif = id >= 35 && id <= 43;
        if (id == 0xFFFF || id == 0 || estModif != modifications) {
            erreurs.push_back(nom + ": /" + it.key() + ": table inconnue ici" +
                              (id == 0 ? " (l'index est fait des actes)" : ""));
            continue;
        }
        if (!vues.insert(id).second) {
            erreurs.push_back(nom + ": /" + it.key() + ": table deja definie dans un autre fichier");
            continue;
        }
        jsonVersTable(it.value(), id, contenu.table(id), nom + ": /" + it.key(), erreurs);
    }
}

}  // namespace

void lireSource(const std::string& repertoire, ContenuReferentiel& contenu, std::vector<std::string>& erreurs) {
    const fs::path base(repertoire);
    json entete;
    Conversion c(erreurs);
    if (lireJson(base / "referentiel.json", entete, erreurs)) {
        const std::string nom = "referentiel.json: ";
        clesConnues(c, entete, "referentiel.json: ",
                    {"version", "versionBaseCCAM", "versionMinimaleLogiciel", "numeroRevision", "variante",
                     "commentaire", "date", "dateModifications"});
        auto fixe = [&](const char* cle, size_t n, std::string& v) {
            champ(entete, nom, cle, [&](const json& x, const std::string& p) { c.fixe(x, p, n, v); });
        };
        fixe("version", 4, contenu.version);
        fixe("versionBaseCCAM", 5, contenu.versionBaseCCAM);
        fixe("versionMinimaleLogiciel", 4, contenu.versionMinimaleLogiciel);
        fixe("variante", 10, contenu.variante);
        champ(entete, nom, "numeroRevision", [&](const json& x, const std::string& p) { c.entier(x, p, contenu.numeroRevision); });
        champ(entete, nom, "commentaire", [&](const json& x, const std::string& p) { c.chaine(x, p, contenu.commentaire); });
        champ(entete, nom, "date", [&](const json& x, const std::string& p) { c.date(x, p, contenu.date); });
        champ(entete, nom, "dateModifications", [&](const json& x, const std::string& p) { c.date(x, p, contenu.dateModifications); });
    }
    std::set<uint16_t> vues;
    for (const fs::path& fichier : fichiersJson(base / "tables")) {
        json document;
        if (lireJson(fichier, document, erreurs)) lireTables(document, relatif(fichier, base), false, contenu, vues, erreurs);
    }
    if (fs::exists(base / "modifications.json")) {
        json document;
        contenu.avecModifications = true;
        if (lireJson(base / "modifications.json", document, erreurs))
            lireTables(document, "modifications.json", true, contenu, vues, erreurs);
    }
    std::set<std::string> codes;
    for (const fs::path& fichier : fichiersJson(base / "actes")) {
        json document;
        if (!lireJson(fichier, document, erreurs)) continue;
        const std::string nom = relatif(fichier, base);
        if (!document.is_array()) document = json::array({document});
        for (size_t i = 0; i < document.size(); ++i) {
            const std::string chemin = nom + ": /" + std::to_string(i);
            std::unique_ptr<NiveauActe> acte = jsonVersActe(document[i], chemin, erreurs);
            if (!codes.insert(acte->codeStructure).second) {
                erreurs.push_back(chemin + "/code: acte deja defini");
                continue;
            }
            contenu.ajouterActe(std::move(acte));
        }
    }
}

bool ecrireSource(const ContenuReferentiel& contenu, const std::string& repertoire, std::string& erreur) {
    const fs::path base(repertoire);
    std::error_code ec;
    fs::create_directories(base / "tables", ec);
    fs::create_directories(base / "actes", ec);
    if (ec) {
        erreur = "impossible de creer " + repertoire;
        return false;
    }
    auto ecrire = [&](const fs::path& chemin, const ordered_json& document) {
        std::ofstream sortie(chemin);
        sortie << document.dump(2) << "\n";
        if (!sortie) erreur = "impossible d'ecrire " + chemin.string();
        return static_cast<bool>(sortie);
    };
    ordered_json entete;
    entete["version"] = contenu.version;
    entete["versionBaseCCAM"] = texteCode(contenu.versionBaseCCAM);
    entete["versionMinimaleLogiciel"] = contenu.versionMinimaleLogiciel;
    entete["numeroRevision"] = contenu.numeroRevision;
    entete["variante"] = texteCode(contenu.variante);
    entete["commentaire"] = latin1VersUtf8(contenu.commentaire);
    entete["date"] = texteDate(contenu.date);
    if (contenu.avecModifications) entete["dateModifications"] = texteDate(contenu.dateModifications);
    if (!ecrire(base / "referentiel.json", entete)) return false;

    std::map<std::string, ordered_json> familles;
    ordered_json modifications = ordered_json::object();
    for (uint16_t id = 1; id < Referentiel::kNombreIdentifiants; ++id) {
        if (!Table::aUneClasse(id)) continue;
        ordered_json lignes = contenu.tables[id] ? tableVersJson(*contenu.tables[id]) : ordered_json::array();
        if (id >= 35 && id <= 43) modifications[classeDeTable(id)] = std::move(lignes);
        else familles[familleTable(id)][classeDeTable(id)] = std::move(lignes);
    }
    for (auto& [famille, document] : familles)
        if (!ecrire(base / "tables" / (famille + ".json"), document)) return false;
    if (contenu.avecModifications && !ecrire(base / "modifications.json", modifications)) return false;
    ordered_json actes = ordered_json::array();
    for (const auto& acte : contenu.actes) actes.push_back(acteVersJson(*acte));
    return ecrire(base / "actes" / "actes.json", actes);
}

namespace {

// One line per field: key, JSON form, file encoding.
class Schema {
public:
    std::string texte;
    void code(const char&, const char* l, bool nonBlanc = true) { ligne(l, "\"X\"", nonBlanc ? "code, 1 caractere, non blanc" : "code, 1 caractere"); }
    void code(const std::string&, size_t n, const char* l, bool nonBlanc = true) {
        ligne(l, "\"...\"", "code, " + std::to_string(n) + " caracteres" + (nonBlanc ? ", non blanc" : ""));
    }
    void caracteres(const char&, const char* l) { ligne(l, "\"X\"", "1 caractere"); }
    void caracteres(const std::string&, size_t n, const char* l) { ligne(l, "\"...\"", std::to_string(n) + " caracteres"); }
    void top(const char&, const char* l) { ligne(l, "\"O\" ou \"N\"", "1 caractere"); }
    void entier16(const uint16_t&, const char* l) { ligne(l, "entier", "u16"); }
    void entier32(const uint32_t&, const char* l, const char* nonNul = nullptr) { ligne(l, "entier", nonNul ? "u32, non nul" : "u32"); }
    void chaine(const std::string&, const char* l, bool renseignee = false) { ligne(l, "\"...\"", renseignee ? "chaine, non vide" : "chaine"); }
    void dateDebut(const Date&, const char* l) { ligne(l, "\"AAAA-MM-JJ\"", "date, obligatoire"); }
    void dateFin(const Date&, const char* l) { ligne(l, "\"AAAA-MM-JJ\" ou null", "date, facultative"); }
    void nombre(const double&, const char* l, double minimum = -1, const char* message = nullptr) {
        ligne(l, "nombre ou \"12.50\"", message ? "decimal, >= " + std::to_string(static_cast<int>(minimum)) : std::string("decimal"));
    }
    template <class P>
    void plage(const P&, const EnfantsPlage& e) {
        ligne(e.nom, "{\"position\": p, \"nombre\": n}",
              std::string("lignes de ") + classeDeTable(e.identifiant) + (e.obligatoire ? ", au moins une" : ""));
    }

private:
    void ligne(const char* libelle, const std::string& forme, const std::string& codage) {
        texte += "| `" + cleJson(libelle) + "` | " + forme + " | " + codage + " |\n";
    }
};

struct SchemaTables {
    std::string texte;
    template <class L>
    void operator()() {
        if (L::kIdentifiant == 0) return;
        Schema schema;
        const L ligne;
        L::decrire(ligne, schema);
        texte += "### " + texteIdentifiant(L::kIdentifiant) + " `" + L::kNom + "` (" +
                 (L::kIdentifiant >= 35 && L::kIdentifiant <= 43 ? "modifications.json" : std::string("tables/") + familleTable(L::kIdentifiant) + ".json") +
                 ")\n\n| champ | JSON | fichier |\n|---|---|---|\n" + schema.texte + "\n";
    }
};

}  // namespace

std::string schemaSource() {
    SchemaTables tables;
    pourChaqueClasse(tables);
    return tables.texte;
}
