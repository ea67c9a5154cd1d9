#pragma once

#include "base/error.h"

#include <string>

namespace pilotrame {

// What is wrong with a line of a text the program reads: a job file, a list, execution.txt, or an
// argument of the command line (cause FaultyText, by its fault).

std::string TextFaultText(const Error& error);

} // namespace pilotrame
