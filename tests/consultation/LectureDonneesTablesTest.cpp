// The queries on the parameter tables (keys, dated rows, ranges, grids), the
// search tables read on demand, and the local modification records.
#include <gtest/gtest.h>

#include <cstring>

#include "KPXW32.h"
#include "consultation/ReferentielDeRequetes.h"
#include "kpxbuild/TraceDetailCapturee.h"

using requetes::d;

TEST_F(LectureDonneesTest, DatedRowEndDateIsInclusiveAndNothingValidGivesItsMessage) {
    // Untraced, a date asked again is answered by the row its first ask kept.
    struct Ligne {
        Date date;
        uint16_t cr;
        int32_t nombre;
    };
    const Ligne lignes[] = {{d(2009, 12, 31), 0, 13}, {d(2009, 12, 31), 0, 13},
                            {d(2010, 1, 1), 0, 4},    {d(2010, 1, 1), 0, 4},
                            {d(1999, 12, 31), KPX_CR_RIEN_EN_VIGUEUR, 4},
                            {d(1999, 12, 31), KPX_CR_RIEN_EN_VIGUEUR, 4}, {d(2009, 12, 31), 0, 13}};
    Nombre nombre;
    for (const Ligne& l : lignes) {
        EXPECT_EQ(lecture.rechercherNombreActeAssociation(l.date, nombre), l.cr) << l.date.chaine();
        EXPECT_EQ(nombre.valeur(), l.nombre) << l.date.chaine();
    }
    TraceDetailCapturee trace;
    EXPECT_EQ(lecture.rechercherNombreActeAssociation(d(1999, 12, 31), nombre), KPX_CR_RIEN_EN_VIGUEUR);
    EXPECT_TRUE(trace.contient("Pas de ligne Nombre d'actes dans une association correspondant a la date de reference"));

    ASSERT_EQ(lecture.rechercherNombreModificateursTarifants(d(2012, 1, 1), nombre), 0);
    EXPECT_EQ(nombre.valeur(), 4);
    ASSERT_EQ(lecture.rechercherNombreModificateursTransmissibles(d(2012, 1, 1), nombre), 0);
    EXPECT_EQ(nombre.valeur(), 4);

    // Thresholds: position 1 metropole ... 4 Guyane; the row valid at the date, first in table order.
    struct Cas {
        Date date;
        int position;
        uint16_t cr;
        double seuil;
    };
    const Cas cas[] = {{d(2010, 1, 1), 1, 0, 120.0},   {d(2010, 1, 1), 2, 0, 130.0},
                       {d(2010, 1, 1), 3, 0, 140.0},   {d(2010, 1, 1), 4, 0, 150.0},
                       {d(2009, 12, 31), 1, 0, 100.0}, {d(1999, 1, 1), 1, KPX_CR_RIEN_EN_VIGUEUR, 0.0},
                       {d(2010, 1, 1), 0, KPX_CR_DONNEES_INCOHERENTES, 0.0},
                       {d(2010, 1, 1), 5, KPX_CR_DONNEES_INCOHERENTES, 0.0}};
    for (const Cas& c : cas) {
        Montant seuil;
        EXPECT_EQ(lecture.rechercherSeuilExoTM(c.date, Nombre(c.position), seuil), c.cr) << c.position;
        EXPECT_DOUBLE_EQ(seuil.valeur(), c.seuil) << c.position;
    }
    EXPECT_TRUE(trace.contient("parametre position seuil exo TM incorrect (valeurs=1,2,3,4)"));
    EXPECT_TRUE(trace.contient("Pas de seuil correspondant a la date de reference"));

    Montant forfait;
    Coefficient taux;
    ASSERT_EQ(lecture.rechercherForfaitNonConventionnes(d(2012, 1, 1), forfait), 0);
    EXPECT_DOUBLE_EQ(forfait.valeur(), 2.5);
    ASSERT_EQ(lecture.rechercherTauxNonConventionnes(d(2012, 1, 1), taux), 0);
    EXPECT_DOUBLE_EQ(taux.valeur(), 0.1);
    EXPECT_EQ(lecture.rechercherTauxNonConventionnes(d(1999, 1, 1), taux), KPX_CR_RIEN_EN_VIGUEUR);

    TypeListe<Code> codes;
    ASSERT_EQ(lecture.rechercherCodesRegroupement(d(2009, 12, 31), codes), 0);
    EXPECT_EQ(textesDe(codes), (Textes{"ADC", "ATM"}));
    ASSERT_EQ(lecture.rechercherCodesRegroupement(d(2010, 1, 1), codes), 0);
    EXPECT_EQ(textesDe(codes), (Textes{"ADC"}));
    // Each asked twice in a row: untraced, the second answer is the one the first kept.
    for (int fois = 0; fois < 2; ++fois) {
        Booleen existe;
        ASSERT_EQ(lecture.rechercherExistenceCodeRegroupement("ATM", d(2009, 12, 31), existe), 0);
        EXPECT_TRUE(existe.valeur());
        ASSERT_EQ(lecture.rechercherExistenceCodeRegroupement("ATM", d(2009, 12, 31), existe), 0);
        EXPECT_TRUE(existe.valeur());
        ASSERT_EQ(lecture.rechercherExistenceCodeRegroupement("ATM", d(2010, 1, 1), existe), 0);
        EXPECT_FALSE(existe.valeur());
        ASSERT_EQ(lecture.rechercherExistenceCodeRegroupement("ADC", d(2010, 1, 1), existe), 0);
        EXPECT_TRUE(existe.valeur());
        EXPECT_EQ(lecture.rechercherExistenceCodeRegroupement("ATMX", d(2010, 1, 1), existe),
                  KPX_CR_DONNEES_INCOHERENTES);
    }
}

