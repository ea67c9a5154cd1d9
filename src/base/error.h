#pragma once

#include <string>

namespace pilotrame {

// Error numbers shown to the user; they follow the classic Basic run-time numbering that
// draughtsmen already know from the earlier tools ("13 Incompatibilité de type").
enum class ErrorCode {
    TypeMismatch = 13,
    FileNotFound = 53,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,
    DeviceIo = 57,
    DiskFull = 61,
    BadFileName = 52,
    InvalidPropertyValue = 380,
    InvalidName = 1001, // a name that a script or list line cannot carry
};

// French description of an error number, as shown after the number in the start-up box.
std::string describe(ErrorCode code);

// A failure of one core operation on one path; never thrown.
struct Error {
    ErrorCode code = ErrorCode::DeviceIo;
    std::string operation; // what was being done, in French ("lecture", "écriture" ...)
    std::string path;      // the file or folder concerned, UTF-8; may be empty
    std::string detail;    // extra context (a slot number, a name), may be empty

    // "13 Incompatibilité de type": the number, one space, the description.
    std::string numberAndDescription() const;
};

} // namespace pilotrame
