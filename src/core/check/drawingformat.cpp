#include "check/drawingformat.h"

#include "base/paths.h"
#include "base/text.h"

#include <array>

#ifdef _WIN32
#include <windows.h>

#include <winver.h>

#include <vector>
#endif

namespace pilotrame {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "AC" and four characters that are digits or points: every DWG code, those of no release this
// program knows included ("AC1040" of a release to come, "AC2.10" of an old one).
bool IsDwgCode(std::string_view bytes) {
    if (bytes.size() < kDwgCodeSize || bytes[0] != 'A' || bytes[1] != 'C')
        return false;
    for (std::size_t i = 2; i < kDwgCodeSize; ++i)
        if (!IsDigit(bytes[i]) && bytes[i] != '.')
            return false;
    return true;
}

DrawingFormat WithCode(DrawingKind kind, std::string_view code) {
    DrawingFormat format;
    format.kind = kind;
    format.code = std::string(code);
    format.format = FormatOfCode(code);
    return format;
}

DrawingFormat OfKind(DrawingKind kind) {
    DrawingFormat format;
    format.kind = kind;
    return format;
}

constexpr std::string_view kBinaryDxfSentinel = "AutoCAD Binary DXF";
constexpr std::string_view kVersionVariable = "$ACADVER";

// A binary DXF holds its header variables as group codes of one or two bytes followed by values
// ended by a zero byte: the code follows "$ACADVER" within a few bytes.
DrawingFormat BinaryDxfFormat(std::string_view bytes) {
    const std::size_t variable = bytes.find(kVersionVariable);
    if (variable != std::string_view::npos) {
        const std::string_view after = bytes.substr(variable + kVersionVariable.size(), 12);
        for (std::size_t at = 0; at + kDwgCodeSize <= after.size(); ++at)
            if (IsDwgCode(after.substr(at)))
                return WithCode(DrawingKind::BinaryDxf, after.substr(at, kDwgCodeSize));
    }
    return OfKind(DrawingKind::BinaryDxf);
}

// Reads a text DXF line by line: a group code, then its value.
class DxfLines {
public:
    DxfLines(std::string_view bytes, bool fileEnded) : m_bytes(bytes), m_fileEnded(fileEnded) {
        if (m_bytes.starts_with("\xEF\xBB\xBF"))
            m_bytes.remove_prefix(3);
    }

    // The next line without its line end or the spaces around it; none when the bytes end
    // before it does (the last line of a file ended counts as whole).
    std::optional<std::string_view> next() {
        if (m_bytes.empty())
            return std::nullopt;
        std::size_t end = m_bytes.find('\n');
        std::string_view line;
        if (end == std::string_view::npos) {
            if (!m_fileEnded)
                return std::nullopt;
            line = m_bytes;
            m_bytes = {};
            m_cutAtEnd = true;
        } else {
            line = m_bytes.substr(0, end);
            m_bytes.remove_prefix(end + 1);
        }
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        return line;
    }

