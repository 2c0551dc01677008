// Reading the interface description from a compiled référentiel.
#include "DescriptionFonctions.h"

namespace {
const FamilleKPX kFamilles[] = {
    {"consultation", '1', "KPX_ConsulterDonnee"}, {"modification", '2', "KPX_ModifierDonnee"},
    {"annulation", '3', "KPX_AnnulerModification"}, {"controle", '4', "KPX_ControlerDonnees"},
    {"regle", '5', "KPX_AppliquerRegle"},         {"complet", '6', "KPX_ControleComplet"},
};
}  // namespace

const FamilleKPX* familleKPX(const std::string& nom) {
    for (const FamilleKPX& famille : kFamilles)
        if (nom == famille.nom) return &famille;
    return nullptr;
}

std::string nomsFamilles() {
    std::string noms;
    for (const FamilleKPX& famille : kFamilles) noms += (noms.empty() ? "" : "|") + std::string(famille.nom);
    return noms;
}

bool DescriptionFonctions::charger(const std::string& repertoire, std::string& erreur) {
    ContenuReferentiel contenu;
    if (!lireFichiers(repertoire, contenu, erreur)) return false;
    std::vector<std::string> erreurs;
    ParcoursInterface parcours(contenu, erreurs);
    if (!parcours.tablesPresentes()) {
        erreur = repertoire + ": no interface description (tables 049 to 053)";
        return false;
    }
    for (const FamilleKPX& famille : kFamilles) fonctions_[famille.code] = parcours.fonctions(famille.code);
    // A broken reference is the library's to refuse at load; the trees keep what leads somewhere.
    return true;
}

const FonctionInterface* DescriptionFonctions::trouver(const FamilleKPX& famille, const std::string& identifiant) const {
    const auto trouve = fonctions_.find(famille.code);
    if (trouve == fonctions_.end()) return nullptr;
    if (famille.code == '6' && !trouve->second.empty()) return &trouve->second.front();
    for (const FonctionInterface& fonction : trouve->second)
        if (fonction.nom == identifiant) return &fonction;
    return nullptr;
}

const std::vector<FonctionInterface>& DescriptionFonctions::fonctions(const FamilleKPX& famille) const {
    static const std::vector<FonctionInterface> aucune;
    const auto trouve = fonctions_.find(famille.code);
    return trouve == fonctions_.end() ? aucune : trouve->second;
}
