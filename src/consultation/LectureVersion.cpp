#include "consultation/LectureVersion.h"

#include "consultation/LectureDonnees.h"
#include "frame/Trace.h"
#include "zone/ZoneKPX.h"

uint16_t LectureVersion::lire(LectureDonnees& lecture, const char* versionLogicielle, ZoneSortie& sortie) {
    Code version, versionBase, variante;
    Date date;
    Texte commentaire;
    Nombre revision;
    uint16_t cr = lecture.lireVersionReferentiel(version);
    if (cr == 0) cr = lecture.lireVersionBaseCCAM(versionBase);
    if (cr == 0) cr = lecture.lireDateModification(date);
    if (cr == 0) cr = lecture.lireVariante(variante);
    if (cr == 0) cr = lecture.lireCommentaireReferentiel(commentaire);
    if (cr == 0) cr = lecture.lireNumeroRevisionReferentiel(revision);
    // Sized from the maxima of the seven fields; a longer comment than a save accepts is cut.
    if (commentaire.longueur() > 200) commentaire = Texte(commentaire.chaine(), 200);
    sortie.allouer(cr, ZoneKPX::tailleGroupe({4, 5, 12, 10, 200, 5, 4}), CAT_SYSTEME);
    if (cr == 0) cr = sortie->ajouterGroupe(kGroupe);
    for (const TypeSimple* valeur : std::initializer_list<const TypeSimple*>{&version, &versionBase, &date, &variante,
                                                                          &commentaire, &revision})
        if (cr == 0) cr = sortie->ajouterChamp(*valeur);
    if (cr == 0) cr = sortie->ajouterChamp(Code(versionLogicielle));
    if (cr != 0) sortie.liberer();
    return cr;
}
