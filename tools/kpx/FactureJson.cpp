// The invoice format mapped onto the groups of the complete control, field by field.
#include "FactureJson.h"

#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <initializer_list>
#include <map>

#include "kpxbuild/Latin1.h"

using nlohmann::json;

namespace {

const std::map<std::string, uint16_t> kNatures = {
    {"AS", 1511}, {"MA", 1512}, {"AT", 1513}, {"PM", 1514}, {"SG", 1515}};
const std::map<std::string, uint16_t> kTypes = {
    {"acte", 1610}, {"ccam", 1610}, {"deplacement", 1620}, {"kilometres", 1630}};

constexpr size_t kModificateurs = 4;
constexpr size_t kDents = 16;

// Reads one JSON object; the first fault is kept, named by its path.
class Lecture {
public:
    explicit Lecture(std::string& erreur) : erreur_(erreur) {}

    bool echec(const std::string& chemin, const std::string& faute) {
        if (erreur_.empty()) erreur_ = chemin + ": " + faute;
        return false;
    }
    bool ok() const { return erreur_.empty(); }

    bool objet(const json& valeur, const std::string& chemin, std::initializer_list<const char*> cles) {
        if (!valeur.is_object()) return echec(chemin, "not an object");
        for (const auto& [cle, v] : valeur.items()) {
            bool connue = false;
            for (const char* c : cles) connue = connue || cle == c;
            if (!connue) return echec(chemin.empty() ? cle : chemin + "." + cle, "unknown field");
        }
        return true;
    }

    // A string or an integer, as Latin-1 bytes; absent: the default, or a fault when required.
    std::string texte(const json& objet, const std::string& chemin, const char* cle, bool requis,
                      const std::string& defaut = "") {
        const std::string ici = nom(chemin, cle);
        if (!objet.contains(cle) || objet[cle].is_null()) {
            if (requis) echec(ici, "missing");
            return defaut;
        }
        const json& v = objet[cle];
        if (v.is_number_integer()) return std::to_string(v.get<int64_t>());
        std::string octets;
        if (!v.is_string()) {
            echec(ici, "not a string");
        } else if (!utf8VersLatin1(v.get<std::string>(), octets)) {
            echec(ici, "a character with no Latin-1 byte");
        }
        return octets;
    }

    // "26.50", "26.5", 26.5 or 26: the zone's digits with two implied decimals ("2650").
    std::string centimes(const json& objet, const std::string& chemin, const char* cle, bool requis) {
        const std::string ici = nom(chemin, cle);
        if (!objet.contains(cle) || objet[cle].is_null()) {
            if (requis) echec(ici, "missing");
            return "";
        }
        const json& v = objet[cle];
        std::string texte;
        if (v.is_number()) {
            const double x = v.get<double>() * 100;
            if (!(x >= 0) || x > 1e10 || std::fabs(x - std::round(x)) > 1e-6) {
                echec(ici, "not a positive amount with at most 2 decimals");
                return "";
            }
            return std::to_string(static_cast<long long>(std::llround(x)));
        }
        if (!v.is_string()) {
            echec(ici, "not an amount");
            return "";
        }
        texte = v.get<std::string>();
        const size_t point = texte.find('.');
        std::string entiers = texte.substr(0, point), decimales = point == std::string::npos ? "" : texte.substr(point + 1);
        if (entiers.empty() || decimales.size() > 2 || entiers.find_first_not_of("0123456789") != std::string::npos ||
            decimales.find_first_not_of("0123456789") != std::string::npos || entiers.size() > 9) {
            echec(ici, "not a positive amount with at most 2 decimals, as \"26.50\"");
            return "";
        }
        decimales.resize(2, '0');
        const size_t zeros = entiers.find_first_not_of('0');
        entiers = zeros == std::string::npos ? "" : entiers.substr(zeros);
        const std::string resultat = entiers + decimales;
        const size_t debut = resultat.find_first_not_of('0');
        return debut == std::string::npos ? "0" : resultat.substr(debut);
    }

    // "2024-01-01" or "20240101": YYYYMMDD.
    std::string date(const json& objet, const std::string& chemin, const char* cle, bool requis,
                     const std::string& defaut = "") {
        std::string texte = this->texte(objet, chemin, cle, requis && defaut.empty(), defaut);
        if (texte.size() == 10 && texte[4] == '-' && texte[7] == '-')
            texte = texte.substr(0, 4) + texte.substr(5, 2) + texte.substr(8, 2);
        if (ok() && !texte.empty() && (texte.size() != 8 || texte.find_first_not_of("0123456789") != std::string::npos))
            echec(nom(chemin, cle), "not a date YYYY-MM-DD");
        return texte;
    }

