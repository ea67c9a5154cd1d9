#pragma once

#include "script/markers.h"
#include "script/scriptcheck.h"
#include "script/scriptwords.h"

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The French texts of the check of a script text and of its markers.

// "erreur" or "attention".
std::string_view ScriptSeverityText(ScriptSeverity severity);

// What a finding says, with its fix where there is one: "« calque » ouvre une boîte de dialogue
// … : écrivez « -calque »".
std::string ScriptFindingText(const ScriptFinding& finding);

// A finding as the window lists it: "ligne 3 : …".
std::string ScriptFindingLineText(const ScriptFinding& finding);

// The last entry of a list that shows only some of the findings: "… et 12 autres".
std::string MoreFindingsText(int more);

// A finding as the command line prints it: "attention : script, ligne 3 : …".
std::string ScriptFindingCommandLineText(const ScriptFinding& finding);

// Why the console cannot run a command: "la console n'exécute pas les macros VBA".
std::string_view ConsoleLimitText(ConsoleLimit limit);

// The question "Executer script" asks when the text holds an "erreur", naming each of them.
inline constexpr std::string_view kScriptErrorsTitle = "Vérification du script";
inline constexpr std::string_view kContinueAnyway = "Continuer quand même";
inline constexpr std::string_view kCancelRun = "Annuler";
std::string ScriptErrorsQuestionText(const std::vector<ScriptFinding>& findings);

// The markers' menu beside the script text, and what each marker becomes.
inline constexpr std::string_view kMarkersCaption = "Repères";
std::string_view MarkerMeaningText(Marker marker);
// The tooltip of the menu: every marker and what it becomes.
std::string MarkersToolTipText();

} // namespace pilotrame
