#include "cli/arguments.h"

#include "texts/commandline.h"
#include "texts/help.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace pilotrame {
namespace {

using Args = std::vector<std::string>;

// The command with what each option gives.
CommandLine Cmd(CommandAction action, std::optional<std::string> job = {},
                std::optional<std::string> list = {}, bool execute = false, bool run = false,
                std::optional<int> workers = {}, std::optional<int> timeout = {}) {
    CommandLine command;
    command.action = action;
    command.jobPath = std::move(job);
    command.listPath = std::move(list);
    command.execute = execute;
    command.run = run;
    command.workers = workers;
    command.timeoutSeconds = timeout;
    return command;
}

TEST(CommandLineParse, AcceptedArguments) {
    struct Case {
        Args arguments;
        CommandLine expected;
    };
    const Case cases[] = {
        {{}, Cmd(CommandAction::None)},
        {{"--generate"}, Cmd(CommandAction::Generate, {}, {}, false)},
        {{"--generate", "--job", "a.pilotrame"},
         Cmd(CommandAction::Generate, "a.pilotrame", {}, false)},
        {{"--list=l.txt", "--generate", "--execute", "--job=j"},
         Cmd(CommandAction::Generate, "j", "l.txt", true)},
        {{"--execute", "--list", "C:\\mes listes\\l.txt", "--generate"},
         Cmd(CommandAction::Generate, {}, "C:\\mes listes\\l.txt", true)},
        {{"--job", "-", "--generate"}, Cmd(CommandAction::Generate, "-", {}, false)},
        {{"--help"}, Cmd(CommandAction::Help, {}, {}, false)},
        {{"-h"}, Cmd(CommandAction::Help, {}, {}, false)},
        {{"/?"}, Cmd(CommandAction::Help, {}, {}, false)},
        {{"--generate", "--job", "j", "--help"}, Cmd(CommandAction::Help, "j", {}, false)},
        {{"--version", "--help"}, Cmd(CommandAction::Help, {}, {}, false)},
        {{"--version"}, Cmd(CommandAction::Version, {}, {}, false)},
        {{"--list", "l", "--version"}, Cmd(CommandAction::Version, {}, "l", false)},
        {{"--generate", "--run"}, Cmd(CommandAction::Generate, {}, {}, false, true)},
        {{"--run", "--workers", "16", "--generate", "--timeout=604800", "--list=l"},
         Cmd(CommandAction::Generate, {}, "l", false, true, 16, 604800)},
        {{"--generate", "--run", "--workers=1", "--timeout", "1"},
         Cmd(CommandAction::Generate, {}, {}, false, true, 1, 1)},
        {{"--generate", "--run", "--timeout", " 90 "},
         Cmd(CommandAction::Generate, {}, {}, false, true, {}, 90)},
        {{"--workers", "3", "--help"}, Cmd(CommandAction::Help, {}, {}, false, false, 3)},
        {{"--skip-unready", "--generate", "--run"},
         [] {
             CommandLine command = Cmd(CommandAction::Generate, {}, {}, false, true);
             command.skipUnready = true;
             return command;
         }()},
        {{"--verifier", "--list=l", "--job", "j"}, Cmd(CommandAction::Verify, "j", "l")},
        {{"--generate", "--essai=20", "--execute"},
         [] {
             CommandLine command = Cmd(CommandAction::Generate, {}, {}, true);
             command.trialDrawings = 20;
             return command;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const Result<CommandLine> parsed = ParseCommandLine(c.arguments);
        ASSERT_TRUE(parsed) << parsed.error().detail;
        EXPECT_EQ(*parsed, c.expected);
    }
}

TEST(CommandLineParse, RefusedArguments) {
    struct Case {
        Args arguments;
        std::string detail;
    };
    const Case cases[] = {
        {{"--generer"}, "option inconnue : « --generer »"},
        {{"-g"}, "option inconnue : « -g »"},
        {{"plan.dwg"}, "argument inattendu : « plan.dwg »"},
        {{""}, "argument inattendu : «  »"},
        {{"--generate", "--job"}, "l'option « --job » attend un nom de fichier"},
        {{"--generate", "--job="}, "l'option « --job » attend un nom de fichier"},
        {{"--generate", "--list", "--execute"}, "l'option « --list » attend un nom de fichier"},
        {{"--generate", "--generate"}, "option « --generate » donnée deux fois"},
        {{"--generate", "--execute", "--execute"}, "option « --execute » donnée deux fois"},
        {{"--generate", "--job", "a", "--job=b"}, "option « --job » donnée deux fois"},
        {{"--help", "--help"}, "option « --help » donnée deux fois"},
        {{"--execute=1", "--generate"}, "l'option « --execute » ne prend pas de valeur"},
        {{"--job", "a"},
         "--execute, --run et --essai ne vont qu'avec --generate ; --job et --list, "
         "qu'avec --generate ou --verifier"},
        {{"--list", "a"},
         "--execute, --run et --essai ne vont qu'avec --generate ; --job et --list, "
         "qu'avec --generate ou --verifier"},
        {{"--execute"},
         "--execute, --run et --essai ne vont qu'avec --generate ; --job et --list, "
         "qu'avec --generate ou --verifier"},
        {{"--help", "--bogus"}, "option inconnue : « --bogus »"},
        {{"--run"},
         "--execute, --run et --essai ne vont qu'avec --generate ; --job et --list, "
         "qu'avec --generate ou --verifier"},
        {{"--run", "--workers", "2"},
         "--execute, --run et --essai ne vont qu'avec --generate ; --job et --list, "
         "qu'avec --generate ou --verifier"},
        {{"--workers", "2"}, "--workers et --timeout ne vont qu'avec --generate --run"},
        {{"--generate", "--timeout=5"}, "--workers et --timeout ne vont qu'avec --generate --run"},
        {{"--generate", "--execute", "--workers", "2"},
         "--workers et --timeout ne vont qu'avec --generate --run"},
        {{"--generate", "--skip-unready"}, "--skip-unready ne va qu'avec --generate --run"},
        {{"--generate", "--run", "--skip-unready", "--skip-unready"},
         "option « --skip-unready » donnée deux fois"},
        {{"--generate", "--run", "--execute"},
         "--run et --execute ne vont pas ensemble : --execute démarre AutoCAD sur un script pour "
         "tous les plans, --run lance la console d'AutoCAD plan par plan"},
        {{"--generate", "--run", "--run"}, "option « --run » donnée deux fois"},
        {{"--generate", "--run", "--workers", "2", "--workers=3"},
         "option « --workers » donnée deux fois"},
        {{"--generate", "--run", "--workers"}, "l'option « --workers » attend un nombre"},
        {{"--generate", "--run", "--workers="}, "l'option « --workers » attend un nombre"},
        {{"--generate", "--run", "--timeout", "--workers", "2"},
         "l'option « --timeout » attend un nombre"},
        {{"--generate", "--run", "--workers", "deux"},
         "« --workers » vaut « deux » : un nombre entier attendu"},
        {{"--generate", "--run", "--timeout", "1.5"},
         "« --timeout » vaut « 1.5 » : un nombre entier attendu"},
        {{"--generate", "--run", "--timeout", "99999999999999999999"},
         "« --timeout » vaut « 99999999999999999999 » : un nombre entier attendu"},
        {{"--generate", "--run", "--workers", "0"},
         "« --workers » vaut « 0 » : un nombre entier de 1 à 16 attendu"},
        {{"--generate", "--run", "--workers=17"},
         "« --workers » vaut « 17 » : un nombre entier de 1 à 16 attendu"},
        {{"--generate", "--run", "--timeout", "-5"},
         "« --timeout » vaut « -5 » : un nombre entier de 1 à 604800 attendu"},
        {{"--generate", "--run", "--timeout=604801"},
         "« --timeout » vaut « 604801 » : un nombre entier de 1 à 604800 attendu"},
        {{"--help", "--workers", "x"}, "« --workers » vaut « x » : un nombre entier attendu"},
        {{"--generate", "--essai", "0"},
         "« --essai » vaut « 0 » : un nombre entier de 1 à 20 attendu"},
        {{"--essai", "3"},
         "--execute, --run et --essai ne vont qu'avec --generate ; --job et "
         "--list, qu'avec --generate ou --verifier"},
        {{"--verifier", "--run"},
         "--verifier ne va qu'avec --job et --list, pas avec « --run » : il vérifie sans rien "
         "écrire ni lancer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const Result<CommandLine> parsed = ParseCommandLine(c.arguments);
        ASSERT_FALSE(parsed);
        EXPECT_EQ(parsed.error().operation, Operation::ReadArguments);
        EXPECT_EQ(CommandLineFailureText(parsed.error()),
                  c.detail + "\r\nPour l'aide : pilotrame --help");
    }
}

TEST(CommandLineParse, HelpListsEveryOptionAndExitCode) {
    const std::string help = HelpText();
    for (const char* option :
         {"--generate", "--job FICHIER", "--list FICHIER", "--execute", "--run", "--workers N",
          "--timeout S", "--skip-unready", "--essai N", "--verifier", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    for (ExitCode code :
         {ExitCode::Success, ExitCode::BadArguments, ExitCode::BadJobFile, ExitCode::UnreadableList,
          ExitCode::GenerationFailed, ExitCode::SettingsUnreadable, ExitCode::DrawingsNotReady,
          ExitCode::NothingToProcess, ExitCode::AutocadNotStarted, ExitCode::SomeDrawingsFailed,
          ExitCode::RunInterrupted, ExitCode::JournalNotWritten, ExitCode::ScriptHasErrors})
        EXPECT_NE(help.find("\n  " + std::to_string(static_cast<int>(code)) + "  "),
                  std::string::npos)
            << static_cast<int>(code);
}

} // namespace
} // namespace pilotrame
