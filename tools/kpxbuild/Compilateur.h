// kpx-build's work: source directory to référentiel files and back. compile
// refuses to write a file the loader would reject; every error names its place.
#pragma once

#include <string>
#include <vector>

#include "kpxbuild/ContenuReferentiel.h"

// Checks a content as the loader will: every row and act read back from its own
// bytes, every range, the key order of the sorted tables, the tables that must
// not be empty. origine(id) names where a table came from, for the messages.
void verifierContenu(ContenuReferentiel& contenu, std::vector<std::string>& erreurs);

// SRC_DIR -> OUT_DIR/table_v2.kpx (+ modrefv2.kpx when the source has modifications).
bool compiler(const std::string& source, const std::string& sortie, std::vector<std::string>& erreurs);
// OUT_DIR -> SRC_DIR.
bool decompiler(const std::string& repertoire, const std::string& source, std::vector<std::string>& erreurs);
