// Writes the seed corpus of every fuzz target from the compiled sample: for each function
// of a family, the zone of its description whose known values make the call succeed (the
// first combination that does, else the last tried), both as raw bytes and as the bytes
// the target builds it from; the sample invoices; the rule messages of the sample.
// Usage: graines_fuzz SEEDS_DIR (one subdirectory per target). Prints, per family, how
// many functions got a zone that succeeds.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "EntreeRegle.h"
#include "FactureJson.h"
#include "KPXW32.h"
#include "ModificationsFuzz.h"
#include "ZonesFuzz.h"
#include "consultation/FonctionsConsulter.h"
#include "consultation/Interface.h"
#include "consultation/LectureDonnees.h"
#include "controle/FonctionsAppliquer.h"
#include "modification/FonctionsAnnuler.h"
#include "modification/FonctionsModifier.h"
#include "modification/ModificationDonnees.h"
#include "modification/RejeuModificationDonnees.h"
#include "referentiel/Referentiel.h"
#include "referentiel/Table.h"
#include "referentiel/lignes/Regles.h"
#include "reglementation/FonctionsControler.h"
#include "zone/Booleen.h"
#include "zone/ZoneKPX.h"
#include "zone/ZoneSortie.h"

namespace fs = std::filesystem;

namespace {

int echec(const std::string& quoi) {
    std::fprintf(stderr, "graines_fuzz: %s\n", quoi.c_str());
    return 1;
}

void ecrireGraine(const fs::path& repertoire, const std::string& nom, const std::string& octets) {
    fs::create_directories(repertoire);
    std::ofstream(repertoire / nom, std::ios::binary) << octets;
}

using Appeler = std::function<uint16_t(const SuperGroupe&, const std::string& zone)>;

// The first combination of known values that the call accepts, else the last one tried.
std::vector<GroupeZone> zoneReussie(const SuperGroupe& racine, const Appeler& appeler, bool& reussie) {
    const std::vector<const Groupe*> forme = zonesfuzz::groupesDe(racine);
    std::vector<size_t> rangs(forme.size(), 0);
    std::vector<size_t> nombres;
    for (const Groupe* g : forme) nombres.push_back(zonesfuzz::choixGroupe(*g).size());
    std::vector<GroupeZone> zone;
    for (int essai = 0; essai < 64; ++essai) {
        zone = zonesfuzz::zoneDe(forme, rangs);
        reussie = appeler(racine, coderZone(zone)) == 0;
        if (reussie) return zone;
        size_t k = 0;  // the next combination, as an odometer
        while (k < rangs.size() && ++rangs[k] == nombres[k]) rangs[k++] = 0;
        if (k == rangs.size()) break;
    }
    return zone;
}

// The input of a target from the function's rank, whether the zone is raw, and its bytes.
using Graine = std::function<std::string(uint8_t rang, bool brut, const std::string& zone)>;

// The targets whose byte 0 picks the function (high bit: raw zone), then their own bytes.
Graine apres(const std::string& entete) {
    return [entete](uint8_t rang, bool brut, const std::string& zone) {
        return std::string(1, static_cast<char>(brut ? rang | 0x80 : rang)) + entete + zone;
    };
}

// Two seeds per function of the family: the raw zone and the bytes that build it.
void grainesFamille(const fs::path& repertoire, const char* cible, const Interface& interface,
                    Interface::Famille famille, const Graine& graine, const Appeler& appeler,
                    std::vector<std::string>& zones) {
    const uint16_t debut = interface.debutFamille(famille);
    const uint16_t fin = interface.finFamille(famille);
    unsigned reussies = 0;
    for (uint16_t i = debut; i < fin; ++i) {
        const SuperGroupe& racine = *interface.racine(i);
        bool reussie = false;
        const std::vector<GroupeZone> zone = zoneReussie(racine, appeler, reussie);
        reussies += reussie;
        const auto rang = static_cast<uint8_t>(i - debut);
        const std::string brut = coderZone(zone);
        zones.push_back(brut);
        ecrireGraine(repertoire / cible, racine.nom() + ".brut", graine(rang, true, brut));
        ecrireGraine(repertoire / cible, racine.nom() + ".construit",
                     graine(rang, false, zonesfuzz::octetsDeConstruction(zonesfuzz::groupesDe(racine), zone)));
    }
    std::printf("%s: %u of %u functions with a zone that succeeds\n", cible, reussies, fin - debut);
}

std::string lireTexte(const fs::path& chemin) {
    std::ifstream fichier(chemin, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(fichier)), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc != 2) return echec("usage: graines_fuzz SEEDS_DIR");
    const fs::path repertoire = argv[1];
    RejeuModificationDonnees rejeu;
    Referentiel referentiel;
    referentiel.definirRejeu(&rejeu);
    if (referentiel.chargerReferentiel(KPX_SAMPLE_DIR, KPX_SAMPLE_DIR, "0302", "1000") != 0)
        return echec("the sample does not load");
    Interface interface;
    {
        LectureDonnees lecture(&referentiel);
        if (lecture.ouvrir() != 0 || interface.initialiser(lecture) != 0) return echec("no interface description");
    }
    Referentiel modifie(referentiel);
    {
        ModificationDonnees modification(&modifie);
        if (changerDeChaqueSorte(modification) != 0) return echec("the changes to cancel are refused");
    }
    const Date date2024(2024, 1, 1);
    const Date date2025(2025, 1, 1);
    const auto zoneKPX = [](const std::string& zone) {
        return ZoneKPX(reinterpret_cast<const uint8_t*>(zone.data()), static_cast<uint32_t>(zone.size()));
    };
    std::vector<std::string> zones;

