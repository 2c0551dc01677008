// The commands of kpx, over one library session each.
#include "CommandesKPX.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>

#include "CatalogueSorties.h"
#include "DescriptionFonctions.h"
#include "RemplissageEntree.h"
#include "ZoneJson.h"
#include "hote/Codes.h"
#include "kpxbuild/Documentation.h"

using Json = nlohmann::ordered_json;

std::string hex(uint16_t cr) {
    char texte[8];
    std::snprintf(texte, sizeof texte, "0x%04X", cr);
    return texte;
}

void ecrireJson(const Json& json) { std::cout << json.dump() << "\n"; }

Json groupesJson(const std::vector<GroupeZone>& groupes) {
    auto liste = Json::array();
    for (const GroupeZone& groupe : groupes) {
        const GroupeSortie* decrit = groupeSortie(groupe.groupe);
        Json element = {{"groupe", groupe.groupe}};
        if (decrit != nullptr) element["nom"] = decrit->nom;
        element["champs"] = zoneVersJson({groupe}).front()["champs"];
        if (decrit != nullptr) element["valeurs"] = valeursJson(groupe.groupe, groupe.champs);
        liste.push_back(element);
    }
    return liste;
}

namespace {

std::string natureTexte(NatureChamp nature) {
    switch (nature) {
        case NatureChamp::Code: return "Code";
        case NatureChamp::Texte: return "Texte";
        case NatureChamp::Nombre: return "Nombre";
        case NatureChamp::Date: return "Date";
        case NatureChamp::Montant: return "Montant";
        case NatureChamp::Coefficient: return "Coefficient";
        case NatureChamp::Booleen: return "Booleen";
    }
    return "";
}

Json arbreJson(const std::vector<NoeudInterface>& noeuds) {
    auto liste = Json::array();
    for (const NoeudInterface& noeud : noeuds) {
        Json element;
        if (noeud.superGroupe) {
            element["superGroupe"] = noeud.nom;
        } else {
            element["groupe"] = noeud.numeroGroupe;
        }
        element["occurrencesMinimum"] = noeud.occurrencesMinimum;
        element["occurrencesMaximum"] = noeud.occurrencesMaximum == 0 ? Json() : Json(noeud.occurrencesMaximum);
        if (noeud.superGroupe) {
            element["enfants"] = arbreJson(noeud.enfants);
        } else {
            auto champs = Json::array();
            for (const ChampInterface& champ : noeud.champs) {
                champs.push_back({{"format", std::string(1, champ.format)},
                                  {"type", texteTypeChamp(champ.type)},
                                  {"tailleMinimale", champ.tailleMinimale},
                                  {"tailleMaximale", champ.tailleMaximale == 0 ? Json() : Json(champ.tailleMaximale)},
                                  {"valeurs", champ.valeurs}});
            }
            element["champs"] = champs;
        }
        liste.push_back(element);
    }
    return liste;
}

}  // namespace

std::string dateDuJour() {
    const std::time_t maintenant = std::time(nullptr);
    std::tm local{};
    localtime_r(&maintenant, &local);
    char texte[16];
    std::strftime(texte, sizeof texte, "%Y%m%d", &local);
    return texte;
}

bool lireArgument(const std::string& argument, std::string& texte, std::string& erreur) {
    if (argument == "-" || (!argument.empty() && argument[0] == '@')) {
        std::ifstream fichier;
        if (argument != "-") {
            fichier.open(argument.substr(1), std::ios::binary);
            if (!fichier) {
                erreur = "cannot read " + argument.substr(1);
                return false;
            }
        }
        std::istream& entree = argument == "-" ? std::cin : fichier;
        texte.assign(std::istreambuf_iterator<char>(entree), std::istreambuf_iterator<char>());
        return true;
    }
    texte = argument;
    return true;
}

CommandesKPX::CommandesKPX(OptionsKPX options) : options_(std::move(options)) {}
CommandesKPX::~CommandesKPX() = default;

int CommandesKPX::erreurOutil(const std::string& message) {
    if (options_.json) {
        ecrireJson({{"erreur", message}});
    } else {
        std::cerr << "kpx: " << message << "\n";
    }
    return 2;
}

int CommandesKPX::echec(const std::string& quoi, const ReponseKPX& reponse) {
    if (options_.json) {
        ecrireJson({{"cr", hex(reponse.cr)},
                    {"signification", significationCode(reponse.cr)},
                    {"explications", reponse.explications}});
    } else {
        std::cerr << "kpx: " << quoi << ": " << hex(reponse.cr) << " " << significationCode(reponse.cr) << "\n";
        for (const std::string& ligne : reponse.explications) std::cerr << "  " << ligne << "\n";
    }
    return 1;
}

