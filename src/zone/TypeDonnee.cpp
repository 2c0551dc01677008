// Out-of-line anchors of the value hierarchy's base.
#include "zone/TypeDonnee.h"

TypeDonnee::~TypeDonnee() = default;

bool TypeDonnee::estValide() const { return true; }
