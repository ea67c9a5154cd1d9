#pragma once

#include "base/fileio.h"
#include "base/result.h"
#include "script/drawingsection.h"
#include "selection/filelist.h"

#include <functional>
#include <string>
#include <unordered_set>

namespace pilotrame {

// Appends the section of the drawing at position to the section buffer, in UTF-8.
using SectionWriter = std::function<Status(std::string& section, const ListPosition& position)>;

// Empties the script, then walks the list and appends one section per file line, each built whole
// in memory and appended in one open of the script file, so the file on disk is complete after
// every drawing and a section that fails leaves nothing of itself. Stops at the first failure;
// the sections written before it stay. Failures carry their kind: ScriptNotWritable when the
// script cannot be created, ListUnreadable, ScriptIncomplete or DiskFull when a section cannot be
// added, InvalidName (detail: the path) for a folder or file name holding a control character or
// a double quote, and whatever the section writer returns. Drawings whose path (folder + name)
// is in skipped get no section; the list itself is not changed. The list is read as the script
// is written, listPieceSize bytes at a time (WalkFileList): a list that fails to read part-way
// stops the run as ListUnreadable, with the sections of the lines before it written. Returns the
// number of sections written.
Result<int> GenerateScript(const std::string& listPath, const std::string& scriptPath,
                           ListPosition& position, const SectionWriter& writeSection,
                           const std::unordered_set<std::string>* skipped = nullptr,
                           std::size_t listPieceSize = kReadPieceSize);

// The same with the sections of a drawing job, which the writer gives in the ANSI code page
// (DrawingSectionWriter::appendAnsi): the same bytes, without converting each section.
Result<int> GenerateScript(const std::string& listPath, const std::string& scriptPath,
                           ListPosition& position, DrawingSectionWriter& writer,
                           const std::unordered_set<std::string>* skipped = nullptr,
                           std::size_t listPieceSize = kReadPieceSize);

} // namespace pilotrame
