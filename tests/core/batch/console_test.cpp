#include "batch/console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pilotrame {
namespace {

TEST(ConsoleStart, NamesTheDrawingTheScriptAndTheLanguage) {
    const ProgramStart start = ConsoleStart("C:\\AutoCAD 2024\\accoreconsole.exe",
                                            "C:\\plans\\A 01.dwg", "C:\\scripts\\run.scr", "fr-FR");
    EXPECT_EQ(WindowsCommandLine(start), "\"C:\\AutoCAD 2024\\accoreconsole.exe\" /i "
                                         "\"C:\\plans\\A 01.dwg\" /s \"C:\\scripts\\run.scr\" "
                                         "/l fr-FR");
    EXPECT_EQ(start.arguments, (std::vector<std::string>{"/i", "C:\\plans\\A 01.dwg", "/s",
                                                         "C:\\scripts\\run.scr", "/l", "fr-FR"}));
    EXPECT_EQ(WindowsCommandLine(ConsoleStart("c.exe", "a.dwg", "s.scr", "")),
              "\"c.exe\" /i \"a.dwg\" /s \"s.scr\"");
}

TEST(ConsoleOutput, UnicodeOrPlainBytesBecomeUtf8) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {std::string("O\0K\0\r\0\n\0", 8), "OK\r\n"},
        {std::string("\xFF\xFE\xE9\0t\0\xE9\0", 8), "\xC3\xA9t\xC3\xA9"},
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"}, // a surrogate pair
        {std::string("a\0\x00\xD8", 4), "a\xEF\xBF\xBD"},                 // a lone surrogate
        {"d\xC3\xA9j\xC3\xA0", "d\xC3\xA9j\xC3\xA0"},                     // UTF-8 as it is
        {"d\xE9j\xE0", "d\xC3\xA9j\xC3\xA0"},                             // the ANSI code page
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeConsoleOutput(c.bytes), c.text);
}

} // namespace
} // namespace pilotrame
