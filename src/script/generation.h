#pragma once

#include "base/result.h"
#include "selection/filelist.h"

#include <functional>
#include <string>

namespace pilotrame {

// Appends the section of the drawing at position to the section buffer.
using SectionWriter = std::function<Status(std::string& section, const ListPosition& position)>;

// Empties the script, then walks the list and appends one section per file line, each built whole
// in memory and appended in one open of the script file, so the file on disk is complete after
// every drawing and a section that fails leaves nothing of itself. Stops at the first failure;
// the sections written before it stay. A folder or file name holding a control character or a
// double quote stops the run with an InvalidName error that names the file.
Status GenerateScript(const std::string& listPath, const std::string& scriptPath,
                      ListPosition& position, const SectionWriter& writeSection);

// The text of the "ERREUR !!" box for a failed generation.
std::string GenerationFailureText(const Error& error, const std::string& listPath,
                                  const std::string& scriptPath);

// "Liste des fichiers sélectionnés en lecture seule ou inexistant: ", CR LF and the list path.
std::string ListFailureText(const std::string& listPath);

} // namespace pilotrame
