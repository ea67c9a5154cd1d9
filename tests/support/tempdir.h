#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace pilotrame::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, UTF-8, ending in the platform's separator.
    const std::string& folder() const { return m_folder; }
    // folder() + name.
    std::string path(std::string_view name) const { return m_folder + std::string(name); }

private:
    std::string m_folder;
};

// The first bytes of a drawing that every AutoCAD of the version list opens (R14), for the
// drawings that the check of the drawings must find ready.
inline constexpr std::string_view kDrawingBytes = "AC1014";

// Writes bytes to a file, replacing it; fails the current test when it cannot.
void WriteBytes(const std::string& path, std::string_view bytes);
// The bytes of a file; empty and a test failure when it cannot be read.
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// Marks a file read-only (no write permission for anyone) or writable again.
void SetReadOnly(const std::string& path, bool readOnly);
// True when a read-only file really refuses writes to this process (not so for root on Linux).
bool ReadOnlyIsEnforced();

// A relative path written with "/" in the platform's form.
std::string Native(std::string_view relative);
// Makes entries under dir, each written with "/": one ending in "/" is a folder, any other a
// file holding "x"; missing folders on the way are made too.
void MakeTree(const TempDir& dir, std::initializer_list<std::string_view> entries);

// A program built with the tests, given by the path the build knows it by. Under Wine that path is
// a Linux one, so the program is looked for beside the running test program instead.
std::string HelperProgram(const std::string& builtPath);

// Copies a program built with the tests into dir and returns its path there, so that what it
// writes beside itself stays inside dir.
std::string InstallHelperProgram(const TempDir& dir, const std::string& builtPath);

// Waits up to ten seconds for a file that another process writes, then gives its bytes (empty
// when it never came).
std::string WaitForFile(const std::string& path);

} // namespace pilotrame::test