TEST_F(LectureDonneesTest, SpecialitiesTheirClassesAndCodingObligations) {
    // Each asked twice in a row: untraced, the second answer is the one the first kept,
    // and a failure leaves the class as it was.
    struct Cas {
        const char* specialite;
        Date date;
        uint16_t cr;
        const char* classe;
    };
    const Cas cas[] = {{"02", d(2009, 12, 31), 0, "01"},
                       {"02", d(2010, 1, 1), 0, "02"},
                       {"07", d(2010, 1, 1), KPX_CR_ELEMENT_ABSENT, "02"},
                       {"123", d(2010, 1, 1), KPX_CR_DONNEES_INCOHERENTES, "02"},
                       // A one-character key is padded with a space and so never meets a two-character one.
                       {"0", d(2010, 1, 1), KPX_CR_ELEMENT_ABSENT, "02"},
                       {"02", d(2009, 12, 31), 0, "01"}};
    Code classe;
    for (const Cas& c : cas)
        for (int fois = 0; fois < 2; ++fois) {
            EXPECT_EQ(lecture.rechercherRegroupementSpecialites(c.specialite, c.date, classe), c.cr) << c.specialite;
            EXPECT_EQ(classe, c.classe) << c.specialite << " " << fois;
        }
    TraceDetailCapturee trace;
    for (int fois = 0; fois < 2; ++fois) {
        trace.effacer();
        EXPECT_EQ(lecture.rechercherRegroupementSpecialites("07", d(2010, 1, 1), classe), KPX_CR_ELEMENT_ABSENT);
        EXPECT_TRUE(trace.contient("Code specialite non trouve dans la table Specialite")) << fois;
    }

    TypeListe<Code> specialites;
    ASSERT_EQ(lecture.rechercherSpecialitesDansClasse("02", d(2010, 1, 1), specialites), 0);
    EXPECT_EQ(textesDe(specialites), (Textes{"02", "03"}));
    EXPECT_EQ(lecture.rechercherSpecialitesDansClasse("02", d(2009, 1, 1), specialites), KPX_CR_RIEN_EN_VIGUEUR);
    ASSERT_EQ(lecture.rechercherSpecialitesDansClasse("01", d(2009, 1, 1), specialites), 0);
    EXPECT_EQ(textesDe(specialites), (Textes{"01"}));

    Date date;
    ASSERT_EQ(lecture.rechercherDateObligationCodage("ACO", "02", date), 0);
    EXPECT_EQ(date, d(2006, 6, 1));
    EXPECT_EQ(lecture.rechercherDateObligationCodage("ACO", "09", date), KPX_CR_ELEMENT_ABSENT);
    EXPECT_EQ(lecture.rechercherDateObligationCodage("AC", "01", date), KPX_CR_ELEMENT_ABSENT);
    Booleen existe;
    ASSERT_EQ(lecture.rechercherExistenceNaturePrestation("ACO", existe), 0);
    EXPECT_TRUE(existe.valeur());
    ASSERT_EQ(lecture.rechercherExistenceNaturePrestation("XYZ", existe), 0);
    EXPECT_FALSE(existe.valeur());
}

