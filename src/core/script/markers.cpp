#include "script/markers.h"

#include "script/scriptwords.h"

#include <algorithm>

namespace pilotrame {

namespace {

bool IsMarkerLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

const std::string& ValueOf(const MarkerValues& values, Marker marker) {
    switch (marker) {
    case Marker::Path:
        return values.path;
    case Marker::Folder:
        return values.folder;
    case Marker::Name:
        return values.name;
    case Marker::Extension:
        return values.extension;
    case Marker::Number:
        return values.number;
    }
    return values.path;
}

std::size_t MarkerLength(Marker marker) {
    for (const MarkerForm& form : kMarkers)
        if (form.marker == marker)
            return form.text.size();
    return 0;
}

} // namespace

std::optional<Marker> MarkerAt(std::string_view text) {
    for (const MarkerForm& form : kMarkers)
        if (text.starts_with(form.text))
            return form.marker;
    return std::nullopt;
}

bool HasMarkers(std::string_view text) {
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1))
        if (MarkerAt(text.substr(at)))
            return true;
    return false;
}

std::vector<MarkerLikeWord> MarkerLikeWords(std::string_view text) {
    std::vector<MarkerLikeWord> words;
    std::size_t at = text.find('<');
    while (at != std::string_view::npos) {
        std::size_t end = at + 1;
        while (end < text.size() && IsMarkerLetter(text[end]))
            ++end;
        if (end > at + 1 && end < text.size() && text[end] == '>') {
            words.push_back({at, text.substr(at, end + 1 - at)});
            at = text.find('<', end + 1);
        } else {
            // A "<" that starts no word may start the next one: "<<NOM>".
            at = text.find('<', at + 1);
        }
    }
    return words;
}

MarkerValues DrawingMarkerValues(std::string_view folder, std::string_view file, int number) {
    MarkerValues values;
    values.folder = std::string(folder);
    values.path = values.folder + std::string(file);
    const std::size_t dot = file.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && dot > 0;
    values.name = std::string(hasExtension ? file.substr(0, dot) : file);
    values.extension = hasExtension ? std::string(file.substr(dot)) : std::string();
    values.number = std::to_string(number);
    return values;
}

MarkedText::MarkedText(std::string_view text) : m_text(text) {
    if (!HasMarkers(text))
        return;
    const ScriptReading reading = ReadScript(text);
    auto string = reading.lispStrings.begin();
    for (const MarkerLikeWord& word : MarkerLikeWords(text)) {
        const std::optional<Marker> marker = MarkerAt(word.text);
        if (!marker || word.text.size() != MarkerLength(*marker))
            continue;
        while (string != reading.lispStrings.end() && string->second <= word.offset)
            ++string;
        const bool inString = string != reading.lispStrings.end() && string->first <= word.offset &&
                              word.offset < string->second;
        m_markers.push_back({word.offset, *marker, inString});
    }
}

void MarkedText::fill(std::string& out, const MarkerValues& values) const {
    std::size_t from = 0;
    for (const Filled& filled : m_markers) {
        out.append(m_text, from, filled.offset - from);
        const std::string& value = ValueOf(values, filled.marker);
        if (filled.inLispString && value.find('\\') != std::string::npos) {
            for (const char c : value) {
                if (c == '\\')
                    out += '\\';
                out += c;
            }
        } else {
            out += value;
        }
        from = filled.offset + MarkerLength(filled.marker);
    }
    out.append(m_text, from, std::string::npos);
}

std::string FillMarkers(std::string_view text, const MarkerValues& values) {
    std::string out;
    MarkedText(text).fill(out, values);
    return out;
}

} // namespace pilotrame
