#pragma once

#include "process/process.h"

#include <string>
#include <string_view>

namespace pilotrame {

// What is particular to AutoCAD's console (accoreconsole.exe): how it is started on one drawing,
// the script it runs, and how its output is read.

inline constexpr std::string_view kConsoleScriptName = "console.scr";

// How one console is started on one drawing: /i <drawing> /s <script> /l <language> (without /l
// when language is empty), which WindowsCommandLine quotes.
ProgramStart ConsoleStart(std::string_view console, std::string_view drawing,
                          std::string_view script, std::string_view language);

// The console's output as UTF-8. AutoCAD's console writes UTF-16LE on Windows; anything else is
// taken as it comes: UTF-8 when it is, else the ANSI code page.
std::string DecodeConsoleOutput(std::string_view bytes);

} // namespace pilotrame
