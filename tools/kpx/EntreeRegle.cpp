// Each shape lists the fields of its objects and fills the groups in the order of
// their fields; the names are those of the invoice format of kpx control.
#include "EntreeRegle.h"

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "kpxbuild/Latin1.h"

using Json = nlohmann::json;

namespace {

// The fault of a JSON value, named by its path.
struct Refus : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Champs = std::set<std::string>;

// One object of the input, its fields checked against those of its shape; a value it
// lacks is taken from its parent's defaults (the date, the tariff contexts).
class Objet {
public:
    Objet(const Json& json, std::string chemin, const Champs& champs, const Objet* parent = nullptr)
        : json_(json), chemin_(std::move(chemin)), parent_(parent) {
        if (!json.is_object()) throw Refus(chemin_ + ": not an object");
        for (const auto& element : json.items())
            if (champs.count(element.key()) == 0) throw Refus(lieu(element.key().c_str()) + ": unknown field");
    }

    bool contient(const char* cle) const { return json_.contains(cle) && !json_.at(cle).is_null(); }

    // A string or an integer, as Latin-1 bytes; absent: the default.
    std::string texte(const char* cle, const std::string& defaut = "") const {
        if (!contient(cle)) return defaut;
        return Objet::octets(json_.at(cle), lieu(cle));
    }

    std::string date(const char* cle) const {
        std::string t = texte(cle);
        if (t.empty() && parent_ != nullptr) return parent_->date(cle);
        if (t.size() == 10 && t[4] == '-' && t[7] == '-') t = t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2);
        return t;
    }

    // An amount or a rate as its digits with two implied decimals: "26.50" and 26.5 are "2650".
    std::string centimes(const char* cle) const {
        if (!contient(cle)) return "";
        const Json& v = json_.at(cle);
        std::string t = v.is_number() ? v.dump() : v.is_string() ? v.get<std::string>() : "?";
        const size_t point = t.find('.');
        std::string entier = t.substr(0, point), fraction = point == std::string::npos ? "" : t.substr(point + 1);
        while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
        if (entier.empty() || fraction.size() > 2 ||
            (entier + fraction).find_first_not_of("0123456789") != std::string::npos)
            throw Refus(lieu(cle) + ": not a positive amount with at most 2 decimals, as \"26.50\"");
        const std::string chiffres = entier + fraction + std::string(2 - fraction.size(), '0');
        const size_t premier = chiffres.find_first_not_of('0');
        return premier == std::string::npos ? "0" : chiffres.substr(premier);
    }

    std::string ouiNon(const char* cle) const {
        if (!contient(cle)) return "";
        if (!json_.at(cle).is_boolean()) throw Refus(lieu(cle) + ": not true or false");
        return json_.at(cle).get<bool>() ? "O" : "N";
    }

    // A list of at most `maximum` strings, padded with empty fields up to `remplir`.
    std::vector<std::string> liste(const char* cle, size_t maximum, size_t remplir) const {
        std::vector<std::string> valeurs;
        if (contient(cle)) {
            const Json& v = json_.at(cle);
            if (!v.is_array() || v.size() > maximum)
                throw Refus(lieu(cle) + ": not a list of at most " + std::to_string(maximum));
            for (size_t i = 0; i < v.size(); ++i) valeurs.push_back(octets(v[i], lieu(cle) + "[" + std::to_string(i) + "]"));
        }
        if (valeurs.size() < remplir) valeurs.resize(remplir);
        return valeurs;
    }

    // The two tariff contexts, the line's or its parent's.
    std::vector<std::string> contextes() const {
        if (!contient("contextes")) return parent_ != nullptr ? parent_->contextes() : std::vector<std::string>(2);
        return liste("contextes", 2, 2);
    }

    const Objet* sous(const char* cle, const Champs& champs, std::unique_ptr<Objet>& stockage) const {
        if (!contient(cle)) return nullptr;
        stockage = std::make_unique<Objet>(json_.at(cle), lieu(cle), champs);
        return stockage.get();
    }

    // The objects of a list, each with its own fields and this object as parent.
    std::vector<Objet> objets(const char* cle, const Champs& champs) const {
        if (!contient(cle) || !json_.at(cle).is_array()) throw Refus(lieu(cle) + ": not a list");
        std::vector<Objet> liste;
        const Json& v = json_.at(cle);
        for (size_t i = 0; i < v.size(); ++i) liste.emplace_back(v[i], lieu(cle) + "[" + std::to_string(i) + "]", champs, this);
        return liste;
    }

