#include "script/plotsequence.h"

#include "support/lines.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using test::SplitLines;

Settings PlotSettings() {
    Settings s = DefaultSettings(ProposeSettingValues({"P1"}, FolderStyle::Windows, ""));
    return s;
}

std::vector<std::string> Plot(const Settings& s) {
    std::string script;
    WritePlotSequence(script, s);
    return SplitLines(script);
}

TEST(PlotSequence, ModelPlotWithDefaults) {
    EXPECT_EQ(Plot(PlotSettings()),
              (std::vector<std::string>{"-traceur", "o", "Model", "P1", "A4", "m", "a", "n", "e",
                                        "p", "c", "n", ".", "o", "n", "n", "n", "o"}));
}

TEST(PlotSequence, LayoutPlotAnswersLayoutScaleAndTwoMoreQuestions) {
    Settings s = PlotSettings();
    s.check[2] = 1;
    s.combo[slot::plotScale] = "1:1";
    const auto out = Plot(s);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out[2], "Présentation1");
    EXPECT_EQ(out[9], "1:1");
    EXPECT_EQ(std::vector<std::string>(out.end() - 7, out.end()),
              (std::vector<std::string>{"o", "n", "n", "n", "n", "n", "o"}));
}

TEST(PlotSequence, OffsetsStyleTableAndOrientation) {
    struct Case {
        const char* x;
        const char* y;
        const char* line;
    };
    const Case offsets[] = {{"Centrer", "5", "c"},
                            {"0", "Centrer", "c"},
                            {"0", "5", "0,5"},
                            {"centrer", "1", "centrer,1"},
                            {"", "", ","}};
    for (const auto& c : offsets) {
        Settings s = PlotSettings();
        s.combo[slot::offsetX] = c.x;
        s.combo[slot::offsetY] = c.y;
        EXPECT_EQ(Plot(s)[10], c.line) << c.x << " " << c.y;
    }

    Settings s = PlotSettings();
    s.combo[slot::plotStyleTable] = "monochrome.ctb";
    s.setOption(slot::portrait, true);
    s.combo[slot::printerName] = "";
    const auto out = Plot(s);
    EXPECT_EQ(out[3], "");
    EXPECT_EQ(out[6], "p");
    EXPECT_EQ(out[11], "o");
    EXPECT_EQ(out[12], "monochrome.ctb");

    s.combo[slot::plotStyleTable] = "aucune"; // only the exact word means none
    EXPECT_EQ(Plot(s)[11], "o");
}

} // namespace
} // namespace pilotrame
