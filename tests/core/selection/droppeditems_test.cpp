#include "selection/droppeditems.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using Kind = DroppedKind;

DroppedItem File(const char* name) {
    return {Kind::File, name};
}
DroppedItem Folder(const char* name) {
    return {Kind::Folder, name};
}

TEST(DroppedItems, AFolderAloneOpensTheSelectionElseFilesAreListedAndTheRestNamed) {
    const DroppedItem web{Kind::NotLocal, "https://example.org/a.dwg"};
    const DroppedItem gone{Kind::Missing, "/p/gone.dwg"};
    const DroppedItem device{Kind::Other, "/dev/null"};
    struct Case {
        const char* what;
        std::vector<DroppedItem> dropped;
        DropPlan plan;
        bool accepted;
    };
    const Case cases[] = {
        {"files alone, in the order dropped",
         {File("/p/b.dwg"), File("/q/a.dwg"), File("/p/c.dwg")},
         {"", {"/p/b.dwg", "/q/a.dwg", "/p/c.dwg"}, {}},
         true},
        {"one folder alone", {Folder("/p")}, {"/p", {}, {}}, true},
        {"one folder and what cannot be taken",
         {web, Folder("/p"), gone},
         {"/p", {}, {web, gone}},
         true},
        {"several folders: none opens, each is named",
         {Folder("/p"), Folder("/q")},
         {"", {}, {Folder("/p"), Folder("/q")}},
         true},
        {"files and a folder: the files listed, the folder named",
         {Folder("/p"), File("/q/a.dwg")},
         {"", {"/q/a.dwg"}, {Folder("/p")}},
         true},
        {"files and everything else",
         {File("/q/a.dwg"), web, Folder("/p"), gone, device, File("/q/b.dwg")},
         {"", {"/q/a.dwg", "/q/b.dwg"}, {web, Folder("/p"), gone, device}},
         true},
        {"nothing of this computer: refused",
         {web, gone, device},
         {"", {}, {web, gone, device}},
         false},
        {"nothing", {}, {}, false},
    };
    for (const Case& c : cases) {
        const DropPlan plan = PlanDrop(c.dropped);
        EXPECT_EQ(plan.folder, c.plan.folder) << c.what;
        EXPECT_EQ(plan.files, c.plan.files) << c.what;
        EXPECT_EQ(plan.notTaken, c.plan.notTaken) << c.what;
        EXPECT_EQ(AcceptsDrop(c.dropped), c.accepted) << c.what;
    }
}

TEST(DroppedItems, APathWithASpaceIsQuotedForTheScript) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Plans\\a.dwg", "C:\\Plans\\a.dwg"},
        {"C:\\Mes plans\\a.dwg", "\"C:\\Mes plans\\a.dwg\""},
        {"/home/u/été/b c.dwg", "\"/home/u/été/b c.dwg\""},
        {"", ""},
    };
    for (const auto& [path, text] : cases)
        EXPECT_EQ(DroppedPathText(path), text) << path;
}

} // namespace
} // namespace pilotrame
