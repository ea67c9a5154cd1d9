#include "job/jobfile.h"

#include "support/tempdir.h"
#include "texts/jobs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kHeader = "pilotrame-travail=1\n";

MainJob Parsed(const std::string& text) {
    Result<MainJob> job = ParseJobFile(text);
    EXPECT_TRUE(job) << text << "\n" << (job ? "" : job.error().detail);
    return job ? *job : MainJob{};
}

MainJob OperationJob() {
    MainJob job;
    job.setMode(JobMode::Operations);
    return job;
}

TEST(JobFile, AFreshWindowsJobIsWrittenInTheDocumentedOrder) {
    EXPECT_EQ(WriteJobFile(MainJob{}, ','), "pilotrame-travail=2\n"
                                            "mode=imprimer\n"
                                            "renommer.haut=0\n"
                                            "script.texte=\n"
                                            "purger=0\n"
                                            "purger.mode=bloc\n"
                                            "zoom=0\n"
                                            "transfert=0\n"
                                            "transfert.sens=dxf-dwg\n"
                                            "effacer=0\n"
                                            "effacer.selection=fenetre\n"
                                            "effacer.x1=0\n"
                                            "effacer.y1=0\n"
                                            "effacer.x2=0\n"
                                            "effacer.y2=0\n"
                                            "inserer=0\n"
                                            "inserer.source=presse-papier\n"
                                            "inserer.fichier=Fichier\n"
                                            "attribut=0\n"
                                            "attribut.x1=0\n"
                                            "attribut.y1=0\n"
                                            "attribut.x2=0\n"
                                            "attribut.y2=0\n"
                                            "attribut.ancien=\n"
                                            "attribut.nouveau=\n"
                                            "renommer=0\n"
                                            "renommer.regle=supprimer\n"
                                            "renommer.debut=0\n"
                                            "renommer.longueur=1\n"
                                            "renommer.texte=\n"
                                            "renommer.extension=.xls\n"
                                            "remplacer-texte=0\n"
                                            "remplacer-texte.ancien1=\n"
                                            "remplacer-texte.nouveau1=\n"
                                            "remplacer-texte.ancien2=\n"
                                            "remplacer-texte.nouveau2=\n"
                                            "pilotrame-travail=fin\n");
}

TEST(JobFile, HeaderAloneGivesAFreshWindowsJob) {
    EXPECT_EQ(Parsed(kHeader), MainJob{});
    EXPECT_EQ(Parsed("pilotrame-travail=1"), MainJob{});
    EXPECT_EQ(Parsed("pilotrame-travail=2\npilotrame-travail=fin\n"), MainJob{});
    EXPECT_EQ(Parsed("pilotrame-travail=2\r\npilotrame-travail=fin\r\n"), MainJob{});
}

