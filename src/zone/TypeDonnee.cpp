// Out-of-line anchors of the value hierarchy's base.
#include "zone/TypeDonnee.h"

bool TypeDonnee::estValide() const { return true; }
