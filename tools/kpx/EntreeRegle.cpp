// Each shape lists the keys of its objects in the order of the fields they fill.
#include "EntreeRegle.h"

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "kpxbuild/Latin1.h"

using Json = nlohmann::json;

namespace {

// The fault of a JSON value, with the key path that led to it.
struct Refus : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One object of the input: its keys checked against those of its shape.
class Objet {
public:
    Objet(const Json& json, std::string chemin, std::set<std::string> cles) : json_(json), chemin_(std::move(chemin)) {
        if (!json.is_object()) throw Refus(chemin_ + " is not an object");
        for (const auto& element : json.items())
            if (cles.count(element.key()) == 0) throw Refus(chemin_ + "." + element.key() + ": unknown key");
    }

    // A text field; absent is empty.
    std::string texte(const char* cle) const {
        const Json* v = valeur(cle);
        if (v == nullptr || v->is_null()) return "";
        if (v->is_number_integer()) return std::to_string(v->get<long long>());
        if (!v->is_string()) throw Refus(lieu(cle) + ": a string is expected");
        std::string latin1;
        if (!utf8VersLatin1(v->get<std::string>(), latin1)) throw Refus(lieu(cle) + ": not Latin-1 text");
        return latin1;
    }

    std::string date(const char* cle) const {
        std::string t = texte(cle);
        if (t.size() == 10 && t[4] == '-' && t[7] == '-') t = t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2);
        return t;
    }

    // A decimal as its digits with two implied decimals: "100.00" and 100 are "10000".
    std::string decimal(const char* cle) const {
        const Json* v = valeur(cle);
        if (v == nullptr || v->is_null()) return "";
        std::string t = v->is_number() ? v->dump() : v->is_string() ? v->get<std::string>() : "?";
        const size_t point = t.find('.');
        std::string entier = t.substr(0, point), fraction = point == std::string::npos ? "" : t.substr(point + 1);
        while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
        if (entier.empty() || fraction.size() > 2 || (entier + fraction).find_first_not_of("0123456789") !=
                                                          std::string::npos)
            throw Refus(lieu(cle) + ": a decimal with at most two decimals is expected");
        std::string chiffres = entier + fraction + std::string(2 - fraction.size(), '0');
        const size_t premier = chiffres.find_first_not_of('0');
        return premier == std::string::npos ? "0" : chiffres.substr(premier);
    }

    std::string ouiNon(const char* cle) const {
        const Json* v = valeur(cle);
        if (v == nullptr || v->is_null()) return "";
        if (!v->is_boolean()) throw Refus(lieu(cle) + ": true or false is expected");
        return v->get<bool>() ? "O" : "N";
    }

    // A list of texts, padded with empty fields up to taille.
    std::vector<std::string> textes(const char* cle, size_t taille) const {
        std::vector<std::string> liste;
        const Json* v = valeur(cle);
        if (v != nullptr && !v->is_null()) {
            if (!v->is_array() || v->size() > taille)
                throw Refus(lieu(cle) + ": a list of at most " + std::to_string(taille) + " is expected");
            for (size_t i = 0; i < v->size(); ++i) liste.push_back(Objet::element(*v, lieu(cle), i));
        }
        liste.resize(taille);
        return liste;
    }

    // The objects of a list, each with its own keys.
    std::vector<Objet> objets(const char* cle, const std::set<std::string>& cles) const {
        std::vector<Objet> liste;
        const Json* v = valeur(cle);
        if (v == nullptr || !v->is_array()) throw Refus(lieu(cle) + ": a list is expected");
        for (size_t i = 0; i < v->size(); ++i)
            liste.emplace_back((*v)[i], lieu(cle) + "[" + std::to_string(i) + "]", cles);
        return liste;
    }

    std::vector<std::string> regles() const {
        std::vector<std::string> liste;
        const Json* v = valeur("outrepassements");
        if (v == nullptr || v->is_null()) return liste;
        if (!v->is_array()) throw Refus(lieu("outrepassements") + ": a list of rule identifiers is expected");
        for (size_t i = 0; i < v->size(); ++i) liste.push_back(Objet::element(*v, lieu("outrepassements"), i));
        return liste;
    }

