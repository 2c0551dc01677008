// The bundled sample référentiel, compiled once per test program from data/sample
// with the project's compiler into a scratch directory.
#pragma once

#include <string>

// Directory holding the compiled table_v2.kpx; empty (and the error in erreur) when
// the sample does not compile.
const std::string& repertoireEchantillon(std::string* erreur = nullptr);
