// kpx apply: a rule-application function on its input written as readable JSON.
#include <iostream>

#include "CatalogueSorties.h"
#include "CommandesKPX.h"
#include "EntreeRegle.h"
#include "hote/Codes.h"

namespace {

// The 16 tooth results end with empty fields once the teeth given are answered.
std::vector<std::string> sansChampsVidesFinaux(uint16_t groupe, std::vector<std::string> champs) {
    const GroupeSortie* decrit = groupeSortie(groupe);
    if (decrit != nullptr && decrit->dernierRepete)
        while (champs.size() > decrit->champs.size() && champs.back().empty()) champs.pop_back();
    return champs;
}

}  // namespace

int CommandesKPX::appliquer(const std::string& identifiant, const std::string& fichier) {
    std::string texte, erreur;
    if (!lireArgument(fichier == "-" ? fichier : "@" + fichier, texte, erreur)) return erreurOutil(erreur);
    const auto json = nlohmann::json::parse(texte, nullptr, false);
    if (json.is_discarded()) return erreurOutil(fichier + " is not JSON");
    std::vector<GroupeZone> entree;
    if (!entreeRegle(identifiant, json, entree, erreur)) return erreurOutil(fichier + ": " + erreur);
    int statut = 0;
    if (!ouvrir(statut)) return statut;
    const ReponseKPX reponse = session_->appliquerRegle(identifiant, coderZone(entree));
    std::vector<GroupeZone> groupes;
    if (!decoderZone(reponse.sortie, groupes, erreur)) return erreurOutil(identifiant + ": output zone: " + erreur);
    if (options_.json) {
        nlohmann::ordered_json sortie = {{"identifiant", identifiant}, {"cr", hex(reponse.cr)}};
        if (reponse.cr != 0) {
            sortie["signification"] = significationCode(reponse.cr);
            sortie["explications"] = reponse.explications;
        }
        sortie["groupes"] = groupesJson(groupes);
        ecrireJson(sortie);
        return reponse.cr == 0 ? 0 : 1;
    }
    // A warning comes with the zone it computed: the groups first, then the code.
    if (reponse.cr == 0 && groupes.empty()) std::cout << "(no group)\n";
    for (const GroupeZone& groupe : groupes)
        std::cout << groupeLisible(groupe.groupe, sansChampsVidesFinaux(groupe.groupe, groupe.champs)) << "\n";
    return reponse.cr == 0 ? 0 : echec(identifiant, reponse);
}