    const std::string& chemin() const { return chemin_; }

private:
    const Json* valeur(const char* cle) const { return json_.contains(cle) ? &json_.at(cle) : nullptr; }
    std::string lieu(const char* cle) const { return chemin_ + "." + cle; }
    static std::string element(const Json& liste, const std::string& lieu, size_t i) {
        if (!liste[i].is_string()) throw Refus(lieu + "[" + std::to_string(i) + "]: a string is expected");
        std::string latin1;
        if (!utf8VersLatin1(liste[i].get<std::string>(), latin1))
            throw Refus(lieu + "[" + std::to_string(i) + "]: not Latin-1 text");
        return latin1;
    }

    const Json& json_;
    std::string chemin_;
};

using Groupes = std::vector<GroupeZone>;

// The practitioner number travels as 8 characters and a key character.
void ajouterNumeroPS(const Objet& o, std::vector<std::string>& champs) {
    const std::string ps = o.texte("numeroPS");
    champs.push_back(ps.substr(0, 8));
    champs.push_back(ps.size() > 8 ? ps.substr(8) : "");
}

void ajouterOutrepassements(const Objet& o, Groupes& groupes) {
    for (const std::string& regle : o.regles()) groupes.push_back({3530, {o.texte("numero"), regle}});
}

void ajouterGrille(const Objet& o, Groupes& groupes) {
    groupes.push_back({3470, {"", o.texte("contextePS"), o.texte("contexteBeneficiaire")}});
}

const std::set<std::string> kActeDent = {"numero", "date", "acte", "activite", "phase", "dents"};
const std::set<std::string> kActeAssocie = {"numero", "date", "acte", "activite", "numeroPS", "outrepassements"};
const std::set<std::string> kActePu = {"numero",     "date",  "acte", "activite", "phase", "contextePS",
                                       "contexteBeneficiaire", "outrepassements"};
const std::set<std::string> kActeBase = {
    "numero",          "date",       "lieuExecution",        "identifiantLieu", "acte",
    "activite",        "phase",      "modificateurs",        "codeAssociation", "codeRemboursement",
    "supplementCharges", "numeroPS", "contextePS",           "contexteBeneficiaire", "prixUnitaire",
    "outrepassements"};
const std::set<std::string> kActeExo = {"caissePS", "numero", "date", "acte", "motifExoneration",
                                        "baseRemboursement", "baseHorsForfait", "baseTheoriqueAMO"};
const std::set<std::string> kPrevention = {"numero", "date", "acte", "prevention"};
const std::set<std::string> kLigneFacture = {"type", "numero", "date", "acte", "prestation",
                                             "baseRemboursement", "baseHorsForfait", "tauxRemboursement",
                                             "exonerationTM", "factureExoneree", "outrepassements"};

void dent(const Json& json, Groupes& groupes) {
    const Objet o(json, "$", kActeDent);
    groupes.push_back({3300, {o.texte("numero"), o.date("date"), o.texte("acte"), o.texte("activite"), o.texte("phase")}});
    std::vector<std::string> champs = {o.texte("numero")};
    for (const std::string& d : o.textes("dents", 16)) champs.push_back(d);
    groupes.push_back({3302, champs});
}

void actesAssocies(const Json& json, Groupes& groupes) {
    const Objet o(json, "$", {"actes"});
    for (const Objet& a : o.objets("actes", kActeAssocie)) {
        std::vector<std::string> champs = {a.texte("numero"), a.date("date"), a.texte("acte"), a.texte("activite")};
        ajouterNumeroPS(a, champs);
        groupes.push_back({3310, champs});
        ajouterOutrepassements(a, groupes);
    }
}

void pu(const Json& json, Groupes& groupes) {
    const Objet o(json, "$", {"caissePS", "actes"});
    groupes.push_back({3400, {"", o.texte("caissePS")}});
    for (const Objet& a : o.objets("actes", kActePu)) {
        groupes.push_back({3410, {a.texte("numero"), a.date("date"), a.texte("acte"), a.texte("activite"),
                                  a.texte("phase")}});
        ajouterGrille(a, groupes);
        ajouterOutrepassements(a, groupes);
    }
}

