#pragma once

#include "base/error.h"

#include <string>
#include <string_view>

namespace pilotrame {

// The texts of the batch renaming of the listed files.

// Batch renaming: the question asked before, and the failure of a file that is read-only or
// missing that ends it. renamedBefore is the number of files renamed before the failure.
inline constexpr std::string_view kRenameConfirmation =
    "Attention !! Vos fichiers sélectionnés vont être renomés. ";

std::string RenameFailureText(const std::string& oldPath, int renamedBefore);

// The text of the box for a renaming run that stopped on failure (RenameReport::failure), after
// renamedBefore files were renamed: why, the file, and how many were renamed.
std::string RenameStopText(const Error& failure, int renamedBefore);

} // namespace pilotrame