    // Byte 0 the function (its high bit is the search), the date, then byte 4 odd for a built zone.
    const std::string date = zonesfuzz::octetsDeDate(2024, 1, 1);
    const Graine consultation = [&](uint8_t rang, bool brut, const std::string& zone) {
        return std::string(1, static_cast<char>(rang)) + date + std::string(1, brut ? '\0' : '\1') + zone;
    };
    grainesFamille(repertoire, "fuzz_consultation", interface, Interface::CONSULTATION, consultation,
                   [&](const SuperGroupe& racine, const std::string& zone) {
                       ZoneKPX entree = zoneKPX(zone);
                       LectureDonnees lecture(&referentiel);
                       ZoneSortie sortie;
                       uint16_t cr = lecture.ouvrir();
                       FonctionsConsulter fonctions(date2024, racine.decritGroupes() ? &entree : nullptr, &racine,
                                                    lecture);
                       return cr != 0 ? cr : fonctions.executer(racine.numero(), sortie);
                   },
                   zones);
    ecrireGraine(repertoire / "fuzz_consultation", "motcle", std::string("\x80\0\0\0\0genou", 10));
    ecrireGraine(repertoire / "fuzz_consultation", "filtre", std::string("\xC0\0\0\0\0H", 6));

    grainesFamille(repertoire, "fuzz_controle", interface, Interface::CONTROLE, apres(date),
                   [&](const SuperGroupe& racine, const std::string& zone) {
                       ZoneKPX entree = zoneKPX(zone);
                       LectureDonnees lecture(&referentiel);
                       Booleen resultat(false);
                       uint16_t cr = lecture.ouvrir();
                       if (cr == 0)
                           cr = FonctionsControler::controler(lecture, &racine, racine.numero(), date2024, &entree,
                                                              resultat);
                       return cr;
                   },
                   zones);

    grainesFamille(repertoire, "fuzz_modifier", interface, Interface::MODIFICATION,
                   apres(zonesfuzz::octetsDeDate(2025, 1, 1)),
                   [&](const SuperGroupe& racine, const std::string& zone) {
                       Referentiel copie(referentiel);
                       ZoneKPX entree = zoneKPX(zone);
                       ModificationDonnees modification(&copie);
                       uint16_t cr = modification.ouvrir();
                       FonctionsModifier fonctions(date2025, &entree, &racine, modification);
                       return cr != 0 ? cr : fonctions.executer(racine.numero());
                   },
                   zones);

    grainesFamille(repertoire, "fuzz_annuler", interface, Interface::ANNULATION, apres(""),
                   [&](const SuperGroupe& racine, const std::string& zone) {
                       Referentiel copie(modifie);
                       ZoneKPX entree = zoneKPX(zone);
                       ModificationDonnees modification(&copie);
                       uint16_t cr = modification.ouvrir();
                       FonctionsAnnuler fonctions(racine.decritGroupes() ? &entree : nullptr, &racine, modification);
                       return cr != 0 ? cr : fonctions.executer(racine.numero());
                   },
                   zones);

