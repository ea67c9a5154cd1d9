#include "texts/verification.h"

#include "base/text.h"
#include "script/scriptlines.h"
#include "texts/common.h"
#include "texts/files.h"
#include "texts/journal.h"
#include "texts/renaming.h"
#include "texts/scriptcheck.h"
#include "texts/scripts.h"

namespace pilotrame {

namespace {

// A text of several lines on one line of a report.
std::string OneLine(std::string_view text) {
    std::string line;
    for (const std::string_view part : SplitLines(text)) {
        if (part.empty())
            continue;
        if (!line.empty())
            line += ' ';
        line += part;
    }
    return line;
}

std::string FormatNameOf(const DrawingFormat& format, std::string_view kindName) {
    if (format.format)
        return std::string(FormatName(*format.format));
    return std::string(kindName) + " " + format.code;
}

} // namespace

std::string DrawingFormatText(const std::optional<DrawingFormat>& format) {
    if (!format)
        return {};
    switch (format->kind) {
    case DrawingKind::Dwg:
        return FormatNameOf(*format, "DWG");
    case DrawingKind::TextDxf:
        if (format->code.empty())
            return "DXF, format non indiqué";
        return format->format ? FormatNameOf(*format, "") + " (DXF)" : "DXF " + format->code;
    case DrawingKind::BinaryDxf:
        if (format->code.empty())
            return "DXF binaire, format non indiqué";
        return format->format ? FormatNameOf(*format, "") + " (DXF binaire)"
                              : "DXF binaire " + format->code;
    case DrawingKind::Dgn:
        return "DGN";
    case DrawingKind::Empty:
    case DrawingKind::TooShort:
    case DrawingKind::OtherKind:
        break;
    }
    return {};
}

std::string DrawingCheckSummaryText(int checked, int problems) {
    return Counted(checked, "plan vérifié", "plans vérifiés") + ", " +
           Counted(problems, "problème", "problèmes");
}

std::string DrawingCheckText(const DrawingCheck& check) {
    std::string text;
    for (const DrawingIssue& issue : check.issues) {
        text += issue.path;
        text += '\t';
        text += DescribeIssue(issue, check.opener);
        text += kCrLf;
    }
    return text;
}

std::string DescribeIssue(const DrawingIssue& issue, const std::optional<AutocadRelease>& opener) {
    const std::string problem(DescribeProblem(issue.problem));
    if (issue.problem == DrawingProblem::NotADrawing && issue.format) {
        switch (issue.format->kind) {
        case DrawingKind::Empty:
            return problem + " (fichier vide)";
        case DrawingKind::TooShort:
            return problem + " (fichier trop court pour être reconnu)";
        case DrawingKind::OtherKind:
            return problem + " (fichier d'un autre type)";
        default:
            break;
        }
    }
    if (issue.problem == DrawingProblem::NewerFormat && opener && issue.format &&
        issue.format->format)
        return "format plus récent que " + opener->name + " (" +
               std::string(FormatName(*issue.format->format)) + ")";
    return problem;
}

// ---- The trial on copies ----

std::string TrialFailureText(const Error& error, Engine engine) {
    if (error.operation != Operation::CopyDrawing)
        return ExecuteFailureText(error, engine);
    std::string text = "L'essai n'a pas été lancé : ";
    if (error.cause == Cause::System && error.code == ErrorCode::DiskFull)
        return text +
               "il n'y a pas assez de place pour les copies et ce que l'essai fera d'elles "
               "dans " +
               error.path;
    if (error.cause == Cause::NotAFile)
        return text + "ce plan n'est pas un fichier ordinaire, il n'a pas été copié :" +
               std::string(kCrLf) + error.path;
    return text + "une copie n'a pas pu être faite." + std::string(kCrLf) + FileFailureText(error);
}

std::string SharedFoldersText(const std::vector<std::string>& folders) {
    if (folders.empty())
        return {};
    std::string text =
        "Les références externes relatives ne suivent pas les copies : ces dossiers contiennent "
        "d'autres plans, auxquels les plans essayés peuvent faire référence :";
    for (const std::string& folder : folders)
        text += std::string(kCrLf) + folder;
    return text;
}

std::string TrialDoneText(const Trial& trial, Engine engine) {
    const int copies = static_cast<int>(trial.copies.size());
    std::string text = "Essai sur copies : " + Counted(copies, "plan copié", "plans copiés") +
                       " dans " + trial.folder + std::string(kTrialDrawingsFolderName) + ".";
    text += std::string(kCrLf);
    text +=
        engine == Engine::Console
            ? "Ce que l'exécution a fait est à côté des copies, son journal dans " + trial.folder
            : "AutoCAD a été démarré sur le script des copies, " + trial.folder +
                  std::string(kScriptFileName) + " ; ce qu'il fera sera à côté des copies.";
    text += std::string(kCrLf) + "Les originaux n'ont pas été touchés.";
    if (const std::string shared = SharedFoldersText(trial.sharedFolders); !shared.empty())
        text += std::string(kCrLf) + shared;
    return text;
}

std::string OpenTrialFolderQuestion(const Trial& trial, Engine engine) {
    return TrialDoneText(trial, engine) + std::string(kCrLf) + std::string(kCrLf) +
           "Ouvrir le dossier de l'essai ?";
}

// ---- The trial of a renaming ----

std::string RenamePreviewStopText(const RenamePreview& preview) {
    if (!preview.stop)
        return "Essai : aucun fichier n'a été renommé. Le renommage donnerait son nouveau nom à "
               "chacun des " +
               Counted(static_cast<int>(preview.rows.size()), "fichier", "fichiers") + ".";
    return "Essai : aucun fichier n'a été renommé. Le renommage s'arrêterait au fichier " +
           std::to_string(preview.stopRow + 1) + " de la liste, après en avoir renommé " +
           std::to_string(preview.renamedBefore) + " :" + std::string(kCrLf) +
           RenameStopText(*preview.stop, 0);
}

std::string RenamePreviewText(const RenamePreview& preview) {
    std::string text = "Ancien nom\tNouveau nom" + std::string(kCrLf);
    for (const RenamePreviewRow& row : preview.rows)
        text += row.folder + row.name + "\t" + row.newName + std::string(kCrLf);
    return text + RenamePreviewStopText(preview);
}

// ---- --verifier ----

std::string VerificationReportText(const Verification& verification) {
    std::string text;
    const auto finding = [&text](std::string_view where, std::string_view what) {
        text += "erreur\t";
        text += where;
        text += '\t';
        text += what;
        text += kCrLf;
    };
    const DrawingCheck& drawings = verification.drawings;
    for (const DrawingIssue& issue : drawings.issues)
        finding(issue.path, DescribeIssue(issue, drawings.opener));
    const ScriptVerification& script = verification.script;
    int errors = 0;
    if (script.failure) {
        ++errors;
        const std::string where = BoxName(*script.failure);
        finding(where.empty() ? "script" : where, OneLine(GenerationFailureText(*script.failure)));
    }
    int warnings = 0;
    for (const ScriptFinding& found : script.findings) {
        const bool error = found.severity == ScriptSeverity::Error;
        (error ? errors : warnings) += 1;
        text += ScriptSeverityText(found.severity);
        text += '\t';
        text += BoxName(BoxRef(Box::ScriptTextLine, found.line)) + ", colonne " +
                std::to_string(found.column);
        text += '\t';
        text += OneLine(ScriptFindingText(found));
        text += kCrLf;
    }
    for (const ConsoleRefusal& refusal : script.refusals) {
        ++errors;
        finding(refusal.box,
                InQuotes(refusal.word) + " : " + std::string(ConsoleLimitText(refusal.limit)));
    }
    text += "Plans : " +
            DrawingCheckSummaryText(drawings.checked, static_cast<int>(drawings.issues.size()));
    if (drawings.opener)
        text += " (formats comparés à " + drawings.opener->name + ")";
    text += ". Script : " + Counted(errors, "erreur", "erreurs") + ", " +
            Counted(warnings, "attention", "attentions") + "." + std::string(kCrLf);
    return text;
}

} // namespace pilotrame
