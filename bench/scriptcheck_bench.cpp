// The check of the script text of "SCRIPT FICHIER" on the longest text a single-line box of the
// classic window held, 32,767 lines: the window checks it after each pause in the typing, so it
// is to take under 20 ms. The text mixes what scripts hold: commands and their answers, AutoLISP
// over several lines, markers, and some of every finding.

#include "script/scriptcheck.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kLines = 32'767;

std::string LongScript() {
    const char* const pieces[] = {
        "_.zoom _e",
        "-calque",
        "E",
        "PLANS-<NOM>",
        "",
        "(setq ancien (getvar \"OSMODE\"))",
        "(if (> ancien 0)",
        "  (setvar \"OSMODE\" 0) ; sans accrochage",
        ")",
        "_saveas DXF \"<DOSSIER><NOM>.dxf\"",
        "calque",
        "effacer f 0,0 100,100 ",
        "",
        "_-purge _all * _n",
        "(princ \"<CHEMIN> n<NUMERO>\")",
        "texte 10,10 2.5 0 Révision <nom>",
    };
    std::string text;
    int line = 0;
    while (line < kLines) {
        for (const char* piece : pieces) {
            if (line++ == kLines)
                break;
            text += piece;
            text += '\n';
        }
    }
    return text;
}

void BM_ReviewScriptText(benchmark::State& state) {
    static const std::string text = LongScript();
    std::size_t findings = 0;
    for (auto _ : state) {
        const std::vector<pilotrame::ScriptFinding> found =
            pilotrame::ReviewScriptText(text, {false});
        findings = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["lines"] = kLines;
    state.counters["findings"] = static_cast<double>(findings);
}

} // namespace

BENCHMARK(BM_ReviewScriptText)->Unit(benchmark::kMillisecond)->UseRealTime();