    const std::string& chemin() const { return chemin_; }

private:
    std::string lieu(const char* cle) const { return chemin_.empty() ? cle : chemin_ + "." + cle; }
    static std::string octets(const Json& v, const std::string& lieu) {
        if (v.is_number_integer()) return std::to_string(v.get<long long>());
        if (!v.is_string()) throw Refus(lieu + ": not a string");
        std::string latin1;
        if (!utf8VersLatin1(v.get<std::string>(), latin1)) throw Refus(lieu + ": a character with no Latin-1 byte");
        return latin1;
    }

    const Json& json_;
    std::string chemin_;
    const Objet* parent_;
};

using Groupes = std::vector<GroupeZone>;

// Rules one act may override: as many as an act may break, with room to spare.
constexpr size_t kOutrepassementsMax = 100;

const Champs kPraticien = {"numero", "cle", "convention", "specialite", "agrementRadio", "caisse"};
const Champs kExecutant = {"numero", "cle", "specialite"};

// What the practitioner block gives, and the executing practitioner of an act who replaces it.
struct Praticien {
    std::string numero, cle, convention, caisse;

    explicit Praticien(const Objet& racine) {
        std::unique_ptr<Objet> p;
        if (const Objet* o = racine.sous("praticien", kPraticien, p)) {
            numero = o->texte("numero");
            cle = o->texte("cle");
            convention = o->texte("convention");
            caisse = o->texte("caisse");
        }
    }

    // The practitioner number travels as its 8 characters and its key.
    void ajouterNumero(const Objet& acte, std::vector<std::string>& champs) const {
        std::unique_ptr<Objet> e;
        const Objet* executant = acte.sous("executant", kExecutant, e);
        champs.push_back(executant != nullptr ? executant->texte("numero") : numero);
        champs.push_back(executant != nullptr ? executant->texte("cle") : cle);
    }
};

// An act's number defaults to its position from 1.
std::string numero(const Objet& o, size_t position) { return o.texte("numero", std::to_string(position + 1)); }

void ajouterOutrepassements(const Objet& o, const std::string& numeroActe, Groupes& groupes) {
    if (!o.contient("outrepassements")) return;
    for (const std::string& regle : o.liste("outrepassements", kOutrepassementsMax, 0)) groupes.push_back({3530, {numeroActe, regle}});
}

void ajouterContextes(const Objet& o, Groupes& groupes) {
    const std::vector<std::string> c = o.contextes();
    groupes.push_back({3470, {"", c[0], c[1]}});
}

const Champs kDent = {"numero", "date", "acte", "activite", "phase", "dents"};
const Champs kActeAssocie = {"numero", "date", "acte", "activite", "executant", "outrepassements"};
const Champs kActePu = {"numero", "date", "acte", "activite", "phase", "contextes", "outrepassements"};
const Champs kActeBase = {"numero",          "date",     "lieu",         "identifiantLieu",
                          "acte",            "activite", "phase",        "modificateurs",
                          "codeAssociation", "remboursementExceptionnel", "supplementCharges",
                          "executant",       "contextes", "prixUnitaire", "outrepassements"};
const Champs kExoActe = {"praticien", "numero", "date", "acte", "motifExoneration", "base", "baseHorsForfait",
                         "baseTheorique"};
const Champs kPrevention = {"numero", "date", "acte", "prevention"};
const Champs kLigneFacture = {"type",  "numero",          "date", "acte",        "prestation",      "base",
                              "baseHorsForfait", "taux", "exoneration", "factureExoneree", "outrepassements"};

// Lists of acts have no other field than these at their top.
const Champs kRacineActes = {"praticien", "date", "contextes", "actes"};

void dent(const Objet& o, Groupes& groupes) {
    const std::string n = numero(o, 0);
    groupes.push_back({3300, {n, o.date("date"), o.texte("acte"), o.texte("activite", "1"), o.texte("phase", "0")}});
    std::vector<std::string> champs = {n};
    for (const std::string& d : o.liste("dents", 16, 16)) champs.push_back(d);
    groupes.push_back({3302, champs});
}

void actesAssocies(const Objet& o, Groupes& groupes) {
    const Praticien praticien(o);
    const std::vector<Objet> actes = o.objets("actes", kActeAssocie);
    for (size_t i = 0; i < actes.size(); ++i) {
        const Objet& a = actes[i];
        std::vector<std::string> champs = {numero(a, i), a.date("date"), a.texte("acte"), a.texte("activite", "1")};
        praticien.ajouterNumero(a, champs);
        groupes.push_back({3310, champs});
        ajouterOutrepassements(a, champs[0], groupes);
    }
}

