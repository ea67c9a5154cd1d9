#include "texts/help.h"

namespace pilotrame {

std::string HelpText() {
    return "Utilisation :\n"
           "  pilotrame\n"
           "      ouvre la fenêtre principale.\n"
           "  pilotrame --generate [--job FICHIER] [--list FICHIER] [--execute]\n"
           "      écrit le script Pilotrame.scr sans ouvrir de fenêtre, avec les réglages de\n"
           "      savescript.txt (lu seulement, jamais créé ni modifié), dans le répertoire des\n"
           "      scripts. Peut tourner pendant que la fenêtre est ouverte.\n"
           "  pilotrame --generate --run [--workers N] [--timeout S] [--skip-unready]\n"
           "            [--job FICHIER] [--list FICHIER]\n"
           "      exécute le travail sur la console d'AutoCAD (accoreconsole.exe), une console\n"
           "      par plan, quel que soit le moteur choisi dans la configuration, avec les\n"
           "      réglages d'exécution de execution.txt (lu seulement), remplacés par ceux du\n"
           "      travail puis par --workers et --timeout. Un plan listé deux fois n'est lancé\n"
           "      qu'une fois. Sur un terminal, une ligne d'état suit l'exécution ; sinon une\n"
           "      ligne est écrite quand un plan est lancé et quand il se termine ; puis le\n"
           "      bilan. Un plan dont la console finit avec le code 0 mais dont la sortie\n"
           "      contient un message d'échec (execution.txt, messages-echec), ou que le script\n"
           "      devait enregistrer sans l'avoir fait, est en « erreur de script ». Le journal\n"
           "      (console.scr, un .log par plan, resume.csv, et echecs.txt, la liste des plans\n"
           "      qui n'ont pas réussi, à donner à --list) va dans un nouveau dossier\n"
           "      Pilotrame-journal/<date>_<heure> du répertoire des scripts ; Pilotrame.scr\n"
           "      n'est pas touché. Ctrl-C arrête l'exécution : plus aucune console n'est\n"
           "      lancée, celles en cours sont arrêtées, le journal est écrit.\n"
           "  pilotrame --generate (--run | --execute) --essai N [--job FICHIER] [...]\n"
           "      essaie le travail sur des copies des N premiers plans de la liste (1 à 20),\n"
           "      faites dans un nouveau dossier Pilotrame-journal/<date>_<heure>-essai/plans\n"
           "      du répertoire des scripts, comme --run ou --execute le ferait ; les originaux\n"
           "      ne sont pas touchés. Avec un travail qui renomme des fichiers,\n"
           "      --generate --essai N écrit l'ancien et le nouveau nom de chaque fichier de la\n"
           "      liste et où le renommage s'arrêterait, sans rien renommer.\n"
           "  pilotrame --verifier [--job FICHIER] [--list FICHIER]\n"
           "      vérifie les plans (introuvables, en lecture seule, ouverts ailleurs, pas des\n"
           "      plans AutoCAD, d'un format plus récent que l'AutoCAD qui les ouvrira) et le\n"
           "      script du travail, et écrit un constat par ligne sur la sortie standard ;\n"
           "      n'écrit aucun fichier et ne lance rien.\n"
           "  pilotrame --help | --version\n"
           "\n"
           "Options :\n"
           "  --generate         écrit le script sans fenêtre\n"
           "  --job FICHIER      prend le travail dans FICHIER (.pilotrame) ; sans cette option,\n"
           "                     le travail d'une fenêtre qui vient de s'ouvrir (IMPRIMER)\n"
           "  --list FICHIER     prend la liste des dessins dans FICHIER ; sans cette option,\n"
           "                     Liste01.txt\n"
           "  --execute          démarre AutoCAD sur le script, après la vérification des dessins\n"
           "  --run              exécute le travail plan par plan sur la console d'AutoCAD, après\n"
           "                     la vérification des dessins\n"
           "  --workers N        plans à la fois, de 1 à 16 (avec --run)\n"
           "  --timeout S        délai par plan en secondes, de 1 à 604800 (avec --run)\n"
           "  --skip-unready     laisse de côté les plans qui ne sont pas prêts (introuvables,\n"
           "                     en lecture seule, ouverts ailleurs, pas des plans AutoCAD, d'un\n"
           "                     format trop récent), les nomme, et lance les autres ; ils sont\n"
           "                     « non prêt » au journal et dans echecs.txt (avec --run)\n"
           "  --essai N          essaie sur des copies des N premiers plans, de 1 à 20\n"
           "  --verifier         vérifie les plans et le script sans rien écrire ni lancer\n"
           "  -h, --help         affiche cette aide\n"
           "  --version          affiche la version\n"
           "Un travail qui renomme des fichiers (RENOMMER FICHIERS coché) est refusé, sauf pour\n"
           "l'essai (--essai) : la ligne de commande ne renomme jamais de fichiers.\n"
           "\n"
           "Codes de sortie :\n"
           "  0  réussite (avec --run : chaque plan a réussi)\n"
           "  2  arguments incorrects\n"
           "  3  fichier de travail illisible ou incorrect\n"
           "  4  liste des dessins illisible, incorrecte ou inexistante\n"
           "  5  échec de la génération du script, ou travail qui renomme des fichiers, ou\n"
           "     REMPLACE TEXTE (vba) coché avec --run (la console n'a pas VBA), ou ligne\n"
           "     que la console ne peut pas exécuter (_.open, _close, _quit, -vbarun,\n"
           "     _pasteclip, INSERER presse-papier)\n"
           "  6  fichier de réglages savescript.txt, ou execution.txt avec --run, illisible ou\n"
           "     endommagé\n"
           "  7  dessins pas prêts : AutoCAD n'a pas été démarré (--execute), aucun plan n'a été\n"
           "     lancé (--run sans --skip-unready), un plan au moins n'est pas prêt (--verifier)\n"
           "  8  AutoCAD n'a pas pu être démarré (--execute), console d'AutoCAD introuvable ou\n"
           "     pas exécutable, ou script dont l'interpréteur (#!) manque (--run)\n"
           "  9  aucun plan à traiter : AutoCAD n'a pas été démarré (--execute, --run)\n"
           "  10  des plans n'ont pas réussi : erreur de script, échec, délai dépassé, non\n"
           "      lancé ou non prêt (--run)\n"
           "  11  exécution arrêtée par Ctrl-C ou une demande d'arrêt (--run)\n"
           "  12  le journal n'a pas pu être écrit en entier (un .log, resume.csv ou\n"
           "      echecs.txt) ; l'emporte sur 10 et 11 (--run)\n"
           "  13  le script du travail a une erreur (--verifier) ; l'emporte sur 7\n"
           "Les messages sont écrits sur la sortie d'erreur ; le constat de --verifier et les\n"
           "noms de l'essai d'un renommage, sur la sortie standard.\n";
}

std::string_view PilotrameVersion() {
    return PILOTRAME_VERSION;
}

std::string VersionText() {
    return "Pilotrame " + std::string(PilotrameVersion());
}

std::string AboutText() {
    return "Version V" + std::string(PilotrameVersion()) +
           " En cours de développement\r\n"
           "Nouvelles versions : voir le site de Pilotrame.";
}

} // namespace pilotrame
