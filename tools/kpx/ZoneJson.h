// A zone as JSON, `[{"groupe":3001,"champs":["AHQP001"]}]`: field bytes are Latin-1, as
// the library sends and reads texts, and JSON strings are UTF-8, so every byte has one
// character and the two forms convert both ways without loss.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "CodageZone.h"
#include "kpxbuild/Latin1.h"

nlohmann::ordered_json zoneVersJson(const std::vector<GroupeZone>& groupes);
// False with the fault in erreur when the JSON is not an array of such groups.
bool jsonVersZone(const nlohmann::json& json, std::vector<GroupeZone>& groupes, std::string& erreur);
// One group a line, for reading and for diffs.
std::string texteZoneJson(const std::vector<GroupeZone>& groupes);
