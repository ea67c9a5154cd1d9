#pragma once

#include "base/result.h"

#include <string>
#include <string_view>

namespace pilotrame {

// The use case of "&Enregistrer sous" for the text of "SCRIPT FICHIER"; ReadScriptText reads
// such a file back.

// Saves the script text at path: spaces trimmed at its ends, CR LF line ends with one at the
// end, in the ANSI code page. A line holding a character the code page cannot hold, which the
// file would carry as "?", is refused before anything is written, as CheckScriptText refuses it
// (path: the file). A file that cannot be written fails as ReplaceFileContent does, the previous
// one left whole.
Status SaveScriptText(const std::string& path, std::string_view text);

} // namespace pilotrame
