// Every consultation function through the exported entry point, over the compiled
// sample, with its exact answer (groups and fields) and its main failures, and the version zone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KPXW32.h"
#include "hote/Hote.h"
#include "frame/Systeme.h"
#include "support/HoteEchantillon.h"
#include "support/ZoneEntree.h"

namespace {

class Charge : public HoteEchantillon {
public:
    // The answer as text, or "#" and the code in hex when the call fails.
    std::string consulter(const char* identifiant, const char* date, const std::vector<GroupeEntree>& entree) {
        const std::vector<uint8_t> octets = zone(entree);
        unsigned char* sortie = nullptr;
        uint32_t taille = 0;
        const uint16_t cr = hote().KPX_ConsulterDonnee(identifiant, date, octets.empty() ? nullptr : octets.data(),
                                                      static_cast<uint32_t>(octets.size()), &sortie, &taille);
        if (cr != 0) {
            EXPECT_EQ(sortie, nullptr) << identifiant;
            char code[8];
            std::snprintf(code, sizeof code, "#%04X", cr);
            return code;
        }
        const std::string texte = sortie ? texteZone(sortie, taille) : "(aucune zone)";
        hote().KPX_LibererZoneMem(sortie);
        return texte;
    }
};

GroupeEntree A(const std::string& acte) { return {3001, {acte}}; }
GroupeEntree Ac(const std::string& activite) { return {3002, {activite}}; }
GroupeEntree Ph(const std::string& phase) { return {3003, {phase}}; }
GroupeEntree Ctx(const std::string& ps, const std::string& bs) { return {3004, {ps, bs}}; }
GroupeEntree M(const std::string& modificateur) { return {3005, {modificateur}}; }
GroupeEntree Caisse(const std::string& caisse) { return {3006, {caisse}}; }
GroupeEntree Asso(const std::string& code) { return {3007, {code}}; }

struct Cas {
    const char* identifiant;
    const char* date;
    std::vector<GroupeEntree> entree;
    const char* attendu;
};

const char* const kDate = "20240101";

}  // namespace

