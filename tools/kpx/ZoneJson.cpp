// Conversions between zone bytes and their JSON form.
#include "ZoneJson.h"

nlohmann::ordered_json zoneVersJson(const std::vector<GroupeZone>& groupes) {
    auto json = nlohmann::ordered_json::array();
    for (const GroupeZone& groupe : groupes) {
        auto champs = nlohmann::ordered_json::array();
        for (const std::string& champ : groupe.champs) champs.push_back(latin1VersUtf8(champ));
        json.push_back({{"groupe", groupe.groupe}, {"champs", champs}});
    }
    return json;
}

bool jsonVersZone(const nlohmann::json& json, std::vector<GroupeZone>& groupes, std::string& erreur) {
    groupes.clear();
    if (!json.is_array()) {
        erreur = "a zone is a JSON array of {\"groupe\": N, \"champs\": [...]}";
        return false;
    }
    for (size_t i = 0; i < json.size(); ++i) {
        const auto& element = json[i];
        const std::string ici = "group " + std::to_string(i + 1);
        if (!element.is_object() || !element.contains("groupe") || !element["groupe"].is_number_unsigned() ||
            element["groupe"].get<uint64_t>() > 0xFFFF) {
            erreur = ici + ": \"groupe\" must be a number from 0 to 65535";
            return false;
        }
        GroupeZone groupe;
        groupe.groupe = element["groupe"].get<uint16_t>();
        const auto champs = element.value("champs", nlohmann::json::array());
        if (!champs.is_array()) {
            erreur = ici + ": \"champs\" must be an array of strings";
            return false;
        }
        for (const auto& champ : champs) {
            std::string octets;
            if (!champ.is_string() || !utf8VersLatin1(champ.get<std::string>(), octets)) {
                erreur = ici + ": every field must be a string of Latin-1 characters";
                return false;
            }
            groupe.champs.push_back(std::move(octets));
        }
        groupes.push_back(std::move(groupe));
    }
    return true;
}

std::string texteZoneJson(const std::vector<GroupeZone>& groupes) {
    if (groupes.empty()) return "[]\n";
    std::string texte = "[\n";
    const auto json = zoneVersJson(groupes);
    for (size_t i = 0; i < json.size(); ++i) texte += "  " + json[i].dump() + (i + 1 < json.size() ? ",\n" : "\n");
    return texte + "]\n";
}
