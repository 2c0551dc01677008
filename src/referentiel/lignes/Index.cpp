// Ownership of the act attached to an index row.
#include "referentiel/lignes/Index.h"

#include "referentiel/NiveauActe.h"

Index::Index(const Index& autre) : LigneDecrite<Index>(autre), codeActe(autre.codeActe), positionActe(autre.positionActe) {
    NiveauActe* acte = autre.acte();
    if (acte != nullptr && acte != enChargement()) acte_.store(new NiveauActe(*acte), std::memory_order_release);
}

Index::~Index() {
    NiveauActe* acte = acte_.load(std::memory_order_acquire);
    if (acte != enChargement()) delete acte;
}

void Index::attacherActe(std::unique_ptr<NiveauActe> acte) {
    NiveauActe* ancien = acte_.exchange(acte.release(), std::memory_order_acq_rel);
    if (ancien != enChargement()) delete ancien;
}