    // The last line given had no line end: the file ended in it.
    bool cutAtEnd() const { return m_cutAtEnd; }

private:
    std::string_view m_bytes;
    bool m_fileEnded;
    bool m_cutAtEnd = false;
};

std::optional<int> GroupCode(std::string_view line) {
    if (line.empty() || line.size() > 4)
        return std::nullopt;
    int code = 0;
    for (const char c : line) {
        if (!IsDigit(c))
            return std::nullopt;
        code = code * 10 + (c - '0');
    }
    return code;
}

constexpr int kCommentCode = 999;

// A text DXF: comments (999), then "0 SECTION". Its header, when it comes first, names the format
// in $ACADVER (group 9) by a value of group 1.
DrawingFormat TextDxfFormat(std::string_view bytes, bool fileEnded) {
    DxfLines lines(bytes, fileEnded);
    const DrawingFormat dxf = OfKind(DrawingKind::TextDxf);
    // Until the first section, what is read may still turn out to be no DXF at all.
    for (;;) {
        // The bytes that end within the first pairs: only a file that ended is too short.
        const DrawingKind cut = fileEnded ? DrawingKind::TooShort : DrawingKind::OtherKind;
        const std::optional<std::string_view> codeLine = lines.next();
        if (!codeLine)
            return OfKind(cut);
        const std::optional<int> code = GroupCode(*codeLine);
        if (!code)
            return OfKind(DrawingKind::OtherKind);
        const std::optional<std::string_view> value = lines.next();
        if (!value)
            return OfKind(cut);
        if (*code == kCommentCode)
            continue;
        if (*code == 0 && *value == "SECTION")
            break;
        if (*code == 0 && lines.cutAtEnd() && std::string_view("SECTION").starts_with(*value))
            return OfKind(DrawingKind::TooShort);
        return OfKind(DrawingKind::OtherKind);
    }
    const std::optional<std::string_view> nameCode = lines.next();
    const std::optional<std::string_view> name = lines.next();
    if (!nameCode || !name || GroupCode(*nameCode) != 2 || *name != "HEADER")
        return dxf;
    for (;;) {
        const std::optional<std::string_view> codeLine = lines.next();
        const std::optional<std::string_view> value = lines.next();
        if (!codeLine || !value)
            return dxf;
        const std::optional<int> code = GroupCode(*codeLine);
        if (code == 0)
            return dxf; // ENDSEC, or anything else that ends the header
        if (code != 9 || *value != kVersionVariable)
            continue;
        const std::optional<std::string_view> versionCode = lines.next();
        const std::optional<std::string_view> version = lines.next();
        if (versionCode && version && GroupCode(*versionCode) == 1 && IsDwgCode(*version) &&
            version->size() == kDwgCodeSize)
            return WithCode(DrawingKind::TextDxf, *version);
        return dxf;
    }
}

} // namespace

std::optional<DwgFormat> FormatOfCode(std::string_view code) {
    for (const DwgFormatRow& row : kDwgFormats)
        if (row.code == code)
            return row.format;
    return std::nullopt;
}

std::string_view FormatName(DwgFormat format) {
    return kDwgFormats[static_cast<std::size_t>(format)].name;
}

bool IsNoDrawing(DrawingKind kind) {
    return kind == DrawingKind::Empty || kind == DrawingKind::TooShort ||
           kind == DrawingKind::OtherKind;
}

DrawingNameKind KindOfName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    if (EqualsIgnoringCase(extension, ".dxf"))
        return DrawingNameKind::Dxf;
    if (EqualsIgnoringCase(extension, ".dgn"))
        return DrawingNameKind::Dgn;
    return DrawingNameKind::Dwg;
}

std::size_t BytesToRead(DrawingNameKind kind) {
    switch (kind) {
    case DrawingNameKind::Dwg:
        return kDwgCodeSize;
    case DrawingNameKind::Dxf:
        return kDxfReadLimit;
    case DrawingNameKind::Dgn:
        break;
    }
    return 0;
}

DrawingFormat FormatOfDrawing(DrawingNameKind kind, std::string_view firstBytes, bool fileEnded) {
    if (kind == DrawingNameKind::Dgn)
        return OfKind(DrawingKind::Dgn);
    if (firstBytes.empty() && fileEnded)
        return OfKind(DrawingKind::Empty);
    if (kind == DrawingNameKind::Dwg) {
        if (firstBytes.size() < kDwgCodeSize)
            return OfKind(DrawingKind::TooShort);
        if (!IsDwgCode(firstBytes))
            return OfKind(DrawingKind::OtherKind);
        return WithCode(DrawingKind::Dwg, firstBytes.substr(0, kDwgCodeSize));
    }
    if (firstBytes.starts_with(kBinaryDxfSentinel))
        return BinaryDxfFormat(firstBytes);
    if (fileEnded && firstBytes.size() < kBinaryDxfSentinel.size() &&
        kBinaryDxfSentinel.starts_with(firstBytes))
        return OfKind(DrawingKind::TooShort);
    return TextDxfFormat(firstBytes, fileEnded);
}

// ---- Which AutoCAD opens them ----

