#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pilotrame {

// What the first bytes of a drawing say about it, and which AutoCAD can open it.

// The formats of AutoCAD drawings, oldest first. Each is written by a run of releases, and a
// release opens its own format and every older one, never a newer one: AutoCAD then shows a
// message box and waits, which stops an unattended run for good.
enum class DwgFormat { R12, R13, R14, A2000, A2004, A2007, A2010, A2013, A2018 };

// A DWG begins with the code of its format; a DXF names it in $ACADVER. The codes and the
// releases that write each come from Autodesk's own references: the DwgVersion enumeration of
// the ObjectARX managed reference (AC1009 "R11 and R12", AC1012 "R13", AC1014 "R14", AC1021
// "2007", AC1024 "2010", AC1027 "2013", AC1032 "2018"), the DWG versions that Autodesk's
// programs save to (AutoCAD 2000, 2004, 2007, 2010, 2013, 2018), and the releases of each run as
// the ACADVER system variable lists them.
struct DwgFormatRow {
    std::string_view code; // "AC1032"
    DwgFormat format;
    int firstYear;         // the year that names the first release writing it
    std::string_view name; // as AutoCAD names the format in its "Save as" list
};
inline constexpr DwgFormatRow kDwgFormats[] = {
    {"AC1009", DwgFormat::R12, 1992, "AutoCAD R12"},    // R11 and R12
    {"AC1012", DwgFormat::R13, 1994, "AutoCAD R13"},    // R13
    {"AC1014", DwgFormat::R14, 1997, "AutoCAD R14"},    // R14, LT 97 and LT 98
    {"AC1015", DwgFormat::A2000, 2000, "AutoCAD 2000"}, // 2000, 2000i, 2002
    {"AC1018", DwgFormat::A2004, 2004, "AutoCAD 2004"}, // 2004 to 2006
    {"AC1021", DwgFormat::A2007, 2007, "AutoCAD 2007"}, // 2007 to 2009
    {"AC1024", DwgFormat::A2010, 2010, "AutoCAD 2010"}, // 2010 to 2012
    {"AC1027", DwgFormat::A2013, 2013, "AutoCAD 2013"}, // 2013 to 2017
    {"AC1032", DwgFormat::A2018, 2018, "AutoCAD 2018"}, // 2018 and later
};

// The format of a code; none for a code of no known format.
std::optional<DwgFormat> FormatOfCode(std::string_view code);
// "AutoCAD 2018".
std::string_view FormatName(DwgFormat format);

// What a listed drawing is, by its first bytes.
enum class DrawingKind {
    Dwg,       // begins with a format code
    TextDxf,   // a DXF in text: group codes and values, one a line
    BinaryDxf, // begins "AutoCAD Binary DXF"
    Dgn,       // a MicroStation drawing, told by its name: it has no DWG code to look for
    Empty,     // no byte at all: no drawing
    TooShort,  // ends before what it is can be told: no drawing
    OtherKind, // the bytes of another kind of file: no drawing
};

struct DrawingFormat {
    DrawingKind kind = DrawingKind::OtherKind;
    std::optional<DwgFormat> format; // the format, when the code is one of kDwgFormats
    std::string code;                // the code found, known or not; empty when none was

    bool operator==(const DrawingFormat&) const = default;
};

// True for the kinds that are no drawing at all.
bool IsNoDrawing(DrawingKind kind);

// How much of a drawing is read to tell its format: the code of a DWG, and at most this much of a
// DXF, whose header names its format near its start.
inline constexpr std::size_t kDwgCodeSize = 6;
inline constexpr std::size_t kDxfReadLimit = 16 * 1024;

// How a drawing of this name is looked at: as a DXF (".dxf"), a DGN (".dgn") or, whatever else
// it is named, as a DWG; the extension in any letter case.
enum class DrawingNameKind { Dwg, Dxf, Dgn };
DrawingNameKind KindOfName(std::string_view name);

// The bytes to read from a drawing of this name: kDwgCodeSize, kDxfReadLimit, or 0 for a DGN.
std::size_t BytesToRead(DrawingNameKind kind);

// The format of a drawing from its first bytes, read as BytesToRead says; fileEnded when the file
// ends within them. A DWG whose first six bytes are no code "AC" and four digits, a DXF that
// neither begins as a binary one nor with a section in text, is OtherKind; one that ends before
// that can be told is TooShort. A text DXF without $ACADVER in its HEADER, or whose code lies
// past the bytes read, has no format and is no fault.
DrawingFormat FormatOfDrawing(DrawingNameKind kind, std::string_view firstBytes, bool fileEnded);

// An AutoCAD that will open the drawings, as far as the format goes: the newest format it opens,
// and how the messages name it.
struct AutocadRelease {
    DwgFormat newestFormat = DwgFormat::A2018;
    std::string name;

    bool operator==(const AutocadRelease&) const = default;
};

// The AutoCAD of "Version autocad": a value of its list maps to its release ("Autocad 14" opens
// R14); any other that names a year from 2000 to 2099 by four digits of their own ("Autocad
// 2024", "AutoCAD LT 2021") to that year's release. None for any other value, which is not
// compared. The name is the value as written.
std::optional<AutocadRelease> ReleaseOfVersionSetting(std::string_view acadVersion);

// The release of AutoCAD whose programs carry the product version major.minor, as the ACADVER
// system variable gives it (19.0 is AutoCAD 2013, 24.3 AutoCAD 2024); one past the last known is
// taken as opening the newest format. None before 19.0, when AutoCAD had no console: such a
// program is no AutoCAD console, and is not compared.
std::optional<AutocadRelease> ReleaseOfProductVersion(int major, int minor);

// The product version of the program at path, from its version resource (Windows); none where
// there is no such resource, it cannot be read, or on other systems.
struct ProductVersion {
    int major = 0;
    int minor = 0;
};
std::optional<ProductVersion> ReadProgramVersion(const std::string& path);

// True when a drawing of this format cannot be opened by release: a known format newer than the
// newest it opens. A drawing of no known format is never compared.
bool IsNewerThan(const DrawingFormat& format, const AutocadRelease& release);

} // namespace pilotrame
