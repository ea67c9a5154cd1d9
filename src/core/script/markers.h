#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The markers of "SCRIPT FICHIER": words that each drawing fills in, so that a script of one's own
// can name the drawing it runs on (a PDF or a DXF named after it, a copy in another folder). Only
// these exact, upper-case forms are markers; any other text is written as it stands.
enum class Marker {
    Path,      // "<CHEMIN>": the drawing's full path, as the "_.open" line writes it, unquoted
    Folder,    // "<DOSSIER>": its folder, with the final separator
    Name,      // "<NOM>": its file name without the extension
    Extension, // "<EXT>": its extension, with the dot
    Number,    // "<NUMERO>": its position in the run, from 1
};

struct MarkerForm {
    Marker marker;
    std::string_view text;
};
inline constexpr std::array kMarkers = {
    MarkerForm{Marker::Path, "<CHEMIN>"},   MarkerForm{Marker::Folder, "<DOSSIER>"},
    MarkerForm{Marker::Name, "<NOM>"},      MarkerForm{Marker::Extension, "<EXT>"},
    MarkerForm{Marker::Number, "<NUMERO>"},
};

// True when the text holds a marker.
bool HasMarkers(std::string_view text);

// The marker that text starts with, if it does.
std::optional<Marker> MarkerAt(std::string_view text);

// A word that looks like a marker: "<", one or more letters, digits or "_" (accented letters
// included), ">". The markers themselves are such words.
struct MarkerLikeWord {
    std::size_t offset = 0; // in the text, in bytes
    std::string_view text;
};
std::vector<MarkerLikeWord> MarkerLikeWords(std::string_view text);

// What the markers of one drawing become.
struct MarkerValues {
    std::string path;
    std::string folder;
    std::string name;
    std::string extension;
    std::string number;

    bool operator==(const MarkerValues&) const = default;
};

// The values for the drawing folder + file (the folder ends in its separator), number in the run.
// The extension is what follows the last dot of the file name, unless the name starts with it.
MarkerValues DrawingMarkerValues(std::string_view folder, std::string_view file, int number);

// A script text cut at its markers once, so that each drawing costs only its bytes. Inside a
// string of an AutoLISP expression, where "\" starts an escape, each "\" of a value is written
// "\\": the string then holds the value as it is.
class MarkedText {
public:
    explicit MarkedText(std::string_view text);

    bool hasMarkers() const { return !m_markers.empty(); }

    // Appends the text with its markers filled in.
    void fill(std::string& out, const MarkerValues& values) const;

private:
    struct Filled {
        std::size_t offset; // in m_text
        Marker marker;
        bool inLispString;
    };
    std::string m_text;
    std::vector<Filled> m_markers;
};

// The text with its markers filled in (MarkedText).
std::string FillMarkers(std::string_view text, const MarkerValues& values);

} // namespace pilotrame
