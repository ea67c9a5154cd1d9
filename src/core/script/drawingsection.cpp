#include "script/drawingsection.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/numbers.h"
#include "base/text.h"
#include "script/markers.h"
#include "script/plotsequence.h"
#include "script/scriptlines.h"

#include <array>

namespace pilotrame {

namespace {

Result<std::string> Coordinate(std::string_view text, char decimalSeparator, BoxRef box) {
    const auto value = ParseNumber(text, decimalSeparator);
    if (!value)
        return BoxError(Cause::NotANumber, box, text);
    return FormatNumber(*value);
}

// xBox and yBox name the boxes of the point for a failure.
Status AppendPoint(std::string& script, std::string_view x, std::string_view y,
                   char decimalSeparator, Box xBox, Box yBox) {
    Result<std::string> cx = Coordinate(x, decimalSeparator, xBox);
    if (!cx)
        return cx.error();
    Result<std::string> cy = Coordinate(y, decimalSeparator, yBox);
    if (!cy)
        return cy.error();
    AppendPointLine(script, *cx, *cy);
    return Success();
}

// The two corners of a selection, X1, Y1, X2, Y2, a point line each; boxes name them for a failure.
Status AppendCorners(std::string& script, const std::array<std::string, 4>& corners,
                     char decimalSeparator, const std::array<Box, 4>& boxes) {
    for (std::size_t i = 0; i < 4; i += 2) {
        if (Status s = AppendPoint(script, corners[i], corners[i + 1], decimalSeparator, boxes[i],
                                   boxes[i + 1]);
            !s)
            return s;
    }
    return Success();
}

} // namespace

// The script text box checked line by line, so that the failure names the line to correct.
Status CheckScriptText(std::string_view scriptText) {
    int number = 0;
    for (const std::string_view line : SplitLines(scriptText)) {
        ++number;
        if (Status fits = CheckScriptValue(line, BoxRef(Box::ScriptTextLine, number)); !fits)
            return fits;
    }
    return Success();
}

std::string_view InsertCommandWord(std::string_view acadVersion) {
    if (IsVersionBefore2000(acadVersion))
        return "inserer";
    return "-inserer";
}

Result<std::string> ReadScriptText(const std::string& path) {
    const Result<std::string> bytes = ReadFileBytes(path, kScriptTextSizeLimit);
    if (!bytes)
        return bytes.error();
    // One final line break is the end of the last line, not an empty line after it.
    std::string text = FromAnsi(*bytes);
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0)
        text.resize(text.size() - 2);
    return ToLf(text);
}

std::string CustomScriptLines(std::string_view scriptText) {
    std::string text = ToCrLf(scriptText);
    while (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0)
        text.resize(text.size() - 2);
    text += kCrLf;
    return text;
}

