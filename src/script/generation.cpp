#include "script/generation.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"

namespace pilotrame {

namespace {
constexpr const char* kCreateScript = "création du script";

bool fitsOnScriptLine(std::string_view name) {
    return !hasControlCharacter(name) && name.find('"') == std::string_view::npos;
}
} // namespace

Status GenerateScript(const std::string& listPath, const std::string& scriptPath,
                      ListPosition& position, const SectionWriter& writeSection) {
    if (Status emptied = truncateFile(scriptPath); !emptied) {
        Error error = emptied.error();
        error.operation = kCreateScript;
        return error;
    }
    std::string section;
    return WalkFileList(listPath, position, [&](const ListPosition& at) -> Status {
        if (!fitsOnScriptLine(at.currentFolder) || !fitsOnScriptLine(at.currentFileName))
            return Error{ErrorCode::InvalidName,
                         "génération du script",
                         at.currentFolder + at.currentFileName,
                         {}};
        section.clear();
        if (Status written = writeSection(section, at); !written)
            return written;
        return appendToFile(scriptPath, toAnsi(section));
    });
}

std::string ListFailureText(const std::string& listPath) {
    return "Liste des fichiers sélectionnés en lecture seule ou inexistant: " + std::string(kCrLf) +
           listPath;
}

std::string GenerationFailureText(const Error& error, const std::string& listPath,
                                  const std::string& scriptPath) {
    if (error.code == ErrorCode::InvalidName)
        return "Nom de fichier impossible à écrire dans le script (retour à la ligne, caractère "
               "de contrôle ou guillemet) : " +
               std::string(kCrLf) + error.path;
    if (error.operation == kCreateScript)
        return "Impossible de créer le fichier script : " + std::string(kCrLf) + scriptPath;
    return ListFailureText(listPath);
}

} // namespace pilotrame
