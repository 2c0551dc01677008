// A starting point for a référentiel: the least content the loader accepts.
#pragma once

#include <memory>
#include <string>

#include "kpxbuild/ContenuReferentiel.h"

void remplirMinimal(ContenuReferentiel& contenu);
// An act with one activity '1', one phase '0' and one history per level, effective
// from 2000-01-01, at unit price prix (grid 1 too).
std::unique_ptr<NiveauActe> acteSimple(const std::string& code, double prix = 10.0);
