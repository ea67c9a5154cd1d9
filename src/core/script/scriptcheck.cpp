#include "script/scriptcheck.h"

#include "base/codepage.h"
#include "base/text.h"
#include "script/markers.h"
#include "script/scriptwords.h"

#include <algorithm>
#include <unordered_set>

namespace pilotrame {

namespace {

// Commands that open a dialog box when typed, each with the form that asks its questions on the
// command line instead, its name with "-" before it: AutoCAD's advice for scripts. Inside a script
// some of them ask on the command line anyway (those that AutoLISP's initdia drives: ATTDEF,
// BHATCH, BLOCK, IMAGE, INSERT, LAYER, LINETYPE, PLOT, RENAME, STYLE …; AutoCAD Help, AutoLISP
// Reference, "initdia", GUID-D0F621C5-6D32-4D79-BC49-290CC4D0FDB8), which is why a finding of this
// table is an "attention". English name, then French name, each from AutoCAD Help, Command
// Reference (help.autodesk.com; the French help "… (commande)" has the same page under the same
// GUID), whose page of the command says that it displays a dialog box, a palette or a manager and
// that "-NAME" at the Command prompt displays its options.
struct DialogCommand {
    std::string_view english;
    std::string_view french;
};
constexpr DialogCommand kDialogCommands[] = {
    // LAYER (Command), GUID-9123091A-2DCB-4DE8-983C-F7CA38FA67BE; -LAYER,
    // GUID-2C75A883-10CA-4B6C-96AC-BCD7A7794614.
    {"layer", "calque"},
    // INSERT (Command), GUID-B840AB4A-91E2-4FEC-900A-33E40D1E1925; -INSERT,
    // GUID-BB831F94-6385-4490-8DE9-7C565CD1B639.
    {"insert", "inserer"},
    // PURGE (Command), GUID-D68BA47B-A79D-4F58-9715-0569CC24BCEF; -PURGE,
    // GUID-C3876E92-3478-449C-8FAB-DA760B2EDD09.
    {"purge", "purger"},
    // PLOT (Command) and -PLOT (Command); French TRACEUR, "-traceur" as the plot sequence writes.
    {"plot", "traceur"},
    // EXPORT (Command) and -EXPORT (Command); French EXPORTER.
    {"export", "exporter"},
    // BLOCK (Command), GUID-B03434BE-0F68-4E31-BA8D-640EEC1D7FC9; -BLOCK,
    // GUID-816B2D9C-F518-4E8B-971F-08E0E43006E7; French BLOC.
    {"block", "bloc"},
    // WBLOCK (Command) and -WBLOCK (Command), GUID-1C5F8AF0-4A46-4AAC-8965-867123E4C5C8; French
    // WBLOC.
    {"wblock", "wbloc"},
    // ATTEDIT (Command) and -ATTEDIT (Command): the same name in French, "-attedit" as the section
    // of "REMPLACER ATTRIBUT" writes.
    {"attedit", "attedit"},
    // XREF (Command) and -XREF (Command), the same name in French; EXTERNALREFERENCES (Command),
    // French REFEXTERNES, opens the palette of the same references
    // (GUID-F454031F-39F0-4484-850D-7FF90EC44A4D lists both).
    {"xref", "xref"},
    {"externalreferences", "refexternes"},
    // IMAGE (Command) and -IMAGE (Command), the same name in French.
    {"image", "image"},
    // HATCH (Command) and -HATCH (Command); French HACHURES.
    {"hatch", "hachures"},
    // LINETYPE (Command), GUID-1D3817A0-C5C7-4D52-99A9-F0922F09D4CD; -LINETYPE,
    // GUID-A6089331-227F-44F1-BA0C-06BC1568C3BB; French TYPELIGNE
    // (GUID-8B84AA03-B157-4C5D-8B30-AB94C8890B2B).
    {"linetype", "typeligne"},
    // STYLE (Command) and -STYLE (Command), the same name in French.
    {"style", "style"},
    // UNITS (Command) and -UNITS (Command); French UNITES.
    {"units", "unites"},
    // RENAME (Command) and -RENAME (Command); French RENOMMER
    // (GUID-F454031F-39F0-4484-850D-7FF90EC44A4D).
    {"rename", "renommer"},
    // BOUNDARY (Command), GUID-D7A1EA7A-D1FD-4275-9742-BC077B601363; -BOUNDARY,
    // GUID-B95DD3D4-BDEA-40C0-85CD-1C1CD61BBDA7; French CONTOUR.
    {"boundary", "contour"},
    // GROUP (Command) and -GROUP (Command); French GROUPE.
    {"group", "groupe"},
    // PUBLISH (Command) and -PUBLISH (Command); French PUBLIER.
    {"publish", "publier"},
};

// The commands that the section of a drawing already gives: it opens the drawing, saves and closes
// it, and the next one follows.
bool OpensClosesOrQuits(std::string_view command) {
    for (const std::string_view name : {"open", "ouvrir", "close", "fermer", "quit", "quitter"})
        if (command == name)
            return true;
    return false;
}

// The first character of a line that cannot go into a script, and its offset; npos when none.
std::size_t FirstUnwritable(std::string_view line, std::string& character) {
    // Most lines are printable ASCII throughout.
    if (std::all_of(line.begin(), line.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte >= 0x20 && byte < 0x7F;
        }))
        return std::string_view::npos;
    const bool fits = FitsAnsi(line);
    for (std::size_t i = 0; i < line.size();) {
        const auto byte = static_cast<unsigned char>(line[i]);
        std::size_t length = 1;
        if (byte >= 0xC0)
            length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        length = std::min(length, line.size() - i);
        const std::string_view one = line.substr(i, length);
        if (byte < 0x20 || byte == 0x7F || (!fits && byte >= 0x80 && !FitsAnsi(one))) {
            character = std::string(one);
            return i;
        }
        i += length;
    }
    return std::string_view::npos;
}

int ColumnOf(std::string_view line, std::size_t offset) {
    int column = 1;
    for (std::size_t i = 0; i < offset && i < line.size(); ++i)
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80)
            ++column;
    return column;
}

