// Queries on the search tables (menu tree, keywords and indexed acts, read from
// the table file on first use), the act index as a whole, and the rows of the
// interface description by position.
#include <cstring>

#include "consultation/LectureDonnees.h"
#include "consultation/ParcoursReferentiel.h"
#include "referentiel/lignes/Lignes.h"

namespace {

template <class L>
const L* ligneALaPosition(const Table* table, const Nombre& position, uint16_t& cr, const char* message) {
    if (cr != 0) return nullptr;
    tracerLecture("Position recherchee : %d", position.valeur());
    if (position.valeur() < 0 || static_cast<uint32_t>(position.valeur()) >= table->nombreLignes()) {
        tracerErreurLecture("%s", message);
        cr = KPX_CR_ELEMENT_ABSENT;
        return nullptr;
    }
    return table->template ligneDe<L>(static_cast<uint32_t>(position.valeur()));
}

}  // namespace

// --- Menu tree --------------------------------------------------------------------

uint16_t LectureDonnees::chercherMenuArborescence(const Nombre& codeMenu, const Arborescence*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherMenuArborescence", "recherche d'un menu de l'arborescence", cr);
    tracerLecture("Code menu recherche : %d", codeMenu.valeur());
    const uint32_t cle = static_cast<uint32_t>(codeMenu.valeur());
    ligne = chercherDichotomie<Arborescence>(
        tableReferentiel(Arborescence::kIdentifiant, cr),
        [cle](const Arborescence& l) { return l.codeMenu < cle ? -1 : (l.codeMenu > cle ? 1 : 0); }, cr,
        "Code menu non trouve dans la table Arborescence");
    return cr;
}

uint16_t LectureDonnees::rechercherMenuPere(const Nombre& codeMenu, Nombre& codePere) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherMenuPere", "recherche du menu pere d'un menu", cr);
    const Arborescence* ligne = nullptr;
    cr = chercherMenuArborescence(codeMenu, ligne);
    if (cr == 0) codePere = Nombre(static_cast<int32_t>(ligne->codePere));
    return cr;
}

uint16_t LectureDonnees::rechercherTitreMenu(const Nombre& codeMenu, Texte& titre) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherTitreMenu", "recherche du titre d'un menu", cr);
    const Arborescence* ligne = nullptr;
    cr = chercherMenuArborescence(codeMenu, ligne);
    if (cr == 0) titre = Texte(ligne->libelle.c_str());
    return cr;
}

uint16_t LectureDonnees::rechercherNotesMenu(const Nombre& codeMenu, Texte& notes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherNotesMenu", "recherche des notes d'un menu", cr);
    const Arborescence* ligne = nullptr;
    cr = chercherMenuArborescence(codeMenu, ligne);
    if (cr == 0) notes = Texte(ligne->notesMenu.c_str());
    return cr;
}

// --- Keywords ----------------------------------------------------------------------

uint16_t LectureDonnees::chercherMotCle(const Texte& motCleCanonique, const MotCle*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("chercherMotCle", "recherche d'un mot cle sous forme canonique", cr);
    tracerLecture("Mot cle recherche : %s", motCleCanonique.chaine());
    const char* cle = motCleCanonique.chaine();
    ligne = chercherDichotomie<MotCle>(
        tableReferentiel(MotCle::kIdentifiant, cr),
        [cle](const MotCle& l) { return comparerChaine(l.motCleCanonique, cle); }, cr,
        "Mot cle non trouve dans la table Mots Cles");
    return cr;
}

uint16_t LectureDonnees::rechercherMotsCles(TypeListe<Texte>& motsCles) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherMotsCles", "recherche de la liste de tous les mots cles", cr);
    motsCles.vider();
    const Table* table = tableReferentiel(MotCle::kIdentifiant, cr);
    for (uint32_t i = 0; cr == 0 && i < table->nombreLignes(); ++i) {
        const MotCle* ligne = table->ligneDe<MotCle>(i);
        if (ligne == nullptr) break;
        ajouterEntree(motsCles, Texte(ligne->motCle.c_str()), i, ligne->motCle.c_str(), cr);
    }
    return cr;
}

uint16_t LectureDonnees::rechercherSynonymes(const Texte& motCleCanonique, TypeListe<Texte>& synonymes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherSynonymes", "recherche de la liste des synonymes d'un mot cle", cr);
    synonymes.vider();
    const MotCle* motCle = nullptr;
    cr = chercherMotCle(motCleCanonique, motCle);
    const Table* table = tableReferentiel(Synonyme::kIdentifiant, cr);
    if (cr == 0)
        pourChaqueEnfant<Synonyme>(table, motCle->synonymes, cr, [&](const Synonyme& s, uint32_t k) {
            ajouterEntree(synonymes, Texte(s.synonyme.c_str()), k, s.synonyme.c_str(), cr);
        });
    return cr;
}