// Each line changes one value away from a fresh window's; in operation mode so that the
// operation ticks are kept.
TEST(JobFile, EveryKeyReachesItsControl) {
    struct Case {
        const char* line;
        bool (*holds)(const MainJob&);
    };
    const Case cases[] = {
        {"mode=script", [](const MainJob& j) { return j.mode() == JobMode::ScriptText; }},
        {"mode=operations", [](const MainJob& j) { return j.mode() == JobMode::Operations; }},
        {"renommer.haut=1", [](const MainJob& j) { return j.renameSwitch; }},
        {"script.texte=ligne", [](const MainJob& j) { return j.drawing.scriptText == "ligne"; }},
        {"purger=1", [](const MainJob& j) { return j.drawing.purge; }},
        {"purger.mode=tout", [](const MainJob& j) { return j.drawing.purgeAll; }},
        {"zoom=1", [](const MainJob& j) { return j.drawing.zoomExtents; }},
        {"transfert=1", [](const MainJob& j) { return j.drawing.transfer; }},
        {"transfert.sens=dwg-dxf", [](const MainJob& j) { return j.drawing.dwgToDxf; }},
        {"effacer=1", [](const MainJob& j) { return j.drawing.erase; }},
        {"effacer.selection=trajet",
         [](const MainJob& j) { return j.drawing.eraseSelection == EraseSelection::Fence; }},
        {"effacer.selection=capture",
         [](const MainJob& j) { return j.drawing.eraseSelection == EraseSelection::Crossing; }},
        {"effacer.x1=1,5", [](const MainJob& j) { return j.drawing.erasePoints[0] == "1.5"; }},
        {"effacer.y1=2", [](const MainJob& j) { return j.drawing.erasePoints[1] == "2"; }},
        {"effacer.x2=3", [](const MainJob& j) { return j.drawing.erasePoints[2] == "3"; }},
        {"effacer.y2=4", [](const MainJob& j) { return j.drawing.erasePoints[3] == "4"; }},
        {"inserer=1", [](const MainJob& j) { return j.drawing.insert; }},
        {"inserer.source=fichier", [](const MainJob& j) { return j.drawing.insertFile; }},
        {"inserer.fichier=c:\\\\blocs\\\\cartouche.dwg",
         [](const MainJob& j) { return j.drawing.insertPath == "c:\\blocs\\cartouche.dwg"; }},
        {"attribut=1", [](const MainJob& j) { return j.drawing.replaceAttribute; }},
        {"attribut.x1=5", [](const MainJob& j) { return j.drawing.attributeCorners[0] == "5"; }},
        {"attribut.y1=6", [](const MainJob& j) { return j.drawing.attributeCorners[1] == "6"; }},
        {"attribut.x2=7", [](const MainJob& j) { return j.drawing.attributeCorners[2] == "7"; }},
        {"attribut.y2=8", [](const MainJob& j) { return j.drawing.attributeCorners[3] == "8"; }},
        {"attribut.ancien=INDICE A",
         [](const MainJob& j) { return j.drawing.attributeOld == "INDICE A"; }},
        {"attribut.nouveau=INDICE B",
         [](const MainJob& j) { return j.drawing.attributeNew == "INDICE B"; }},
        {"renommer=1", [](const MainJob& j) { return j.renameTicked; }},
        {"renommer.regle=ajouter",
         [](const MainJob& j) { return j.rename.rule == RenameRule::Insert; }},
        {"renommer.regle=extension",
         [](const MainJob& j) { return j.rename.rule == RenameRule::Extension; }},
        {"renommer.debut=4", [](const MainJob& j) { return j.rename.start == "4"; }},
        {"renommer.longueur=2", [](const MainJob& j) { return j.rename.length == "2"; }},
        {"renommer.texte=A-", [](const MainJob& j) { return j.rename.text == "A-"; }},
        {"renommer.extension=.dxf",
         [](const MainJob& j) { return j.rename.newExtension == ".dxf"; }},
        {"remplacer-texte=1", [](const MainJob& j) { return j.drawing.replaceText; }},
        {"remplacer-texte.ancien1=a1",
         [](const MainJob& j) { return j.drawing.replaceTexts[0] == "a1"; }},
        {"remplacer-texte.nouveau1=n1",
         [](const MainJob& j) { return j.drawing.replaceTexts[1] == "n1"; }},
        {"remplacer-texte.ancien2=a2",
         [](const MainJob& j) { return j.drawing.replaceTexts[2] == "a2"; }},
        {"remplacer-texte.nouveau2=n2",
         [](const MainJob& j) { return j.drawing.replaceTexts[3] == "n2"; }},
    };
    std::set<std::string> covered;
    for (const Case& c : cases) {
        const std::string line = c.line;
        const std::string key = line.substr(0, line.find('='));
        covered.insert(key);
        const std::string text =
            key == "mode" ? kHeader + line + "\n" : kHeader + "mode=operations\n" + line + "\n";
        SCOPED_TRACE(line);
        EXPECT_FALSE(c.holds(key == "mode" ? MainJob{} : OperationJob()));
        const MainJob job = Parsed(text);
        EXPECT_TRUE(c.holds(job));
        EXPECT_EQ(Parsed(WriteJobFile(job, ',')), job);
    }
    // A key added to the format without a case here fails this test.
    const std::string written = WriteJobFile(MainJob{}, ',');
    std::size_t at = written.find('\n') + 1;
    const std::size_t closing = written.rfind("pilotrame-travail=fin\n");
    while (at < closing) {
        const std::size_t end = written.find('\n', at);
        const std::string line = written.substr(at, end - at);
        EXPECT_TRUE(covered.contains(line.substr(0, line.find('=')))) << line;
        at = end + 1;
    }
}

TEST(JobFile, JobsComeBackEqualFromTheirFile) {
    std::vector<MainJob> jobs;
    MainJob plot;
    plot.renameSwitch = true;
    plot.drawing.scriptText = "kept while hidden";
    plot.drawing.purgeAll = true;
    plot.rename.rule = RenameRule::Extension;
    jobs.push_back(plot);

    MainJob script;
    script.setMode(JobMode::ScriptText);
    script.drawing.scriptText = "_.zoom\ne\n\n-calque\r\nE 0\\x\n";
    jobs.push_back(script);

    MainJob operations = OperationJob();
    DrawingJob& d = operations.drawing;
    d.purge = d.purgeAll = d.zoomExtents = d.transfer = d.dwgToDxf = d.erase = true;
    d.eraseSelection = EraseSelection::Crossing;
    d.erasePoints = {"-1.5", "2.25", "3", "x 4"};
    d.insert = d.insertFile = true;
    d.insertPath = "\\\\serveur\\blocs\\new\\table.dwg";
    d.replaceAttribute = true;
    d.attributeCorners = {"10", "20", "30", "40"};
    d.attributeOld = "=A=";
    d.attributeNew = "# B";
    d.replaceText = true;
    d.replaceTexts = {"ancien", "nouveau", "é€", "ü"};
    operations.renameTicked = true;
    operations.rename = RenameJob{RenameRule::Insert, "2", "3", "pré\t-", ".dwg"};
    operations.otherKeys = {{"futur.option", "x\ny"}, {"autre", ""}};
    operations.run =
        RunSettings{Engine::Console, "\\\\serveur\\acad\\accoreconsole.exe", 3, 45, "en-US"};
    jobs.push_back(operations);

    MainJob hiddenPanel = OperationJob();
    hiddenPanel.renameSwitch = true;
    jobs.push_back(hiddenPanel);

    for (const MainJob& job : jobs) {
        for (const char separator : {',', '.'}) {
            const std::string text = WriteJobFile(job, separator);
            SCOPED_TRACE(text);
            EXPECT_EQ(Parsed(text), job);
            EXPECT_EQ(WriteJobFile(Parsed(text), separator), text);
        }
    }
}

