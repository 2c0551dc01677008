// The output groups of the consultation, search, version, rule and complete-control
// answers, with the groups each function writes.
#include "CatalogueSorties.h"

#include <cstring>
#include <map>

#include "ZoneJson.h"

namespace {

using N = NatureChamp;

const std::vector<GroupeSortie>& groupes() {
    static const std::vector<GroupeSortie> liste = {
        {2000, "forcage", {{"numero", N::Nombre}, {"forcage", N::Code}}, false},
        {3000, "actes", {{"nombre", N::Nombre}, {"codes", N::Code}}, true},
        {3110, "code", {{"code", N::Code}}, false},
        {3111, "nombre", {{"nombre", N::Nombre}}, false},
        {3112, "texte", {{"texte", N::Texte}}, false},
        {3113, "date", {{"date", N::Date}}, false},
        {3114, "coefficient", {{"coefficient", N::Coefficient}}, false},
        {3115, "age", {{"annees", N::Nombre}, {"jours", N::Nombre}}, false},
        {3116, "booleen", {{"reponse", N::Booleen}}, false},
        {3117, "montant", {{"montant", N::Montant}}, false},
        {3118, "code et libelle", {{"code", N::Code}, {"libelle", N::Texte}}, false},
        {3119, "textes", {{"nombre", N::Nombre}, {"textes", N::Texte}}, true},
        {3123, "grille tarifaire", {{"grille", N::Nombre}, {"texte1", N::Texte}, {"texte2", N::Texte}}, false},
        {3130, "date de modification", {{"dateModification", N::Date}}, false},
        {3301, "dents", {{"numero", N::Nombre}, {"resultats", N::Booleen}}, true},
        {3311, "compatibilite",
         {{"numero", N::Nombre},
          {"diagnostic", N::Code},
          {"dernierePaire", N::Code},
          {"message", N::Texte},
          {"autreActe", N::Code},
          {"procedure", N::Code}},
         false},
        {3321, "association", {{"numero", N::Nombre}, {"association", N::Nombre}, {"codeCalcule", N::Code}}, false},
        {3411, "prix unitaire", {{"numero", N::Nombre}, {"prixUnitaire", N::Montant}}, false},
        {3421, "bases",
         {{"numero", N::Nombre},
          {"baseRemboursement", N::Montant},
          {"baseHorsForfait", N::Montant},
          {"baseTheoriqueAMO", N::Montant}},
         false},
        {3431, "exoneration", {{"numero", N::Nombre}, {"taux", N::Texte}, {"exonerationTM", N::Code}}, false},
        {3441, "facture exoneree", {{"numero", N::Nombre}, {"exonereFacture", N::Booleen}}, false},
        {3520, "erreur",
         {{"codeRegle", N::Code},
          {"outrePassable", N::Booleen},
          {"libelle", N::Texte},
          {"message", N::Texte},
          {"nombrePrestations", N::Nombre},
          {"prestations", N::Nombre}},
         true},
        {3531, "resultat retenu", {{"numero", N::Nombre}}, false},
        {3600, "version",
         {{"version", N::Code},
          {"versionBaseCCAM", N::Code},
          {"dateSauvegarde", N::Date},
          {"variante", N::Code},
          {"commentaire", N::Texte},
          {"revision", N::Nombre},
          {"versionLogiciel", N::Code}},
         false},
    };
    return liste;
}

const char* const kModificationLocale = "; 3130 follows when a local modification is in force";

struct Consultation {
    const char* identifiant;
    std::vector<uint16_t> groupes;
    const char* texte;
};

const std::vector<Consultation>& consultations() {
    static const std::vector<Consultation> liste = {
        {"CCAM_1", {3116}, "3116: whether the act exists"},
        {"CCAM_2", {3118}, "3118 per activity"},
        {"CCAM_3", {3118}, "3118 per documentary extension code"},
        {"CCAM_4a", {3111}, "3111: the number of phases"},
        {"CCAM_5", {3110}, "3110: the structure code"},
        {"CCAM_6", {3118}, "3118 per applicable modifier"},
        {"CCAM_7", {3112}, "3112: the short label"},
        {"CCAM_8", {3112}, "3112: the long label"},
        {"CCAM_9", {3118}, "3118: the act type"},
        {"CCAM_9_1", {3110}, "3110 per procedure"},
        {"CCAM_10", {3112}, "3112: the general conditions"},
        {"CCAM_11", {3112}, "3112: the notes"},
        {"CCAM_12", {3118}, "3118: the medical category"},
        {"CCAM_13", {3110}, "3110 per compatible act"},
        {"CCAM_14", {3110}, "3110 per incompatible act"},
        {"CCAM_15", {3110}, "3110: the compatible sex"},
        {"CCAM_16a", {3119}, "3119: the menu path, from the act's menu up"},
        {"CCAM_18", {3113}, "3113: the creation date"},
        {"CCAM_19", {3113}, "3113: the end date"},
        {"CCAM_20", {3110}, "3110 per recommendation"},
        {"CCAM_22", {3118}, "3118: the reimbursement admission"},
        {"CCAM_24", {3116}, "3116: prior agreement"},
        {"CCAM_25", {3118}, "3118 per exemption code"},
        {"CCAM_30_1", {3118}, "3118 per insurance nature"},
        {"CCAM_32a", {3110}, "3110 per speciality"},
        {"CCAM_37", {3117, 3130}, "3117: the unit price"},
        {"CCAM_39", {3117, 3130}, "3117: the charge supplement"},
        {"CCAM_40a", {3116}, "3116: whether radiology approvals exist"},
        {"CCAM_41", {3118}, "3118: the travel expenses"},
        {"CCAM_42", {3118, 3130}, "3118: the grouping code"},
        {"CCAM_43a", {3116, 3111}, "3116: whether the act is dental; 3111 follows with the number of teeth"},
        {"CCAM_44", {3110}, "3110 per incompatible tooth"},
        {"CCAM_45", {3115}, "3115: the minimum age"},
        {"CCAM_46", {3115}, "3115: the maximum age"},
        {"CCAM_47a", {3114, 3130}, "3114: the overseas surcharge"},
        {"CCAM_52a", {3110}, "3110 per CMU lump-sum act"},
        {"TB02_1", {3114, 3130}, "3114: the unforeseen association coefficient"},
        {"TB02_2", {3118}, "3118 per unforeseen association code"},
        {"TB06_1", {3115}, "3115: the modifier's minimum age"},
        {"TB06_2", {3115}, "3115: the modifier's maximum age"},
        {"TB07_1", {3117, 3130}, "3117: the exemption threshold"},
        {"TB08_1", {3116}, "3116: whether the reference date is a public holiday"},
        {"TB09_1", {3116}, "3116: whether the two modifiers are compatible"},
        {"TB10_1", {3116}, "3116: coherence check flag"},
        {"TB10_2", {3116}, "3116: multiple presence flag"},
        {"TB11_1", {3117, 3130}, "3117: the modifier's lump sum"},
        {"TB11_2", {3114, 3130}, "3114: the modifier's rate"},
        {"TB11_3", {3118}, "3118 per modifier of the grid"},
        {"TB12_1", {3117, 3130}, "3117: the non-contracted lump sum"},
        {"TB12_2", {3114, 3130}, "3114: the non-contracted rate"},
        {"TB13_1", {3118, 3130}, "3118 per grouping code, 3130 after one created locally"},
        {"TB15_1", {3110}, "3110: the modifier's OC code"},
        {"TB15_2", {3111}, "3111: the number of transmissible modifiers"},
        {"TB19_1", {3111}, "3111: the number of pricing modifiers"},
        {"TB20_1", {3118}, "3118 per value"},
        {"TB21_1", {3119}, "3119: the keywords"},
        {"TB22_3", {3123}, "3123: the tariff grid of the contexts"},
        {"TB23", {3123}, "3123 per tariff grid"},
    };
    return liste;
}

const std::map<std::string, SortiesFonction>& regles() {
    static const std::map<std::string, SortiesFonction> liste = {
        {"C_Association", {{3321, 3531}, "3321 per act, 3531 for an act whose association is withheld"}},
        {"C_Base", {{3421, 3531}, "3421 per act, 3531 for an act whose association is withheld"}},
        {"C_Compatibilite", {{3311, 3531}, "3311 per act, 3531 for an act withheld"}},
        {"C_Dent", {{3301}, "3301: the results, in order"}},
        {"C_ExoActe", {{3431, 3441}, "3431 then 3441"}},
        {"C_ExoFacture", {{3431, 3531}, "3431 per line of an exonerated session, 3531 for a line withheld"}},
        {"C_ExoPrevention", {{3431}, "3431"}},
        {"C_Pu", {{3411, 3531}, "3411 per act, 3531 for an act withheld"}},
    };
    return liste;
}

// Implied decimals: "4500" with 2 is "45.00", "005" is "0.05".
std::string decimal(const std::string& chiffres, size_t decimales) {
    std::string entier = chiffres.size() > decimales ? chiffres.substr(0, chiffres.size() - decimales) : "0";
    std::string fraction = chiffres.size() > decimales ? chiffres.substr(chiffres.size() - decimales) : chiffres;
    fraction.insert(0, decimales - fraction.size(), '0');
    const size_t premier = entier.find_first_not_of('0');
    entier = premier == std::string::npos ? "0" : entier.substr(premier);
    return entier + "." + fraction;
}

bool chiffres(const std::string& octets) {
    return !octets.empty() && octets.find_first_not_of("0123456789") == std::string::npos;
}

std::string texteDate(const std::string& octets) {
    if (octets.size() < 8 || !chiffres(octets.substr(0, 8))) return octets;
    return octets.substr(0, 4) + "-" + octets.substr(4, 2) + "-" + octets.substr(6, 2);
}

std::string sansBlancsFinaux(const std::string& texte) {
    const size_t fin = texte.find_last_not_of(' ');
    return fin == std::string::npos ? std::string() : texte.substr(0, fin + 1);
}

}  // namespace

