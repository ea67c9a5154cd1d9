#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pilotrame {

// How AutoCAD reads the text of a script, as far as the program needs to know it before AutoCAD
// does: which inputs it gets, which of them it may take as a command, and where an AutoLISP
// expression does not close.
//
// A script is typed input. A space and a line end are both Enter, so each one ends an input: the
// words of a line are successive inputs, an empty line is an Enter alone, and a space at the end
// of a line is one more Enter. A word in double quotes may hold spaces. An input that starts with
// "(" is an AutoLISP expression, which goes on, across spaces and lines, until its parentheses
// close (outside its strings and its ";" comments). A line that starts with ";" is a comment.

// One input of a script.
struct ScriptWord {
    std::string_view text; // as written, quotes included; empty for an Enter alone
    int line = 0;          // from 1
    int column = 0;        // from 1, in characters
    bool firstOnLine = false;
    bool lisp = false;    // an AutoLISP expression, from its "(" on
    bool command = false; // AutoCAD may take it as a command (CommandWords)
};

// Where an AutoLISP expression goes wrong.
enum class LispFault {
    UnclosedParenthesis, // the text ends inside the expression that starts here
    UnclosedString,      // the text ends inside the string that starts here
    StrayParenthesis,    // a ")" that closes nothing
};

struct LispProblem {
    LispFault fault = LispFault::UnclosedParenthesis;
    int line = 0;
    int column = 0;

    bool operator==(const LispProblem&) const = default;
};

// A script text read as AutoCAD reads it.
struct ScriptReading {
    std::vector<ScriptWord> words;
    std::vector<LispProblem> lispProblems;
    // The byte ranges [first, second) of the text inside AutoLISP strings, in order.
    std::vector<std::pair<std::size_t, std::size_t>> lispStrings;
    // The lines whose line end falls inside an AutoLISP expression (not an Enter), in order.
    std::vector<int> linesEndingInLisp;
};

// Reads a script text (LF, CR LF or CR line ends) as the section of a drawing carries it: the line
// ends at its very end are not written, so they are not read. Every word's command is set as
// CommandWords sets it.
ScriptReading ReadScript(std::string_view text);

// Marks the words that AutoCAD may take as a command: the first word, every word after a command
// has ended, and, taking no chance, the first word of every line. When a command's end is known
// (ZOOM's options, a system variable and its value, the commands that ask nothing), the words up
// to it are its answers, on one line or several: "_zoom _e _close" closes the drawing. When it is
// not known, an Enter may have ended the command, so the word after one may be a command; the
// other words of the line are its answers ("_pline 0,0 1,1 _close" closes the polyline). A
// transparent command ("'zoom") is one anywhere.
void CommandWords(std::vector<ScriptWord>& words);

// A command word without the "_", ".", "-" and "'" that may come before it, ASCII letters in lower
// case: "_.open" and "OPEN" are both "open".
std::string CommandWord(std::string_view answer);

// What AutoCAD's console cannot do, found before a run starts: the console opens its one drawing
// itself, ends with it, has no VBA and no clipboard.
enum class ConsoleLimit { OpensDrawing, ClosesDrawing, Quits, RunsVba, UsesClipboard };

// The limit a command (as CommandWord gives it) runs into on the console, in its English or
// French name: "open", "ouvrir", "close", "fermer", "quit", "quitter", "vbarun", "pasteclip".
std::optional<ConsoleLimit> ConsoleLimitOf(std::string_view command);

} // namespace pilotrame
