#include "script/scriptcheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pilotrame {
namespace {

using K = ScriptFindingKind;
constexpr ScriptSeverity E = ScriptSeverity::Error;
constexpr ScriptSeverity W = ScriptSeverity::Warning;

ScriptFinding F(int line, int column, ScriptSeverity severity, K kind, std::string found,
                std::string fix = {}, int count = 0) {
    return {line, column, severity, kind, std::move(found), std::move(fix), count};
}

// Each text gives these findings, at their line and column, in the order of the text.
TEST(ScriptCheck, FindsWhatFailsAtItsLine) {
    struct Case {
        const char* text;
        bool console;
        std::vector<ScriptFinding> findings;
    };
    const Case cases[] = {
        {"calque\n-calque E 0\n\n_.LAYER\n'typeligne",
         false,
         {F(1, 1, W, K::DialogCommand, "calque", "-calque"),
          F(4, 1, W, K::DialogCommand, "_.LAYER", "_.-LAYER"),
          F(5, 1, W, K::DialogCommand, "'typeligne", "'-typeligne")}},
        {"(setq a (+ 1 2)\nzoom\net", false, {F(1, 1, E, K::UnclosedParenthesis, "(")}},
        {"zoom e (princ \"abc)\n_close", false, {F(1, 15, E, K::UnclosedString, "\"")}},
        {"(setq a 1))\n)",
         false,
         {F(1, 11, E, K::StrayParenthesis, ")"), F(2, 1, E, K::StrayParenthesis, ")")}},
        {"zoom \net\t",
         false,
         {F(1, 5, W, K::TrailingSpace, " "), F(2, 3, E, K::UnwritableCharacter, "\t")}},
        {"zoom\r\net\r\n\r\n\r\n\r\nregen\r\n\r\n\r\n\r\n",
         false,
         {F(3, 1, W, K::EmptyLines, "", "", 3)}},
        // The console cannot close, and "_e" ends ZOOM: "_close" is a command.
        {"_zoom _e _close\n-vbarun m\n_pline 0,0 1,1 _close",
         true,
         {F(1, 10, E, K::NotOnConsole, "_close"), F(2, 1, E, K::NotOnConsole, "-vbarun")}},
        {"_zoom _e _close", false, {F(1, 10, E, K::SectionCommand, "_close")}},
        // Where a command ends: ZOOM's window after its two corners, an unknown command at an
        // Enter (two spaces), a system variable after its value.
        {"_zoom _w 0,0 10,10 _close\n_line 0,0 1,1  _close\nosmode 0 calque",
         true,
         {F(1, 20, E, K::NotOnConsole, "_close"), F(2, 16, E, K::NotOnConsole, "_close"),
          F(3, 10, W, K::DialogCommand, "calque", "-calque")}},
        {"_.open \"x.dwg\"\n_qsave\nosmode 0 quitter",
         false,
         {F(1, 1, E, K::SectionCommand, "_.open"), F(2, 1, W, K::SectionCommand, "_qsave"),
          F(3, 10, E, K::SectionCommand, "quitter")}},
        {"_saveas DXF \"<DOSSIER><nom>.dxf\"\n<CHEMINS> <x_y>",
         false,
         {F(1, 23, W, K::UnknownMarker, "<nom>", "<NOM>"),
          F(2, 1, W, K::UnknownMarker, "<CHEMINS>", "<CHEMIN>"),
          F(2, 11, W, K::UnknownMarker, "<x_y>")}},
        {"t\xC3\xA9xte \xE2\x98\xBA", false, {F(1, 7, E, K::UnwritableCharacter, "\xE2\x98\xBA")}},
    };
    for (const Case& c : cases) {
        ScriptCheckSettings settings;
        settings.console = c.console;
        EXPECT_EQ(ReviewScriptText(c.text, settings), c.findings) << c.text;
    }
}

// What a script usually means gives no finding, on either engine.
TEST(ScriptCheck, OrdinaryScriptsGiveNoFinding) {
    const char* const scripts[] = {
        "zoom\net",
        "-calque\nE\n0\n\n",
        "_-purge _all * _n",
        "effacer f 0,0 10,10\n\nregen",
        "osmode 0\n(setq old (getvar \"OSMODE\"))\n(setvar \"OSMODE\" old)",
        "-inserer\nC:\\blocs\\cartouche.dwg\n0,0\n1\n1\n0",
        "(defun c:x ()\n  ; une note (\n  (command \"_zoom\" \"_e\")\n\n\n\n  ;| et ( |;\n)\n(c:x)",
        "_saveas DXF \"<DOSSIER><NOM>.dxf\"\n_-export _pdf \"<CHEMIN><NUMERO><EXT>\"",
        "; une note \n_pline 0,0 1,1 _close\n_.zoom _e",
        "-traceur\nO\nObjet\n\n",
        "_text 0,0 2.5 0 Coupe(A)\n(princ \"a;b ( \\\" \")\n; <nom> \n_zoom _c 0,0 2 regen",
    };
    for (const char* script : scripts) {
        EXPECT_TRUE(ReviewScriptText(script, {false}).empty()) << script;
        EXPECT_TRUE(ReviewScriptText(script, {true}).empty()) << script;
    }
}

} // namespace
} // namespace pilotrame
