// The commands of kpx, over one library session each.
#include "CommandesKPX.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>

#include "CatalogueSorties.h"
#include "KPXW32.h"
#include "DescriptionFonctions.h"
#include "FactureJson.h"
#include "RemplissageEntree.h"
#include "ZoneJson.h"
#include "hote/Codes.h"
#include "kpxbuild/Documentation.h"
#include "kpxbuild/Latin1.h"

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
    std::string zone;
    if (!remplir("consultation", identifiant, valeurs, zone, statut)) return statut;
    const ReponseKPX reponse = session_->consulter(identifiant, date, zone);
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

bool CommandesKPX::remplir(const std::string& famille, const std::string& identifiant,
                           const std::vector<std::string>& valeurs, std::string& zone, int& statut) {
    std::vector<GroupeZone> entree;
    // An identifier the description lacks still goes to the library, which says why it refuses it.
    if (const FonctionInterface* fonction = description_->trouver(*familleKPX(famille), identifiant)) {
        std::string erreur;
        if (!remplirEntree(fonction->entrees, valeurs, entree, erreur)) {
            statut = erreurOutil(identifiant + ": " + erreur + " (see kpx describe " + identifiant + " --family " +
                                 famille + ")");
            return false;
        }
    }
    zone = coderZone(entree);
    return true;
}

int CommandesKPX::verifier(const std::string& identifiant, std::string date, const std::vector<std::string>& valeurs) {
    int statut = 0;
    if (!ouvrir(statut) || !chargerDescription(statut)) return statut;
    if (date.empty()) date = dateDuJour();
    std::string zone;
    if (!remplir("controle", identifiant, valeurs, zone, statut)) return statut;
    const ReponseKPX reponse = session_->controler(identifiant, date, zone);
    // ' ' when the library wrote nothing: the control never ran.
    const Json resultat = reponse.resultat == ' ' ? Json() : Json(std::string(1, reponse.resultat));
    if (options_.json) {
        Json json = {{"identifiant", identifiant}, {"date", date}, {"cr", hex(reponse.cr)}, {"resultat", resultat}};
        if (reponse.cr != 0) {
            json["signification"] = significationCode(reponse.cr);
            json["explications"] = reponse.explications;
        }
        if (options_.session.traceRegles) json["trace"] = reponse.regles;
        ecrireJson(json);
        return reponse.cr == 0 ? 0 : 1;
    }
    if (reponse.resultat != ' ') std::cout << reponse.resultat << "\n";
    for (const std::string& ligne : reponse.regles) std::cout << "  " << ligne << "\n";
    return reponse.cr == 0 ? 0 : echec(identifiant + " at " + date, reponse);
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

namespace {

struct Violation {
    std::string regle;
    bool outrePassable = false;
    std::string libelle;
    std::string message;
    std::vector<int> lignes;
};

// Groups 2000 (line, forcing indicator) and 3520 (a violation) of the answer.
bool lireReponse(const std::vector<GroupeZone>& groupes, std::map<int, std::string>& forcages,
                 std::vector<Violation>& violations, std::string& erreur) {
    for (const GroupeZone& g : groupes) {
        const std::vector<std::string>& c = g.champs;
        if (g.groupe == 2000 && c.size() == 2) {
            forcages[std::atoi(c[0].c_str())] = c[1];
        } else if (g.groupe == 3520 && c.size() >= 5 && c.size() == 5 + std::strtoul(c[4].c_str(), nullptr, 10)) {
            Violation v{c[0], c[1] == "O", latin1VersUtf8(c[2]), latin1VersUtf8(c[3]), {}};
            for (size_t i = 5; i < c.size(); ++i) v.lignes.push_back(std::atoi(c[i].c_str()));
            violations.push_back(std::move(v));
        } else {
            erreur = "unexpected group " + std::to_string(g.groupe) + " in the answer";
            return false;
        }
    }
    return true;
}

std::string texteDate(const std::string& date) {
    return date.size() == 8 ? date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2) : date;
}

}  // namespace