bool CommandesKPX::ouvrir(int& statut) {
    session_ = std::make_unique<SessionKPX>(options_.session);
    ReponseKPX chargement;
    std::string erreur;
    if (!session_->ouvrir(chargement, erreur)) {
        statut = erreurOutil(erreur);
        return false;
    }
    if (chargement.cr != 0) {
        statut = echec("loading the referentiel", chargement);
        return false;
    }
    return true;
}

bool CommandesKPX::chargerDescription(int& statut) {
    description_ = std::make_unique<DescriptionFonctions>();
    std::string erreur;
    if (session_->repertoireTables().empty()) {
        statut = erreurOutil("the configuration names no [KPX] repertoiretable");
        return false;
    }
    if (!description_->charger(session_->repertoireTables(), erreur)) {
        statut = erreurOutil("interface description: " + erreur);
        return false;
    }
    return true;
}

int CommandesKPX::version() {
    int statut = 0;
    if (!ouvrir(statut)) return statut;
    const ReponseKPX reponse = session_->lireVersion();
    if (reponse.cr != 0) return echec("version", reponse);
    std::vector<GroupeZone> groupes;
    std::string erreur;
    if (!decoderZone(reponse.sortie, groupes, erreur)) return erreurOutil("version zone: " + erreur);
    if (options_.json) {
        ecrireJson({{"cr", hex(reponse.cr)}, {"groupes", groupesJson(groupes)}});
        return 0;
    }
    const GroupeSortie* decrit = groupeSortie(3600);
    for (const GroupeZone& groupe : groupes) {
        if (groupe.groupe != 3600) {
            std::cout << groupeLisible(groupe.groupe, groupe.champs) << "\n";
            continue;
        }
        for (size_t i = 0; i < groupe.champs.size() && i < decrit->champs.size(); ++i) {
            std::printf("%-16s %s\n", (std::string(decrit->champs[i].nom) + ":").c_str(),
                        valeurLisible(decrit->champs[i].nature, groupe.champs[i]).c_str());
        }
    }
    return 0;
}

int CommandesKPX::consulter(const std::string& identifiant, std::string date, const std::vector<std::string>& valeurs) {
    int statut = 0;
    if (!ouvrir(statut) || !chargerDescription(statut)) return statut;
    if (date.empty()) date = dateDuJour();
    std::vector<GroupeZone> entree;
    // An identifier the description lacks still goes to the library, which says why it refuses it.
    if (const FonctionInterface* fonction = description_->trouver(*familleKPX("consultation"), identifiant)) {
        std::string erreur;
        if (!remplirEntree(fonction->entrees, valeurs, entree, erreur))
            return erreurOutil(identifiant + ": " + erreur + " (see kpx describe " + identifiant + ")");
    }
    const ReponseKPX reponse = session_->consulter(identifiant, date, coderZone(entree));
    if (reponse.cr != 0) return echec(identifiant + " at " + date, reponse);
    std::vector<GroupeZone> groupes;
    std::string erreur;
    if (!decoderZone(reponse.sortie, groupes, erreur)) return erreurOutil(identifiant + ": output zone: " + erreur);
    if (options_.json) {
        ecrireJson({{"identifiant", identifiant}, {"date", date}, {"cr", hex(reponse.cr)}, {"groupes", groupesJson(groupes)}});
        return 0;
    }
    if (groupes.empty()) std::cout << "(no group)\n";
    for (const GroupeZone& groupe : groupes) std::cout << groupeLisible(groupe.groupe, groupe.champs) << "\n";
    return 0;
}