TEST(ConsultationBoundary, EveryFunctionAndTheVersionZoneAnswerExactlyAndFailuresCarryTheirCode) {
    Charge charge;
    ASSERT_TRUE(charge.pret());
    const std::vector<Cas> cas = {
        // Acts.
        {"CCAM_1", kDate, {A("HHFA016")}, "3116:O"},
        {"CCAM_1", kDate, {A("ZZZZ999")}, "3116:N"},
        {"CCAM_2", kDate, {A("JAFA002")}, "3118:1,Acte principal (chirurgien ou médecin réalisant l'acte)|3118:2,Premier aide opératoire|3118:4,Anesthésie"},
        {"CCAM_3", kDate, {A("EBQM001"), Ac("1")}, "3118:B,Avec guidage par imagerie|3118:C,Avec compte rendu détaillé"},
        {"CCAM_4a", kDate, {A("HBLD035"), Ac("1")}, "3111:3"},
        {"CCAM_5", kDate, {A("ZBQK002")}, "3110:ZBQK002"},
        {"CCAM_6", kDate, {A("DEQP003"), Ac("1")}, "3118:F,Urgence un dimanche ou un jour férié|3118:P,Urgence de nuit entre 20 h et 0 h|3118:S,Urgence de nuit entre 0 h et 8 h|3118:U,Urgence de nuit non programmée|3118:M,Soins d'urgence au cabinet du médecin généraliste"},
        {"CCAM_7", kDate, {A("AHQP001")}, "3112:Électromyographie"},
        {"CCAM_8", kDate, {A("AHQP001")}, "3112:Électromyographie par électrode de surface, sans enregistrement vidéo"},
        {"CCAM_9", kDate, {A("YYYY030")}, "3118:2,Geste complémentaire"},
        {"CCAM_9_1", kDate, {A("JAFC019")}, "3110:JAFA002"},
        {"CCAM_10", kDate, {A("LAMA009")}, "3112:Prise en charge après entente préalable du service médical"},
        {"CCAM_11", kDate, {A("DEQP003")}, "3112:Acte réalisable au domicile du patient"},
        {"CCAM_12", kDate, {A("HBLD035"), Ac("1")}, "3118:06,Prothèse dentaire"},
        {"CCAM_13", kDate, {A("HHFA016"), Ac("1")}, "3110:QZJA002|3110:QZFA036|3110:YYYY030"},
        {"CCAM_14", kDate, {A("HHFA016")}, "3110:HHFA011"},
        {"CCAM_15", kDate, {A("JQGD010")}, "3110:2"},
        {"CCAM_16a", kDate, {A("ZBQK002")}, "3119:2,Radiographie\nActes de radiologie conventionnelle,Imagerie"},
        {"CCAM_18", kDate, {A("MZQK003")}, "3113:202301010000"},
        {"CCAM_19", kDate, {A("MZQK002")}, "3113:202212310000"},
        {"CCAM_19", kDate, {A("ZBQK002")}, "3113:"},
        {"CCAM_20", kDate, {A("ZBQK002"), Ac("1")}, "3110:R0405"},
        {"CCAM_22", kDate, {A("LAMA009")}, "3118:3,Remboursable à titre exceptionnel"},
        {"CCAM_24", kDate, {A("LAMA009")}, "3116:O"},
        {"CCAM_25", kDate, {A("ABJA002")}, "3118:1,Exonération au-delà du seuil|3118:2,Exonération au-delà du seuil, acte isolé"},
        {"CCAM_30_1", kDate, {A("JQGD010")}, "3118:MA,Maternité"},
        {"CCAM_32a", kDate, {A("HHFA016"), Ac("4")}, "3110:02"},
        {"CCAM_52a", kDate, {A("HBMD351")}, "3110:CM1|3110:CM2"},
        // Phases.
        {"CCAM_37", kDate, {A("AHQP001"), Ac("1"), Ph(""), Ctx("1", "1")}, "3117:4500"},
        {"CCAM_37", "20231231", {A("AHQP001"), Ac("1"), Ph("0"), Ctx("1", "1")}, "3117:4180"},
        {"CCAM_37", kDate, {A("AHQP001"), Ac("1"), Ph("0"), Ctx("3", "1")}, "3117:4050"},
        {"CCAM_39", kDate, {A("QZFA036"), Ac("1"), Ph("")}, "3117:400"},
        {"CCAM_40a", kDate, {A("ZBQK002"), Ac("1")}, "3116:O"},
        {"CCAM_40a", kDate, {A("DZQM006"), Ac("1")}, "3116:N"},
        {"CCAM_41", kDate, {A("DEQP003")}, "3118:O,Frais de déplacement autorisés"},
        {"CCAM_42", kDate, {A("HHFA016"), Ac("4")}, "3118:ADA,Actes d'anesthésie"},
        {"CCAM_43a", kDate, {A("HBMD049"), Ac("1"), Ph("")}, "3116:O|3111:1"},
        {"CCAM_43a", kDate, {A("HBLD035"), Ac("1"), Ph("2")}, "3116:O|3111:1"},
        {"CCAM_43a", "20190101", {A("HBLD035"), Ac("1"), Ph("2")}, "3116:N"},
        {"CCAM_43a", kDate, {A("HHFA016"), Ac("1"), Ph("")}, "3116:N"},
        {"CCAM_44", kDate, {A("HBGD037"), Ac("1"), Ph("")}, "3110:18|3110:28|3110:38|3110:48"},
        {"CCAM_45", kDate, {A("LAMA009"), Ac("1"), Ph("")}, "3115:16,0"},
        {"CCAM_46", kDate, {A("HBLD490"), Ac("1"), Ph("1")}, "3115:16,0"},
        {"CCAM_47a", kDate, {Caisse("973"), A("AHQP001"), Ac("1"), Ph("")}, "3114:1100"},
        // Tables.
        {"TB02_1", kDate, {Asso("3"), Ctx("1", "1")}, "3114:0800"},
        {"TB02_1", "20190601", {Asso("3"), Ctx("1", "1")}, "3114:0750"},
        {"TB02_2", kDate, {Ctx("5", "1")}, "3118:1,Acte principal, à taux plein|3118:2,Deuxième acte, à 50 %|3118:3,Acte réalisé en plusieurs temps|3118:4,Actes de radiologie à taux plein|3118:5,Actes de chirurgie pour lésions traumatiques multiples"},
        {"TB06_1", kDate, {M("Z")}, "3115:0,180"},
        {"TB06_2", kDate, {M("E")}, "3115:0,28"},
        {"TB07_1", kDate, {Caisse("974")}, "3117:12400"},
        {"TB07_1", kDate, {Caisse("975")}, "3117:12000"},
        {"TB08_1", "20240714", {Caisse("001")}, "3116:O"},
        {"TB08_1", "20240401", {Caisse("001")}, "3116:O"},
        {"TB08_1", "20250401", {Caisse("001")}, "3116:N"},
        {"TB08_1", "20251226", {Caisse("057")}, "3116:O"},
        {"TB08_1", "20251226", {Caisse("001")}, "3116:N"},
        {"TB09_1", kDate, {M("F"), M("A")}, "3116:O"},
        {"TB09_1", kDate, {M("F"), M("P")}, "3116:N"},
        {"TB10_1", kDate, {M("F")}, "3116:O"},
        {"TB10_2", kDate, {M("F")}, "3116:N"},
        {"TB11_1", kDate, {M("F"), Ctx("1", "1")}, "3117:2500"},
        {"TB11_1", kDate, {M("F"), Ctx("3", "1")}, "3117:1906"},
        {"TB11_2", kDate, {M("K"), Ctx("3", "1")}, "3114:1115"},
        {"TB11_3", kDate, {Ctx("5", "1")}, "3118:7,Anesthésie générale ou locorégionale complémentaire par le médecin réalisant l'acte|3118:A,Réalisation sur un patient de moins de 4 ans|3118:E,Réalisation sur un nouveau-né de moins de 28 jours|3118:F,Urgence un dimanche ou un jour férié|3118:P,Urgence de nuit entre 20 h et 0 h|3118:S,Urgence de nuit entre 0 h et 8 h|3118:U,Urgence de nuit non programmée"},
        {"TB12_1", kDate, {}, "3117:150"},
        {"TB12_2", kDate, {}, "3114:0160"},
        {"TB13_1", kDate, {}, "3118:ADA,Actes d'anesthésie|3118:ADC,Actes de chirurgie|3118:ADE,Actes d'échographie|3118:ADI,Actes d'imagerie|3118:ATM,Actes techniques médicaux|3118:PDT,Prothèses dentaires|3118:SDE,Soins dentaires"},
        {"TB15_1", kDate, {M("K")}, "3110:K"},
        {"TB15_1", kDate, {M("U")}, "3110:"},
        {"TB15_2", kDate, {}, "3111:4"},
        {"TB15_2", "20050101", {}, "3111:2"},
        {"TB19_1", kDate, {}, "3111:4"},
        {"TB20_1", kDate, {}, "3118:1,Acte principal, à taux plein|3118:2,Deuxième acte, à 50 %|3118:3,Acte réalisé en plusieurs temps"},
        {"TB21_1", kDate, {}, "3119:11,anesthésie,appendicectomie,côté,dent,échographie,genou,hanche,prévention,radiographie,rein-droit,thorax"},
        {"TB22_3", kDate, {Ctx("3", "1")}, "3123:2,Grille des tarifs du secteur 2,Tarifs des médecins de secteur 2 non adhérents à l'OPTAM"},
        {"TB23", kDate, {}, "3123:1,Grille des tarifs opposables,Tarifs des médecins de secteur 1, des adhérents à l'OPTAM et des patients bénéficiaires de la complémentaire santé solidaire|3123:2,Grille des tarifs du secteur 2,Tarifs des médecins de secteur 2 non adhérents à l'OPTAM|3123:3,Grille des non-conventionnés,Tarifs d'autorité des professionnels non conventionnés|3123:4,Grille des chirurgiens-dentistes,Tarifs des chirurgiens-dentistes conventionnés"},
        // Failures, with their code and no zone. The act and its life: unknown act, before its
        // creation, after its end (the end date itself is valid).
        {"CCAM_7", kDate, {A("ZZZZ999")}, "#D002"},
        {"CCAM_7", "20221231", {A("MZQK003")}, "#D003"},
        {"CCAM_7", "20221231", {A("MZQK002")}, "3112:Radiographie d'un membre"},
        {"CCAM_7", "20230101", {A("MZQK002")}, "#D003"},
        {"CCAM_18", "19990101", {A("MZQK003")}, "3113:202301010000"},  // no date check
        // Unknown activity, phase, grid; nothing in force at the date.
        {"CCAM_37", kDate, {A("AHQP001"), Ac("4"), Ph(""), Ctx("1", "1")}, "#D002"},
        {"CCAM_37", kDate, {A("AHQP001"), Ac("1"), Ph("3"), Ctx("1", "1")}, "#D002"},
        {"CCAM_37", kDate, {A("AHQP001"), Ac("1"), Ph(""), Ctx("9", "9")}, "#D002"},
        {"CCAM_37", kDate, {A("HBJD001"), Ac("1"), Ph(""), Ctx("3", "1")}, "#D002"},  // dental: no grid 2
        {"CCAM_37", "20000101", {A("AHQP001"), Ac("1"), Ph(""), Ctx("1", "1")}, "#D003"},
        {"TB12_1", "19990101", {}, "#D003"},
        {"CCAM_47a", kDate, {Caisse("975"), A("AHQP001"), Ac("1"), Ph("")}, "#D006"},
        {"CCAM_43a", kDate, {A("HBQD001"), Ac("1"), Ph("")}, "#DFFE"},  // dental without a number of teeth
        // Identifiers: another family's, unknown, and the dump.
        {"C_Pu", kDate, {}, "#D000"},
        {"CCAM_99", kDate, {}, "#D000"},
        {"Dump", kDate, {}, "(aucune zone)"},
        // Input zones: given to a function without input; a required group missing where another
        // comes, or at the end; a field too long; a group with a field missing; a group left over.
        {"TB19_1", kDate, {A("AHQP001")}, "#A000"},
        {"CCAM_12", kDate, {Ac("1"), A("HBLD035")}, "#BBB9"},
        {"CCAM_12", kDate, {A("HBLD035"), Ac("12")}, "#9002"},
        {"CCAM_37", kDate, {A("AHQP001"), Ac("1"), Ph(""), {3004, {"1"}}}, "#A804"},
        {"CCAM_12", kDate, {A("HBLD035")}, "#BBBA"},
        {"CCAM_7", kDate, {A("AHQP001"), Ac("1")}, "#A002"},
    };
    for (const Cas& c : cas) EXPECT_EQ(charge.consulter(c.identifiant, c.date, c.entree), c.attendu) << c.identifiant << " " << c.date;

    // The worked request, byte for byte: group 3117 (0x0C2D), 5 bytes, one field of 4 bytes "4500".
    const std::vector<uint8_t> entree = zone({A("AHQP001"), Ac("1"), Ph(""), Ctx("1", "1")});
    unsigned char* sortie = nullptr;
    uint32_t taille = 0;
    ASSERT_EQ(charge.hote().KPX_ConsulterDonnee("CCAM_37", kDate, entree.data(), static_cast<uint32_t>(entree.size()),
                                                &sortie, &taille),
              KPX_OK);
    EXPECT_EQ(std::vector<uint8_t>(sortie, sortie + taille), (std::vector<uint8_t>{0x0C, 0x2D, 0x05, 0x04, '4', '5', '0', '0'}));
    charge.hote().KPX_LibererZoneMem(sortie);

    // The version zone holds the sample's header: version 1000, base 0000, never saved with modifications
    // (no date), variant A001, no comment, revision 0; then the software version.
    ASSERT_EQ(charge.hote().KPX_LireVersion(&sortie, &taille), KPX_OK);
    EXPECT_EQ(texteZone(sortie, taille), "3600:1000,0000,,A001,,0,0302");
    charge.hote().KPX_LibererZoneMem(sortie);
    EXPECT_EQ(charge.hote().KPX_LireVersion(nullptr, &taille), KPX_CR_POINTEUR_NUL);
}
