// A minimal host: loads the library from the build tree and shows what the
// frame answers, until the command-line host takes over.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "hote/Codes.h"
#include "hote/Hote.h"

namespace {
void afficher(const char* appel, uint16_t cr) {
    std::printf("%-48s 0x%04X  %s\n", appel, cr, significationCode(cr));
}
}  // namespace

int main(int argc, char** argv) {
    std::string build = argc > 1 ? argv[1] : "build";
    std::string travail = build + "/demo";
    std::string referentiel = build + "/referentiel/sample";
    std::string configuration = travail + "/kpx.ini";
    std::system(("mkdir -p " + travail).c_str());
    {
        std::ofstream ini(configuration);
        ini << "[COMMUN]\nrepertoiretravail=" << travail << "\nActivationTracesLog4c=1\n"
            << "[KPX]\nrepertoiretable=" << referentiel << "\n"
            << "[TRACE]\nfichier=" << travail << "/kpx.log\nniveau=5\n";
    }

    Hote hote;
    if (!hote.charger(build + "/lib")) {
        std::fprintf(stderr, "cannot load the library: %s\n", hote.erreur.c_str());
        return 1;
    }
    std::printf("Library loaded from %s/lib\n\n", build.c_str());

    unsigned char* zone = nullptr;
    afficher("KPX_AllouerZoneMem(&zone, 64)", hote.KPX_AllouerZoneMem(&zone, 64));
    hote.KPX_LibererZoneMem(zone);
    std::printf("%-48s done\n", "KPX_LibererZoneMem(zone)");
    afficher("KPX_AllouerZoneMem(&zone, 0)", hote.KPX_AllouerZoneMem(&zone, 0));

    unsigned char* sortie = nullptr;
    uint32_t taille = 0;
    afficher("KPX_LireVersion before KPX_InitLIB2", hote.KPX_LireVersion(&sortie, &taille));
    afficher("KPX_ConsulterDonnee before KPX_InitLIB2",
             hote.KPX_ConsulterDonnee("CCAM_37", "20240101", nullptr, 0, &sortie, &taille));

    uint16_t cr = hote.KPX_InitLIB2(configuration.c_str());
    afficher(("KPX_InitLIB2(" + configuration + ")").c_str(), cr);
    if (cr == 0) {
        afficher("KPX_ConsulterDonnee(\"CCAM_37\", \"2024-01-01\")",
                 hote.KPX_ConsulterDonnee("CCAM_37", "2024-01-01", nullptr, 0, &sortie, &taille));
        afficher("KPX_RechercherParFiltre(\"ab\")", hote.KPX_RechercherParFiltre("ab", &sortie, &taille));
        afficher("KPX_InitLIB2 again", hote.KPX_InitLIB2(configuration.c_str()));
        afficher("KPX_TermLIB", hote.KPX_TermLIB());
    }
    afficher("KPX_TermLIB without referentiel", hote.KPX_TermLIB());
    std::printf("\nTrace written to %s/kpx.log\n", travail.c_str());
    return 0;
}