TEST_F(LectureDonneesTest, ModifiersAtADateAndPerGrid) {
    TypeListe<Code> liste;
    ASSERT_EQ(lecture.rechercherModificateurs(d(2010, 12, 31), Nombre(3), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"F", "U"}));
    ASSERT_EQ(lecture.rechercherModificateurs(d(2011, 1, 1), Nombre(3), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"U"}));
    ASSERT_EQ(lecture.rechercherModificateurs(d(2011, 1, 1), Nombre(1), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"F"}));
    ASSERT_EQ(lecture.rechercherModificateursCompatibles("F", d(2005, 12, 31), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"U", "J"}));
    ASSERT_EQ(lecture.rechercherModificateursCompatibles("F", d(2006, 1, 1), liste), 0);
    EXPECT_EQ(textesDe(liste), (Textes{"U"}));

    Booleen oui;
    ASSERT_EQ(lecture.rechercherExistenceModificateur("F", d(2011, 1, 1), oui), 0);
    EXPECT_TRUE(oui.valeur());
    ASSERT_EQ(lecture.rechercherExistenceModificateur("Z", d(2011, 1, 1), oui), 0);
    EXPECT_FALSE(oui.valeur());
    ASSERT_EQ(lecture.rechercherTopControleCoherence("F", d(2011, 1, 1), oui), 0);
    EXPECT_TRUE(oui.valeur());
    ASSERT_EQ(lecture.rechercherTopPresenceMultiple("F", d(2011, 1, 1), oui), 0);
    EXPECT_FALSE(oui.valeur());
    ASSERT_EQ(lecture.rechercherTopPresenceMultiple("U", d(2011, 1, 1), oui), 0);
    EXPECT_TRUE(oui.valeur());

    Code oc("X");
    ASSERT_EQ(lecture.rechercherModificateurOC("F", d(2011, 1, 1), oc), 0);
    EXPECT_EQ(oc, "K");
    ASSERT_EQ(lecture.rechercherModificateurOC("U", d(2011, 1, 1), oc), 0);
    EXPECT_EQ(oc, "");
    EXPECT_EQ(lecture.rechercherModificateurOC("Z", d(2011, 1, 1), oc), KPX_CR_ELEMENT_ABSENT);

    Periode age(9, 9);
    ASSERT_EQ(lecture.rechercherAgeMaximumModificateur("F", d(2011, 1, 1), age), 0);
    EXPECT_EQ(age, Periode(16, 0));
    ASSERT_EQ(lecture.rechercherAgeMinimumModificateur("F", d(2011, 1, 1), age), 0);
    EXPECT_EQ(age, Periode());
    ASSERT_EQ(lecture.rechercherAgeMaximumModificateur("U", d(2011, 1, 1), age), 0);
    EXPECT_EQ(age, Periode(0, 28));
    TraceDetailCapturee trace;
    EXPECT_EQ(lecture.rechercherAgeMinimumModificateur("U", d(2011, 1, 1), age), KPX_CR_DONNEES_INCOHERENTES);
    EXPECT_TRUE(trace.contient("unite de temps de l'age minimum inconnue : M"));

    Montant forfait;
    Coefficient taux;
    ASSERT_EQ(lecture.rechercherForfaitModificateur("F", d(2010, 12, 31), Nombre(3), forfait), 0);
    EXPECT_DOUBLE_EQ(forfait.valeur(), 19.06);
    ASSERT_EQ(lecture.rechercherTauxModificateur("F", d(2011, 1, 1), Nombre(1), taux), 0);
    EXPECT_DOUBLE_EQ(taux.valeur(), 1.5);
    trace.effacer();
    EXPECT_EQ(lecture.rechercherForfaitModificateur("F", d(2011, 1, 1), Nombre(3), forfait), KPX_CR_RIEN_EN_VIGUEUR);
    EXPECT_TRUE(trace.contient("ERREUR : pas d'historique trouve a la date de reference"));
    // A grid the modifier does not list.
    EXPECT_EQ(lecture.rechercherTauxModificateur("U", d(2011, 1, 1), Nombre(1), taux), KPX_CR_RIEN_EN_VIGUEUR);
}

