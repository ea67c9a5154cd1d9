// Runs the real program, copied into a temporary folder, as a user would start it.
#include "config/settingsfile.h"
#include "support/tempdir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace pilotrame {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;

class ProgramCopy {
public:
    ProgramCopy() {
        m_program = (fs::path(m_dir.folder()) / fs::path(PILOTRAME_PROGRAM).filename()).string();
        fs::copy_file(PILOTRAME_PROGRAM, m_program);
    }

    std::string path(const std::string& name) const { return m_dir.path(name); }

    // Starts the program; it records what it shows in transcript and ends after quitMs.
    std::unique_ptr<QProcess> start(const std::string& transcript, int quitMs) const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("PILOTRAME_TEST_TRANSCRIPT"),
                           QString::fromStdString(path(transcript)));
        environment.insert(QStringLiteral("PILOTRAME_TEST_QUIT_MS"), QString::number(quitMs));
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(QString::fromStdString(m_dir.folder()));
        process->start(QString::fromStdString(m_program), {});
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }

    // Runs the program to its end and returns its transcript.
    std::string run(int quitMs = 800) const {
        auto process = start("transcript.txt", quitMs);
        EXPECT_TRUE(process->waitForFinished(30000));
        EXPECT_EQ(process->exitCode(), 0);
        return transcript("transcript.txt");
    }

    std::string transcript(const std::string& name) const {
        return test::fileExists(path(name)) ? readBytes(path(name)) : std::string();
    }

private:
    TempDir m_dir;
    std::string m_program;
};

TEST(StartupProgram, FirstStartCreatesTheSettingsFileAndShowsTheWindow) {
    ProgramCopy copy;
    EXPECT_EQ(copy.run(), "shown|Pilotrame\n");
    const std::string settings = readBytes(copy.path("savescript.txt"));
    ASSERT_EQ(settings.size(), 60600u);
    EXPECT_EQ(settings.substr(SettingsFile::kRecordOffset + 60, 2), "A4");

    // A second start loads the file without a word.
    EXPECT_EQ(copy.run(), "shown|Pilotrame\nshown|Pilotrame\n");
}

TEST(StartupProgram, DamagedStateShowsTheErrorThenTheWindow) {
    ProgramCopy copy;
    copy.run();
    std::string settings = readBytes(copy.path("savescript.txt"));
    settings.replace(SettingsFile::kRecordOffset + 14 * 60, 4, "Oui?");
    test::writeBytes(copy.path("savescript.txt"), settings);
    std::remove(copy.path("transcript.txt").c_str());
    EXPECT_EQ(copy.run(), "message|Pilotrame|13 Incompatibilité de type\nshown|Pilotrame\n");
}

TEST(StartupProgram, SecondCopyEndsAtOnceAndBringsTheFirstForward) {
    ProgramCopy copy;
    auto first = copy.start("first.txt", 8000);
    QElapsedTimer timer;
    timer.start();
    while (copy.transcript("first.txt").find("shown") == std::string::npos &&
           timer.elapsed() < 15000)
        QThread::msleep(50);
    ASSERT_NE(copy.transcript("first.txt").find("shown"), std::string::npos);

    auto second = copy.start("second.txt", 8000);
    QElapsedTimer secondTimer;
    secondTimer.start();
    ASSERT_TRUE(second->waitForFinished(6000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(copy.transcript("second.txt"), "");

    timer.restart();
    while (copy.transcript("first.txt").find("brought-to-front") == std::string::npos &&
           timer.elapsed() < 5000)
        QThread::msleep(50);
    EXPECT_EQ(copy.transcript("first.txt"), "shown|Pilotrame\nbrought-to-front\n");
    first->kill();
    first->waitForFinished(5000);
}

} // namespace
} // namespace pilotrame