namespace {

// How a section ends: closing the drawing for the next one, or leaving it to AutoCAD's console,
// which opens one drawing, runs the script and ends.
enum class SectionEnd { CloseDrawing, EndConsole };

// Where the lines of the script text lie in a body, [first, second).
using TextRange = std::pair<std::size_t, std::size_t>;

// Everything of a section after the opening of the drawing. values, when given, fill the markers
// of the script text; customText, when given, receives where its lines lie.
Status WriteBody(std::string& script, const DrawingJob& job, const Settings& settings,
                 char userDecimalSeparator, SectionEnd end = SectionEnd::CloseDrawing,
                 const MarkerValues* values = nullptr, TextRange* customText = nullptr) {
    if (job.plot)
        WritePlotSequence(script, settings);

    if (job.customScript) {
        if (Status fits = CheckScriptText(job.scriptText); !fits)
            return fits;
        const std::size_t first = script.size();
        if (values)
            MarkedText(CustomScriptLines(job.scriptText)).fill(script, *values);
        else
            script += CustomScriptLines(job.scriptText);
        if (customText)
            *customText = {first, script.size()};
    }

    if (settings.objectSnapOff()) {
        AppendLine(script, "osmode");
        AppendLine(script, "0");
    }

    if (job.zoomExtents) {
        AppendLine(script, "zoom");
        AppendLine(script, "et");
    }

    if (job.erase) {
        AppendLine(script, "effacer");
        switch (job.eraseSelection) {
        case EraseSelection::Window:
            AppendLine(script, "f");
            break;
        case EraseSelection::Fence:
            AppendLine(script, "t");
            break;
        case EraseSelection::Crossing:
            AppendLine(script, "c");
            break;
        }
        if (Status s = AppendCorners(
                script, job.erasePoints, userDecimalSeparator,
                {Box::EraseFirstX, Box::EraseFirstY, Box::EraseSecondX, Box::EraseSecondY});
            !s)
            return s;
        AppendLine(script, "");
        // A fence needs a second Enter: the first ends the fence, the second the selection.
        if (job.eraseSelection == EraseSelection::Fence)
            AppendLine(script, "");
    }

    if (job.purge) {
        AppendLine(script, "purger");
        AppendLine(script, job.purgeAll ? "to" : "bl");
        AppendLine(script, "");
        AppendLine(script, "n");
    }

    if (job.insert && !job.insertFile) {
        AppendLine(script, "_pasteclip");
        AppendLine(script, "0,0");
    }
    if (job.insert && job.insertFile) {
        AppendLine(script, InsertCommandWord(settings.acadVersion()));
        if (Status s = AppendBoxLine(script, job.insertPath, Box::InsertFile); !s)
            return s;
        for (const char* answer : {"0,0", "1", "1", "0"})
            AppendLine(script, answer);
    }

    if (job.replaceAttribute) {
        for (const char* answer : {"-attedit", "N", "O", "", "", "", "Fenetre"})
            AppendLine(script, answer);
        if (Status s = AppendCorners(script, job.attributeCorners, userDecimalSeparator,
                                     {Box::AttributeFirstX, Box::AttributeFirstY,
                                      Box::AttributeSecondX, Box::AttributeSecondY});
            !s)
            return s;
        if (Status s = AppendBoxLine(script, job.attributeOld, Box::AttributeOld); !s)
            return s;
        if (Status s = AppendBoxLine(script, job.attributeNew, Box::AttributeNew); !s)
            return s;
    }

    if (job.replaceText) {
        // The two columns of boxes, each an old text above its new text.
        constexpr Box kReplaceBoxes[4] = {Box::ReplaceOld1, Box::ReplaceNew1, Box::ReplaceOld2,
                                          Box::ReplaceNew2};
        for (std::size_t pair = 0; pair < 4; pair += 2) {
            if (job.replaceTexts[pair].empty())
                continue;
            AppendLine(script, "-vbarun");
            for (const std::size_t box : {pair, pair + 1}) {
                if (Status s = AppendBoxLine(script, job.replaceTexts[box], kReplaceBoxes[box]); !s)
                    return s;
            }
        }
    }

    if (job.plot && settings.saveSetupInDrawing()) {
        AppendLine(script, "_qsave");
    } else {
        if (job.transfer && job.dwgToDxf) {
            for (const char* answer : {"_saveas", "DXF", "", ""})
                AppendLine(script, answer);
        }
        if (!job.plot)
            AppendLine(script, "_qsave");
        if (job.transfer && !job.dwgToDxf) {
            AppendLine(script, "r14");
            AppendLine(script, "");
        }
    }

    // The console ends with its drawing: it has no drawing to close, and no question at closing
    // to answer; the plot's set-up, which the question would have saved, is saved here.
    if (end == SectionEnd::EndConsole) {
        if (job.plot && !settings.saveSetupInDrawing())
            AppendLine(script, "_qsave");
        return Success();
    }

    if (settings.sdiMultiple())
        AppendLine(script, "_close");

    if (job.plot && !settings.saveSetupInDrawing())
        AppendLine(script, "o");

    return Success();
}

} // namespace

