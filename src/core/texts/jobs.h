#pragma once

#include "base/error.h"
#include "job/jobfile.h"

#include <string>
#include <vector>

namespace pilotrame {

// The texts of job files (.pilotrame): loaded, saved, refused, or holding keys this version does
// not know.

// The text of the box for a job file that could not be loaded: the file and, for a faulty text,
// the line and what is wrong with it ("ligne 3 : ..."), else the error number and description.
std::string JobFileFailureText(const Error& error);

// The text of the box for a job file that could not be saved.
std::string JobFileSaveFailureText(const Error& error);

// The keys of the job file at path that this version does not know, with their lines: kept and
// saved again, but not read. The window shows it once when it opens the job; the command line
// prints it as a warning.
std::string UnknownJobKeysText(const std::string& path, const std::vector<JobKeyLine>& keys);

// Why a job file was refused, for the faults that concern the file as a whole or a value's
// length rather than the shape of a line: "ligne N : " comes before each.
std::string JobValueTooLongText(const Error& error);

std::string JobCutShortText(const Error& error);

std::string JobTextAfterEndText(const Error& error);

} // namespace pilotrame
