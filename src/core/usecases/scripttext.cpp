#include "usecases/scripttext.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"
#include "script/drawingsection.h"

namespace pilotrame {

Status SaveScriptText(const std::string& path, std::string_view text) {
    if (Status fits = CheckScriptText(text); !fits) {
        Error error = fits.error();
        error.path = path;
        return error;
    }
    const std::string content = ToCrLf(TrimSpaces(text)) + std::string(kCrLf);
    return ReplaceFileContent(path, ToAnsi(content));
}

} // namespace pilotrame