int CommandesKPX::controlerFacture(const std::string& fichier, bool zoneSeule) {
    std::string texte, erreur;
    if (!lireArgument(fichier == "-" ? fichier : "@" + fichier, texte, erreur)) return erreurOutil(erreur);
    const auto document = nlohmann::json::parse(texte, nullptr, false);
    if (document.is_discarded()) return erreurOutil(fichier + ": not JSON");
    FactureJson facture;
    if (!lireFacture(document, facture, erreur)) return erreurOutil(fichier + ": " + erreur);
    if (zoneSeule) {
        std::cout << (options_.json ? zoneVersJson(facture.groupes).dump() + "\n" : texteZoneJson(facture.groupes));
        return 0;
    }
    int statut = 0;
    if (!ouvrir(statut)) return statut;
    const ReponseKPX reponse = session_->controleComplet(coderZone(facture.groupes));
    const bool violations = reponse.cr == KPX_CR_CONTROLE_NIVEAU_BASE + 1 || reponse.cr == KPX_CR_CONTROLE_NIVEAU_BASE + 2;
    if (reponse.cr != 0 && !violations) return echec("control " + fichier, reponse);
    std::vector<GroupeZone> groupes;
    std::map<int, std::string> forcages;
    std::vector<Violation> erreurs;
    if (!decoderZone(reponse.sortie, groupes, erreur) || !lireReponse(groupes, forcages, erreurs, erreur))
        return erreurOutil("answer of the complete control: " + erreur);
    const auto forcage = [&](int numero) {
        const auto f = forcages.find(numero);
        return f == forcages.end() ? std::string() : f->second;
    };
    if (options_.json) {
        auto lignes = Json::array();
        for (const LigneFacture& l : facture.lignes) {
            const std::string f = forcage(l.numero);
            lignes.push_back({{"numero", l.numero}, {"forcage", f.empty() ? Json() : Json(f)}});
        }
        auto liste = Json::array();
        for (const Violation& v : erreurs)
            liste.push_back({{"regle", v.regle}, {"outrePassable", v.outrePassable}, {"libelle", v.libelle},
                             {"message", v.message}, {"lignes", v.lignes}});
        ecrireJson({{"cr", hex(reponse.cr)},
                    {"signification", significationCode(reponse.cr)},
                    {"niveau", reponse.cr == 0 ? 0 : reponse.cr - KPX_CR_CONTROLE_NIVEAU_BASE},
                    {"lignes", lignes},
                    {"erreurs", liste}});
        return reponse.cr == 0 ? 0 : 1;
    }
    std::cout << hex(reponse.cr) << " " << significationCode(reponse.cr) << "\n\n";
    std::printf("%-6s %-11s %-11s %-14s %s\n", "line", "date", "prestation", "act", "forcing");
    for (const LigneFacture& l : facture.lignes) {
        const std::string f = forcage(l.numero);
        std::printf("%-6d %-11s %-11s %-14s %s\n", l.numero, texteDate(l.date).c_str(), l.prestation.c_str(),
                    (l.type == "ccam" ? l.acte : "(" + l.type + ")").c_str(), f.empty() ? "-" : f.c_str());
    }
    for (const Violation& v : erreurs) {
        std::string lignes;
        for (int n : v.lignes) lignes += (lignes.empty() ? "" : ", ") + std::to_string(n);
        std::printf("\n%s (%s) %s\n  %s\n  lines: %s\n", v.regle.c_str(),
                    v.outrePassable ? "may be overridden" : "cannot be overridden", v.libelle.c_str(),
                    v.message.c_str(), lignes.empty() ? "none named" : lignes.c_str());
    }
    std::fflush(stdout);
    return reponse.cr == 0 ? 0 : 1;
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

int CommandesKPX::enregistrer(const std::string* commentaire, bool modifie, std::string& texte, Json& json) {
    std::string latin1;
    if (commentaire != nullptr && !utf8VersLatin1(*commentaire, latin1))
        return erreurOutil("the comment has a character without a Latin-1 byte");
    const ReponseKPX reponse = session_->sauvegarder(commentaire != nullptr ? &latin1 : nullptr);
    if (reponse.cr != 0) return echec("save", reponse);
    // Without a change or a comment the library writes nothing.
    if (!modifie && (commentaire == nullptr || commentaire->empty())) {
        json["sauvegarde"] = nullptr;
        texte += "nothing to save (no change and no comment)\n";
        return 0;
    }
    const ReponseKPX version = session_->lireVersion();
    std::vector<GroupeZone> groupes;
    std::string erreur;
    if (version.cr != 0) return echec("version", version);
    if (!decoderZone(version.sortie, groupes, erreur) || groupes.size() != 1 || groupes[0].champs.size() < 6)
        return erreurOutil("version zone: " + erreur);
    const std::vector<std::string>& champs = groupes[0].champs;
    const std::string fichier = session_->repertoireModifications() + "/modrefv2.kpx";
    json["sauvegarde"] = {{"fichier", fichier},
                          {"revision", valeurJson(NatureChamp::Nombre, champs[5])},
                          {"commentaire", latin1VersUtf8(champs[4])}};
    texte += "saved in " + fichier + ": revision " + valeurLisible(NatureChamp::Nombre, champs[5]) +
             (champs[4].empty() ? "" : ", comment \"" + latin1VersUtf8(champs[4]) + "\"") + "\n";
    return 0;
}

int CommandesKPX::changer(const std::string& nomFamille, const std::string& identifiant, const std::string& dateEffet,
                          const std::vector<std::string>& valeurs, const std::string* commentaire) {
    int statut = 0;
    if (!ouvrir(statut) || !chargerDescription(statut)) return statut;
    const FamilleKPX& famille = *familleKPX(nomFamille);
    std::vector<GroupeZone> entree;
    // An identifier the description lacks still goes to the library, which says why it refuses it.
    if (const FonctionInterface* fonction = description_->trouver(famille, identifiant)) {
        std::string erreur;
        if (!remplirEntree(fonction->entrees, valeurs, entree, erreur))
            return erreurOutil(identifiant + ": " + erreur + " (see kpx describe " + identifiant + " --family " +
                               nomFamille + ")");
    }
    const bool modification = famille.code == '2';
    const ReponseKPX reponse = modification ? session_->modifier(identifiant, dateEffet, coderZone(entree))
                                            : session_->annuler(identifiant, coderZone(entree));
    if (reponse.cr != 0) return echec(identifiant + (modification ? " from " + dateEffet : ""), reponse);
    Json json = {{"identifiant", identifiant}};
    if (modification) json["dateEffet"] = dateEffet;
    json["cr"] = hex(reponse.cr);
    std::string texte = identifiant + (modification ? " modified from " + valeurLisible(NatureChamp::Date, dateEffet)
                                                    : std::string(" cancelled"));
    if (commentaire == nullptr) {
        json["sauvegarde"] = nullptr;
        texte += " (not saved: kpx holds the referentiel only while it runs; add --save)\n";
    } else {
        texte += "\n";
        if ((statut = enregistrer(commentaire, true, texte, json)) != 0) return statut;
    }
    if (options_.json)
        ecrireJson(json);
    else
        std::cout << texte;
    return 0;
}

int CommandesKPX::sauvegarder(const std::string* commentaire) {
    int statut = 0;
    if (!ouvrir(statut)) return statut;
    Json json = {{"cr", hex(0)}};
    std::string texte;
    if ((statut = enregistrer(commentaire, false, texte, json)) != 0) return statut;
    if (options_.json)
        ecrireJson(json);
    else
        std::cout << texte;
    return 0;
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
