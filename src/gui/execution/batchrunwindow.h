#pragma once

#include "usecases/consolerun.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QElapsedTimer>

#include <memory>
#include <thread>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace pilotrame::gui {

// The drawings of a batch as a table: name, folder, state, duration. One row per drawing, so that
// a batch of ten thousand drawings stays one view of one model.
class BatchRunModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Name, Folder, State, Duration, ColumnCount };

    explicit BatchRunModel(QObject* parent = nullptr);

    // Shows runs from the start, every drawing as it stands.
    void reset(std::vector<DrawingRun> runs);
    // The drawing at index changed.
    void update(std::size_t index, const DrawingRun& run);
    const std::vector<DrawingRun>& runs() const { return m_runs; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<DrawingRun> m_runs;
};

// "Exécution des plans": runs a batch on AutoCAD's console and shows it as it goes: the progress
// (drawings finished out of all), the count of each state, the time spent and the time left, and
// the table of the drawings. "Arrêter" starts no new console and asks whether to end the running
// ones; at the end "Relancer les échecs" runs again what did not succeed, "Ouvrir le journal"
// opens the run's folder, "Fermer" closes. Closing the window while consoles run asks first and
// ends them: no console outlives the window, and none starts while the question is open. A
// journal that could not be written whole is told at the end.
class BatchRunWindow final : public QDialog {
    Q_OBJECT

public:
    // plan: a batch made ready by PrepareConsoleRun; scriptFolder: where the journal of a run
    // made again goes.
    BatchRunWindow(ConsoleRunPlan plan, std::string scriptFolder, QWidget* parent = nullptr);
    ~BatchRunWindow() override;

    // Starts the batch; the window shows it as it goes.
    void start();
    bool running() const { return m_worker != nullptr; }
    const BatchRunModel& model() const { return *m_model; }
    const ConsoleRunPlan& plan() const { return m_plan; }

signals:
    // The batch ended (by itself or stopped); runs is what became of every drawing.
    void finished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    class Relay;

    void buildControls();
    void onStopClicked();
    void onSessionEnding();
    void onRunAgainClicked();
    void onOpenJournalClicked();
    void onDrawingStarted(std::size_t index, const DrawingRun& run);
    void onDrawingFinished(std::size_t index, const DrawingRun& run);
    void onBatchEnded(const ConsoleRunOutcome& outcome);
    // Asks, when consoles run, whether to end them; false when the user keeps them running.
    bool endRunningConsoles();
    void joinWorker();
    void showProgress();
    void showDuplicates();

    ConsoleRunPlan m_plan;
    std::string m_scriptFolder;
    BatchControl m_control;
    std::unique_ptr<Relay> m_relay;
    std::unique_ptr<std::thread> m_worker;
    QElapsedTimer m_clock;

    BatchRunModel* m_model = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_counts = nullptr;
    QLabel* m_duplicates = nullptr;
    QLabel* m_time = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_runAgain = nullptr;
    QPushButton* m_openJournal = nullptr;
    QPushButton* m_close = nullptr;
    QTimer* m_ticker = nullptr;
};

} // namespace pilotrame::gui