const GroupeSortie* groupeSortie(uint16_t groupe) {
    for (const GroupeSortie& g : groupes())
        if (g.groupe == groupe) return &g;
    return nullptr;
}

SortiesFonction sortiesFonction(const std::string& famille, const std::string& identifiant) {
    if (famille == "consultation") {
        for (const Consultation& c : consultations()) {
            if (identifiant != c.identifiant) continue;
            SortiesFonction s{c.groupes, c.texte};
            if (c.groupes.size() > 1 && c.groupes.back() == 3130 && std::strstr(c.texte, "3130") == nullptr)
                s.texte += kModificationLocale;
            return s;
        }
        if (identifiant == "Dump") return {{}, "no output zone: the referentiel is written to the detail trace"};
        return {{}, "not in the catalogue"};
    }
    if (famille == "modification" || famille == "annulation") return {{}, "no output zone"};
    if (famille == "controle") return {{}, "no output zone: the result is 'O' (yes) or 'N' (no)"};
    if (famille == "complet")
        return {{2000, 3520}, "2000 per line whose forcing indicator is set, then 3520 per rule violation"};
    if (famille == "regle") {
        const auto trouve = regles().find(identifiant);
        if (trouve != regles().end()) return trouve->second;
    }
    return {{}, "not in the catalogue"};
}