    const Appeler appliquer = [&](const SuperGroupe& racine, const std::string& zone) {
        ZoneKPX entree = zoneKPX(zone);
        LectureDonnees lecture(&referentiel);
        ZoneSortie sortie;
        uint16_t cr = lecture.ouvrir();
        if (cr == 0) cr = FonctionsAppliquer::appliquer(lecture, &racine, racine.numero(), &entree, sortie);
        return cr == KPX_CR_REGLE_AVERTISSEMENT_1 || cr == KPX_CR_REGLE_AVERTISSEMENT_2 ? 0 : cr;
    };
    grainesFamille(repertoire, "fuzz_appliquer", interface, Interface::REGLE, apres(""), appliquer, zones);

    // The examples of kpx apply, one per input shape: acts, dates and amounts the rules accept.
    const std::map<std::string, std::string> exemples = {
        {"C_Dent", "dent"},       {"C_Compatibilite", "actes"}, {"C_Association", "actes"},
        {"C_Pu", "pu"},           {"C_Base", "base"},           {"C_ExoActe", "exo-acte"},
        {"C_ExoPrevention", "exo-prevention"}, {"C_ExoFacture", "exo-facture"}};
    unsigned exemplesReussis = 0;
    const uint16_t premiereRegle = interface.debutFamille(Interface::REGLE);
    for (uint16_t i = premiereRegle; i < interface.finFamille(Interface::REGLE); ++i) {
        const SuperGroupe& racine = *interface.racine(i);
        const auto exemple = exemples.find(racine.nom());
        if (exemple == exemples.end()) return echec("no example for " + racine.nom());
        const fs::path fichier = fs::path(KPX_FACTURES_DIR) / "regles" / (exemple->second + ".json");
        std::vector<GroupeZone> groupes;
        std::string erreur;
        if (!entreeRegle(racine.nom(), nlohmann::json::parse(lireTexte(fichier)), groupes, erreur))
            return echec(fichier.string() + ": " + erreur);
        const std::string zone = coderZone(groupes);
        zones.push_back(zone);
        exemplesReussis += appliquer(racine, zone) == 0;
        ecrireGraine(repertoire / "fuzz_appliquer", racine.nom() + ".exemple",
                     apres("")(static_cast<uint8_t>(i - premiereRegle), true, zone));
    }
    std::printf("fuzz_appliquer: %u of %zu examples succeed\n", exemplesReussis, exemples.size());

    // The sample invoices: as they are, and picked by rank for the target's edits.
    std::vector<fs::path> factures;
    for (const auto& f : fs::directory_iterator(KPX_FACTURES_DIR))
        if (f.path().extension() == ".json" && f.path().string().find(".attendu.") == std::string::npos)
            factures.push_back(f.path());
    std::sort(factures.begin(), factures.end());
    for (size_t k = 0; k < factures.size(); ++k) {
        FactureJson facture;
        std::string erreur;
        if (!lireFacture(nlohmann::json::parse(lireTexte(factures[k])), facture, erreur))
            return echec(factures[k].string() + ": " + erreur);
        const std::string zone = coderZone(facture.groupes);
        zones.push_back(zone);
        const std::string nom = factures[k].stem().string();
        if (static_cast<uint8_t>(zone[0]) < 0x80) ecrireGraine(repertoire / "fuzz_controle_complet", nom, zone);
        ecrireGraine(repertoire / "fuzz_controle_complet", nom + ".edition",
                     std::string{static_cast<char>(0x80), static_cast<char>(k), '\0'});
    }

    // Every zone above for the codec, one file each.
    for (size_t k = 0; k < zones.size(); ++k) ecrireGraine(repertoire / "fuzz_zone", std::to_string(k), zones[k]);

    // The message formats of the sample's rules, with text values and then integers.
    const Table* informations = referentiel.table(InformationRegle::kIdentifiant);
    for (uint32_t i = 0; i < informations->nombreLignes(); ++i) {
        const InformationRegle* ligne = informations->ligneDe<InformationRegle>(i);
        for (const char valeurs : {'\x00', '\x55'})
            ecrireGraine(repertoire / "fuzz_message", std::to_string(i) + (valeurs ? ".entiers" : ".textes"),
                         std::string{valeurs, static_cast<char>(200)} + ligne->libelleSecondaire);
    }
    return 0;
} catch (const std::exception& e) {
    return echec(e.what());
}
