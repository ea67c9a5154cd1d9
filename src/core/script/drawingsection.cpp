#include "script/drawingsection.h"

#include "base/numbers.h"
#include "script/plotsequence.h"
#include "script/scriptlines.h"

namespace pilotrame {

namespace {

Result<std::string> coordinate(std::string_view text, char decimalSeparator, std::string box) {
    const auto value = parseNumber(text, decimalSeparator);
    if (!value)
        return Error{
            ErrorCode::TypeMismatch, ErrorKind::NotANumber, {}, std::move(box), std::string(text)};
    return formatNumber(*value);
}

// point names the point for a failure message: "EFFACER, 1er point".
Status appendPoint(std::string& script, std::string_view x, std::string_view y,
                   char decimalSeparator, std::string_view point) {
    Result<std::string> cx = coordinate(x, decimalSeparator, std::string(point) + " X");
    if (!cx)
        return cx.error();
    Result<std::string> cy = coordinate(y, decimalSeparator, std::string(point) + " Y");
    if (!cy)
        return cy.error();
    appendPointLine(script, *cx, *cy);
    return success();
}

} // namespace

std::string_view InsertCommandWord(std::string_view acadVersion) {
    if (acadVersion == "Autocad LT 97/98" || acadVersion == "Autocad 14")
        return "inserer";
    return "-inserer";
}

std::string CustomScriptLines(std::string_view scriptText) {
    std::string text = toCrLf(scriptText);
    while (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0)
        text.resize(text.size() - 2);
    text += kCrLf;
    return text;
}

namespace {

void writeOpening(std::string& script, const ListPosition& position) {
    appendLine(script, "_.open");
    script += '"';
    script += position.currentFolder;
    script += position.currentFileName;
    script += '"';
    script += kCrLf;
}

// Everything of a section after the opening of the drawing.
Status writeBody(std::string& script, const DrawingJob& job, const Settings& settings,
                 char userDecimalSeparator) {
    if (job.plot)
        WritePlotSequence(script, settings);

    if (job.customScript)
        script += CustomScriptLines(job.scriptText);

    if (settings.objectSnapOff()) {
        appendLine(script, "osmode");
        appendLine(script, "0");
    }

    if (job.zoomExtents) {
        appendLine(script, "zoom");
        appendLine(script, "et");
    }

    if (job.erase) {
        appendLine(script, "effacer");
        switch (job.eraseSelection) {
        case EraseSelection::Window:
            appendLine(script, "f");
            break;
        case EraseSelection::Fence:
            appendLine(script, "t");
            break;
        case EraseSelection::Crossing:
            appendLine(script, "c");
            break;
        }
        const auto& p = job.erasePoints;
        if (Status s = appendPoint(script, p[0], p[1], userDecimalSeparator, "EFFACER, 1er point");
            !s)
            return s;
        if (Status s = appendPoint(script, p[2], p[3], userDecimalSeparator, "EFFACER, 2em point");
            !s)
            return s;
        appendLine(script, "");
        // A fence needs a second Enter: the first ends the fence, the second the selection.
        if (job.eraseSelection == EraseSelection::Fence)
            appendLine(script, "");
    }

    if (job.purge) {
        appendLine(script, "purger");
        appendLine(script, job.purgeAll ? "to" : "bl");
        appendLine(script, "");
        appendLine(script, "n");
    }

    if (job.insert && !job.insertFile) {
        appendLine(script, "_pasteclip");
        appendLine(script, "0,0");
    }
    if (job.insert && job.insertFile) {
        appendLine(script, InsertCommandWord(settings.acadVersion()));
        appendLine(script, job.insertPath);
        for (const char* answer : {"0,0", "1", "1", "0"})
            appendLine(script, answer);
    }

    if (job.replaceAttribute) {
        for (const char* answer : {"-attedit", "N", "O", "", "", "", "Fenetre"})
            appendLine(script, answer);
        const auto& c = job.attributeCorners;
        if (Status s = appendPoint(script, c[0], c[1], userDecimalSeparator,
                                   "REMPLACER ATTRIBUT, 1er point");
            !s)
            return s;
        if (Status s = appendPoint(script, c[2], c[3], userDecimalSeparator,
                                   "REMPLACER ATTRIBUT, 2em point");
            !s)
            return s;
        appendLine(script, job.attributeOld);
        appendLine(script, job.attributeNew);
    }

    if (job.replaceText) {
        for (std::size_t pair = 0; pair < 4; pair += 2) {
            if (job.replaceTexts[pair].empty())
                continue;
            appendLine(script, "-vbarun");
            appendLine(script, job.replaceTexts[pair]);
            appendLine(script, job.replaceTexts[pair + 1]);
        }
    }

    if (job.plot && settings.saveSetupInDrawing()) {
        appendLine(script, "_qsave");
    } else {
        if (job.transfer && job.dwgToDxf) {
            for (const char* answer : {"_saveas", "DXF", "", ""})
                appendLine(script, answer);
        }
        if (!job.plot)
            appendLine(script, "_qsave");
        if (job.transfer && !job.dwgToDxf) {
            appendLine(script, "r14");
            appendLine(script, "");
        }
    }

    if (settings.sdiMultiple())
        appendLine(script, "_close");

    if (job.plot && !settings.saveSetupInDrawing())
        appendLine(script, "o");

    return success();
}

} // namespace

Status WriteDrawingSection(std::string& script, const DrawingJob& job, const Settings& settings,
                           const ListPosition& position, char userDecimalSeparator) {
    writeOpening(script, position);
    return writeBody(script, job, settings, userDecimalSeparator);
}

DrawingSectionWriter::DrawingSectionWriter(DrawingJob job, Settings settings,
                                           char userDecimalSeparator)
    : m_job(std::move(job)), m_settings(std::move(settings)), m_separator(userDecimalSeparator) {}

Status DrawingSectionWriter::operator()(std::string& script, const ListPosition& position) {
    if (!m_prepared) {
        m_bodyStatus = writeBody(m_body, m_job, m_settings, m_separator);
        m_prepared = true;
    }
    if (!m_bodyStatus)
        return m_bodyStatus;
    writeOpening(script, position);
    script += m_body;
    return success();
}

} // namespace pilotrame