TEST_F(LectureDonneesTest, GridOfAContextAtADateWithItsTexts) {
    struct Cas {
        int ps;
        int bs;
        Date date;
        uint16_t cr;
        int grille;
        const char* libelle;
    };
    const Cas cas[] = {{1, 1, d(2009, 12, 31), 0, 3, "Grille 3"},
                       {1, 1, d(2010, 1, 1), 0, 1, "Grille 1"},
                       {1, 2, d(2010, 1, 1), KPX_CR_ELEMENT_ABSENT, 0, ""},
                       {1, 1, d(1999, 1, 1), KPX_CR_ELEMENT_ABSENT, 0, ""},
                       // Grid 5 is chosen but has no row in the grid table.
                       {2, 1, d(2010, 1, 1), KPX_CR_ELEMENT_ABSENT, 0, ""}};
    // Each case asked twice in a row: untraced, the second answer is the one the first kept.
    for (const Cas& c : cas) {
        for (int fois = 0; fois < 2; ++fois) {
            Nombre grille;
            Texte libelle;
            Texte definition;
            EXPECT_EQ(lecture.rechercherUneGrilleTarifaire(Nombre(c.ps), Nombre(c.bs), c.date, grille, libelle,
                                                           definition),
                      c.cr)
                << c.ps << c.bs << c.date.chaine() << fois;
            EXPECT_EQ(grille.valeur(), c.grille);
            EXPECT_EQ(std::string(libelle.chaine()), c.libelle);
        }
    }
    TypeListe<Nombre> grilles;
    TypeListe<Texte> libelles;
    TypeListe<Texte> definitions;
    ASSERT_EQ(lecture.rechercherGrillesTarifaires(grilles, libelles, definitions), 0);
    ASSERT_EQ(grilles.nombre(), 2);
    EXPECT_EQ(grilles.element(1).valeur(), 3);
    EXPECT_EQ(textesDe(libelles), (Textes{"Grille 1", "Grille 3"}));
    EXPECT_EQ(textesDe(definitions), (Textes{"Definition 1", "Definition 3"}));

    Coefficient coefficient;
    ASSERT_EQ(lecture.rechercherCoefficientAssociationNonPrevue("1", d(2011, 1, 1), Nombre(1), coefficient), 0);
    EXPECT_DOUBLE_EQ(coefficient.valeur(), 0.5);
    ASSERT_EQ(lecture.rechercherCoefficientRegle("1", d(2011, 1, 1), Nombre(1), coefficient), 0);
    EXPECT_DOUBLE_EQ(coefficient.valeur(), 1.0);
    EXPECT_EQ(lecture.rechercherCoefficientRegle("2", d(2011, 1, 1), Nombre(1), coefficient), KPX_CR_ELEMENT_ABSENT);
    Booleen existe;
    ASSERT_EQ(lecture.rechercherExistenceAssociationNP("1", d(2011, 1, 1), Nombre(1), existe), 0);
    EXPECT_TRUE(existe.valeur());
    ASSERT_EQ(lecture.rechercherExistenceAssociationNP("1", d(2011, 1, 1), Nombre(3), existe), 0);
    EXPECT_FALSE(existe.valeur());
    TypeListe<Code> codes;
    ASSERT_EQ(lecture.rechercherCodesAssociationsNonPrevues(d(2011, 1, 1), Nombre(1), codes), 0);
    EXPECT_EQ(textesDe(codes), (Textes{"1"}));
    ASSERT_EQ(lecture.rechercherCodesAssociationsNonPrevues(d(1999, 1, 1), Nombre(1), codes), 0);
    EXPECT_EQ(codes.nombre(), 0);
}

TEST_F(LectureDonneesTest, ConceptValuesAndCodeLabelsByNumber) {
    TypeListe<Code> valeurs;
    ASSERT_EQ(lecture.rechercherValeursConcept(Nombre(1), d(2011, 1, 1), valeurs), 0);
    EXPECT_EQ(textesDe(valeurs), (Textes{"04", "05"}));
    ASSERT_EQ(lecture.rechercherValeursConcept(Nombre(2), d(2010, 1, 1), valeurs), 0);
    EXPECT_EQ(textesDe(valeurs), (Textes{"X"}));
    ASSERT_EQ(lecture.rechercherValeursConcept(Nombre(2), d(2009, 12, 31), valeurs), 0);
    EXPECT_EQ(textesDe(valeurs), (Textes{"Y"}));
    TraceDetailCapturee trace;
    for (int numero : {0, 3})
        EXPECT_EQ(lecture.rechercherValeursConcept(Nombre(numero), d(2011, 1, 1), valeurs), KPX_CR_ELEMENT_ABSENT);
    EXPECT_TRUE(trace.contient("Numero de concept non trouve dans la table Concepts CCAM"));

    Texte libelle;
    ASSERT_EQ(lecture.rechercherLibelleCode(Nombre(1), "4", libelle), 0);
    EXPECT_EQ(libelle, "Anesthesie");
    ASSERT_EQ(lecture.rechercherLibelleCode(Nombre(2), "F", libelle), 0);
    EXPECT_EQ(libelle, "Modificateur F");
    EXPECT_EQ(lecture.rechercherLibelleCode(Nombre(2), "4", libelle), KPX_CR_ELEMENT_ABSENT);
    EXPECT_TRUE(trace.contient("Code non trouve dans la table Libelles Codes"));
    EXPECT_EQ(lecture.rechercherLibelleCode(Nombre(3), "1", libelle), KPX_CR_ELEMENT_ABSENT);
    EXPECT_TRUE(trace.contient("Parametre numero de code non trouve dans la table Codes"));
}