// The settings of the run travel with the job in the words and values of execution.txt, after
// the window's keys and before the keys of a newer version.
TEST(JobFile, TheSettingsOfTheRunAreWrittenAsExecutionTxtWritesThem) {
    MainJob job = OperationJob();
    job.run = RunSettings{Engine::Console, "D:\\AutoCAD 2024\\accoreconsole.exe", 16, 604800, ""};
    job.otherKeys = {{"futur", "1"}};
    const std::string text = WriteJobFile(job, ',');
    std::string expected;
    const std::string runSettings = WriteRunSettings(*job.run);
    for (std::string_view rest = runSettings; !rest.empty();) {
        const std::size_t end = rest.find('\n') + 1;
        const std::string line(rest.substr(0, end));
        expected += "execution." + (line.starts_with("console=")
                                        ? "console=D:\\\\AutoCAD 2024\\\\accoreconsole.exe\n"
                                        : line);
        rest.remove_prefix(end);
    }
    EXPECT_TRUE(text.ends_with("remplacer-texte.nouveau2=\n" + expected +
                               "futur=1\npilotrame-travail=fin\n"))
        << text;
    EXPECT_EQ(Parsed(text), job);

    // Each key, alone, reaches its setting; the others keep the defaults of execution.txt.
    struct Case {
        const char* line;
        RunSettings expected;
    };
    const RunSettings defaults;
    const Case cases[] = {
        {"execution.moteur=console", {Engine::Console, "", 2, 600, "fr-FR"}},
        {"execution.moteur=autocad", defaults},
        {"execution.console=C:\\\\c.exe", {Engine::Autocad, "C:\\c.exe", 2, 600, "fr-FR"}},
        {"execution.plans-simultanes=16", {Engine::Autocad, "", 16, 600, "fr-FR"}},
        {"execution.plans-simultanes= 1 ", {Engine::Autocad, "", 1, 600, "fr-FR"}},
        {"execution.delai=1", {Engine::Autocad, "", 2, 1, "fr-FR"}},
        {"execution.delai=604800", {Engine::Autocad, "", 2, 604800, "fr-FR"}},
        {"execution.langue=", {Engine::Autocad, "", 2, 600, ""}},
        {"execution.langue=en-US", {Engine::Autocad, "", 2, 600, "en-US"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        for (const std::string& header : {kHeader, std::string("pilotrame-travail=2\n")}) {
            const std::string closing =
                header == kHeader ? std::string() : std::string("pilotrame-travail=fin\n");
            const MainJob loaded = Parsed(header + c.line + "\n" + closing);
            ASSERT_TRUE(loaded.run);
            EXPECT_EQ(*loaded.run, c.expected);
        }
    }
}

// A job saved before the settings of the run were carried, of either version, leaves them as they
// are; so does a job saved without them.
TEST(JobFile, AJobWithoutExecutionKeysCarriesNoSettingsOfTheRun) {
    for (const std::string& text :
         {kHeader + "mode=operations\nzoom=1\n",
          std::string("pilotrame-travail=2\nmode=imprimer\npilotrame-travail=fin\n"),
          WriteJobFile(MainJob{}, ','), kHeader + "executions.delai=5\n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Parsed(text).run);
    }
    EXPECT_EQ(WriteJobFile(MainJob{}, ',').find("execution"), std::string::npos);
    // A key of a newer version named like them is kept, not taken for a setting.
    const MainJob newer = Parsed(kHeader + "execution.priorite=basse\n");
    EXPECT_FALSE(newer.run);
    ASSERT_EQ(newer.otherKeys.size(), 1u);
    EXPECT_EQ(newer.otherKeys[0].first, "execution.priorite");
}

TEST(JobFile, LineBreaksBackslashesAndTabsAreEscaped) {
    MainJob job;
    job.setMode(JobMode::ScriptText);
    job.drawing.scriptText = "a\\n\nb\r\ncd";
    job.drawing.insertPath = "C:\\plans\\new\\t.dwg";
    job.rename.text = "c\td";
    const std::string text = WriteJobFile(job, ',');
    EXPECT_NE(text.find("\nscript.texte=a\\\\n\\nb\\r\\ncd\n"), std::string::npos);
    EXPECT_NE(text.find("\nrenommer.texte=c\\td\n"), std::string::npos);
    EXPECT_NE(text.find("\ninserer.fichier=C:\\\\plans\\\\new\\\\t.dwg\n"), std::string::npos);
    // Every value sits on its own line, whatever it holds.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 37);
    EXPECT_EQ(Parsed(text), job);
}

TEST(JobFile, KeysOfANewerVersionAreKeptInTheirOrder) {
    const std::string text = kHeader + "zz.nouveau=1\n"
                                       "mode=operations\n"
                                       "aa.option=a\\\\b\\nc\n"
                                       "zoom=1\n";
    std::vector<JobKeyLine> unknown;
    const MainJob job = *ParseJobFile(text, &unknown);
    // Named with their lines, so that a mistyped key is told rather than silently kept.
    EXPECT_EQ(unknown, (std::vector<JobKeyLine>{{"zz.nouveau", 2}, {"aa.option", 4}}));
    EXPECT_EQ(UnknownJobKeysText("/p/t.pilotrame", {{"purger.mod", 5}}),
              "Ce travail contient une clé que cette version ne connaît pas : elle n'a pas été lue "
              "(elle sera gardée à l'enregistrement du travail).\r\n/p/t.pilotrame\r\nligne 5 : "
              "« purger.mod »");
    ASSERT_EQ(job.otherKeys.size(), 2u);
    EXPECT_EQ(job.otherKeys[0], (std::pair<std::string, std::string>{"zz.nouveau", "1"}));
    EXPECT_EQ(job.otherKeys[1], (std::pair<std::string, std::string>{"aa.option", "a\\b\nc"}));
    EXPECT_TRUE(job.drawing.zoomExtents);
    const std::string written = WriteJobFile(job, ',');
    EXPECT_TRUE(written.ends_with("remplacer-texte.nouveau2=\nzz.nouveau=1\naa.option=a\\\\b\\nc\n"
                                  "pilotrame-travail=fin\n"));
    EXPECT_EQ(Parsed(written), job);
}

TEST(JobFile, OtherKeysThatCouldNotBeReadBackAreNotWritten) {
    MainJob job;
    job.otherKeys = {
        {"zoom", "1"}, {"Bad Key", "x"}, {"", "y"}, {"pilotrame-travail", "2"}, {"ok", "z"}};
    const std::string text = WriteJobFile(job, ',');
    EXPECT_TRUE(text.ends_with("remplacer-texte.nouveau2=\nok=z\npilotrame-travail=fin\n"));
    EXPECT_TRUE(ParseJobFile(text));
}

TEST(JobFile, CommentsBlankLinesCrLfAndByteOrderMarkAreAccepted) {
    const std::string text = "\xEF\xBB\xBFpilotrame-travail=1\r\n"
                             "# mon travail du lundi\r\n"
                             "\r\n"
                             "   \r\n"
                             "  # indented comment\n"
                             "mode=operations\r\n"
                             "zoom=1\r\n"
                             "script.texte=#pas un commentaire \n";
    const MainJob job = Parsed(text);
    EXPECT_EQ(job.mode(), JobMode::Operations);
    EXPECT_TRUE(job.drawing.zoomExtents);
    EXPECT_EQ(job.drawing.scriptText, "#pas un commentaire ");
    EXPECT_TRUE(job.otherKeys.empty());
}

TEST(JobFile, LoadingRunsTheSwitchRules) {
    for (const char* mode : {"imprimer", "script"}) {
        SCOPED_TRACE(mode);
        const MainJob job = Parsed(kHeader + "mode=" + mode +
                                   "\nrenommer.haut=1\npurger=1\npurger.mode=tout\nzoom=1\n"
                                   "effacer=1\ninserer=1\nattribut=1\nrenommer=1\n"
                                   "transfert=1\nremplacer-texte=1\neffacer.x1=9\n");
        const DrawingJob& d = job.drawing;
        EXPECT_FALSE(d.purge || d.zoomExtents || d.transfer || d.erase || d.insert ||
                     d.replaceAttribute || d.replaceText || job.renameTicked);
        // The options and boxes keep their values, as the hidden panel keeps them.
        EXPECT_TRUE(d.purgeAll);
        EXPECT_EQ(d.erasePoints[0], "9");
        EXPECT_TRUE(job.renameSwitch);
    }
}

TEST(JobFile, FaultyFilesNameTheLineAndWhatIsWrong) {
    struct Case {
        std::string text;
        std::string detail; // the start of the message's last line
    };
    const Case cases[] = {
        {"", "ligne 1 : la première ligne"},
        {"mode=imprimer\n", "ligne 1 : la première ligne"},
        {"\n" + kHeader, "ligne 1 : la première ligne"},
        {"pilotrame-travail=x\n", "ligne 1 : la première ligne"},
        {"pilotrame-travail=0\n", "ligne 1 : la première ligne"},
        {"pilotrame-travail=\n", "ligne 1 : la première ligne"},
        {"pilotrame-travail=3\nmode=imprimer\npilotrame-travail=fin\n",
         "ligne 1 : ce fichier de travail est de la version 3 du format, ce programme ne lit que "
         "la version 1 ou 2 : mettez Pilotrame à jour"},
        {"pilotrame-travail=99999999999999\n", "ligne 1 : la première ligne"},
        {kHeader + "purger=2\n", "ligne 2 : « purger » vaut « 2 » : 0 ou 1 attendu"},
        {kHeader + "\n# c\npurger=oui\n", "ligne 4 : « purger » vaut « oui »"},
        {kHeader + "zoom=1 \n", "ligne 2 : « zoom » vaut « 1  »"},
        {kHeader + "mode=plot\n",
         "ligne 2 : « mode » vaut « plot » : imprimer, script ou operations attendu"},
        {kHeader + "effacer.selection=Fenetre\n", "ligne 2 : « effacer.selection » vaut"},
        {kHeader + "zoom\n", "ligne 2 : « = » manquant"},
        {kHeader + "zoom=1\nzoom=0\n", "ligne 3 : la clé « zoom » est déjà donnée ligne 2"},
        {kHeader + "x=1\n\nx=2\n", "ligne 4 : la clé « x » est déjà donnée ligne 2"},
        {kHeader + "pilotrame-travail=1\n", "ligne 2 : la clé « pilotrame-travail » est déjà"},
        {kHeader + "script.texte=a\\qb\n", "ligne 2 : séquence « \\q » inconnue"},
        {kHeader + "script.texte=a\\\n", "ligne 2 : « \\ » seul en fin de ligne"},
        {kHeader + "Mode=imprimer\n", "ligne 2 : clé « Mode » incorrecte"},
        {kHeader + "=1\n", "ligne 2 : clé «  » incorrecte"},
        {kHeader + "mode = imprimer\n", "ligne 2 : clé « mode  » incorrecte"},
        {kHeader + "effacer.x1=1\\n2\n",
         "ligne 2 : « effacer.x1 » ne peut pas contenir de retour à la ligne"},
        {kHeader + "attribut.ancien=\xE9t\xE9\n", "ligne 2 : texte qui n'est pas en UTF-8"},
        {kHeader + "attribut.ancien=\xC3\n", "ligne 2 : texte qui n'est pas en UTF-8"},
        {kHeader + "attribut.ancien=\xC0\xAF\n", "ligne 2 : texte qui n'est pas en UTF-8"},
        {kHeader + "zoom=1\rpurger=1\n", "ligne 2 : retour chariot (CR) isolé"},
        {"pilotrame-travail=1\r\nzoom=1\r\nzoom=1\r\n", "ligne 3 : la clé « zoom »"},
        {"\xEF\xBB\xBFpilotrame-travail=1\nmode=?\n", "ligne 2 : « mode » vaut « ? »"},
        {kHeader + "mode=operations\nzoom=1\npurger=1\ninserer=2\n", "ligne 5 : « inserer »"},
        {kHeader + "execution.moteur=Console\n",
         "ligne 2 : « execution.moteur » vaut « Console » : autocad ou console attendu"},
        {kHeader + "execution.plans-simultanes=deux\n",
         "ligne 2 : « execution.plans-simultanes » vaut « deux » : un nombre entier attendu"},
        {kHeader + "execution.plans-simultanes=17\n",
         "ligne 2 : « execution.plans-simultanes » vaut « 17 » : un nombre entier de 1 à 16 "
         "attendu"},
        {kHeader + "execution.plans-simultanes=0\n", "ligne 2 : « execution.plans-simultanes » "
                                                     "vaut « 0 » : un nombre entier de 1 à 16"},
        {kHeader + "execution.delai=1.5\n",
         "ligne 2 : « execution.delai » vaut « 1.5 » : un nombre entier attendu"},
        {kHeader + "execution.delai=604801\n",
         "ligne 2 : « execution.delai » vaut « 604801 » : un nombre entier de 1 à 604800 attendu"},
        {kHeader + "execution.delai=-1\n", "ligne 2 : « execution.delai » vaut « -1 » : un "
                                           "nombre entier de 1 à 604800"},
        {kHeader + "execution.delai=\n", "ligne 2 : « execution.delai » vaut «  » : un nombre"},
        {kHeader + "execution.console=a\\nb.exe\n",
         "ligne 2 : « execution.console » ne peut pas contenir de retour à la ligne"},
        {kHeader + "execution.delai=60\nexecution.delai=60\n",
         "ligne 3 : la clé « execution.delai » est déjà donnée ligne 2"},
        // A control character in a value that goes into the script, as in a path.
        {kHeader + "attribut.ancien=a\tb\n",
         "ligne 2 : « attribut.ancien » contient un caractère de contrôle (code 9) qu'un script "
         "ne peut pas porter"},
        {kHeader + "remplacer-texte.nouveau2=\x01\n", "ligne 2 : « remplacer-texte.nouveau2 » "
                                                      "contient un caractère de contrôle (code 1)"},
        {kHeader + "inserer.fichier=C:\x7F.dwg\n", "ligne 2 : « inserer.fichier » contient"},
        {kHeader + "effacer.x1=1\x02\n", "ligne 2 : « effacer.x1 » contient"},
        {kHeader + "zoom=1\nscript.texte=zoom\\ne\\t\n", "ligne 3 : « script.texte » contient"},
        {kHeader + "attribut.nouveau=a" + std::string(1, '\0') + "\n",
         "ligne 2 : « attribut.nouveau » contient un caractère de contrôle (code 0)"},
        {kHeader + "execution.langue=fr-FR\" /s \"C:\\\\x.scr\n",
         "ligne 2 : « execution.langue » vaut « fr-FR\" /s \"C:\\x.scr » : une langue s'écrit en "
         "lettres, chiffres et « - » seulement"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Result<MainJob> job = ParseJobFile(c.text);
        ASSERT_FALSE(job);
        EXPECT_EQ(job.error().code, ErrorCode::InvalidPropertyValue);
        EXPECT_EQ(job.error().cause, Cause::FaultyText);
        const std::string message = JobFileFailureText(job.error());
        const std::string lastLine = message.substr(message.rfind("\r\n") + 2);
        EXPECT_TRUE(lastLine.starts_with(c.detail)) << lastLine;
    }
}

// What the message of a faulty file says after "ligne N : ".
std::string FaultText(const Error& error) {
    const std::string message = JobFileFailureText(error);
    const std::string lastLine = message.substr(message.rfind("\r\n") + 2);
    return lastLine.substr(lastLine.find(" : ") + 3);
}

// A job with a value in every kind of key, as a user would save it.
MainJob RichJob() {
    MainJob job = OperationJob();
    DrawingJob& d = job.drawing;
    d.scriptText = "_.zoom\ne\n";
    d.erase = d.insert = d.insertFile = d.replaceAttribute = true;
    d.erasePoints = {"30.25", "40", "-1", "2"};
    d.insertPath = "C:\\blocs\\cartouche.dwg";
    d.attributeOld = "INDICE A";
    job.rename.text = "pré-";
    job.run = RunSettings{Engine::Console, "C:\\AutoCAD\\accoreconsole.exe", 4, 900, "fr-FR"};
    job.otherKeys = {{"futur.option", "x"}};
    return job;
}

// A copy stopped by a full disk or a broken transfer leaves any prefix of the file: loaded as it
// was, it would give a job with values missing or cut ("30" for "30.25").
TEST(JobFile, ASavedFileCutAtAnyByteIsRefusedAsCutShort) {
    const std::string lf = WriteJobFile(RichJob(), ',');
    std::string crLf;
    for (const char c : lf)
        crLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_TRUE(ParseJobFile(crLf));
    const std::size_t header = std::string("pilotrame-travail=2").size();
    for (const std::string& whole : {lf, crLf}) {
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const std::string cut = whole.substr(0, length);
            const Result<MainJob> job = ParseJobFile(cut);
            ASSERT_FALSE(job) << cut;
            EXPECT_EQ(job.error().cause, Cause::FaultyText);
            if (length < header)
                continue; // too short to name its version: not a job file at all
            EXPECT_EQ(job.error().fault, TextFault::CutShort) << cut;
            EXPECT_EQ(job.error().line, std::count(cut.begin(), cut.end(), '\n') + 1) << cut;
        }
    }
}

TEST(JobFile, TheClosingLineEndsAVersion2FileAndNothingFollowsIt) {
    const std::string header = "pilotrame-travail=2\n";
    const std::string closing = "pilotrame-travail=fin\n";
    struct Case {
        std::string text;
        TextFault fault;
        int line;
    };
    const Case cases[] = {
        {header + "zoom=1\n", TextFault::CutShort, 3},
        {header + "zoom=1", TextFault::CutShort, 2},
        {header + "zoom=1\npilotrame-travail=fin", TextFault::CutShort, 3},
        {header + "zoom=1\npilotrame-travail=fin\r", TextFault::CutShort, 3},
        {header + "pilotrame-travail=FIN\n", TextFault::CutShort, 3},
        {header + "pilotrame-travail=fin \n", TextFault::CutShort, 3},
        {header + "# pilotrame-travail=fin\n", TextFault::CutShort, 3},
        // A cut is told first, whatever the last line it left looks like.
        {header + "mode=operations\npurger.mode=to", TextFault::CutShort, 3},
        {header + "script.texte=a\\", TextFault::CutShort, 2},
        {header + "inserer.fichier=\xC3", TextFault::CutShort, 2},
        {header + closing + "\n", TextFault::TextAfterEnd, 3},
        {header + closing + "# c\n", TextFault::TextAfterEnd, 3},
        {header + closing + "zoom=1\n", TextFault::TextAfterEnd, 3},
        {header + closing + closing, TextFault::TextAfterEnd, 3},
        {header + "zoom=1\n" + closing + "zoom=1", TextFault::TextAfterEnd, 4},
        // A fault before the closing line is found where it is.
        {header + "zoom=oui\n" + closing, TextFault::NotAFlag, 2},
        // Version 1 has no closing line: the line is the key given twice.
        {"pilotrame-travail=1\n" + closing, TextFault::RepeatedKey, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Result<MainJob> job = ParseJobFile(c.text);
        ASSERT_FALSE(job);
        EXPECT_EQ(job.error().fault, c.fault);
        EXPECT_EQ(job.error().line, c.line);
        EXPECT_FALSE(FaultText(job.error()).empty());
    }
}

// The window's single-line boxes hold 32767 UTF-16 units: a longer value would be cut there, so
// it is refused, naming its key, on the command line as in the window.
TEST(JobFile, SingleLineValuesPastWhatABoxHoldsAreRefusedNamingTheKey) {
    const std::string emoji = "\xF0\x9F\x98\x80"; // two UTF-16 units
    std::string emojis;
    for (int i = 0; i < 16383; ++i)
        emojis += emoji;
    struct Case {
        std::string value;
        bool loads;
    };
    const Case cases[] = {
        {std::string(32767, 'a'), true},
        {std::string(32768, 'a'), false},
        {emojis + "a", true},    // 32767 units in 65533 bytes
        {emojis + emoji, false}, // 32768 units
        {[] {
             std::string accents;
             for (int i = 0; i < 32767; ++i)
                 accents += "\xC3\xA9"; // one unit in two bytes
             return accents;
         }(),
         true},
        {std::string(32767, 'a') + "\\\\", false}, // the escape counts as the one character
    };
    for (const char* key :
         {"inserer.fichier", "attribut.ancien", "renommer.texte", "remplacer-texte.nouveau2",
          "effacer.x1", "renommer.longueur", "execution.console"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(key) + " " + std::to_string(c.value.size()));
            const Result<MainJob> job =
                ParseJobFile(kHeader + "mode=operations\n" + key + "=" + c.value + "\n");
            EXPECT_EQ(static_cast<bool>(job), c.loads);
            if (job)
                continue;
            EXPECT_EQ(job.error().fault, TextFault::ValueTooLong);
            EXPECT_EQ(job.error().detail, key);
            EXPECT_EQ(job.error().line, 3);
        }
    }
    // The script text has no box to fit; a key of a newer version is held to this version's
    // limit.
    const std::string huge(1000000, 'x');
    const MainJob job = Parsed(kHeader + "mode=script\nscript.texte=" + huge + "\n");
    EXPECT_EQ(job.drawing.scriptText, huge);
    const Result<MainJob> newer = ParseJobFile(kHeader + "futur=" + huge + "\n");
    ASSERT_FALSE(newer);
    EXPECT_EQ(newer.error().fault, TextFault::ValueTooLong);
}

// The numeric boxes, coordinates and the counts of the renaming, with the field each fills.
struct NumericKey {
    const char* key;
    std::string& (*field)(MainJob&);
};
const NumericKey kNumericKeys[] = {
    {"effacer.x1", [](MainJob& j) -> std::string& { return j.drawing.erasePoints[0]; }},
    {"effacer.y1", [](MainJob& j) -> std::string& { return j.drawing.erasePoints[1]; }},
    {"effacer.x2", [](MainJob& j) -> std::string& { return j.drawing.erasePoints[2]; }},
    {"effacer.y2", [](MainJob& j) -> std::string& { return j.drawing.erasePoints[3]; }},
    {"attribut.x1", [](MainJob& j) -> std::string& { return j.drawing.attributeCorners[0]; }},
    {"attribut.y1", [](MainJob& j) -> std::string& { return j.drawing.attributeCorners[1]; }},
    {"attribut.x2", [](MainJob& j) -> std::string& { return j.drawing.attributeCorners[2]; }},
    {"attribut.y2", [](MainJob& j) -> std::string& { return j.drawing.attributeCorners[3]; }},
    {"renommer.debut", [](MainJob& j) -> std::string& { return j.rename.start; }},
    {"renommer.longueur", [](MainJob& j) -> std::string& { return j.rename.length; }},
};

// The value of key in the file text.
std::string WrittenValue(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\n" + key + "=") + key.size() + 2;
    return text.substr(at, text.find('\n', at) - at);
}

// A job saved under a French locale runs under another one (a task scheduler's "C") only if the
// file does not depend on the locale: numbers are written with a full stop.
TEST(JobFile, NumbersAreWrittenWithAFullStopWhateverTheUsersSeparator) {
    struct Case {
        std::string typed;
        char separator;
        std::string written;
    };
    const Case cases[] = {
        {"1,5", ',', "1.5"},
        {"1.5", ',', "1.5"},
        {" -2,25E3 ", ',', "-2.25E3"},
        {"+,5", ',', "+.5"},
        {"7", ',', "7"},
        {"1,5", '.', "1,5"}, // no number as the window reads it: as typed
        {"1'5", '\'', "1.5"},
        {"1,5,5", ',', "1,5,5"},
        {"abc", ',', "abc"},
        {"", ',', ""},
    };
    for (const NumericKey& numeric : kNumericKeys) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(numeric.key) + "=" + c.typed + " under " + c.separator);
            MainJob job = OperationJob();
            numeric.field(job) = c.typed;
            EXPECT_EQ(WrittenValue(WriteJobFile(job, c.separator), numeric.key), c.written);
        }
    }
    // The other boxes hold text, whatever it looks like.
    MainJob job;
    job.drawing.attributeOld = "1,5";
    job.rename.text = " 2,5 ";
    const std::string text = WriteJobFile(job, ',');
    EXPECT_EQ(WrittenValue(text, "attribut.ancien"), "1,5");
    EXPECT_EQ(WrittenValue(text, "renommer.texte"), " 2,5 ");
}

