#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// Slot numbers of the settings record; each is bound to one control of the configuration dialog:
// 0 to 13 the texts of Combo1(n), 14 to 17 the states of Option1(n - 14), 18 to 20 the states of
// Check1(n - 18).
namespace slot {
inline constexpr int printerName = 0;
inline constexpr int paperFormat = 1;
inline constexpr int plotStyleTable = 2;
inline constexpr int spare3 = 3;
inline constexpr int offsetX = 4;
inline constexpr int offsetY = 5;
inline constexpr int acadPath = 6;
inline constexpr int acadVersion = 7;
inline constexpr int spare8 = 8;
inline constexpr int spare9 = 9;
inline constexpr int drawingFolder = 10;
inline constexpr int scriptFolder = 11;
inline constexpr int layoutName = 12;
inline constexpr int plotScale = 13;
inline constexpr int landscape = 14;
inline constexpr int portrait = 15;
inline constexpr int sdiMultiple = 16;
inline constexpr int sdiSingle = 17;
inline constexpr int saveSetupInDrawing = 18;
inline constexpr int objectSnapOff = 19;
inline constexpr int plotPaperSpace = 20;
} // namespace slot

inline constexpr int kComboCount = 14;
inline constexpr int kOptionCount = 4;
inline constexpr int kCheckCount = 3;
inline constexpr int kSettingCount = kComboCount + kOptionCount + kCheckCount;

// The 21 settings as the configuration dialog's controls hold them at one moment.
struct Settings {
    std::array<std::string, kComboCount> combo{}; // Combo1(0..13), UTF-8
    std::array<bool, kOptionCount> option{};      // Option1(0..3)
    std::array<int, kCheckCount> check{};         // Check1(0..2): 0 unticked, 1 ticked

    const std::string& text(int slotNumber) const { return combo.at(slotNumber); }
    bool optionState(int slotNumber) const { return option.at(slotNumber - kComboCount); }
    bool ticked(int slotNumber) const {
        return check.at(slotNumber - kComboCount - kOptionCount) == 1;
    }

    // Sets an option button; setting one true clears the other button of its group.
    void setOption(int slotNumber, bool state);

    const std::string& printerName() const { return text(slot::printerName); }
    const std::string& paperFormat() const { return text(slot::paperFormat); }
    const std::string& plotStyleTable() const { return text(slot::plotStyleTable); }
    const std::string& offsetX() const { return text(slot::offsetX); }
    const std::string& offsetY() const { return text(slot::offsetY); }
    const std::string& acadPath() const { return text(slot::acadPath); }
    const std::string& acadVersion() const { return text(slot::acadVersion); }
    const std::string& drawingFolder() const { return text(slot::drawingFolder); }
    const std::string& scriptFolder() const { return text(slot::scriptFolder); }
    const std::string& layoutName() const { return text(slot::layoutName); }
    const std::string& plotScale() const { return text(slot::plotScale); }
    bool landscape() const { return optionState(slot::landscape); }
    bool sdiMultiple() const { return optionState(slot::sdiMultiple); }
    bool saveSetupInDrawing() const { return ticked(slot::saveSetupInDrawing); }
    bool objectSnapOff() const { return ticked(slot::objectSnapOff); }
    bool plotPaperSpace() const { return ticked(slot::plotPaperSpace); }

    bool operator==(const Settings&) const = default;
};

// Which folders the two folder settings propose: Windows drive folders, or the user's home folder
// and the root on other systems.
enum class FolderStyle { Windows, Unix };

#ifdef _WIN32
inline constexpr FolderStyle kNativeFolderStyle = FolderStyle::Windows;
#else
inline constexpr FolderStyle kNativeFolderStyle = FolderStyle::Unix;
#endif

// The drop-down entries of Combo1(0) to Combo1(13), in order; printers in the system's order.
using ProposedValues = std::array<std::vector<std::string>, kComboCount>;

// The entries proposed for every setting. homeFolder is used by the Unix folder style only.
ProposedValues ProposeSettingValues(const std::vector<std::string>& printers, FolderStyle style,
                                    std::string_view homeFolder);

// First-run values: every combo the first entry of its list (empty when the list is empty),
// "Paysage" and "SDI = 0 Fenetre multiple" chosen, every check box unticked.
Settings DefaultSettings(const ProposedValues& lists);

// The versions before AutoCAD 2000, as the version list names them: they run with a single
// drawing window only, and take the old form of some commands.
inline constexpr std::array<std::string_view, 2> kVersionsBefore2000 = {"Autocad LT 97/98",
                                                                        "Autocad 14"};
bool IsVersionBefore2000(std::string_view acadVersion);

// True for the versions that only run with a single drawing window.
bool IsSingleWindowVersion(std::string_view acadVersion);

// The window mode that the version allows: "SDI = 1 Fenetre unique" chosen for a single-window
// version, nothing changed for any other. The dialog applies it when a version is picked or
// loaded; start-up applies it to the settings it establishes.
void ApplySingleWindowRule(Settings& settings);

// Where the chooser of the AutoCAD program starts: "c:\" with Windows folders, where programs are
// installed; the user's home folder elsewhere.
std::string AutocadChooserFolder(FolderStyle style, std::string_view homeFolder);

} // namespace pilotrame
