#pragma once

#include <string>

namespace pilotrame {

// Texts of the batch runs on AutoCAD's console, beside those of messages.h.

// The console program is a script whose "#!" line names an interpreter that is missing, or that
// cannot be run: the program, the interpreter, and that nothing ran.
std::string ConsoleInterpreterText(const std::string& program, const std::string& interpreter,
                                   bool missing);

} // namespace pilotrame