std::string valeurLisible(NatureChamp nature, const std::string& octets) {
    switch (nature) {
        case N::Montant: return chiffres(octets) ? decimal(octets, 2) + " EUR" : latin1VersUtf8(octets);
        case N::Coefficient: return chiffres(octets) ? decimal(octets, 3) : latin1VersUtf8(octets);
        case N::Date: return octets.empty() ? "(no date)" : texteDate(octets);
        case N::Booleen: return octets == "O" ? "yes" : octets == "N" ? "no" : latin1VersUtf8(octets);
        case N::Code: return latin1VersUtf8(sansBlancsFinaux(octets));
        case N::Nombre:
        case N::Texte: break;
    }
    return latin1VersUtf8(octets);
}

nlohmann::ordered_json valeurJson(NatureChamp nature, const std::string& octets) {
    switch (nature) {
        case N::Montant: return chiffres(octets) ? decimal(octets, 2) : latin1VersUtf8(octets);
        case N::Coefficient: return chiffres(octets) ? decimal(octets, 3) : latin1VersUtf8(octets);
        case N::Date: return octets.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(texteDate(octets));
        case N::Booleen:
            if (octets == "O" || octets == "N") return octets == "O";
            break;
        case N::Nombre:
            if (chiffres(octets) && octets.size() < 10) return std::stol(octets);
            break;
        case N::Code: return latin1VersUtf8(sansBlancsFinaux(octets));
        case N::Texte: break;
    }
    return latin1VersUtf8(octets);
}

std::string groupeLisible(uint16_t groupe, const std::vector<std::string>& champs) {
    const GroupeSortie* decrit = groupeSortie(groupe);
    std::string texte = std::to_string(groupe);
    for (size_t i = 0; i < champs.size(); ++i) {
        std::string nom = "champ " + std::to_string(i + 1);
        NatureChamp nature = N::Texte;
        const bool repete = decrit != nullptr && decrit->dernierRepete && i >= decrit->champs.size();
        if (decrit != nullptr && (i < decrit->champs.size() || repete)) {
            const ChampSortie& champ = decrit->champs[std::min(i, decrit->champs.size() - 1)];
            nom = champ.nom;
            nature = champ.nature;
        }
        // The repeated field is named once and its values follow one another.
        texte += repete ? " | " : (i == 0 ? " " : ", ") + nom + ": ";
        texte += valeurLisible(nature, champs[i]);
    }
    return texte;
}

nlohmann::ordered_json valeursJson(uint16_t groupe, const std::vector<std::string>& champs) {
    const GroupeSortie* decrit = groupeSortie(groupe);
    auto valeurs = nlohmann::ordered_json::object();
    if (decrit == nullptr) return valeurs;
    for (size_t i = 0; i < champs.size(); ++i) {
        const bool repete = decrit->dernierRepete && i + 1 >= decrit->champs.size();
        if (!repete && i >= decrit->champs.size()) break;
        const ChampSortie& champ = decrit->champs[std::min(i, decrit->champs.size() - 1)];
        if (repete) {
            if (!valeurs.contains(champ.nom)) valeurs[champ.nom] = nlohmann::ordered_json::array();
            valeurs[champ.nom].push_back(valeurJson(champ.nature, champs[i]));
        } else {
            valeurs[champ.nom] = valeurJson(champ.nature, champs[i]);
        }
    }
    return valeurs;
}
