#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// A look at the text of "SCRIPT FICHIER" before AutoCAD gets it: what will certainly fail, and
// what often does in a run nobody watches.

// How sure the program is that a finding will go wrong: Error ("erreur") certainly, Warning
// ("attention") often.
enum class ScriptSeverity { Error, Warning };

enum class ScriptFindingKind {
    DialogCommand,       // a command that opens a dialog box when typed; fix: its command-line form
    UnclosedParenthesis, // an AutoLISP expression that does not close by the end of the text
    UnclosedString,      // a string of an AutoLISP expression that does not close
    StrayParenthesis,    // a ")" that closes nothing
    TrailingSpace,       // a space or a tab at the end of a line: one more Enter
    EmptyLines,          // three or more empty lines in a row (count): Enters that repeat a command
    NotOnConsole,        // a command the console cannot run (ConsoleLimitOf names why)
    SectionCommand,      // an opening, a closing, a quit or a save, which the section already does
    UnknownMarker,       // a word like a marker that is none ("<nom>"); fix: the marker meant
    UnwritableCharacter, // a control character, or one the ANSI code page cannot hold
};

struct ScriptFinding {
    int line = 0;   // from 1
    int column = 0; // from 1, in characters
    ScriptSeverity severity = ScriptSeverity::Warning;
    ScriptFindingKind kind = ScriptFindingKind::DialogCommand;
    std::string found; // what was found, as written: the word, the character; empty when nothing
    std::string fix;   // what to write instead, where there is one; else empty
    int count = 0;     // EmptyLines: how many

    bool operator==(const ScriptFinding&) const = default;
};

// What the check needs of the settings of a run.
struct ScriptCheckSettings {
    bool console = false; // the run goes to AutoCAD's console, one process per drawing

    bool operator==(const ScriptCheckSettings&) const = default;
};

// The findings of a script text (LF, CR LF or CR line ends), in the order of the text: by line,
// then by column. What a script usually means gives none: a French command name without "_", one
// or two empty lines (answers that take a default or end a command). A text of tens of thousands
// of lines is checked in a few milliseconds.
std::vector<ScriptFinding> ReviewScriptText(std::string_view text,
                                            const ScriptCheckSettings& settings);

// True when some finding is an Error.
bool HasScriptErrors(const std::vector<ScriptFinding>& findings);

} // namespace pilotrame