// A file written under a French locale by version 1 holds commas: it reads the same under every
// locale, its numbers kept with a full stop.
TEST(JobFile, NumbersAreReadWithAFullStopOrACommaAndKeptWithAFullStop) {
    const std::pair<std::string, std::string> cases[] = {
        {"1,5", "1.5"},     {"1.5", "1.5"},     {" 3 ", "3"}, {"-,5", "-.5"}, {"2,5e-3", "2.5e-3"},
        {"1,5,5", "1,5,5"}, {"1.5,5", "1.5,5"}, {"x", "x"},   {"", ""},
    };
    for (const NumericKey& numeric : kNumericKeys) {
        for (const auto& [written, kept] : cases) {
            SCOPED_TRACE(std::string(numeric.key) + "=" + written);
            for (const std::string& header : {kHeader, std::string("pilotrame-travail=2\n")}) {
                const std::string closing =
                    header == kHeader ? std::string() : std::string("pilotrame-travail=fin\n");
                MainJob job = Parsed(header + "mode=operations\n" + numeric.key + "=" + written +
                                     "\n" + closing);
                EXPECT_EQ(numeric.field(job), kept);
            }
        }
    }
    const MainJob text = Parsed(kHeader + "attribut.nouveau=1,5\nrenommer.extension= 2,5\n");
    EXPECT_EQ(text.drawing.attributeNew, "1,5");
    EXPECT_EQ(text.rename.newExtension, " 2,5");
}

