// The input of a rule-application function written as readable JSON, one shape per
// kind of function, turned into the groups and fields its zone carries. Dates are
// "YYYY-MM-DD" (or "YYYYMMDD"), amounts and rates decimal ("100.00", 0.7), yes/no
// values true or false; a key the shape does not know is refused, so a typo is not
// silently sent as an empty field.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "CodageZone.h"

// The identifiers that have a JSON shape, for the usage message.
std::string identifiantsRegles();
// False with the fault in erreur when the identifier has no shape or the JSON does not fit it.
bool entreeRegle(const std::string& identifiant, const nlohmann::json& json, std::vector<GroupeZone>& groupes,
                 std::string& erreur);
