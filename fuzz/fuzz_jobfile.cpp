// The job file reader, the one most exposed to outside bytes. Whatever bytes a job file holds,
// they load or are refused with a typed fault, in time and memory of the order of their size; a
// job that loads, saved under either decimal separator and loaded again, is the same job and is
// saved the same; and the saved file cut short at any byte is refused as cut.

#include "fuzzsupport.h"
#include "job/jobfile.h"
#include "job/switchrules.h"
#include "texts/jobs.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pilotrame;

void CheckRefusal(const Error& error, std::string_view what) {
    if (error.cause != Cause::FaultyText || error.fault == TextFault::None ||
        error.code != ErrorCode::InvalidPropertyValue)
        fuzz::Violated("an untyped refusal", what);
    if (error.line < 1)
        fuzz::Violated("a refusal that names no line", what);
    if (JobFileFailureText(error).empty())
        fuzz::Violated("a refusal without a message", what);
}

// Cut positions worth trying in a saved text: each end of the first and last lines, and a few
// spread over the rest by the input, so that a run stays linear in the size of its input.
std::vector<std::size_t> CutPositions(const std::string& text, std::size_t seed) {
    std::vector<std::size_t> cuts = {0,
                                     1,
                                     text.find('\n'),
                                     text.find('\n') + 1,
                                     text.size() - 1,
                                     text.size() - 2,
                                     text.rfind('\n', text.size() - 2)};
    for (std::size_t i = 0; i < 8; ++i)
        cuts.push_back((seed * 2654435761u + i * 40503u) % text.size());
    return cuts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const Result<MainJob> loaded = ParseJobFile(input);
    if (!loaded) {
        CheckRefusal(loaded.error(), input);
        return 0;
    }
    MainJob ruled = *loaded;
    ApplySwitchRules(ruled);
    if (!(ruled == *loaded))
        fuzz::Violated("a loaded job the switch rules still change");

    for (const char separator : {',', '.'}) {
        const std::string written = WriteJobFile(*loaded, separator);
        // Escapes at most double a value; the keys and the closing line are a few hundred bytes.
        if (written.size() > 2 * size + 2048)
            fuzz::Violated("a saved job far larger than its file", written);
        const Result<MainJob> again = ParseJobFile(written);
        if (!again)
            fuzz::Violated("a saved job that does not load", JobFileFailureText(again.error()));
        if (!(*again == *loaded))
            fuzz::Violated("a job saved and loaded again differs", written);
        if (WriteJobFile(*again, separator) != written)
            fuzz::Violated("a job saved twice is saved differently", written);

        const std::size_t header = written.find('\n');
        for (const std::size_t cut : CutPositions(written, size)) {
            if (cut >= written.size())
                continue;
            const std::string shorter = written.substr(0, cut);
            const Result<MainJob> cutJob = ParseJobFile(shorter);
            if (cutJob)
                fuzz::Violated("a saved job cut short loads", shorter);
            CheckRefusal(cutJob.error(), shorter);
            if (cut >= header && cutJob.error().fault != TextFault::CutShort)
                fuzz::Violated("a saved job cut short is refused for another fault", shorter);
        }
    }
    return 0;
}