TEST(JobFile, SavedJobLoadsBackAndReplacesTheOldFile) {
    TempDir dir;
    const std::string path = dir.path("lundi.pilotrame");
    WriteBytes(path, "old");
    MainJob job = OperationJob();
    job.drawing.zoomExtents = true;
    job.drawing.scriptText = "ligne 1\nligne 2";
    ASSERT_TRUE(SaveJobFile(path, job, ','));
    EXPECT_EQ(ReadBytes(path), WriteJobFile(job, ','));
    const Result<MainJob> loaded = LoadJobFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, job);
}

TEST(JobFile, SaveIntoAMissingFolderFails) {
    TempDir dir;
    const std::string path = dir.path("absent") + "/travail.pilotrame";
    const Status saved = SaveJobFile(path, MainJob{}, ',');
    ASSERT_FALSE(saved);
    EXPECT_FALSE(test::FileExists(path));
    EXPECT_NE(JobFileSaveFailureText(saved.error())
                  .find("Impossible d'enregistrer le fichier "
                        "de travail : \r\n"),
              std::string::npos);
}

TEST(JobFile, LoadFailuresNameTheFile) {
    TempDir dir;
    const std::string missing = dir.path("absent.pilotrame");
    const Result<MainJob> notThere = LoadJobFile(missing);
    ASSERT_FALSE(notThere);
    EXPECT_EQ(notThere.error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(JobFileFailureText(notThere.error()),
              "Impossible de lire le fichier de travail : \r\n" + missing +
                  "\r\n53 Fichier introuvable");

    const std::string faulty = dir.path("faux.pilotrame");
    WriteBytes(faulty, kHeader + "mode=operations\nzoom=oui\n");
    const Result<MainJob> bad = LoadJobFile(faulty);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().path, faulty);
    EXPECT_EQ(JobFileFailureText(bad.error()),
              "Fichier de travail incorrect, il n'a pas été chargé : \r\n" + faulty +
                  "\r\nligne 3 : « zoom » vaut « oui » : 0 ou 1 attendu");
}

} // namespace
} // namespace pilotrame