// The marker that a word like a marker was probably meant to be: the same letters in another
// case, or a marker's name that starts it or that it starts ("<CHEMINS>", "<NUM>").
std::string MeantMarker(std::string_view word) {
    const std::string inner = CommandWord(word.substr(1, word.size() - 2));
    for (const MarkerForm& form : kMarkers) {
        const std::string name = CommandWord(form.text.substr(1, form.text.size() - 2));
        if (inner == name ||
            (inner.size() >= 3 && (inner.starts_with(name) || name.starts_with(inner))))
            return std::string(form.text);
    }
    return {};
}

void CheckWord(const ScriptWord& word, const ScriptCheckSettings& settings,
               std::vector<ScriptFinding>& findings) {
    const auto add = [&](ScriptSeverity severity, ScriptFindingKind kind, std::string fix = {}) {
        findings.push_back(
            {word.line, word.column, severity, kind, std::string(word.text), std::move(fix), 0});
    };
    const std::string command = CommandWord(word.text);
    const std::size_t nameStart = word.text.size() - command.size();
    const std::string_view prefix = word.text.substr(0, nameStart);
    if (settings.console && ConsoleLimitOf(command)) {
        add(ScriptSeverity::Error, ScriptFindingKind::NotOnConsole);
        return;
    }
    if (OpensClosesOrQuits(command)) {
        add(ScriptSeverity::Error, ScriptFindingKind::SectionCommand);
        return;
    }
    if (command == "qsave") {
        add(ScriptSeverity::Warning, ScriptFindingKind::SectionCommand);
        return;
    }
    if (prefix.find('-') != std::string_view::npos)
        return;
    // Looked up by name, English or French: a long text has a command on most of its lines.
    static const std::unordered_set<std::string_view> kDialogNames = [] {
        std::unordered_set<std::string_view> names;
        for (const DialogCommand& dialog : kDialogCommands)
            names.insert({dialog.english, dialog.french});
        return names;
    }();
    if (kDialogNames.contains(command)) {
        // The command-line form keeps what the word was written with: "_.layer", "_.-layer".
        const std::size_t last = prefix.find_last_of("_.'");
        std::string fix(word.text);
        fix.insert(last == std::string_view::npos ? 0 : last + 1, "-");
        add(ScriptSeverity::Warning, ScriptFindingKind::DialogCommand, std::move(fix));
    }
}

} // namespace

