#pragma once

#include "base/error.h"

#include <string>

namespace pilotrame {

// The texts of files that could not be read or written, whatever their kind, and of a file that
// a save would replace. Each kind of file has its own texts beside its topic (lists.h, jobs.h,
// settings.h …); FileFailureText sends to them.

// The text of the box for any other failure of a file operation: what the cause or the operation
// says, the path, the error number and its description.
std::string FileFailureText(const Error& error);

// The text for a failure of cause NotAFile, TooLarge or Damaged: the file, what is wrong with it,
// and what was therefore not done (not read, not loaded, not saved). Empty for any other cause.
std::string UnusableFileText(const Error& error);

// A script file chosen in the main window that could not be read, or saved.
std::string ScriptFileReadFailureText(const Error& error);

std::string ScriptFileSaveFailureText(const Error& error);

// The question asked before a save replaces an existing file.
std::string ReplaceFileQuestion(const std::string& path);

} // namespace pilotrame