// Which days are holidays at a date, national and of a caisse, is the consultation answer
// the host tests check; a caisse without a row of its own is said so.
TEST_F(LectureDonneesTest, ACaisseWithoutHolidaysOfItsOwnIsNamed) {
    TypeListe<Date> jours;
    TraceDetailCapturee trace;
    EXPECT_EQ(lecture.rechercherJoursFeriesCaisse("974", d(2025, 3, 1), jours), KPX_CR_ELEMENT_ABSENT);
    EXPECT_TRUE(trace.contient("Code caisse non trouve dans la table Jours Feries Caisse"));
}

// A rule's reference asked by its name answers as the key query, from the first time
// (found) to the next ones (kept): the name's buffer may hold another rule at the same
// address. Traced, every ask searches again and writes its lines.
TEST_F(LectureDonneesTest, RuleReferenceByNameAnswersAsTheKeyQuery) {
    char nom[16];
    const char* const regles[] = {"PROD590", "PROD136A", "PROD590", "PROD999", "PROD136A", "PROD590"};
    const auto demander = [&](TraceDetailCapturee* lignes) {
        for (const char* regle : regles) {
            std::strcpy(nom, regle);
            Code attendue, reference;
            const uint16_t cr = lecture.rechercherReferenceCdC(Code(regle), attendue);
            if (lignes != nullptr) lignes->effacer();
            EXPECT_EQ(lecture.rechercherReferenceRegle(nom, reference), cr) << regle;
            EXPECT_EQ(reference, attendue) << regle;
            const std::string ligne = std::string("Identifiant regle recherche : ") + regle;
            const bool tracee = lignes != nullptr && lignes->contient(ligne);
            EXPECT_EQ(tracee, lignes != nullptr) << regle;
        }
    };
    demander(nullptr);
    TraceDetailCapturee lignes;
    demander(&lignes);
}

TEST_F(LectureDonneesTest, RulesAndTheCombinationOfForcingIndicators) {
    const InformationRegle* information = nullptr;
    ASSERT_EQ(lecture.rechercherInformationsRegles("PROD720", information), 0);
    EXPECT_EQ(information->libellePrincipal, "Age minimal");
    EXPECT_EQ(lecture.rechercherInformationsRegles("PROD721", information), KPX_CR_ELEMENT_ABSENT);
    EXPECT_EQ(lecture.rechercherInformationsRegles("PROD7200000", information), KPX_CR_DONNEES_INCOHERENTES);
    Code reference;
    ASSERT_EQ(lecture.rechercherReferenceCdC("PROD590", reference), 0);
    EXPECT_EQ(reference, "RG01");
    TypeListe<Code> regles;
    ASSERT_EQ(lecture.rechercherReglesEntrainantDebrayage("SERVICE", regles), 0);
    EXPECT_EQ(textesDe(regles), (Textes{"RG01"}));
    EXPECT_EQ(lecture.rechercherReglesEntrainantDebrayage("SERVIC", regles), KPX_CR_ELEMENT_ABSENT);
    ASSERT_EQ(lecture.rechercherReglesNonVerifiables("RG02", regles), 0);
    EXPECT_EQ(textesDe(regles), (Textes{"RG03"}));
    Nombre priorite;
    ASSERT_EQ(lecture.rechercherPrioriteIndicateurForcage("B", priorite), 0);
    EXPECT_EQ(priorite.valeur(), 3);

    struct Cas {
        const char* indicateur;
        const char* present;
        uint16_t cr;
        const char* resultat;
    };
    const Cas cas[] = {{"A", "B", 0, "C"},  // the exception table decides
                       {"B", "A", 0, "B"},  // higher priority wins
                       {"A", "C", 0, "C"},  // A has exceptions, none for C; a tie keeps the present one
                       {"C", "A", 0, "A"},
                       {"A", "D", KPX_CR_ELEMENT_ABSENT, ""},
                       {"AB", "A", KPX_CR_DONNEES_INCOHERENTES, ""}};
    for (const Cas& c : cas) {
        TraceDetailCapturee trace;
        Code resultat;
        EXPECT_EQ(lecture.rechercherValeurCombinaisonIndicateurs(c.indicateur, c.present, resultat), c.cr)
            << c.indicateur << c.present;
        EXPECT_EQ(std::string(resultat.chaine()), c.resultat) << c.indicateur << c.present;
        if (c.cr == 0) {
            EXPECT_TRUE(trace.contient(std::string("Indicateur retourne = ") + c.resultat));
        }
    }
}

