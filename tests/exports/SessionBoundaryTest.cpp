// The nine session variants over every family, as a host calls them with our
// session-zone component: the input taken from the session, the output zone handed
// to it exactly when the buffer-based export hands one to the host, the trace lines,
// and a session that refuses the zone.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "FactureJson.h"
#include "KPXW32.h"
#include "support/ConstructeurReferentiel.h"
#include "support/HoteEchantillon.h"
#include "support/LectureTrace.h"
#include "support/SessionHote.h"
#include "support/ZoneEntree.h"

namespace {

using Octets = std::vector<uint8_t>;

Octets facture(const std::string& nom, const std::string& ancien = "", const std::string& nouveau = "") {
    std::string texte = lireTexte(std::string(KPX_SOURCE_DIR) + "/data/factures/" + nom);
    if (!ancien.empty()) texte.replace(texte.find(ancien), ancien.size(), nouveau);
    FactureJson f;
    std::string erreur;
    EXPECT_TRUE(lireFacture(nlohmann::json::parse(texte), f, erreur)) << erreur;
    const std::string octets = coderZone(f.groupes);
    return Octets(octets.begin(), octets.end());
}

std::string hex(uint16_t cr) {
    char texte[8];
    std::snprintf(texte, sizeof texte, "0x%04X", cr);
    return texte;
}

// Last accounted memory total the trace shows.
long totalMemoire(const std::vector<LigneTrace>& lignes) {
    static const std::regex forme(R"(^Taille memoire cumulee = (\d+).*)");
    long total = -1;
    std::smatch m;
    for (const LigneTrace& l : lignes)
        if (std::regex_match(l.texte, m, forme)) total = std::stol(m[1]);
    return total;
}

// What a buffer-based export hands the host.
struct Sortie {
    uint16_t cr = 0;
    Octets zone;
};

// The buffer-based export: called with the input given, its zone copied and given back.
using AppelDirect = std::function<uint16_t(Hote&, const Octets&, unsigned char**, uint32_t*)>;
// The session variant on a session number.
using AppelSession = std::function<uint16_t(Hote&, uint16_t)>;

struct Appels {
    AppelSession session;
    AppelDirect direct;  // null for the variants without output zone
};

Sortie appelerDirect(Hote& hote, const AppelDirect& direct, const Octets& entree) {
    Sortie s;
    unsigned char* zone = nullptr;
    uint32_t taille = 0;
    s.cr = direct(hote, entree, &zone, &taille);
    if (zone != nullptr) s.zone.assign(zone, zone + taille);
    hote.KPX_LibererZoneMem(zone);
    return s;
}

struct Variante {
    const char* nom;
    int categorie;
    bool prendEntree;
    bool donneSortie;
};

const Variante kConsulter{"KPX_ConsulterDonnee_S", 1, true, true};
const Variante kMotCle{"KPX_RechercherParMotCle_S", 1, false, true};
const Variante kFiltre{"KPX_RechercherParFiltre_S", 1, false, true};
const Variante kModifier{"KPX_ModifierDonnee_S", 2, true, false};
const Variante kAnnuler{"KPX_AnnulerModification_S", 2, true, false};
const Variante kAppliquer{"KPX_AppliquerRegle_S", 4, true, true};
const Variante kControler{"KPX_ControlerDonnees_S", 4, true, false};
const Variante kComplet{"KPX_ControleComplet_S", 4, true, true};
const Variante kVersion{"KPX_LireVersion_S", 7, false, true};

struct Cas {
    const char* nom;
    const Variante& variante;
    Octets entree;
    Appels appel;
    uint16_t attendu;
    bool versSession;    // the zone goes to the session
    const char* texte;   // the zone handed over, when it is worth reading; else null
};

// The level-1 lines since `depuis`, each as "<category> <text>".
std::vector<std::string> lignesExport(const std::vector<LigneTrace>& lignes, size_t depuis) {
    std::vector<std::string> textes;
    for (size_t i = depuis; i < lignes.size(); ++i)
        if (lignes[i].niveau == 1) textes.push_back(std::to_string(lignes[i].categorie) + " " + lignes[i].texte);
    return textes;
}

std::string ligneEntree(const Variante& v, uint16_t session) {
    const std::string nom(v.nom);
    const char* blancs = nom == "KPX_RechercherParMotCle_S" ? "  >> IN : " : nom == "KPX_LireVersion_S" ? " >> IN  : "
                                                                                                       : " >> IN : ";
    return std::to_string(v.categorie) + " " + nom + blancs + "numeroSession = " + std::to_string(session);
}

std::string ligneCode(const Variante& v, uint16_t cr) { return std::to_string(v.categorie) + " cr = " + hex(cr); }

std::string ligneSortie(const Variante& v) {
    return std::to_string(v.categorie) + " " + v.nom + " << OUT" +
           (std::string(v.nom) == "KPX_ControleComplet_S" ? " " : "");
}

}  // namespace

