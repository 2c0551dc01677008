// Every row class of the référentiel, for the code that works across tables.
#pragma once

#include "referentiel/lignes/Associations.h"
#include "referentiel/lignes/Concepts.h"
#include "referentiel/lignes/Contextes.h"
#include "referentiel/lignes/Index.h"
#include "referentiel/lignes/Interface.h"
#include "referentiel/lignes/Modificateurs.h"
#include "referentiel/lignes/Modifications.h"
#include "referentiel/lignes/Parametres.h"
#include "referentiel/lignes/Recherche.h"
#include "referentiel/lignes/Regles.h"
#include "referentiel/lignes/Specialites.h"