void base(const Json& json, Groupes& groupes) {
    const Objet o(json, "$", {"conventionPS", "actes"});
    groupes.push_back({3401, {o.texte("conventionPS"), ""}});
    for (const Objet& a : o.objets("actes", kActeBase)) {
        std::vector<std::string> champs = {a.texte("numero"),   a.date("date"),     a.texte("lieuExecution"),
                                           a.texte("identifiantLieu"), a.texte("acte"), a.texte("activite"),
                                           a.texte("phase")};
        for (const std::string& m : a.textes("modificateurs", 4)) champs.push_back(m);
        for (const char* cle : {"codeAssociation", "codeRemboursement", "supplementCharges"})
            champs.push_back(a.texte(cle));
        ajouterNumeroPS(a, champs);
        groupes.push_back({3420, champs});
        ajouterGrille(a, groupes);
        groupes.push_back({3422, {a.texte("numero"), a.decimal("prixUnitaire")}});
        ajouterOutrepassements(a, groupes);
    }
}

void exoActe(const Json& json, Groupes& groupes) {
    const Objet o(json, "$", kActeExo);
    groupes.push_back({3400, {"", o.texte("caissePS")}});
    groupes.push_back({3430, {o.texte("numero"), o.date("date"), o.texte("acte"), o.texte("motifExoneration")}});
    groupes.push_back({3432, {o.texte("numero"), o.decimal("baseRemboursement"), o.decimal("baseHorsForfait"),
                              o.decimal("baseTheoriqueAMO")}});
}

void prevention(const Json& json, Groupes& groupes) {
    const Objet o(json, "$", kPrevention);
    groupes.push_back({3440, {o.texte("numero"), o.date("date"), o.texte("acte"), o.ouiNon("prevention")}});
}

void exoFacture(const Json& json, Groupes& groupes) {
    const Objet o(json, "$", {"caissePS", "lignes"});
    groupes.push_back({3400, {"", o.texte("caissePS")}});
    for (const Objet& l : o.objets("lignes", kLigneFacture)) {
        const std::string type = l.texte("type"), numero = l.texte("numero");
        if (type == "ccam") {
            groupes.push_back({3450, {numero, l.date("date"), l.texte("acte")}});
            groupes.push_back({3451, {numero, l.decimal("baseRemboursement"), l.decimal("baseHorsForfait"), ""}});
            groupes.push_back({3452, {numero, l.decimal("tauxRemboursement"), l.texte("exonerationTM")}});
            if (!l.ouiNon("factureExoneree").empty()) groupes.push_back({3441, {numero, l.ouiNon("factureExoneree")}});
            ajouterOutrepassements(l, groupes);
        } else if (type == "acte") {
            groupes.push_back({3460, {numero, l.date("date"), l.texte("prestation")}});
            groupes.push_back({3461, {numero, l.decimal("tauxRemboursement"), l.texte("exonerationTM")}});
        } else if (type == "deplacement") {
            groupes.push_back({3462, {numero, l.date("date"), l.texte("prestation"), l.decimal("tauxRemboursement")}});
        } else {
            throw Refus(l.chemin() + ".type: \"ccam\", \"acte\" or \"deplacement\" is expected");
        }
    }
}

const std::map<std::string, std::function<void(const Json&, Groupes&)>>& formes() {
    static const std::map<std::string, std::function<void(const Json&, Groupes&)>> liste = {
        {"C_Association", actesAssocies}, {"C_Base", base},       {"C_Compatibilite", actesAssocies},
        {"C_Dent", dent},                 {"C_ExoActe", exoActe}, {"C_ExoFacture", exoFacture},
        {"C_ExoPrevention", prevention},  {"C_Pu", pu},
    };
    return liste;
}

}  // namespace

std::string identifiantsRegles() {
    std::string noms;
    for (const auto& forme : formes()) noms += (noms.empty() ? "" : ", ") + forme.first;
    return noms;
}

bool entreeRegle(const std::string& identifiant, const Json& json, std::vector<GroupeZone>& groupes,
                 std::string& erreur) {
    const auto forme = formes().find(identifiant);
    if (forme == formes().end()) {
        erreur = identifiant + " is no rule-application function (" + identifiantsRegles() + ")";
        return false;
    }
    try {
        groupes.clear();
        forme->second(json, groupes);
        return true;
    } catch (const Refus& refus) {
        erreur = refus.what();
        return false;
    }
}