TEST(SessionBoundary, EveryVariantTakesFromAndHandsToTheSessionAsItsExportDoesWithTheHost) {
    HoteEchantillon h;
    ASSERT_TRUE(h.pret());
    SessionHote session;
    ASSERT_TRUE(session.pret());
    Hote& hote = h.hote();
    const std::string trace = repertoireTemporaire("boundary/sessions") + "/kpx.log";
    ASSERT_EQ(hote.KPX_InitTrace(("fichier=" + trace + ";niveau=2").c_str(), 0, 0, 0), KPX_OK);
    unsigned char* amorce = nullptr;
    ASSERT_EQ(hote.KPX_AllouerZoneMem(&amorce, 1), KPX_OK);
    hote.KPX_LibererZoneMem(amorce);

    const Octets prix = zone({{3001, {"AHQP001"}}, {3002, {"1"}}, {3003, {""}}, {3004, {"1", "1"}}});
    const Octets nouveauPrix = zone({{3001, {"AHQP001"}}, {3002, {"1"}}, {3003, {""}}, {3008, {"5000"}}, {3004, {"1", "1"}}});
    const Octets phase = zone({{3001, {"AHQP001"}}, {3002, {"1"}}, {3003, {""}}});
    const Octets inconnu = zone({{3001, {"ZZZZ999"}}, {3002, {"1"}}, {3003, {""}}, {3004, {"1", "1"}}});
    const Octets prixInconnu = zone({{3001, {"ZZZZ999"}}, {3002, {"1"}}, {3003, {""}}, {3008, {"5000"}}, {3004, {"1", "1"}}});
    const auto prevention = [](const char* acte, const char* drapeau) {
        return zone({{3440, {"1", "20240101", acte, drapeau}}});
    };
    const auto consulter = [](const char* identifiant, const char* date) {
        return Appels{
            [=](Hote& x, uint16_t s) { return x.KPX_ConsulterDonnee_S(identifiant, date, s); },
            [=](Hote& x, const Octets& e, unsigned char** z, uint32_t* t) {
                return x.KPX_ConsulterDonnee(identifiant, date, e.data(), static_cast<uint32_t>(e.size()), z, t);
            }};
    };
    const auto appliquer = [](const char* identifiant) {
        return Appels{
            [=](Hote& x, uint16_t s) { return x.KPX_AppliquerRegle_S(identifiant, s); },
            [=](Hote& x, const Octets& e, unsigned char** z, uint32_t* t) {
                return x.KPX_AppliquerRegle(identifiant, e.data(), static_cast<uint32_t>(e.size()), z, t);
            }};
    };
    const Appels complet{
        [](Hote& x, uint16_t s) { return x.KPX_ControleComplet_S(s); },
        [](Hote& x, const Octets& e, unsigned char** z, uint32_t* t) {
            return x.KPX_ControleComplet(e.data(), static_cast<uint32_t>(e.size()), z, t);
        }};
    const auto motCle = [](const char* mot) {
        return Appels{
            [=](Hote& x, uint16_t s) { return x.KPX_RechercherParMotCle_S(mot, 0, s); },
            [=](Hote& x, const Octets&, unsigned char** z, uint32_t* t) { return x.KPX_RechercherParMotCle(mot, 0, z, t); }};
    };
    const auto filtre = [](const char* f) {
        return Appels{
            [=](Hote& x, uint16_t s) { return x.KPX_RechercherParFiltre_S(f, s); },
            [=](Hote& x, const Octets&, unsigned char** z, uint32_t* t) { return x.KPX_RechercherParFiltre(f, z, t); }};
    };
    const Appels version{
        [](Hote& x, uint16_t s) { return x.KPX_LireVersion_S(s); },
        [](Hote& x, const Octets&, unsigned char** z, uint32_t* t) { return x.KPX_LireVersion(z, t); }};
    const auto modifier = [](const char* date) -> AppelSession {
        return [=](Hote& x, uint16_t s) { return x.KPX_ModifierDonnee_S("CCAM_37", date, s); };
    };
    const AppelSession annuler = [](Hote& x, uint16_t s) { return x.KPX_AnnulerModification_S("CCAM_37", s); };
    // The answer of a control is in resultat only; the session gets nothing.
    const auto controler = [](const char* identifiant, char attendu) -> AppelSession {
        return [=](Hote& x, uint16_t s) {
            char resultat = '-';
            const uint16_t cr = x.KPX_ControlerDonnees_S(identifiant, "20240101", s, &resultat);
            // Written once the référentiel was opened, so not when the session had no input.
            EXPECT_EQ(resultat, cr == BFH_CR_SESSION_INCONNUE ? '-' : attendu) << identifiant;
            return cr;
        };
    };
    const Octets ccam = zone({{3015, {"01"}}, {3016, {"C"}}});
    const Octets dentaire = facture("dentaire.json");
    const Octets niveau1 = facture("actes-incompatibles.json");
    const Octets niveau2 = facture("dentaire.json", R"("dents": ["36"],)", R"("outrepassements": ["PROD700"],)");
    const Octets pasUneZone = {0x06, 0x4C, 0x05, 'a', 'b'};

    const Cas cas[] = {
        {"consulter", kConsulter, prix, consulter("CCAM_37", "20250101"), KPX_OK, true, "3117:4500"},
        {"consulter-absent", kConsulter, inconnu, consulter("CCAM_37", "20250101"), KPX_CR_ELEMENT_ABSENT, false,
         nullptr},
        // No zone at all: a null buffer of size 0 goes to the session.
        {"consulter-dump", kConsulter, prix, consulter("Dump", "20250101"), KPX_OK, true, ""},
        {"mot-cle", kMotCle, {}, motCle("genou"), KPX_OK, true, nullptr},
        {"mot-cle-vide", kMotCle, {}, motCle("   "), KPX_CR_ARGUMENT, false, nullptr},
        {"filtre", kFiltre, {}, filtre("H"), KPX_OK, true, nullptr},
        {"filtre-sans-acte", kFiltre, {}, filtre("XQ"), KPX_CR_AUCUN_RESULTAT, false, nullptr},
        {"version", kVersion, {}, version, KPX_OK, true, nullptr},
        // The modification comes from the session: consultation then shows it.
        {"modifier", kModifier, nouveauPrix, {modifier("20250101"), nullptr}, KPX_OK, false, nullptr},
        {"modifier-absent", kModifier, prixInconnu, {modifier("20250101"), nullptr}, KPX_CR_ELEMENT_ABSENT, false,
         nullptr},
        {"consulter-modifie", kConsulter, prix, consulter("CCAM_37", "20250101"), KPX_OK, true,
         "3117:5000|3130:202501010000"},
        {"annuler", kAnnuler, phase, {annuler, nullptr}, KPX_OK, false, nullptr},
        {"annuler-rien", kAnnuler, phase, {annuler, nullptr}, KPX_CR_RIEN_A_ANNULER, false, nullptr},
        {"controler-oui", kControler, ccam, {controler("C_Ccam", 'O'), nullptr}, KPX_OK, false, nullptr},
        {"appliquer", kAppliquer, prevention("HBQD001", "O"), appliquer("C_ExoPrevention"), KPX_OK, true,
         "3431:1,1.00,7"},
        // A rule warning's zone goes to a host that called by buffer, never to the session.
        {"appliquer-D112", kAppliquer, prevention("HBQD001", "N"), appliquer("C_ExoPrevention"),
         KPX_CR_REGLE_AVERTISSEMENT_1, false, nullptr},
        {"complet", kComplet, dentaire, complet, KPX_OK, true, nullptr},
        {"complet-niveau-1", kComplet, niveau1, complet, KPX_CR_CONTROLE_NIVEAU_BASE + 1, true, nullptr},
        {"complet-niveau-2", kComplet, niveau2, complet, KPX_CR_CONTROLE_NIVEAU_BASE + 2, true, nullptr},
        {"complet-pas-une-zone", kComplet, pasUneZone, complet, KPX_CR_ZONE_MALFORMEE, false, nullptr},
    };

    constexpr uint16_t kSession = 9, kFermee = 10, kInconnue = 11;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const Variante& v = c.variante;
        // What the buffer-based export hands the host, for the variants that have an output zone.
        Sortie direct;
        if (c.appel.direct) {
            direct = appelerDirect(hote, c.appel.direct, c.entree);
            ASSERT_EQ(hex(direct.cr), hex(c.attendu));
        }

        const auto deposer = [&](uint16_t numero) {
            return !v.prendEntree ||
                   session.deposer(numero, c.entree.data(), static_cast<uint32_t>(c.entree.size())) == BFH_OK;
        };
        ASSERT_TRUE(deposer(kSession));
        std::vector<LigneTrace> lignes = lireTrace(trace);
        const size_t debut = lignes.size();
        const long avant = totalMemoire(lignes);
        ASSERT_GE(avant, 0);
        EXPECT_EQ(hex(c.appel.session(hote, kSession)), hex(c.attendu));
        lignes = lireTrace(trace);
        // The buffer-based export writes its own lines between the variant's.
        const std::vector<std::string> appel = lignesExport(lignes, debut);
        ASSERT_GE(appel.size(), 3u);
        EXPECT_EQ(appel.front(), ligneEntree(v, kSession));
        EXPECT_EQ(appel[appel.size() - 2], ligneCode(v, c.attendu));
        EXPECT_EQ(appel.back(), ligneSortie(v));

        unsigned char* zone = nullptr;
        uint32_t taille = 0;
        const uint16_t prise = session.prendre(kSession, &zone, &taille);
        if (c.versSession) {
            ASSERT_EQ(prise, BFH_OK);
            EXPECT_EQ(Octets(zone, zone + taille), direct.zone);
            if (c.texte != nullptr && zone != nullptr) {
                EXPECT_EQ(texteZone(zone, taille), c.texte);
            }
            // The session gives the zone back through the library: the total is where it was.
            ASSERT_EQ(session.liberer(kSession), BFH_OK);
        } else {
            // Nothing written: the session holds no zone, or does not exist when it took no input.
            EXPECT_TRUE(prise == BFH_OK || (!v.prendEntree && prise == BFH_CR_SESSION_INCONNUE)) << hex(prise);
            EXPECT_EQ(zone, nullptr);
            EXPECT_EQ(taille, 0u);
            session.liberer(kSession);
        }
        EXPECT_EQ(totalMemoire(lireTrace(trace)), avant);

        // A session that refuses the zone: the library releases it and the host hears the refusal.
        if (v.donneSortie) {
            ASSERT_EQ(session.fermer(kFermee), BFH_OK);
            ASSERT_TRUE(deposer(kFermee));
            EXPECT_EQ(hex(c.appel.session(hote, kFermee)), hex(c.versSession ? BFH_CR_SORTIE_FERMEE : c.attendu));
            EXPECT_EQ(totalMemoire(lireTrace(trace)), avant);
            ASSERT_EQ(session.liberer(kFermee), BFH_OK);
        }

        // A session without input zone: its code, and the buffer-based export is not called.
        if (v.prendEntree) {
            lignes = lireTrace(trace);
            const size_t depuis = lignes.size();
            EXPECT_EQ(hex(c.appel.session(hote, kInconnue)), hex(BFH_CR_SESSION_INCONNUE));
            EXPECT_EQ(lignesExport(lireTrace(trace), depuis),
                      (std::vector<std::string>{ligneEntree(v, kInconnue), ligneCode(v, BFH_CR_SESSION_INCONNUE),
                                                ligneSortie(v)}));
        }
    }
}
