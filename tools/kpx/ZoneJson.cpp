// Conversions between zone bytes and their JSON form.
#include "ZoneJson.h"

std::string latin1VersUtf8(const std::string& latin1) {
    std::string utf8;
    for (char octet : latin1) {
        const auto c = static_cast<unsigned char>(octet);
        if (c < 0x80) {
            utf8.push_back(octet);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return utf8;
}

bool utf8VersLatin1(const std::string& utf8, std::string& latin1) {
    latin1.clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            latin1.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            latin1.push_back(static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)));
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

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