int CommandesKPX::listerActes(const ReponseKPX& reponse, const std::string& date) {
    std::vector<GroupeZone> groupes;
    std::string erreur;
    if (!decoderZone(reponse.sortie, groupes, erreur) || groupes.size() != 1 || groupes[0].groupe != 3000 ||
        groupes[0].champs.empty())
        return erreurOutil("search answer is not one group 3000" + (erreur.empty() ? "" : ": " + erreur));
    const std::vector<std::string>& champs = groupes[0].champs;
    auto actes = Json::array();
    std::string lignes;
    for (size_t i = 1; i < champs.size(); ++i) {
        const ReponseKPX libelle = session_->consulter("CCAM_7", date, coderZone({{3001, {champs[i]}}}));
        std::vector<GroupeZone> sortie;
        std::string texte;
        if (libelle.cr == 0 && decoderZone(libelle.sortie, sortie, erreur) && !sortie.empty() &&
            !sortie[0].champs.empty())
            texte = latin1VersUtf8(sortie[0].champs[0]);
        const std::string code = valeurLisible(NatureChamp::Code, champs[i]);
        Json acte = {{"code", code}, {"libelle", libelle.cr == 0 ? Json(texte) : Json()}};
        if (libelle.cr != 0) acte["crLibelle"] = hex(libelle.cr);
        actes.push_back(acte);
        lignes += code + "  " +
                  (libelle.cr == 0 ? texte : "(no label at " + date + ": " + hex(libelle.cr) + " " +
                                                 significationCode(libelle.cr) + ")") +
                  "\n";
    }
    if (options_.json) {
        ecrireJson({{"cr", hex(reponse.cr)}, {"nombre", valeurJson(NatureChamp::Nombre, champs[0])}, {"actes", actes}});
    } else {
        std::cout << valeurLisible(NatureChamp::Nombre, champs[0]) << (champs.size() == 2 ? " act\n" : " acts\n")
                  << lignes;
    }
    return 0;
}

int CommandesKPX::rechercher(const std::string& motCle, uint32_t cadre, std::string date) {
    int statut = 0;
    if (!ouvrir(statut)) return statut;
    if (date.empty()) date = dateDuJour();
    const ReponseKPX reponse = session_->rechercherParMotCle(motCle, cadre);
    if (reponse.cr != 0) return echec("search " + motCle, reponse);
    return listerActes(reponse, date);
}

int CommandesKPX::filtrer(const std::string& filtre, std::string date) {
    int statut = 0;
    if (!ouvrir(statut)) return statut;
    if (date.empty()) date = dateDuJour();
    const ReponseKPX reponse = session_->rechercherParFiltre(filtre);
    if (reponse.cr != 0) return echec("filter " + filtre, reponse);
    return listerActes(reponse, date);
}

int CommandesKPX::decrire(const std::string& identifiant, const std::string& nomFamille) {
    const FamilleKPX* famille = familleKPX(nomFamille);
    if (famille == nullptr) return erreurOutil("family " + nomFamille + " unknown: " + nomsFamilles());
    // The description is read from the référentiel the library would load, without loading it.
    const std::string& configuration = options_.session.configuration;
    const std::string repertoire =
        configuration.empty() ? options_.session.referentiel : lireCleIni(configuration, "KPX", "repertoiretable");
    description_ = std::make_unique<DescriptionFonctions>();
    std::string erreur;
    if (!description_->charger(repertoire, erreur)) return erreurOutil("interface description: " + erreur);
    if (identifiant.empty()) {
        auto noms = Json::array();
        for (const FonctionInterface& f : description_->fonctions(*famille)) {
            noms.push_back({{"identifiant", f.nom}, {"numero", f.numero}});
            if (!options_.json) std::cout << f.nom << " (function " << f.numero << ")\n";
        }
        if (options_.json) ecrireJson({{"famille", nomFamille}, {"fonctions", noms}});
        return 0;
    }
    const FonctionInterface* fonction = description_->trouver(*famille, identifiant);
    if (fonction == nullptr) {
        ReponseKPX absent;
        absent.cr = 0xD000;
        absent.explications.push_back("no function " + identifiant + " in the " + nomFamille + " family");
        return echec("describe " + identifiant, absent);
    }
    const SortiesFonction sorties = sortiesFonction(nomFamille, fonction->nom);
    if (options_.json) {
        auto groupes = Json::array();
        for (uint16_t numero : sorties.groupes) {
            const GroupeSortie* decrit = groupeSortie(numero);
            auto champs = Json::array();
            for (const ChampSortie& champ : decrit->champs)
                champs.push_back({{"nom", champ.nom}, {"nature", natureTexte(champ.nature)}});
            groupes.push_back({{"groupe", numero}, {"nom", decrit->nom}, {"champs", champs},
                               {"dernierRepete", decrit->dernierRepete}});
        }
        ecrireJson({{"identifiant", fonction->nom},
                    {"famille", nomFamille},
                    {"pointEntree", famille->pointEntree},
                    {"numero", fonction->numero},
                    {"entrees", arbreJson(fonction->entrees)},
                    {"sorties", {{"texte", sorties.texte}, {"groupes", groupes}}}});
        return 0;
    }
    std::cout << fonction->nom << ": " << nomFamille << " function " << fonction->numero << " (" << famille->pointEntree
              << ")\n\nInput:\n";
    const std::string arbre = texteArbreInterface(fonction->entrees);
    std::cout << (arbre.empty() ? "No input group.\n" : arbre) << "\nOutput: " << sorties.texte << "\n";
    for (uint16_t numero : sorties.groupes) {
        const GroupeSortie* decrit = groupeSortie(numero);
        std::string champs;
        for (const ChampSortie& champ : decrit->champs)
            champs += (champs.empty() ? "" : ", ") + std::string(champ.nom) + " (" + natureTexte(champ.nature) + ")";
        std::cout << "- groupe " << numero << " " << decrit->nom << ": " << champs
                  << (decrit->dernierRepete ? ", the last repeated" : "") << "\n";
    }
    return 0;
}