namespace {

// The newest format a release opens: that of the last run whose first release is not later.
DwgFormat NewestFormatOfYear(int year) {
    DwgFormat newest = DwgFormat::R12;
    for (const DwgFormatRow& row : kDwgFormats)
        if (row.firstYear <= year)
            newest = row.format;
    return newest;
}

// The first year from 2000 to 2099 written with four digits of their own: "Autocad 2024".
std::optional<int> YearIn(std::string_view text) {
    for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
        if (!IsDigit(text[i]) || (i > 0 && IsDigit(text[i - 1])))
            continue;
        std::size_t end = i;
        while (end < text.size() && IsDigit(text[end]))
            ++end;
        if (end - i != 4 || text[i] != '2' || text[i + 1] != '0')
            continue;
        return (text[i] - '0') * 1000 + (text[i + 1] - '0') * 100 + (text[i + 2] - '0') * 10 +
               (text[i + 3] - '0');
    }
    return std::nullopt;
}

// The values of the "Version autocad" list and the release each one names.
struct VersionValue {
    std::string_view value;
    DwgFormat newestFormat;
};
constexpr std::array<VersionValue, 7> kVersionValues{{
    {"Autocad LT 2000", DwgFormat::A2000},
    {"Autocad 2004", DwgFormat::A2004},
    {"Autocad 2002", DwgFormat::A2000},
    {"Autocad 2000", DwgFormat::A2000},
    {"Autocad 2000 i", DwgFormat::A2000},
    {"Autocad LT 97/98", DwgFormat::R14},
    {"Autocad 14", DwgFormat::R14},
}};

// The product versions of the releases since the console came, as ACADVER gives them.
struct ProductVersionRow {
    int major;
    int minor;
    int year;
};
constexpr ProductVersionRow kProductVersions[] = {
    {19, 0, 2013}, {19, 1, 2014}, {20, 0, 2015}, {20, 1, 2016}, {21, 0, 2017},
    {22, 0, 2018}, {23, 0, 2019}, {23, 1, 2020}, {24, 0, 2021}, {24, 1, 2022},
    {24, 2, 2023}, {24, 3, 2024}, {25, 0, 2025},
};

} // namespace

std::optional<AutocadRelease> ReleaseOfVersionSetting(std::string_view acadVersion) {
    for (const VersionValue& known : kVersionValues)
        if (known.value == acadVersion)
            return AutocadRelease{known.newestFormat, std::string(acadVersion)};
    if (const std::optional<int> year = YearIn(acadVersion))
        return AutocadRelease{NewestFormatOfYear(*year), std::string(acadVersion)};
    return std::nullopt;
}

std::optional<AutocadRelease> ReleaseOfProductVersion(int major, int minor) {
    const auto notAfter = [major, minor](const ProductVersionRow& row) {
        return row.major < major || (row.major == major && row.minor <= minor);
    };
    // A version between two known ones belongs to the release before it.
    const ProductVersionRow* release = nullptr;
    for (const ProductVersionRow& row : kProductVersions)
        if (notAfter(row))
            release = &row;
    if (release == nullptr)
        return std::nullopt;
    const ProductVersionRow& last = kProductVersions[std::size(kProductVersions) - 1];
    // Past the last release known its year is not known; its formats are.
    const bool pastKnown = release == &last && (major != last.major || minor != last.minor);
    const std::string name = pastKnown
                                 ? "AutoCAD " + std::to_string(major) + "." + std::to_string(minor)
                                 : "AutoCAD " + std::to_string(release->year);
    return AutocadRelease{NewestFormatOfYear(release->year), name};
}

bool IsNewerThan(const DrawingFormat& format, const AutocadRelease& release) {
    return format.format && *format.format > release.newestFormat;
}

#ifdef _WIN32

std::optional<ProductVersion> ReadProgramVersion(const std::string& path) {
    const std::wstring native = ToFsPath(path).wstring();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(native.c_str(), &ignored);
    if (size == 0)
        return std::nullopt;
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(native.c_str(), 0, size, block.data()))
        return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != 0xFEEF04BD)
        return std::nullopt;
    return ProductVersion{static_cast<int>(HIWORD(fixed->dwProductVersionMS)),
                          static_cast<int>(LOWORD(fixed->dwProductVersionMS))};
}

#else

// A version resource is a thing of Windows programs; the console runs on Windows only.
std::optional<ProductVersion> ReadProgramVersion(const std::string&) {
    return std::nullopt;
}

#endif

} // namespace pilotrame