TEST_F(LectureDonneesTest, SearchTablesAreReadOnFirstUse) {
    EXPECT_EQ(referentiel.table(31)->etat(), Table::kDifferee);
    Nombre pere;
    ASSERT_EQ(lecture.rechercherMenuPere(Nombre(12), pere), 0);
    EXPECT_EQ(referentiel.table(31)->etat(), Table::kChargee);
    EXPECT_EQ(pere.valeur(), 1);
    Texte texte;
    ASSERT_EQ(lecture.rechercherTitreMenu(Nombre(12), texte), 0);
    EXPECT_EQ(texte, "Sous-menu");
    ASSERT_EQ(lecture.rechercherNotesMenu(Nombre(12), texte), 0);
    EXPECT_EQ(texte, "Notes 12");
    EXPECT_EQ(lecture.rechercherTitreMenu(Nombre(13), texte), KPX_CR_ELEMENT_ABSENT);

    TypeListe<Texte> mots;
    ASSERT_EQ(lecture.rechercherMotsCles(mots), 0);
    EXPECT_EQ(textesDe(mots), (Textes{"cote", "rein"}));
    ASSERT_EQ(lecture.rechercherSynonymes("COTE", mots), 0);
    EXPECT_EQ(textesDe(mots), (Textes{"flanc"}));
    ASSERT_EQ(lecture.rechercherSynonymes("REIN", mots), 0);
    EXPECT_EQ(mots.nombre(), 0);
    TraceDetailCapturee trace;
    EXPECT_EQ(lecture.rechercherSynonymes("cote", mots), KPX_CR_ELEMENT_ABSENT);
    EXPECT_TRUE(trace.contient("Mot cle non trouve dans la table Mots Cles"));

    EXPECT_EQ(referentiel.table(30)->etat(), Table::kDifferee);
    TypeListe<Code> actes;
    ASSERT_EQ(lecture.rechercherActesIndexes("COTE", 0xFFFFFFFFu, actes), 0);
    EXPECT_EQ(textesDe(actes), (Textes{"AAAA001", "BBBB002"}));
    EXPECT_TRUE(trace.contient("Ajout du code acte indexe dans la liste en retour : BBBB002"));
    ASSERT_EQ(lecture.rechercherActesIndexes("COTE", 2, actes), 0);
    EXPECT_EQ(textesDe(actes), (Textes{"BBBB002"}));
    ASSERT_EQ(lecture.rechercherActesIndexes("COTE", 4, actes), 0);
    EXPECT_EQ(actes.nombre(), 0);

    ASSERT_EQ(lecture.rechercherCodesActes(actes, ""), 0);
    EXPECT_EQ(textesDe(actes), (Textes{"AAAA001", "BBBB002", "CCCC00300000"}));
    ASSERT_EQ(lecture.rechercherCodesActes(actes, "BB"), 0);
    EXPECT_EQ(textesDe(actes), (Textes{"BBBB002"}));
    ASSERT_EQ(lecture.rechercherCodesActes(actes, "CCCC00300000"), 0);
    EXPECT_EQ(actes.nombre(), 1);
    ASSERT_EQ(lecture.rechercherCodesActes(actes, "D"), 0);
    EXPECT_EQ(actes.nombre(), 0);
}

TEST_F(LectureDonneesTest, InterfaceDescriptionRowsByPosition) {
    Nombre nombre;
    ASSERT_EQ(lecture.rechercherNombreGroupes(nombre), 0);
    EXPECT_EQ(nombre.valeur(), 1);
    ASSERT_EQ(lecture.rechercherNombreSuperGroupes(nombre), 0);
    EXPECT_EQ(nombre.valeur(), 1);
    const DescriptifGroupe* groupe = nullptr;
    ASSERT_EQ(lecture.rechercherDescriptifGroupe(Nombre(0), groupe), 0);
    EXPECT_EQ(groupe->numero, 3100);
    const DescriptifChamp* champ = nullptr;
    ASSERT_EQ(lecture.rechercherDescriptifChamp(Nombre(0), champ), 0);
    EXPECT_EQ(champ->tailleMaximale, 13);
    TraceDetailCapturee trace;
    EXPECT_EQ(lecture.rechercherDescriptifGroupe(Nombre(1), groupe), KPX_CR_ELEMENT_ABSENT);
    EXPECT_TRUE(trace.contient("position du groupe passee en parametre hors de la table"));
    const DescriptifSuperGroupe* superGroupe = nullptr;
    EXPECT_EQ(lecture.rechercherDescriptifSuperGroupe(Nombre(-1), superGroupe), KPX_CR_ELEMENT_ABSENT);
    EXPECT_TRUE(trace.contient("position du super-groupe passee en parametre hors de la table"));
    const FilsSuperGroupe* fils = nullptr;
    ASSERT_EQ(lecture.rechercherDescriptifFils(Nombre(0), fils), 0);
    EXPECT_EQ(fils->occurrencesMaximum, 1);
}

