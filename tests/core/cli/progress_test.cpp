#include "cli/progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace pilotrame {
namespace {

DrawingRun Finished(const char* name, DrawingState state) {
    DrawingRun run;
    run.name = name;
    run.state = state;
    return run;
}

// Off a terminal each start and each end has its line; on one, a status line no wider than the
// terminal is redrawn in place, and the finished drawings' lines stay above it.
TEST(RunProgress, ALineAtEachStartOrAStatusLineInPlace) {
    struct Case {
        int columns;
        std::string shown;
    };
    const Case cases[] = {
        {0, "lancé   a.dwg   (1/2 lancés)\n[1/2] erreur de script   a.dwg   0,0 s   (message « X » "
            "dans la sortie de la console)\n"},
        {24, "\r[0/2]  réussi 0  en cou\r                       \r[1/2] erreur de script   "
             "a.dwg   0,0 s   (message « X » dans la sortie de la console)\n\r[1/2]  réussi 0  "
             "erreur\r                       \r"},
    };
    for (const Case& c : cases) {
        std::ostringstream err;
        {
            RunProgress progress(err, c.columns, 2);
            DrawingRun run = Finished("a.dwg", DrawingState::Running);
            progress.drawingStarted(0, run);
            run = Finished("a.dwg", DrawingState::ScriptError);
            run.failureMessage = "X";
            progress.drawingFinished(0, run);
        }
        EXPECT_EQ(err.str(), c.shown);
    }
}

} // namespace
} // namespace pilotrame