Status WriteDrawingSection(std::string& script, const DrawingJob& job, const Settings& settings,
                           const ListPosition& position, char userDecimalSeparator, int number) {
    AppendOpening(script, position.currentFolder, position.currentFileName);
    const MarkerValues values =
        DrawingMarkerValues(position.currentFolder, position.currentFileName, number);
    return WriteBody(script, job, settings, userDecimalSeparator, SectionEnd::CloseDrawing,
                     &values);
}

Result<std::string> WriteConsoleScript(const DrawingJob& job, const Settings& settings,
                                       char userDecimalSeparator, const MarkerValues* values) {
    std::string script;
    if (Status body =
            WriteBody(script, job, settings, userDecimalSeparator, SectionEnd::EndConsole, values);
        !body)
        return body.error();
    return script;
}

bool HasDrawingMarkers(const DrawingJob& job) {
    return job.customScript && HasMarkers(job.scriptText);
}

DrawingSectionWriter::DrawingSectionWriter(DrawingJob job, Settings settings,
                                           char userDecimalSeparator)
    : m_job(std::move(job)), m_settings(std::move(settings)), m_separator(userDecimalSeparator) {}

Status DrawingSectionWriter::prepare() {
    if (!m_prepared) {
        TextRange customText;
        m_bodyStatus = WriteBody(m_body, m_job, m_settings, m_separator, SectionEnd::CloseDrawing,
                                 nullptr, &customText);
        if (m_bodyStatus && HasDrawingMarkers(m_job)) {
            // The lines of the script text are filled in for each drawing; the rest stays.
            const std::string_view body = m_body;
            m_marked.emplace(body.substr(customText.first, customText.second - customText.first));
            m_customStart = customText.first;
            m_customEnd = customText.second;
            m_afterName = std::string(kOpeningAfterPath) + ToAnsi(body.substr(0, customText.first));
            m_afterText = ToAnsi(body.substr(customText.second));
        } else if (m_bodyStatus) {
            m_afterName = std::string(kOpeningAfterPath) + ToAnsi(m_body);
        }
        m_prepared = true;
    }
    return m_bodyStatus;
}

void DrawingSectionWriter::fillText(const ListPosition& position) {
    m_filled.clear();
    m_marked->fill(m_filled,
                   DrawingMarkerValues(position.currentFolder, position.currentFileName, m_number));
}

Status DrawingSectionWriter::appendAnsi(std::string& ansi, const ListPosition& position,
                                        std::string_view ansiName) {
    if (Status prepared = prepare(); !prepared)
        return prepared;
    // AppendOpening, converted: ToAnsi keeps each character to itself, so the parts convert alone.
    // What comes before the name is made once for each folder, what follows it once.
    if (position.currentFolder != m_folder) {
        m_folder = position.currentFolder;
        m_beforeName = kOpeningBeforePath;
        AppendToAnsi(m_beforeName, m_folder);
    }
    ansi += m_beforeName;
    if (ansiName.empty())
        AppendToAnsi(ansi, position.currentFileName);
    else
        ansi += ansiName;
    ansi += m_afterName;
    ++m_number;
    if (m_marked) {
        fillText(position);
        AppendToAnsi(ansi, m_filled);
        ansi += m_afterText;
    }
    return Success();
}

Status DrawingSectionWriter::operator()(std::string& script, const ListPosition& position) {
    if (Status prepared = prepare(); !prepared)
        return prepared;
    AppendOpening(script, position.currentFolder, position.currentFileName);
    ++m_number;
    if (!m_marked) {
        script += m_body;
        return Success();
    }
    fillText(position);
    script.append(m_body, 0, m_customStart);
    script += m_filled;
    script.append(m_body, m_customEnd, std::string::npos);
    return Success();
}

} // namespace pilotrame