    // An array of strings or integers, at most `maximum`, padded with empty fields to it.
    std::vector<std::string> liste(const json& objet, const std::string& chemin, const char* cle, size_t maximum,
                                   size_t remplir) {
        std::vector<std::string> valeurs;
        if (!objet.contains(cle) || objet[cle].is_null()) {
            valeurs.resize(remplir);
            return valeurs;
        }
        const json& v = objet[cle];
        const std::string ici = nom(chemin, cle);
        if (!v.is_array()) {
            echec(ici, "not an array");
            return valeurs;
        }
        if (v.size() > maximum) {
            echec(ici, "more than " + std::to_string(maximum));
            return valeurs;
        }
        for (size_t i = 0; i < v.size() && ok(); ++i) {
            json element = {{"v", v[i]}};
            valeurs.push_back(texte(element, ici + "[" + std::to_string(i) + "]", "v", true));
        }
        if (valeurs.size() < remplir) valeurs.resize(remplir);
        return valeurs;
    }

private:
    static std::string nom(const std::string& chemin, const char* cle) {
        // The element of a list is named by its index alone.
        if (std::string(cle) == "v") return chemin;
        return chemin.empty() ? std::string(cle) : chemin + "." + cle;
    }

    std::string& erreur_;
};

struct Defauts {
    std::string date;
    json contextes;
};

void lireLigne(Lecture& l, const json& ligne, size_t index, const Defauts& defauts, FactureJson& facture) {
    const std::string ici = "lignes[" + std::to_string(index) + "]";
    if (!l.objet(ligne, ici,
                 {"type", "numero", "date", "prestation", "lieu", "qualificatif", "prixUnitaire", "base", "taux",
                  "exoneration", "entente", "executant", "identifiantLieu", "baseTheorique", "acte", "activite",
                  "phase", "modificateurs", "codeAssociation", "remboursementExceptionnel", "supplementCharges",
                  "donneesComplementaires", "dents", "contextes", "outrepassements"}))
        return;
    LigneFacture resume;
    resume.type = l.texte(ligne, ici, "type", true);
    const auto type = kTypes.find(resume.type);
    if (l.ok() && type == kTypes.end()) l.echec(ici + ".type", "one of acte, ccam, deplacement, kilometres");
    if (!l.ok()) return;
    const bool acte = type->second == 1610, ccam = resume.type == "ccam";
    const std::string numero = l.texte(ligne, ici, "numero", false, std::to_string(index + 1));
    resume.numero = std::atoi(numero.c_str());
    resume.date = l.date(ligne, ici, "date", true, defauts.date);
    resume.prestation = l.texte(ligne, ici, "prestation", true);
    const std::string taux = l.centimes(ligne, ici, "taux", true);
    const std::string qualificatif = l.texte(ligne, ici, "qualificatif", false);
    if (acte) {
        facture.groupes.push_back({1610, {numero, resume.date, l.texte(ligne, ici, "lieu", false), resume.prestation,
                                          "", "", qualificatif, "", "", "", l.centimes(ligne, ici, "prixUnitaire", true),
                                          l.centimes(ligne, ici, "base", true), taux}});
    } else {
        for (const char* propre : {"lieu", "prixUnitaire", "base", "entente", "executant", "identifiantLieu",
                                   "baseTheorique", "acte", "dents", "contextes"})
            if (ligne.contains(propre)) l.echec(ici + "." + propre, "not for a travel line");
        facture.groupes.push_back({type->second, {numero, resume.date, resume.prestation, "", "", "", "", taux, "", "",
                                                  qualificatif}});
    }
    if (!ccam)
        for (const char* propre : {"acte", "activite", "phase", "modificateurs", "codeAssociation",
                                   "remboursementExceptionnel", "supplementCharges", "donneesComplementaires", "dents",
                                   "contextes"})
            if (ligne.contains(propre)) l.echec(ici + "." + propre, "only for a ccam line");
    if (ligne.contains("exoneration")) facture.groupes.push_back({1820, {numero, l.texte(ligne, ici, "exoneration", true)}});
    if (ligne.contains("entente")) facture.groupes.push_back({1840, {numero, l.texte(ligne, ici, "entente", true)}});
    if (ligne.contains("executant")) {
        const json& executant = ligne["executant"];
        const std::string chemin = ici + ".executant";
        if (l.objet(executant, chemin, {"numero", "cle", "specialite"}))
            facture.groupes.push_back({1870, {numero, l.texte(executant, chemin, "numero", true),
                                              l.texte(executant, chemin, "cle", false),
                                              l.texte(executant, chemin, "specialite", true)}});
    }
    if (ligne.contains("identifiantLieu"))
        facture.groupes.push_back({1880, {numero, l.texte(ligne, ici, "identifiantLieu", true)}});
    if (ligne.contains("baseTheorique"))
        facture.groupes.push_back({2020, {numero, l.centimes(ligne, ici, "baseTheorique", true)}});
    if (ccam) {
        resume.acte = l.texte(ligne, ici, "acte", true);
        GroupeZone groupe{2100, {numero, resume.acte, "", l.texte(ligne, ici, "activite", false, "1"),
                                 l.texte(ligne, ici, "phase", false, "0")}};
        for (std::string& m : l.liste(ligne, ici, "modificateurs", kModificateurs, kModificateurs))
            groupe.champs.push_back(std::move(m));
        for (const char* cle : {"codeAssociation", "remboursementExceptionnel", "supplementCharges",
                                "donneesComplementaires"})
            groupe.champs.push_back(l.texte(ligne, ici, cle, false));
        facture.groupes.push_back(std::move(groupe));
        if (ligne.contains("dents")) {
            GroupeZone dents{2200, {numero}};
            for (std::string& d : l.liste(ligne, ici, "dents", kDents, kDents)) dents.champs.push_back(std::move(d));
            facture.groupes.push_back(std::move(dents));
        }
        const json& contextes = ligne.contains("contextes") ? ligne["contextes"] : defauts.contextes;
        if (contextes.is_null()) l.echec(ici + ".contextes", "missing (here or for the whole invoice)");
        const json porteur = {{"contextes", contextes}};
        const std::vector<std::string> paire = l.liste(porteur, ici, "contextes", 2, 0);
        if (l.ok() && paire.size() != 2) l.echec(ici + ".contextes", "two values: professional, beneficiary");
        if (l.ok()) facture.groupes.push_back({3470, {numero, paire[0], paire[1]}});
    }
    for (const std::string& regle : l.liste(ligne, ici, "outrepassements", SIZE_MAX, 0))
        facture.groupes.push_back({3530, {numero, regle}});
    facture.lignes.push_back(std::move(resume));
}

}  // namespace