uint16_t LectureDonnees::rechercherActesIndexes(const Texte& motCleCanonique, uint32_t cadreRecherche,
                                                TypeListe<Code>& actes) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherActesIndexes", "recherche de la liste des actes indexes par un mot cle", cr);
    tracerLecture("Cadre de recherche : %lu", static_cast<unsigned long>(cadreRecherche));
    const Table* indexes = tableReferentiel(ActeIndexe::kIdentifiant, cr);
    const MotCle* motCle = nullptr;
    if (cr == 0) cr = chercherMotCle(motCleCanonique, motCle);
    if (cr != 0) return cr;
    actes.vider();
    pourChaqueEnfant<ActeIndexe>(indexes, motCle->actesIndexes, cr, [&](const ActeIndexe& a, uint32_t k) {
        if ((a.masqueChamps & cadreRecherche) == 0) return;
        tracerLecture("Ajout du code acte indexe dans la liste en retour : %s", codeFixe(a.codeActe).chaine());
        ajouterCode(actes, a.codeActe, k, cr);
    });
    return cr;
}

uint16_t LectureDonnees::rechercherCodesActes(TypeListe<Code>& actes, const Code& filtre) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherCodesActes", "recherche de la liste des codes actes commencant par un filtre", cr);
    tracerLecture("Filtre : %s", filtre.chaine());
    actes.vider();
    initBufferCode(filtre, kLargeurCodeActe, cr);
    const Table* index = tableReferentiel(Index::kIdentifiant, cr);
    const size_t n = filtre.longueur();
    for (uint32_t i = 0; cr == 0 && i < index->nombreLignes(); ++i) {
        const Index* ligne = index->ligneDe<Index>(i);
        if (ligne == nullptr) break;
        if (ligne->codeActe.compare(0, n, filtre.chaine(), n) == 0) ajouterCode(actes, ligne->codeActe, i, cr);
    }
    return cr;
}

// --- Interface description ------------------------------------------------------

uint16_t LectureDonnees::rechercherDescriptifSuperGroupe(const Nombre& position, const DescriptifSuperGroupe*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDescriptifSuperGroupe", "recherche de la description d'un super-groupe", cr);
    ligne = ligneALaPosition<DescriptifSuperGroupe>(tableReferentiel(DescriptifSuperGroupe::kIdentifiant, cr),
                                                    position, cr,
                                                    "position du super-groupe passee en parametre hors de la table");
    return cr;
}

uint16_t LectureDonnees::rechercherDescriptifGroupe(const Nombre& position, const DescriptifGroupe*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDescriptifGroupe", "recherche de la description d'un groupe", cr);
    ligne = ligneALaPosition<DescriptifGroupe>(tableReferentiel(DescriptifGroupe::kIdentifiant, cr), position, cr,
                                               "position du groupe passee en parametre hors de la table");
    return cr;
}

uint16_t LectureDonnees::rechercherDescriptifChamp(const Nombre& position, const DescriptifChamp*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDescriptifChamp", "recherche de la description d'un champ", cr);
    ligne = ligneALaPosition<DescriptifChamp>(tableReferentiel(DescriptifChamp::kIdentifiant, cr), position, cr,
                                              "position du champ passee en parametre hors de la table");
    return cr;
}

uint16_t LectureDonnees::rechercherValeurAutorisee(const Nombre& position, const ValeurAutorisee*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherValeurAutorisee", "recherche d'une valeur autorisee d'un champ", cr);
    ligne = ligneALaPosition<ValeurAutorisee>(tableReferentiel(ValeurAutorisee::kIdentifiant, cr), position, cr,
                                              "position de la valeur autorisee passee en parametre hors de la table");
    return cr;
}

uint16_t LectureDonnees::rechercherDescriptifFils(const Nombre& position, const FilsSuperGroupe*& ligne) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherDescriptifFils", "recherche de la description d'un fils de super-groupe", cr);
    ligne = ligneALaPosition<FilsSuperGroupe>(tableReferentiel(FilsSuperGroupe::kIdentifiant, cr), position, cr,
                                              "position du fils passee en parametre hors de la table");
    return cr;
}

uint16_t LectureDonnees::rechercherNombreGroupes(Nombre& nombre) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherNombreGroupes", "recherche du nombre de groupes de l'interface", cr);
    const Table* table = tableReferentiel(DescriptifGroupe::kIdentifiant, cr);
    if (cr == 0) nombre = Nombre(static_cast<int32_t>(table->nombreLignes()));
    return cr;
}

uint16_t LectureDonnees::rechercherNombreSuperGroupes(Nombre& nombre) {
    uint16_t cr = 0;
    TraceRequete trace("rechercherNombreSuperGroupes", "recherche du nombre de super-groupes de l'interface", cr);
    const Table* table = tableReferentiel(DescriptifSuperGroupe::kIdentifiant, cr);
    if (cr == 0) nombre = Nombre(static_cast<int32_t>(table->nombreLignes()));
    return cr;
}
