#pragma once

#include "base/result.h"
#include "script/scriptcheck.h"
#include "usecases/executescript.h"

#include <optional>
#include <vector>

namespace pilotrame {

// The use case of --verifier: everything "Executer script" would check, the drawings and the
// script, without writing, renaming or starting anything.

// What is wrong with the script a job would make, found before any drawing.
struct ScriptVerification {
    // The script cannot be made: a box that cannot be written, a line of "SCRIPT FICHIER" outside
    // the ANSI code page, an operation the console cannot do (NeedsVba) …
    std::optional<Error> failure;
    // With the console engine: what the console cannot run outside the script text.
    std::vector<ConsoleRefusal> refusals;
    // The check of the script text of a ticked "SCRIPT FICHIER" (ReviewScriptText).
    std::vector<ScriptFinding> findings;

    // True when the script has an error, which would stop the run or every drawing.
    bool hasError() const {
        return failure.has_value() || !refusals.empty() || HasScriptErrors(findings);
    }
};

// The script of the job of request as the engine of request.run would make it: for the console,
// ConsoleScriptOf; for AutoCAD, the drawing sections (DrawingSectionWriter::prepare); and the
// check of the script text, for the engine of the run. What the check of the text names (a line
// the console cannot run, a character no script carries) is not given twice. Nothing is written.
ScriptVerification VerifyScript(const ExecuteRequest& request);

struct Verification {
    DrawingCheck drawings; // every listed drawing, formats against OpenerOfRun
    ScriptVerification script;
};

// Checks the drawings of the list and the script of the job. A list that cannot be read fails
// (operation ReadList). Reads no more of each drawing than the check does, and writes nothing.
Result<Verification> Verify(const ExecuteRequest& request);

} // namespace pilotrame