bool lireFacture(const json& document, FactureJson& facture, std::string& erreur) {
    facture = FactureJson();
    erreur.clear();
    Lecture l(erreur);
    if (!l.objet(document, "", {"praticien", "beneficiaire", "natureAssurance", "date", "contextes", "lignes"}))
        return false;
    const json praticien = document.value("praticien", json());
    const json beneficiaire = document.value("beneficiaire", json());
    if (praticien.is_null()) return l.echec("praticien", "missing");
    if (beneficiaire.is_null()) return l.echec("beneficiaire", "missing");
    if (!l.objet(praticien, "praticien",
                 {"numero", "cle", "convention", "specialite", "agrementRadio", "caisse", "remplacant"}) ||
        !l.objet(beneficiaire, "beneficiaire", {"dateNaissance"}))
        return false;
    facture.groupes.push_back(
        {1100, {l.texte(praticien, "praticien", "numero", false), l.texte(praticien, "praticien", "cle", false), "", "",
                l.texte(praticien, "praticien", "convention", true), l.texte(praticien, "praticien", "specialite", true),
                "", "", l.texte(praticien, "praticien", "agrementRadio", false), "", "", "",
                l.date(beneficiaire, "beneficiaire", "dateNaissance", true)}});
    if (praticien.contains("remplacant")) {
        const json& remplacant = praticien["remplacant"];
        if (l.objet(remplacant, "praticien.remplacant", {"numero", "cle"}))
            facture.groupes.push_back({1150, {l.texte(remplacant, "praticien.remplacant", "numero", true),
                                              l.texte(remplacant, "praticien.remplacant", "cle", false)}});
    }
    const std::string nature = l.texte(document, "", "natureAssurance", true);
    const auto groupe = kNatures.find(nature);
    if (l.ok() && groupe == kNatures.end()) return l.echec("natureAssurance", "one of AS, MA, AT, PM, SG");
    if (!l.ok()) return false;
    facture.groupes.push_back({groupe->second, {""}});

    Defauts defauts;
    defauts.date = l.date(document, "", "date", false);
    defauts.contextes = document.value("contextes", json());
    const json lignes = document.value("lignes", json::array());
    if (!lignes.is_array()) return l.echec("lignes", "not an array");
    for (size_t i = 0; i < lignes.size() && l.ok(); ++i) lireLigne(l, lignes[i], i, defauts, facture);
    facture.groupes.push_back({1900, {l.texte(praticien, "praticien", "caisse", true)}});
    return l.ok();
}
