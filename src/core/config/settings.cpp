#include "config/settings.h"

#include <algorithm>

namespace pilotrame {

void Settings::setOption(int slotNumber, bool state) {
    const int index = slotNumber - kComboCount;
    option.at(index) = state;
    if (state)
        option.at(index ^ 1) = false; // 0 pairs with 1, 2 with 3
}

ProposedValues ProposeSettingValues(const std::vector<std::string>& printers, FolderStyle style,
                                    std::string_view homeFolder) {
    ProposedValues lists;
    lists[slot::printerName] = printers;
    lists[slot::paperFormat] = {"A4",
                                "A3",
                                "A4 (21 x 29,7 cm)",
                                "A3 (29,7 x 42 cm)",
                                "A4 (210 x 297 mm)",
                                "A3 (297 x 420 mm)"};
    lists[slot::plotStyleTable] = {"Aucune",   "monochrome.ctb",     "aclt.ctb",
                                   "acad.ctb", "Screening 100%.ctb", "Screening 25%.ctb"};
    lists[slot::spare3] = {""};
    lists[slot::offsetX] = {"Centrer", "0", "1", "2", "3", "4", "5"};
    lists[slot::offsetY] = lists[slot::offsetX];
    lists[slot::acadPath] = {
        "c:\\program files\\autocad LT 2000\\aclt.exe", "C:\\Program Files\\AutoCAD 2004\\acad.exe",
        "c:\\program files\\AutoCAD 2002 Fra\\acad.exe", "c:\\program files\\acad2000\\acad.exe",
        "c:\\program files\\acad14\\acad14.exe"};
    lists[slot::acadVersion] = {"Autocad LT 2000",
                                "Autocad 2004",
                                "Autocad 2002",
                                "Autocad 2000",
                                "Autocad 2000 i",
                                std::string(kVersionsBefore2000[0]),
                                std::string(kVersionsBefore2000[1])};
    if (style == FolderStyle::Windows) {
        lists[slot::drawingFolder] = {"c:\\", "c:\\Program Files\\pilotrame", "c:\\Pilotrame",
                                      "d:\\"};
    } else {
        std::string home(homeFolder);
        if (!home.empty() && home.back() != '/')
            home += '/';
        if (home.empty() || home == "/")
            lists[slot::drawingFolder] = {"/"};
        else
            lists[slot::drawingFolder] = {home, "/"};
    }
    lists[slot::scriptFolder] = lists[slot::drawingFolder];
    lists[slot::layoutName] = {"Présentation1", "Layout1", "Layout2", "Objet"};
    lists[slot::plotScale] = {"Plein format", "1:1", "1:2", "1:5", "1:10", "1:100"};
    return lists;
}

Settings DefaultSettings(const ProposedValues& lists) {
    Settings settings;
    for (int i = 0; i < kComboCount; ++i)
        settings.combo[i] = lists[i].empty() ? std::string() : lists[i].front();
    settings.setOption(slot::landscape, true);
    settings.setOption(slot::sdiMultiple, true);
    return settings;
}

bool IsVersionBefore2000(std::string_view acadVersion) {
    return std::find(kVersionsBefore2000.begin(), kVersionsBefore2000.end(), acadVersion) !=
           kVersionsBefore2000.end();
}

bool IsSingleWindowVersion(std::string_view acadVersion) {
    return IsVersionBefore2000(acadVersion);
}

void ApplySingleWindowRule(Settings& settings) {
    if (IsSingleWindowVersion(settings.acadVersion()))
        settings.setOption(slot::sdiSingle, true);
}

std::string AutocadChooserFolder(FolderStyle style, std::string_view homeFolder) {
    return style == FolderStyle::Windows ? std::string("c:\\") : std::string(homeFolder);
}

} // namespace pilotrame