std::vector<ScriptFinding> ReviewScriptText(std::string_view text,
                                            const ScriptCheckSettings& settings) {
    std::vector<ScriptFinding> findings;
    const ScriptReading reading = ReadScript(text);

    for (const ScriptWord& word : reading.words)
        if (word.command)
            CheckWord(word, settings, findings);

    for (const LispProblem& problem : reading.lispProblems) {
        ScriptFindingKind kind = ScriptFindingKind::UnclosedParenthesis;
        std::string found = "(";
        if (problem.fault == LispFault::UnclosedString) {
            kind = ScriptFindingKind::UnclosedString;
            found = "\"";
        } else if (problem.fault == LispFault::StrayParenthesis) {
            kind = ScriptFindingKind::StrayParenthesis;
            found = ")";
        }
        findings.push_back(
            {problem.line, problem.column, ScriptSeverity::Error, kind, std::move(found), {}, 0});
    }

    // Line by line: what the section writes (ReadScript leaves out the line ends at the end).
    auto inLisp = reading.linesEndingInLisp.begin();
    bool startsInLisp = false;
    int number = 0;
    int emptyRun = 0;
    const auto endRun = [&] {
        if (emptyRun >= 3)
            findings.push_back({number - emptyRun,
                                1,
                                ScriptSeverity::Warning,
                                ScriptFindingKind::EmptyLines,
                                {},
                                {},
                                emptyRun});
        emptyRun = 0;
    };
    std::string_view trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == '\r'))
        trimmed.remove_suffix(1);
    for (std::size_t start = 0; start < trimmed.size();) {
        // The lines as SplitLines cuts them, a byte at a time: a long text has short lines.
        std::size_t end = start;
        while (end < trimmed.size() && trimmed[end] != '\n' && trimmed[end] != '\r')
            ++end;
        const std::string_view line = trimmed.substr(start, end - start);
        start = end + (trimmed.compare(end, 2, kCrLf) == 0 ? 2 : 1);
        ++number;
        while (inLisp != reading.linesEndingInLisp.end() && *inLisp < number)
            ++inLisp;
        const bool endsInLisp = inLisp != reading.linesEndingInLisp.end() && *inLisp == number;
        const bool comment = !startsInLisp && line.starts_with(';');

        std::string character;
        const std::size_t unwritable = FirstUnwritable(line, character);
        if (unwritable != std::string_view::npos)
            findings.push_back({number,
                                ColumnOf(line, unwritable),
                                ScriptSeverity::Error,
                                ScriptFindingKind::UnwritableCharacter,
                                character,
                                {},
                                0});

        const std::size_t kept = line.find_last_not_of(" \t") + 1; // 0 for a blank line
        if (kept < line.size() && !endsInLisp && !comment &&
            !(unwritable != std::string_view::npos && unwritable >= kept))
            findings.push_back({number,
                                ColumnOf(line, kept),
                                ScriptSeverity::Warning,
                                ScriptFindingKind::TrailingSpace,
                                std::string(line.substr(kept)),
                                {},
                                0});

        if (line.empty() && !startsInLisp) {
            ++emptyRun;
        } else {
            endRun();
        }

        if (!comment && line.find('<') != std::string_view::npos) {
            for (const MarkerLikeWord& word : MarkerLikeWords(line)) {
                if (std::any_of(kMarkers.begin(), kMarkers.end(),
                                [&word](const MarkerForm& form) { return form.text == word.text; }))
                    continue;
                findings.push_back({number, ColumnOf(line, word.offset), ScriptSeverity::Warning,
                                    ScriptFindingKind::UnknownMarker, std::string(word.text),
                                    MeantMarker(word.text), 0});
            }
        }
        startsInLisp = endsInLisp;
    }
    ++number;
    endRun();

    std::stable_sort(findings.begin(), findings.end(),
                     [](const ScriptFinding& a, const ScriptFinding& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    return findings;
}

bool HasScriptErrors(const std::vector<ScriptFinding>& findings) {
    return std::any_of(findings.begin(), findings.end(), [](const ScriptFinding& finding) {
        return finding.severity == ScriptSeverity::Error;
    });
}

} // namespace pilotrame