// Records are added after the acts are read: the loader refuses to read an act
// while records it cannot replay yet are stored.
TEST_F(LectureDonneesTest, ModificationRecordsInForceAtTheDateAndTheirCount) {
    Montant prix;
    ASSERT_EQ(lecture.rechercherPrixUnitaire("BBBB002", "1", "0", Nombre(1), d(2012, 1, 1), prix), 0);
    for (const auto& [grille, effet] : {std::pair<uint16_t, Date>{1, d(2011, 1, 1)}, {3, d(2012, 6, 1)}})
        cleActe(ajouterLigne<ModificationPrixUnitaire>(referentiel), "BBBB002", '1', '0', effet).grille = grille;
    auto& seuil = ajouterLigne<ModificationSeuil>(referentiel);
    seuil.positionSeuil = 2;
    seuil.dateEffet = d(2015, 1, 1);
    auto& nouveau = ajouterLigne<ModificationNouveauCodeRegroupement>(referentiel);
    nouveau.nouveauCodeRegroupement = "ZZ1";
    nouveau.dateEffet = d(2016, 2, 1);

    // Last modification date of the triplet, whatever the grid: walked back from the last record.
    struct Cas {
        Date reference;
        Date attendue;
    };
    const Cas cas[] = {{d(2010, 12, 31), Date()}, {d(2011, 1, 1), d(2011, 1, 1)}, {d(2012, 6, 1), d(2012, 6, 1)}};
    for (const Cas& c : cas) {
        Date date(1, 1, 1);
        ASSERT_EQ(lecture.rechercherDateModificationPrixUnitaire("BBBB002", "1", "0", c.reference, date), 0);
        EXPECT_EQ(date, c.attendue) << c.reference.chaine();
    }
    Booleen modifie;
    ASSERT_EQ(lecture.chercherModificationPrixUnitaire("BBBB002", "1", "0", Nombre(3), d(2012, 1, 1), modifie), 0);
    EXPECT_FALSE(modifie.valeur());
    ASSERT_EQ(lecture.chercherModificationPrixUnitaire("BBBB002", "1", "0", Nombre(1), d(2012, 1, 1), modifie), 0);
    EXPECT_TRUE(modifie.valeur());
    ASSERT_EQ(lecture.chercherModificationPrixUnitaire("BBBB002", "1", "1", Nombre(1), d(2012, 1, 1), modifie), 0);
    EXPECT_FALSE(modifie.valeur());
    ASSERT_EQ(lecture.chercherModificationSeuil(Nombre(2), d(2015, 1, 1), modifie), 0);
    EXPECT_TRUE(modifie.valeur());
    ASSERT_EQ(lecture.chercherModificationSeuil(Nombre(1), d(2015, 1, 1), modifie), 0);
    EXPECT_FALSE(modifie.valeur());
    Date date;
    ASSERT_EQ(lecture.rechercherDateModificationSeuilExoTM(Nombre(2), d(2020, 1, 1), date), 0);
    EXPECT_EQ(date, d(2015, 1, 1));
    ASSERT_EQ(lecture.rechercherDateModificationModificateur("F", Nombre(1), d(2020, 1, 1), date), 0);
    EXPECT_FALSE(date.estRenseigne());
    ASSERT_EQ(lecture.rechercherDateCreationCodeRegroupement("ZZ1", date), 0);
    EXPECT_EQ(date, d(2016, 2, 1));
    TraceDetailCapturee trace;
    EXPECT_EQ(lecture.rechercherDateCreationCodeRegroupement("ADC", date), KPX_CR_ELEMENT_ABSENT);
    EXPECT_TRUE(trace.contient("Code regroupement non trouve dans la table de modification"));

    // Counting: only while the flag is set, only for a value with a record in force.
    ASSERT_EQ(lecture.rechercherPrixUnitaire("BBBB002", "1", "0", Nombre(1), d(2012, 1, 1), prix), 0);
    EXPECT_EQ(lecture.lireNombreModifications(), 0u);
    lecture.definirComptageModifications(true);
    ASSERT_EQ(lecture.rechercherPrixUnitaire("BBBB002", "1", "0", Nombre(1), d(2012, 1, 1), prix), 0);
    ASSERT_EQ(lecture.rechercherPrixUnitaire("BBBB002", "1", "0", Nombre(1), d(2010, 12, 31), prix), 0);
    ASSERT_EQ(lecture.rechercherPrixUnitaire("BBBB002", "1", "0", Nombre(3), d(2012, 1, 1), prix), 0);
    Montant seuilLu;
    ASSERT_EQ(lecture.rechercherSeuilExoTM(d(2015, 1, 1), Nombre(2), seuilLu), 0);
    Montant supplement;
    ASSERT_EQ(lecture.rechercherSupplementCharge("BBBB002", "1", "0", d(2012, 1, 1), supplement), 0);
    EXPECT_EQ(lecture.lireNombreModifications(), 2u);
    lecture.definirComptageModifications(false);
    EXPECT_EQ(lecture.lireNombreModifications(), 0u);
}

