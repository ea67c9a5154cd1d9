// The output of AutoCAD's console, read as it comes: the text handed on and the failure message
// found do not depend on how the pieces cut the bytes, the text is UTF-8, and a message is found
// when the text holds it.

#include "base/utf8.h"
#include "batch/console.h"
#include "fuzzsupport.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pilotrame;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> messages = {"Commande inconnue", "Unknown command"};
    const auto read = [&](std::size_t piece, std::string& text) {
        ConsoleOutputReader reader(messages, [&text](std::string_view part) { text += part; });
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            reader.add(std::string_view(bytes).substr(at, piece));
        reader.finish();
        return reader.messageFound();
    };
    std::string whole;
    const std::string found = read(std::max<std::size_t>(bytes.size(), 1), whole);
    if (!IsUtf8(whole))
        fuzz::Violated("the text is not UTF-8");
    for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{511}}) {
        std::string text;
        if (read(piece, text) != found || text != whole)
            fuzz::Violated("the pieces change what is read", std::to_string(piece));
    }
    if (found.empty() && (whole.find(messages[0]) != std::string::npos ||
                          whole.find(messages[1]) != std::string::npos))
        fuzz::Violated("a message in the text was not found");
    return 0;
}