int CommandesKPX::appeler(const std::string& nomFamille, const std::string& identifiant, std::string date,
                          const std::string& argumentZone) {
    const FamilleKPX* famille = familleKPX(nomFamille);
    if (famille == nullptr) return erreurOutil("family " + nomFamille + " unknown: " + nomsFamilles());
    std::string texte, erreur;
    std::vector<GroupeZone> entree;
    if (!argumentZone.empty()) {
        if (!lireArgument(argumentZone, texte, erreur)) return erreurOutil(erreur);
        const auto json = nlohmann::json::parse(texte, nullptr, false);
        if (json.is_discarded()) return erreurOutil("--zone is not JSON");
        if (!jsonVersZone(json, entree, erreur)) return erreurOutil("--zone: " + erreur);
    }
    int statut = 0;
    if (!ouvrir(statut)) return statut;
    if (date.empty()) date = dateDuJour();
    const std::string zone = coderZone(entree);
    ReponseKPX reponse;
    switch (famille->code) {
        case '1': reponse = session_->consulter(identifiant, date, zone); break;
        case '2': reponse = session_->modifier(identifiant, date, zone); break;
        case '3': reponse = session_->annuler(identifiant, zone); break;
        case '4': reponse = session_->controler(identifiant, date, zone); break;
        case '5': reponse = session_->appliquerRegle(identifiant, zone); break;
        default: reponse = session_->controleComplet(zone); break;
    }
    std::vector<GroupeZone> sortie;
    if (!decoderZone(reponse.sortie, sortie, erreur)) return erreurOutil("output zone: " + erreur);
    const bool controle = famille->code == '4' && reponse.resultat != ' ';
    if (options_.json) {
        Json json = {{"cr", hex(reponse.cr)}};
        if (reponse.cr != 0) {
            json["signification"] = significationCode(reponse.cr);
            json["explications"] = reponse.explications;
        }
        if (controle) json["resultat"] = std::string(1, reponse.resultat);
        json["zone"] = zoneVersJson(sortie);
        ecrireJson(json);
        return reponse.cr == 0 ? 0 : 1;
    }
    std::cout << hex(reponse.cr) << " " << significationCode(reponse.cr) << "\n";
    if (controle) std::cout << "resultat: " << reponse.resultat << "\n";
    std::cout << texteZoneJson(sortie);
    return reponse.cr == 0 ? 0 : echec(nomFamille + " " + identifiant, reponse);
}

int CommandesKPX::decoder(const std::string& fichier) {
    std::string octets, erreur;
    if (!lireArgument(fichier == "-" ? fichier : "@" + fichier, octets, erreur)) return erreurOutil(erreur);
    std::vector<GroupeZone> groupes;
    if (!decoderZone(octets, groupes, erreur)) return erreurOutil("not a zone: " + erreur);
    std::cout << (options_.json ? zoneVersJson(groupes).dump() + "\n" : texteZoneJson(groupes));
    return 0;
}

int CommandesKPX::coder(const std::string& argument, const std::string& fichier) {
    std::string texte, erreur;
    if (!lireArgument(argument, texte, erreur)) return erreurOutil(erreur);
    const auto json = nlohmann::json::parse(texte, nullptr, false);
    if (json.is_discarded()) return erreurOutil("the zone is not JSON");
    std::vector<GroupeZone> groupes;
    if (!jsonVersZone(json, groupes, erreur)) return erreurOutil(erreur);
    const std::string octets = coderZone(groupes);
    if (fichier.empty() || fichier == "-") {
        std::cout.write(octets.data(), static_cast<std::streamsize>(octets.size()));
        std::cout.flush();
        return std::cout ? 0 : erreurOutil("cannot write the zone");
    }
    std::ofstream sortie(fichier, std::ios::binary);
    sortie.write(octets.data(), static_cast<std::streamsize>(octets.size()));
    sortie.close();
    return sortie ? 0 : erreurOutil("cannot write " + fichier);
}