void pu(const Objet& o, Groupes& groupes) {
    groupes.push_back({3400, {"", Praticien(o).caisse}});
    const std::vector<Objet> actes = o.objets("actes", kActePu);
    for (size_t i = 0; i < actes.size(); ++i) {
        const Objet& a = actes[i];
        const std::string n = numero(a, i);
        groupes.push_back({3410, {n, a.date("date"), a.texte("acte"), a.texte("activite", "1"), a.texte("phase", "0")}});
        ajouterContextes(a, groupes);
        ajouterOutrepassements(a, n, groupes);
    }
}

void base(const Objet& o, Groupes& groupes) {
    const Praticien praticien(o);
    groupes.push_back({3401, {praticien.convention, ""}});
    const std::vector<Objet> actes = o.objets("actes", kActeBase);
    for (size_t i = 0; i < actes.size(); ++i) {
        const Objet& a = actes[i];
        const std::string n = numero(a, i);
        std::vector<std::string> champs = {n,           a.date("date"),          a.texte("lieu"),
                                           a.texte("identifiantLieu"), a.texte("acte"), a.texte("activite", "1"),
                                           a.texte("phase", "0")};
        for (const std::string& m : a.liste("modificateurs", 4, 4)) champs.push_back(m);
        for (const char* cle : {"codeAssociation", "remboursementExceptionnel", "supplementCharges"})
            champs.push_back(a.texte(cle));
        praticien.ajouterNumero(a, champs);
        groupes.push_back({3420, champs});
        ajouterContextes(a, groupes);
        groupes.push_back({3422, {n, a.centimes("prixUnitaire")}});
        ajouterOutrepassements(a, n, groupes);
    }
}

void exoActe(const Objet& o, Groupes& groupes) {
    const std::string n = numero(o, 0);
    groupes.push_back({3400, {"", Praticien(o).caisse}});
    groupes.push_back({3430, {n, o.date("date"), o.texte("acte"), o.texte("motifExoneration")}});
    groupes.push_back({3432, {n, o.centimes("base"), o.centimes("baseHorsForfait"), o.centimes("baseTheorique")}});
}

void prevention(const Objet& o, Groupes& groupes) {
    groupes.push_back({3440, {numero(o, 0), o.date("date"), o.texte("acte"), o.ouiNon("prevention")}});
}

void exoFacture(const Objet& o, Groupes& groupes) {
    groupes.push_back({3400, {"", Praticien(o).caisse}});
    const std::vector<Objet> lignes = o.objets("lignes", kLigneFacture);
    for (size_t i = 0; i < lignes.size(); ++i) {
        const Objet& l = lignes[i];
        const std::string type = l.texte("type"), n = numero(l, i), date = l.date("date");
        if (type == "ccam") {
            groupes.push_back({3450, {n, date, l.texte("acte")}});
            groupes.push_back({3451, {n, l.centimes("base"), l.centimes("baseHorsForfait"), ""}});
            groupes.push_back({3452, {n, l.centimes("taux"), l.texte("exoneration")}});
            if (l.contient("factureExoneree")) groupes.push_back({3441, {n, l.ouiNon("factureExoneree")}});
            ajouterOutrepassements(l, n, groupes);
        } else if (type == "acte") {
            groupes.push_back({3460, {n, date, l.texte("prestation")}});
            groupes.push_back({3461, {n, l.centimes("taux"), l.texte("exoneration")}});
        } else if (type == "deplacement") {
            groupes.push_back({3462, {n, date, l.texte("prestation"), l.centimes("taux")}});
        } else {
            throw Refus(l.chemin() + ".type: not \"ccam\", \"acte\" or \"deplacement\"");
        }
    }
}

struct Forme {
    Champs racine;
    std::function<void(const Objet&, Groupes&)> remplir;
};

const std::map<std::string, Forme>& formes() {
    static const std::map<std::string, Forme> liste = {
        {"C_Association", {kRacineActes, actesAssocies}},
        {"C_Base", {kRacineActes, base}},
        {"C_Compatibilite", {kRacineActes, actesAssocies}},
        {"C_Dent", {kDent, dent}},
        {"C_ExoActe", {kExoActe, exoActe}},
        {"C_ExoFacture", {{"praticien", "date", "lignes"}, exoFacture}},
        {"C_ExoPrevention", {kPrevention, prevention}},
        {"C_Pu", {kRacineActes, pu}},
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
        forme->second.remplir(Objet(json, "", forme->second.racine), groupes);
        return true;
    } catch (const Refus& refus) {
        erreur = refus.what();
        return false;
    }
}
