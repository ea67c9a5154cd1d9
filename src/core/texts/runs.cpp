#include "texts/runs.h"

#include "base/text.h"

namespace pilotrame {

std::string ConsoleInterpreterText(const std::string& program, const std::string& interpreter,
                                   bool missing) {
    return "La console d'AutoCAD est un script dont l'interpréteur \xC2\xAB " + interpreter +
           " \xC2\xBB " + (missing ? "est introuvable" : "ne peut pas être exécuté") +
           ", aucun plan n'a été lancé : " + std::string(kCrLf) + program + std::string(kCrLf) +
           "Choisissez le « Programme console » dans la configuration (Exécution des plans), ou "
           "donnez-le à la clé console= de execution.txt ou execution.console= du travail.";
}

} // namespace pilotrame
