#include "gui/execution/batchrunwindow.h"

#include "gui/formparts.h"
#include "gui/prompts.h"
#include "texts/common.h"
#include "texts/files.h"
#include "texts/journal.h"
#include "texts/runs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace pilotrame::gui {

// ---- The model ----

BatchRunModel::BatchRunModel(QObject* parent) : QAbstractTableModel(parent) {}

void BatchRunModel::reset(std::vector<DrawingRun> runs) {
    beginResetModel();
    m_runs = std::move(runs);
    endResetModel();
}

void BatchRunModel::update(std::size_t index, const DrawingRun& run) {
    if (index >= m_runs.size())
        return;
    m_runs[index] = run;
    const int row = static_cast<int>(index);
    emit dataChanged(this->index(row, 0), this->index(row, ColumnCount - 1));
}

int BatchRunModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_runs.size());
}

int BatchRunModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BatchRunModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_runs.size())
        return {};
    const DrawingRun& run = m_runs[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == Duration)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Name:
        return FromStd(run.name);
    case Folder:
        return FromStd(run.folder);
    case State:
        if (role == Qt::ToolTipRole) {
            const std::string tip = DrawingTipText(run);
            return tip.empty() ? QVariant() : QVariant(FromStd(tip));
        }
        return FromStd(DrawingStateText(run.state));
    case Duration:
        if (run.state == DrawingState::NotStarted || run.state == DrawingState::Running ||
            run.state == DrawingState::NotReady)
            return {};
        return FromStd(DurationText(run.seconds));
    default:
        return {};
    }
}

QVariant BatchRunModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Name:
        return QStringLiteral("Plan");
    case Folder:
        return QStringLiteral("Dossier");
    case State:
        return QStringLiteral("Etat");
    case Duration:
        return QStringLiteral("Durée");
    default:
        return {};
    }
}

// ---- The window ----

// Brings the batch's news from its threads to the window's, where the widgets live. Queued calls
// to a window that is gone are dropped by Qt, and the window waits for the batch before it goes.
class BatchRunWindow::Relay final : public BatchObserver {
public:
    explicit Relay(BatchRunWindow* window) : m_window(window) {}
    void drawingStarted(std::size_t index, const DrawingRun& run) override {
        QMetaObject::invokeMethod(
            m_window, [window = m_window, index, run] { window->onDrawingStarted(index, run); },
            Qt::QueuedConnection);
    }
    void drawingFinished(std::size_t index, const DrawingRun& run) override {
        QMetaObject::invokeMethod(
            m_window, [window = m_window, index, run] { window->onDrawingFinished(index, run); },
            Qt::QueuedConnection);
    }

private:
    BatchRunWindow* m_window;
};

BatchRunWindow::BatchRunWindow(ConsoleRunPlan plan, std::string scriptFolder, QWidget* parent)
    : QDialog(parent), m_plan(std::move(plan)), m_scriptFolder(std::move(scriptFolder)),
      m_relay(std::make_unique<Relay>(this)) {
    setObjectName(QStringLiteral("BatchRunWindow"));
    setWindowTitle(FromStd(kBatchWindowTitle));
    buildControls();
    m_model->reset(m_plan.batch.drawings);
    showDuplicates();
    showProgress();
    // A log-off or a shutdown closes no window: Windows asks the program first
    // (WM_QUERYENDSESSION, which Qt turns into this request) and ends it soon after.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &BatchRunWindow::onSessionEnding);
}

void BatchRunWindow::showDuplicates() {
    m_duplicates->setText(FromStd(DuplicatesLeftOutText(m_plan.duplicates)));
    m_duplicates->setVisible(m_plan.duplicates > 0);
}

BatchRunWindow::~BatchRunWindow() {
    // No console outlives the window.
    m_control.noMoreStarts = true;
    m_control.endRunning = true;
    joinWorker();
}

void BatchRunWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("Counts"));
    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("Time"));
    m_duplicates = new QLabel(this);
    m_duplicates->setObjectName(QStringLiteral("Duplicates"));

    m_model = new BatchRunModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("Drawings"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // Fixed row heights and no measuring of ten thousand texts keep a long batch quick to show.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(BatchRunModel::Name, 220);
    m_table->setColumnWidth(BatchRunModel::Folder, 320);
    m_table->setColumnWidth(BatchRunModel::State, 110);

    m_stop = NamedButton(this, QStringLiteral("Stop"), QStringLiteral("Arrêter"));
    m_runAgain =
        NamedButton(this, QStringLiteral("RunAgain"), QStringLiteral("Relancer les échecs"));
    m_openJournal =
        NamedButton(this, QStringLiteral("OpenJournal"), QStringLiteral("Ouvrir le journal"));
    m_close = NamedButton(this, QStringLiteral("Close"), QStringLiteral("Fermer"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_stop);
    buttons->addStretch(1);
    buttons->addWidget(m_runAgain);
    buttons->addWidget(m_openJournal);
    buttons->addWidget(m_close);

    layout->addWidget(m_progress);
    layout->addWidget(m_counts);
    layout->addWidget(m_time);
    layout->addWidget(m_duplicates);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(820, 520);

    m_ticker = new QTimer(this);
    m_ticker->setInterval(1000);
    connect(m_ticker, &QTimer::timeout, this, &BatchRunWindow::showProgress);
    connect(m_stop, &QPushButton::clicked, this, &BatchRunWindow::onStopClicked);
    connect(m_runAgain, &QPushButton::clicked, this, &BatchRunWindow::onRunAgainClicked);
    connect(m_openJournal, &QPushButton::clicked, this, &BatchRunWindow::onOpenJournalClicked);
    connect(m_close, &QPushButton::clicked, this, &BatchRunWindow::close);
}

void BatchRunWindow::start() {
    if (m_worker)
        return;
    m_control.noMoreStarts = false;
    m_control.endRunning = false;
    m_clock.start();
    m_ticker->start();
    m_stop->setEnabled(true);
    m_runAgain->setEnabled(false);
    m_worker = std::make_unique<std::thread>([this] {
        ConsoleRunOutcome outcome = RunConsolePlan(m_plan, JournalTexts(), *m_relay, m_control);
        QMetaObject::invokeMethod(
            this, [this, outcome = std::move(outcome)] { onBatchEnded(outcome); },
            Qt::QueuedConnection);
    });
    showProgress();
}

void BatchRunWindow::joinWorker() {
    if (m_worker && m_worker->joinable())
        m_worker->join();
    m_worker.reset();
}

void BatchRunWindow::onDrawingStarted(std::size_t index, const DrawingRun& run) {
    m_model->update(index, run);
    showProgress();
}

void BatchRunWindow::onDrawingFinished(std::size_t index, const DrawingRun& run) {
    m_model->update(index, run);
    showProgress();
}

void BatchRunWindow::onBatchEnded(const ConsoleRunOutcome& outcome) {
    joinWorker();
    m_ticker->stop();
    m_model->reset(outcome.runs);
    m_stop->setEnabled(false);
    m_runAgain->setEnabled(!DrawingsToRunAgain(outcome.runs).empty());
    showProgress();
    if (!outcome.journalFailures.empty())
        ShowMessage(this, FromStd(kErrorTitle),
                    FromStd(JournalFailureText(outcome.journalFailures)), MessageIcon::Critical);
    emit finished();
}

void BatchRunWindow::showProgress() {
    const BatchCounts counts = CountStates(m_model->runs());
    // The drawings left out as not ready are in the table and the counts, not in the progress.
    const int total = counts.toRun(static_cast<int>(m_model->runs().size()));
    m_progress->setRange(0, std::max(total, 1));
    m_progress->setValue(counts.finished());
    m_counts->setText(FromStd(BatchCountsText(counts)));
    const double elapsed = m_clock.isValid() ? static_cast<double>(m_clock.elapsed()) / 1000 : 0;
    m_time->setText(FromStd(BatchTimeText(elapsed, counts, total)));
}

void BatchRunWindow::onSessionEnding() {
    // The run is stopped as "Arrêter" and "Oui" stop it, and its journal written, before the
    // answer lets the session end.
    if (!m_worker)
        return;
    m_control.noMoreStarts = true;
    m_control.endRunning = true;
    joinWorker();
}

void BatchRunWindow::onStopClicked() {
    if (!m_worker)
        return;
    m_control.noMoreStarts = true;
    m_stop->setEnabled(false);
    if (CountStates(m_model->runs()).running == 0)
        return;
    const MessageRequest question{FromStd(kBatchWindowTitle), FromStd(kStopRunningQuestion),
                                  MessageIcon::Question, MessageButtons::YesNo};
    if (Prompts::instance().message(this, question) == Answer::Yes)
        m_control.endRunning = true;
}

bool BatchRunWindow::endRunningConsoles() {
    if (!m_worker)
        return true;
    const MessageRequest question{FromStd(kBatchWindowTitle), FromStd(kCloseWhileRunningQuestion),
                                  MessageIcon::Question, MessageButtons::YesNo};
    // No console starts while the question is open; on "Non" the batch goes on.
    m_control.holdStarts = true;
    const bool end = Prompts::instance().message(this, question) == Answer::Yes;
    if (end) {
        m_control.noMoreStarts = true;
        m_control.endRunning = true;
    }
    m_control.holdStarts = false;
    if (!end)
        return false;
    joinWorker();
    return true;
}

void BatchRunWindow::onRunAgainClicked() {
    if (m_worker)
        return;
    const Result<ConsoleRunPlan> again =
        PlanRunAgain(m_plan, m_model->runs(), m_scriptFolder, std::chrono::system_clock::now());
    if (!again) {
        ShowMessage(this, FromStd(kErrorTitle), FromStd(FileFailureText(again.error())),
                    MessageIcon::Critical);
        return;
    }
    if (again->stop != RunStop::None)
        return;
    m_plan = *again;
    m_model->reset(m_plan.batch.drawings);
    showDuplicates();
    start();
}

void BatchRunWindow::onOpenJournalClicked() {
    Prompts::instance().openFolder(this, FromStd(m_plan.runFolder));
}

void BatchRunWindow::closeEvent(QCloseEvent* event) {
    if (!endRunningConsoles()) {
        event->ignore();
        return;
    }
    event->accept();
}

void BatchRunWindow::reject() {
    // Escape closes as the close box does, with the same question while consoles run.
    if (endRunningConsoles())
        QDialog::reject();
}

} // namespace pilotrame::gui
