// The kpx commands. Each returns the process exit status: 0 on success, 1 when the
// library answered a non-zero code (printed in hex with its meaning and the trace
// lines of level 5 that explain it), 2 when the tool itself could not do the work.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "CodageZone.h"
#include "SessionKPX.h"

struct OptionsKPX {
    OptionsSession session;
    bool json = false;
};

class DescriptionFonctions;

class CommandesKPX {
public:
    explicit CommandesKPX(OptionsKPX options);
    ~CommandesKPX();

    int version();
    int consulter(const std::string& identifiant, std::string date, const std::vector<std::string>& valeurs);
    // A control identifier: O or N, the code explained, the rule's lines when asked.
    int verifier(const std::string& identifiant, std::string date, const std::vector<std::string>& valeurs);
    int rechercher(const std::string& motCle, uint32_t cadre, std::string date);
    int filtrer(const std::string& filtre, std::string date);
    int decrire(const std::string& identifiant, const std::string& famille);
    // The complete control of an invoice written in the JSON format; --zone prints its zone instead.
    int controlerFacture(const std::string& fichier, bool zoneSeule);
    int appeler(const std::string& famille, const std::string& identifiant, std::string date, const std::string& zone);
    // A change (modification) or a cancellation (annulation), saved with that comment when one is given:
    // kpx holds the référentiel only while it runs.
    int changer(const std::string& famille, const std::string& identifiant, const std::string& dateEffet,
                const std::vector<std::string>& valeurs, const std::string* commentaire);
    int sauvegarder(const std::string* commentaire);
    int decoder(const std::string& fichier);
    int coder(const std::string& json, const std::string& fichier);
    // A rule-application function on its input written as readable JSON (EntreeRegle.h).
    int appliquer(const std::string& identifiant, const std::string& fichier);

private:
    bool ouvrir(int& statut);
    bool chargerDescription(int& statut);
    int echec(const std::string& quoi, const ReponseKPX& reponse);
    int erreurOutil(const std::string& message);
    int listerActes(const ReponseKPX& reponse, const std::string& date);
    // The save and what the version zone then says; 0 or the status of a failure.
    int enregistrer(const std::string* commentaire, bool modifie, std::string& texte, nlohmann::ordered_json& json);
    // The values in the function's input fields; false with the status when they do not fit.
    bool remplir(const std::string& famille, const std::string& identifiant, const std::vector<std::string>& valeurs,
                 std::string& zone, int& statut);

    OptionsKPX options_;
    std::unique_ptr<SessionKPX> session_;
    std::unique_ptr<DescriptionFonctions> description_;
};

// A return code as "0x%04X".
std::string hex(uint16_t cr);
void ecrireJson(const nlohmann::ordered_json& json);
// Output groups with their names and named values, as --json prints them.
nlohmann::ordered_json groupesJson(const std::vector<GroupeZone>& groupes);
// Today as YYYYMMDD, the default reference date.
std::string dateDuJour();
// A JSON argument: the text itself, "-" for standard input, "@FILE" for a file's content.
bool lireArgument(const std::string& argument, std::string& texte, std::string& erreur);
