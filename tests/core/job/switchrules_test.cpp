#include "job/switchrules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace pilotrame {
namespace {

// Clicks from the window's start (plot mode) and the top row they leave.
TEST(SwitchRules, EachClickLeavesTheRowTheWindowShows) {
    using Click = std::pair<TopSwitch, bool>;
    struct Case {
        const char* what;
        std::vector<Click> clicks;
        TopRow expected; // plot, script file, renaming, panel, script commands
    };
    const Case cases[] = {
        {"start", {}, {true, false, false, false, false}},
        {"operations", {{TopSwitch::Plot, false}}, {false, false, false, true, false}},
        {"script file", {{TopSwitch::ScriptFile, true}}, {false, true, false, false, true}},
        {"back to plot",
         {{TopSwitch::ScriptFile, true}, {TopSwitch::Plot, true}},
         {true, false, false, false, false}},
        // The renaming switch keeps the panel as it is, and keeps it greyed once plot is off.
        {"renaming in plot mode",
         {{TopSwitch::RenameSwitch, true}, {TopSwitch::Plot, false}},
         {false, false, true, false, false}},
        {"renaming off again",
         {{TopSwitch::RenameSwitch, true},
          {TopSwitch::Plot, false},
          {TopSwitch::RenameSwitch, false}},
         {false, false, false, true, false}},
        {"script file over renaming",
         {{TopSwitch::RenameSwitch, true}, {TopSwitch::ScriptFile, true}},
         {false, true, false, false, true}},
        {"renaming in script mode",
         {{TopSwitch::ScriptFile, true}, {TopSwitch::RenameSwitch, true}},
         {false, true, true, false, false}},
    };
    for (const Case& c : cases) {
        TopRow row = SetTopSwitch(TopRow{}, TopSwitch::Plot, true);
        for (const auto& [which, ticked] : c.clicks)
            row = SetTopSwitch(row, which, ticked);
        EXPECT_EQ(row, c.expected) << c.what;
    }
}

TEST(SwitchRules, ReplayingTheClicksLetPlotWinAndKeepTheOperationMode) {
    MainJob both;
    both.drawing.customScript = true;
    both.drawing.zoomExtents = true;
    ApplySwitchRules(both);
    EXPECT_EQ(both.mode(), JobMode::Plot);
    EXPECT_FALSE(both.drawing.customScript);
    EXPECT_FALSE(both.drawing.zoomExtents);

    MainJob operations;
    operations.setMode(JobMode::Operations);
    operations.drawing.zoomExtents = true;
    operations.renameTicked = true;
    operations.renameSwitch = true;
    ApplySwitchRules(operations);
    EXPECT_TRUE(operations.drawing.zoomExtents);
    EXPECT_TRUE(operations.renameTicked);
}

} // namespace
} // namespace pilotrame
