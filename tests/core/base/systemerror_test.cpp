#include "base/systemerror.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace pilotrame {
namespace {

using test::TempDir;

TEST(SystemError, ErrnoGivesTheErrorNumberTheUserKnows) {
    TempDir dir;
    const std::string inFolder = dir.path("absent.txt");
    const std::string inMissingFolder = dir.path("nowhere") + "/x.txt";
    struct Case {
        int error;
        const std::string& path;
        ErrorCode code;
        ErrorCode folderCode;
    };
    const Case cases[] = {
        {ENOENT, inFolder, ErrorCode::FileNotFound, ErrorCode::PathNotFound},
        {ENOENT, inMissingFolder, ErrorCode::PathNotFound, ErrorCode::PathNotFound},
        {ENOTDIR, inFolder, ErrorCode::PathNotFound, ErrorCode::PathNotFound},
        {EEXIST, inFolder, ErrorCode::FileExists, ErrorCode::FileExists},
        {ENOTEMPTY, inFolder, ErrorCode::FileExists, ErrorCode::FileExists},
        {EACCES, inFolder, ErrorCode::PermissionDenied, ErrorCode::PermissionDenied},
        {EROFS, inFolder, ErrorCode::PermissionDenied, ErrorCode::PermissionDenied},
        {EISDIR, inFolder, ErrorCode::PathFileAccess, ErrorCode::PathFileAccess},
        {EXDEV, inFolder, ErrorCode::PathFileAccess, ErrorCode::PathFileAccess},
        {ELOOP, inFolder, ErrorCode::PathFileAccess, ErrorCode::PathFileAccess},
        {ENOSPC, inFolder, ErrorCode::DiskFull, ErrorCode::DiskFull},
        {ENAMETOOLONG, inFolder, ErrorCode::BadFileName, ErrorCode::BadFileName},
        {EIO, inFolder, ErrorCode::DeviceIo, ErrorCode::DeviceIo},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CodeFromErrno(c.error, c.path), c.code) << c.error << ' ' << c.path;
        EXPECT_EQ(FolderCodeFromErrno(c.error, c.path), c.folderCode) << c.error << ' ' << c.path;
        const Error error = ErrorFromErrno(c.error, c.path);
        EXPECT_EQ(error.code, c.code) << c.error;
        EXPECT_EQ(error.path, c.path);
        EXPECT_EQ(error.cause, Cause::System) << c.error;
    }
}

} // namespace
} // namespace pilotrame
