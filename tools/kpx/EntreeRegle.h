// The input of a rule-application function written as readable JSON, one shape per
// kind of function, turned into the groups and fields its zone carries. The fields
// are named and written as in the invoice format of kpx control (docs/kpx.md): dates
// "YYYY-MM-DD", amounts and rates "100.00" or 0.7, yes/no values true or false; a
// field the shape does not have is refused by name, so a typo is not sent as empty.
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