TEST_F(LectureDonneesTest, ModificationRecordsOfTheOtherKeys) {
    Code code;
    ASSERT_EQ(lecture.rechercherCodeRegroupement("BBBB002", "1", d(2012, 1, 1), code), 0);
    cleActe(ajouterLigne<ModificationCodeRegroupement>(referentiel), "BBBB002", '1', d(2012, 1, 1)).nouveauCode = "ATM";
    cleActe(ajouterLigne<ModificationMajorationDOM>(referentiel), "BBBB002", '1', '0', d(2013, 1, 1)).positionDOM = 3;
    cleActe(ajouterLigne<ModificationSupplementCharge>(referentiel), "BBBB002", '1', '0', d(2014, 1, 1));
    auto& modificateur = ajouterLigne<ModificationModificateur>(referentiel);
    modificateur.codeModificateur = 'F';
    modificateur.codeGrille = 1;
    modificateur.dateEffet = d(2015, 1, 1);
    auto& association = ajouterLigne<ModificationRegleAssociationNonPrevue>(referentiel);
    association.codeAssociation = '1';
    association.grille = 1;
    association.dateEffet = d(2016, 1, 1);
    ajouterLigne<ModificationNonConventionne>(referentiel).dateEffet = d(2017, 1, 1);

    const Date tard = d(2020, 1, 1);
    Date date;
    ASSERT_EQ(lecture.rechercherDateModificationCodeRegroupement("BBBB002", "1", tard, date), 0);
    EXPECT_EQ(date, d(2012, 1, 1));
    ASSERT_EQ(lecture.rechercherDateModificationCodeRegroupement("BBBB002", "4", tard, date), 0);
    EXPECT_FALSE(date.estRenseigne());
    ASSERT_EQ(lecture.rechercherDateModificationMajorationDOM("BBBB002", "1", "0", Nombre(3), tard, date), 0);
    EXPECT_EQ(date, d(2013, 1, 1));
    ASSERT_EQ(lecture.rechercherDateModificationMajorationDOM("BBBB002", "1", "0", Nombre(1), tard, date), 0);
    EXPECT_FALSE(date.estRenseigne());
    ASSERT_EQ(lecture.rechercherDateModificationSupplementCharges("BBBB002", "1", "0", tard, date), 0);
    EXPECT_EQ(date, d(2014, 1, 1));
    ASSERT_EQ(lecture.rechercherDateModificationModificateur("F", Nombre(1), tard, date), 0);
    EXPECT_EQ(date, d(2015, 1, 1));
    ASSERT_EQ(lecture.rechercherDateModificationCoefficientAssociationNP("1", Nombre(1), tard, date), 0);
    EXPECT_EQ(date, d(2016, 1, 1));
    ASSERT_EQ(lecture.rechercherDateModificationNonConventionnes(tard, date), 0);
    EXPECT_EQ(date, d(2017, 1, 1));
    ASSERT_EQ(lecture.rechercherDateModificationNonConventionnes(d(2016, 12, 31), date), 0);
    EXPECT_FALSE(date.estRenseigne());
    EXPECT_EQ(lecture.rechercherDateModificationCodeRegroupement("BBBB002", "12", tard, date),
              KPX_CR_DONNEES_INCOHERENTES);

    // Each of these values found at a late date counts once.
    lecture.definirComptageModifications(true);
    Coefficient coefficient;
    Montant montant;
    ASSERT_EQ(lecture.rechercherCodeRegroupement("BBBB002", "1", tard, code), 0);
    ASSERT_EQ(lecture.rechercherMajorationDOM("BBBB002", "1", "0", Nombre(3), tard, coefficient), 0);
    ASSERT_EQ(lecture.rechercherSupplementCharge("BBBB002", "1", "0", tard, montant), 0);
    ASSERT_EQ(lecture.rechercherForfaitModificateur("F", tard, Nombre(1), montant), 0);
    ASSERT_EQ(lecture.rechercherTauxModificateur("F", tard, Nombre(1), coefficient), 0);
    ASSERT_EQ(lecture.rechercherCoefficientAssociationNonPrevue("1", tard, Nombre(1), coefficient), 0);
    ASSERT_EQ(lecture.rechercherForfaitNonConventionnes(tard, montant), 0);
    ASSERT_EQ(lecture.rechercherTauxNonConventionnes(tard, coefficient), 0);
    EXPECT_EQ(lecture.lireNombreModifications(), 8u);
    // An unmodified key does not.
    ASSERT_EQ(lecture.rechercherMajorationDOM("BBBB002", "1", "0", Nombre(1), tard, coefficient), 0);
    EXPECT_EQ(lecture.lireNombreModifications(), 8u);
}
