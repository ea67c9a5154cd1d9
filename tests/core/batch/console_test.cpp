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
        {std::string("\x1F\x04\x40\x04\x38\x04", 6), "\xD0\x9F\xD1\x80\xD0\xB8"},     // "При"
        {std::string("\x2D\x4E\x87\x65\r\0\n\0", 8), "\xE4\xB8\xAD\xE6\x96\x87\r\n"}, // "中文"
        {"d\xC3\xA9j\xC3\xA0", "d\xC3\xA9j\xC3\xA0"}, // UTF-8 as it is
        {"d\xE9j\xE0", "d\xC3\xA9j\xC3\xA0"},         // the ANSI code page
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string text;
        ConsoleOutputReader reader({}, [&text](std::string_view piece) { text.append(piece); });
        reader.add(c.bytes);
        reader.finish();
        EXPECT_EQ(text, c.text);
    }
}

std::string Repeated(std::string_view text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

std::string Utf16Le(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// The message is found, and the text handed on whole, wherever the pieces cut the output and in
// every encoding a console may write; ASCII letters of the message match in either case.
TEST(ConsoleOutput, AFailureMessageIsFoundWhereverThePiecesCutIt) {
    struct Case {
        std::string bytes;
        std::string text;
        std::string found;
    };
    const Case cases[] = {
        {"Ouverture\r\nCOMMANDE INCONNUE \"X\".\r\n", "Ouverture\r\nCOMMANDE INCONNUE \"X\".\r\n",
         "Commande inconnue"},
        {Utf16Le(u"\uFEFFR\u00E9g\u00E9n\u00E9ration\r\nUnknown command \"X\""),
         "R\xC3\xA9g\xC3\xA9n\xC3\xA9ration\r\nUnknown command \"X\"", "Unknown command"},
        // Cyrillic without a space past the first bytes that decide the encoding.
        {Utf16Le(std::u16string(300, u'\u0436') + u" x\r\ncommande inconnue"),
         Repeated("\xD0\xB6", 300) + " x\r\ncommande inconnue", "Commande inconnue"},
        {"d\xE9j\xE0 vu, Commande connue", "d\xC3\xA9j\xC3\xA0 vu, Commande connue", ""},
        // Mixed encodings: a stray zero byte, UTF-16 from an odd offset.
        {std::string("x\0COMMANDE INCONNUE \"FOO\".", 26),
         std::string("x\0COMMANDE INCONNUE \"FOO\".", 26), "Commande inconnue"},
        {"x" + Utf16Le(u"Unknown command"), "x" + Utf16Le(u"Unknown command"), "Unknown command"},
    };
    for (const Case& c : cases) {
        for (std::size_t size = 1; size <= c.bytes.size(); ++size) {
            SCOPED_TRACE(c.text + ", pieces of " + std::to_string(size));
            std::string text;
            ConsoleOutputReader reader({"Unknown command", "Commande inconnue"},
                                       [&text](std::string_view piece) { text += piece; });
            for (std::size_t at = 0; at < c.bytes.size(); at += size)
                reader.add(std::string_view(c.bytes).substr(at, size));
            reader.finish();
            EXPECT_EQ(text, c.text);
            EXPECT_EQ(reader.messageFound(), c.found);
            EXPECT_EQ(reader.tail(), c.text);
        }
    }
}

// What a script saves, in the order it does: "_qsave" saves what the "_saveas" before made.
TEST(ConsoleScript, SavesAreTheFilesTheScriptWrites) {
    using Kind = ScriptSave::Kind;
    struct Case {
        std::string script;
        std::vector<ScriptSave> saves;
    };
    const Case cases[] = {
        {"zoom\r\net\r\n", {}},
        {"zoom\r\n_qsave\r\n_QSAVE\r\n", {{Kind::Drawing, "", ""}}},
        {"_saveas\r\nDXF\r\n\r\n\r\n_qsave\r\n", {{Kind::SameName, ".dxf", ""}}},
        {"_.SAVEAS 2018 \"D:\\out\\plan a\"\r\n_qsave", {{Kind::Named, "", "D:\\out\\plan a.dwg"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScriptSaves(c.script), c.saves) << c.script;
    EXPECT_EQ(SavedFiles({Kind::Drawing, "", ""}, "/p/", "A.DXF"),
              (std::vector<std::string>{"/p/A.DXF", "/p/A.dwg"}));
    EXPECT_EQ(SavedFiles({Kind::Named, "", "sous/B.dwg"}, "/p/", "A.dwg"),
              std::vector<std::string>{"/p/sous/B.dwg"});
}

// Each command the console cannot run is named with its line; a word in another place is an
// answer, not a command.
TEST(ConsoleScript, WhatTheConsoleCannotRunIsNamedWithItsLine) {
    DrawingJob job;
    job.customScript = true;
    job.scriptText = "zoom\n_.OPEN \"x.dwg\"\n _close\n_pline 0,0 1,1 _close\n-VBARUN m\nquit";
    job.insert = true;
    job.insertFile = false;
    EXPECT_EQ(ConsoleRefusals(job),
              (std::vector<ConsoleRefusal>{
                  {"SCRIPT FICHIER, ligne 2", "_.OPEN", ConsoleLimit::OpensDrawing},
                  {"SCRIPT FICHIER, ligne 3", "_close", ConsoleLimit::ClosesDrawing},
                  {"SCRIPT FICHIER, ligne 5", "-VBARUN", ConsoleLimit::RunsVba},
                  {"SCRIPT FICHIER, ligne 6", "quit", ConsoleLimit::Quits},
                  {"INSERER, presse-papier", "_pasteclip", ConsoleLimit::UsesClipboard}}));
    job.customScript = false;
    job.insertFile = true;
    EXPECT_TRUE(ConsoleRefusals(job).empty());
    // A command after one that has ended, on the same line, is found too.
    job.customScript = true;
    job.scriptText = "_zoom _e _close";
    EXPECT_EQ(ConsoleRefusals(job),
              (std::vector<ConsoleRefusal>{
                  {"SCRIPT FICHIER, ligne 1", "_close", ConsoleLimit::ClosesDrawing}}));
}

} // namespace
} // namespace pilotrame
