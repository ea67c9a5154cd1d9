#include "gui/main/mainwindow.h"

#include "base/fileio.h"
#include "base/text.h"
#include "gui/controlname.h"
#include "gui/execution/batchrunwindow.h"
#include "gui/formparts.h"
#include "gui/main/banner.h"
#include "gui/main/operationspanel.h"
#include "gui/main/renamepanel.h"
#include "gui/main/scripttextpanel.h"
#include "gui/prompts.h"
#include "gui/regional.h"
#include "gui/script/macrowindow.h"
#include "gui/selection/advancedselectionwindow.h"
#include "gui/textinsert/textinsertwindow.h"
#include "script/operations.h"
#include "texts/common.h"
#include "texts/files.h"
#include "texts/help.h"
#include "texts/jobs.h"
#include "texts/lists.h"
#include "texts/renaming.h"
#include "texts/runs.h"
#include "texts/scriptcheck.h"
#include "texts/scripts.h"
#include "texts/verification.h"
#include "usecases/executescript.h"
#include "usecases/scriptrun.h"
#include "usecases/trial.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace pilotrame::gui {

namespace {

const QString kDrawingFilter =
    QStringLiteral("Autocad (*.dwg)|*.dwg|Echange (*.dxf)|*.dxf|Microstation (*.dng)|*.dgn|"
                   "Excel (*.xls)|*.xls|Tous (*.*)|*.*");

} // namespace

MainWindow::MainWindow(Session& session, QWidget* parent)
    : QMainWindow(parent), m_session(session) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pilotrame"));
    setAcceptDrops(true);
    buildControls();
    buildMenus();
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* body = new QWidget(central);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(10, 10, 10, 10);
    bodyLayout->setSpacing(10);
    outer->addWidget(body, 1);
    outer->addWidget(new Banner(central));

    const auto newButton = [this](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    const auto newSwitch = [this](const char* name, const QString& caption) {
        auto* check = new QCheckBox(caption, this);
        check->setObjectName(QString::fromLatin1(name));
        return check;
    };

    // Top row: the job switches and the side windows.
    m_plot = newSwitch("Check1", QStringLiteral("IMPRIMER"));
    m_scriptFile = newSwitch("Check10", QStringLiteral("SCRIPT FICHIER"));
    m_scriptText = new ScriptTextPanel(m_session.settings, this);
    m_scriptText->setCheckSettings([this] { return scriptCheckSettings(); });
    m_renameSwitch = newSwitch("Check20", QStringLiteral("RENOMMER FICHIERS"));
    QPushButton* macroButton = newButton("Command20", QStringLiteral("Macro VBA Autocad"));
    QPushButton* textInsertionButton =
        newButton("Command30", QStringLiteral("Inserer texte d'un Tableur"));
    auto* top = new QHBoxLayout;
    top->addWidget(m_plot);
    top->addSpacing(12);
    top->addWidget(m_scriptFile);
    top->addWidget(m_scriptText->openButton());
    top->addWidget(m_scriptText->markersButton());
    top->addSpacing(12);
    top->addWidget(m_renameSwitch);
    top->addStretch(1);
    top->addWidget(macroButton);
    top->addWidget(textInsertionButton);
    bodyLayout->addLayout(top);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(14);
    bodyLayout->addLayout(middle, 1);

    // Left column: the list and the actions.
    QPushButton* selectButton = newButton("Command1", QStringLiteral("Selection fichiers"));
    m_fileCount = new QLineEdit(QStringLiteral("0"), this);
    m_fileCount->setObjectName(QStringLiteral("Text2"));
    MakeReadOnlyGrey(m_fileCount);
    auto* fileCountCaption = new QLabel(QStringLiteral("Fichiers"), this);
    fileCountCaption->setObjectName(QStringLiteral("Label3"));
    m_folderCount = new QLineEdit(QStringLiteral("Nb répertoires"), this);
    m_folderCount->setObjectName(QStringLiteral("Text5"));
    MakeReadOnlyGrey(m_folderCount);
    QPushButton* advancedButton = newButton("Command4", QStringLiteral("Selection avancée"));
    QPushButton* executeButton = newButton("Command3", QStringLiteral("Executer script"));
    QPushButton* trialButton = newButton("Command31", QStringLiteral("Essai sur copies…"));
    trialButton->setToolTip(
        QStringLiteral("Fait ce que ferait « Executer script » sur des copies des premiers plans "
                       "de la liste ; les originaux ne sont pas touchés."));
    QPushButton* generateButton = newButton("Command2", QStringLiteral("Générer script"));
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(m_fileCount, 1);
    countRow->addWidget(fileCountCaption);
    auto* left = new QVBoxLayout;
    left->addWidget(selectButton);
    left->addLayout(countRow);
    left->addWidget(m_folderCount);
    left->addWidget(advancedButton);
    left->addStretch(1);
    auto* executeRow = new QHBoxLayout;
    executeRow->addWidget(executeButton, 1);
    executeRow->addWidget(trialButton);
    left->addLayout(executeRow);
    left->addWidget(generateButton);
    // One caption line each: the height of one serves them all.
    const int buttonHeight = selectButton->sizeHint().height() * 3 / 2;
    for (QPushButton* button :
         {selectButton, advancedButton, executeButton, trialButton, generateButton})
        button->setMinimumHeight(buttonHeight);
    auto* leftBox = new QWidget(this);
    leftBox->setLayout(left);
    leftBox->setMinimumWidth(leftBox->sizeHint().width() + 20);
    middle->addWidget(leftBox);

    // The operation panel: one row per operation, its parameters to the right; the script text
    // lies over the parameters, and only one of the two is ever shown.
    m_operations = new OperationsPanel(m_session.settings, this);
    m_renaming = new RenamePanel(this);
    auto* panel = new QGridLayout;
    panel->setHorizontalSpacing(10);
    panel->setVerticalSpacing(6);
    m_operations->addRows(panel);
    m_renaming->addRow(panel, kRenameOperationRow);
    panel->addWidget(m_scriptText->area(), 0, 1, OperationPanelRows(), 1);
    panel->setColumnStretch(1, 1);
    middle->addLayout(panel, 1);

    // Rules: the mode switches here, each row's own rules in its panel.
    connect(m_plot, &QCheckBox::toggled, this,
            [this](bool ticked) { onSwitchToggled(TopSwitch::Plot, ticked); });
    connect(m_scriptFile, &QCheckBox::toggled, this,
            [this](bool ticked) { onSwitchToggled(TopSwitch::ScriptFile, ticked); });
    connect(m_renameSwitch, &QCheckBox::toggled, this,
            [this](bool ticked) { onSwitchToggled(TopSwitch::RenameSwitch, ticked); });
    connect(m_operations, &OperationsPanel::operationToggled, this,
            &MainWindow::onOperationToggled);
    connect(m_renaming, &RenamePanel::operationToggled, this, &MainWindow::onOperationToggled);
    connect(m_operations, &OperationsPanel::optionChosen, this, &MainWindow::onOptionChosen);
    connect(m_renaming, &RenamePanel::optionChosen, this, &MainWindow::onOptionChosen);

    applyFormTabOrder();

    connect(selectButton, &QPushButton::clicked, this, &MainWindow::SelectFiles);
    connect(generateButton, &QPushButton::clicked, this, &MainWindow::onGenerateClicked);
    connect(executeButton, &QPushButton::clicked, this, &MainWindow::executeScript);
    connect(trialButton, &QPushButton::clicked, this, &MainWindow::tryOnCopies);
    connect(advancedButton, &QPushButton::clicked, this, &MainWindow::onAdvancedSelectionClicked);
    connect(macroButton, &QPushButton::clicked, this, &MainWindow::showMacroWindow);
    connect(textInsertionButton, &QPushButton::clicked, this, &MainWindow::showTextInsertion);
}

void MainWindow::applyFormTabOrder() {
    // The order of the form: top row, left column, the operation boxes by number, then the
    // parameters row by row, the script text last.
    static const char* const kBeforeOperations[] = {
        "Check1",   "Check10", "Command10", "scriptMarkers", "Check20",  "Command20", "Command30",
        "Command1", "Text2",   "Text5",     "Command4",      "Command3", "Command31", "Command2"};
    static const char* const kParameters[] = {
        "Option1_0", "Option1_1", "Option1_6", "Option1_7",     "Option1_5",  "Option1_4",
        "Text3",     "Command8",  "Option1_2", "Option1_3",     "Option1_8",  "Text4_0",
        "Text4_1",   "Text4_2",   "Text4_3",   "Text4_4",       "Text4_5",    "Text4_6",
        "Text4_7",   "Text4_8",   "Text4_9",   "Option1_9",     "Option1_10", "Option1_11",
        "Text4_10",  "Text4_11",  "Text4_12",  "Text4_13",      "Text4_14",   "Text4_16",
        "Text4_15",  "Text4_17",  "Text1",     "scriptFindings"};
    QStringList order;
    for (const char* name : kBeforeOperations)
        order << QString::fromLatin1(name);
    for (int box = 0; box <= LastOperationBox(); ++box)
        order << ControlName("Check4", box);
    for (const char* name : kParameters)
        order << QString::fromLatin1(name);
    // One pass over the children rather than a search per name: this runs at every start.
    QHash<QString, QWidget*> byName;
    for (QWidget* child : findChildren<QWidget*>())
        byName.insert(child->objectName(), child);
    QWidget* previous = nullptr;
    for (const QString& name : order) {
        QWidget* next = byName.value(name);
        if (previous && next)
            setTabOrder(previous, next);
        if (next)
            previous = next;
    }
}

void MainWindow::buildMenus() {
    const auto newItem = [this](QMenu* menu, const char* name, const QString& caption) {
        auto* item = new QAction(caption, this);
        item->setObjectName(QString::fromLatin1(name));
        menu->addAction(item);
        return item;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier  "));
    file->setObjectName(QStringLiteral("mnufichier"));
    file->addAction(m_scriptText->openItem());
    m_saveItem = newItem(file, "mnuenregistrer", QStringLiteral("&Enregistrer"));
    file->addAction(m_scriptText->saveAsItem());
    file->addSeparator();
    // Letters the other items of the menu leave free: O, E and Q are theirs.
    QAction* openJob = newItem(file, "mnuouvrirtravail", QStringLiteral("Ouvrir un &travail…"));
    QAction* saveJob =
        newItem(file, "mnuenregistrertravail", QStringLiteral("Enregistrer le t&ravail…"));
    file->addSeparator();
    QAction* quit = newItem(file, "mnuquitter", QStringLiteral("&Quitter"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edition  "));
    edit->setObjectName(QStringLiteral("mnuedition"));
    m_copyItem = newItem(edit, "mnucopier", QStringLiteral("&Copier"));
    m_pasteItem = newItem(edit, "mnucoller", QStringLiteral("&Coller"));

    QMenu* configuration = menuBar()->addMenu(QStringLiteral("Configuration  "));
    configuration->setObjectName(QStringLiteral("mnuconfiguration"));
    const std::pair<const char*, const char*> pageNames[] = {{"mnuimpression", "&Impression"},
                                                             {"mnuautocad", "&Autocad"},
                                                             {"mnugeneral", "&Général"},
                                                             {"mnuexecution", "&Exécution"}};
    const ConfigDialog::Page pages[] = {ConfigDialog::Page::Printing, ConfigDialog::Page::Autocad,
                                        ConfigDialog::Page::General, ConfigDialog::Page::Execution};
    for (std::size_t i = 0; i < std::size(pages); ++i) {
        QAction* item =
            newItem(configuration, pageNames[i].first, QString::fromUtf8(pageNames[i].second));
        connect(item, &QAction::triggered, this,
                [this, page = pages[i]] { emit configurationRequested(page); });
    }

    QAction* help = menuBar()->addAction(QStringLiteral("&Aide"));
    help->setObjectName(QStringLiteral("mnuaide"));

    connect(openJob, &QAction::triggered, this, &MainWindow::openJob);
    connect(saveJob, &QAction::triggered, this, &MainWindow::saveJob);
    connect(quit, &QAction::triggered, this, &MainWindow::shutdownRequested);
    connect(help, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::ResetMainWindow() {
    m_plot->setChecked(true);
    m_fileCount->setText(QStringLiteral("0 Fichier"));
    m_scriptText->setCommandsEnabled(false);
    for (QAction* item : {m_saveItem, m_copyItem, m_pasteItem})
        item->setEnabled(false);
    m_scriptText->resetText();
}

void MainWindow::DisableOperationPanel() {
    m_operations->disable();
    m_renaming->disable();
}

void MainWindow::EnableOperationPanel() {
    m_operations->enable();
    m_renaming->enable();
}

void MainWindow::onSwitchToggled(TopSwitch which, bool ticked) {
    showTopRow(SetTopSwitch(m_topRow, which, ticked));
}

void MainWindow::showTopRow(const TopRow& row) {
    const TopRow previous = std::exchange(m_topRow, row);
    {
        // The switches the rule changed follow without running it again.
        const QSignalBlocker plot(m_plot), scriptFile(m_scriptFile), renameSwitch(m_renameSwitch);
        m_plot->setChecked(row.plot);
        m_scriptFile->setChecked(row.scriptFile);
        m_renameSwitch->setChecked(row.renameSwitch);
    }
    if (previous.panelEnabled && !row.panelEnabled)
        DisableOperationPanel();
    else if (!previous.panelEnabled && row.panelEnabled)
        EnableOperationPanel();
    if (row.scriptFile && !previous.scriptFile)
        m_scriptText->showText();
    else if (!row.scriptFile && previous.scriptFile)
        m_scriptText->hideText();
    m_scriptText->setCommandsEnabled(row.scriptCommandsEnabled);
}

void MainWindow::onOperationToggled() {
    // The unticking done by DisableOperationPanel must not touch any other control.
    if (!m_topRow.panelEnabled)
        return;
    m_operations->applyOperationRule();
    m_renaming->applyOperationRule();
}

void MainWindow::onOptionChosen() {
    // A choice in any frame runs the rules of every row, whatever the mode.
    m_operations->applyOptionRule();
    m_renaming->applyOptionRule();
}

DrawingJob MainWindow::currentJob() const {
    DrawingJob job = m_operations->job();
    job.plot = m_plot->isChecked();
    job.customScript = m_scriptFile->isChecked();
    job.scriptText = m_scriptText->text();
    return job;
}

RenameJob MainWindow::currentRenameJob() const {
    return m_renaming->job();
}

void MainWindow::setFileCount(int count) {
    m_fileCount->setText(QString::number(count));
}

void MainWindow::setFolderCountText(const QString& text) {
    m_folderCount->setText(text);
}

void MainWindow::SelectFiles() {
    const auto chosen = Prompts::instance().chooseFiles(
        this,
        FileDialogRequest{FileDialogKind::OpenMultiple, QStringLiteral("Choisissez un fichier"),
                          kDrawingFilter, FromStd(m_session.settings.drawingFolder()), QString()});
    if (!chosen)
        return; // a cancel changes nothing
    std::vector<std::string> paths;
    for (const QString& path : *chosen)
        paths.push_back(NativeStdPath(path));
    listChosenFiles(paths);
}

void MainWindow::listChosenFiles(const std::vector<std::string>& paths) {
    const ChosenFilesListing listing =
        ListChosenFiles(m_session.listPath(), FileListFromPaths(paths));
    if (!listing.leftOut.empty())
        ShowMessage(this, FromStd(kWarningTitle), FromStd(NamesOutsideAnsiText(listing.leftOut)),
                    MessageIcon::Warning);
    if (listing.failure) {
        ShowMessage(this, FromStd(kErrorTitle), FromStd(ListWriteFailureText(*listing.failure)),
                    MessageIcon::Critical);
        return;
    }
    // When nothing could be taken the previous list stays, and so does its count.
    if (listing.written)
        setFileCount(listing.count);
}

namespace {

// Each dropped address as it stands on disk now, in the order dropped.
std::vector<DroppedItem> DroppedItems(const QMimeData* data) {
    std::vector<DroppedItem> items;
    if (!data || !data->hasUrls())
        return items;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            items.push_back({DroppedKind::NotLocal, ToStd(url.toDisplayString())});
            continue;
        }
        const QFileInfo info(url.toLocalFile());
        const std::string path = NativeStdPath(info.absoluteFilePath());
        if (info.isDir())
            items.push_back({DroppedKind::Folder, path});
        else if (info.isFile())
            items.push_back({DroppedKind::File, path});
        else if (info.exists())
            items.push_back({DroppedKind::Other, path});
        else
            items.push_back({DroppedKind::Missing, path});
    }
    return items;
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrop(DroppedItems(event->mimeData())))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<DroppedItem> items = DroppedItems(event->mimeData());
    if (items.empty())
        return;
    event->acceptProposedAction();
    // The drop's data belongs to the drag and goes with it: the plan is a copy.
    QMetaObject::invokeMethod(
        this, [this, plan = PlanDrop(items)] { takeDrop(plan); }, Qt::QueuedConnection);
}

void MainWindow::takeDrop(const DropPlan& plan) {
    if (!plan.notTaken.empty())
        ShowMessage(this, FromStd(kWarningTitle), FromStd(DroppedItemsNotTakenText(plan.notTaken)),
                    MessageIcon::Warning);
    // A folder is walked with the options the user chooses in the advanced selection; files are
    // listed as the file dialog lists them.
    if (!plan.folder.empty())
        showAdvancedSelection(FromStd(plan.folder));
    else if (!plan.files.empty())
        listChosenFiles(plan.files);
}

void MainWindow::showAdvancedSelection(const QString& startFolder) {
    const auto outcome = AdvancedSelectionWindow::run(m_session, this, startFolder);
    if (!outcome)
        return;
    setFileCount(outcome->fileCount);
    if (outcome->folderCountText)
        setFolderCountText(*outcome->folderCountText);
    raise();
    activateWindow();
}

void MainWindow::showMacroWindow() {
    MacroWindow::Hooks hooks;
    hooks.selectFiles = [this] { SelectFiles(); };
    hooks.advancedSelection = [this] { showAdvancedSelection(); };
    MacroWindow window(m_session, std::move(hooks), this);
    window.exec();
}

void MainWindow::showTextInsertion() {
    TextInsertionWindow window(m_session, this);
    window.exec();
}

ScriptRequest MainWindow::scriptRequest() const {
    ScriptRequest request;
    request.listPath = m_session.listPath();
    request.scriptPath = m_session.scriptPath();
    request.job = currentJob();
    request.settings = m_session.settings;
    request.decimalSeparator = UserDecimalSeparator();
    return request;
}

bool MainWindow::writeScript() {
    PromptedDrawingReview review(this);
    const Result<WrittenScript> written = WriteScript(scriptRequest(), m_session.position, &review);
    if (!written) {
        ShowMessage(this, FromStd(kErrorTitle), FromStd(GenerationFailureText(written.error())),
                    MessageIcon::Critical);
        return false;
    }
    return written->stop != RunStop::Cancelled;
}

void MainWindow::onGenerateClicked() {
    writeScript();
}

namespace {

// A console batch runs in "Exécution des plans", modal, until the user closes it.
class RunWindowBatch final : public ConsoleBatchRunner {
public:
    RunWindowBatch(QWidget* parent, std::string scriptFolder)
        : m_parent(parent), m_scriptFolder(std::move(scriptFolder)) {}
    void run(ConsoleRunPlan plan) override {
        BatchRunWindow window(std::move(plan), m_scriptFolder, m_parent);
        window.start();
        window.exec();
    }

private:
    QWidget* m_parent;
    std::string m_scriptFolder;
};

} // namespace

ScriptCheckSettings MainWindow::scriptCheckSettings() const {
    ScriptCheckSettings settings;
    settings.console = m_session.runSettings.engine == Engine::Console;
    return settings;
}

ExecuteRequest MainWindow::executeRequest() const {
    ExecuteRequest request;
    request.script = scriptRequest();
    request.run = m_session.runSettings;
    request.scriptFolder = m_session.scriptFolder;
    if (m_renaming->isTicked())
        request.rename = currentRenameJob();
    return request;
}

bool MainWindow::scriptErrorsAccepted(const ExecuteRequest& request) {
    // A script text that will certainly fail runs only when the user says so; an "attention"
    // never stops anything.
    if (request.rename || !request.script.job.customScript)
        return true;
    const std::vector<ScriptFinding> findings =
        ReviewScriptText(request.script.job.scriptText, scriptCheckSettings());
    if (!HasScriptErrors(findings))
        return true;
    const MessageRequest question{FromStd(kScriptErrorsTitle),
                                  FromStd(ScriptErrorsQuestionText(findings)), MessageIcon::Warning,
                                  MessageButtons::ContinueCancel};
    return Prompts::instance().message(this, question) == Answer::Yes;
}

void MainWindow::executeScript() {
    const ExecuteRequest request = executeRequest();
    if (!scriptErrorsAccepted(request))
        return;
    PromptedDrawingReview review(this);
    RunWindowBatch batch(this, m_session.scriptFolder);
    const auto confirmRename = [this] {
        const MessageRequest question{FromStd(kInformationTitle), FromStd(kRenameConfirmation),
                                      MessageIcon::Information, MessageButtons::YesNo};
        return Prompts::instance().message(this, question) == Answer::Yes;
    };
    const Result<Executed> executed =
        ExecuteScript(request, m_session.position,
                      ExecuteHooks{&review, &SystemProgramStarter(), &batch, confirmRename});
    const Engine engine = request.run.engine;
    if (!executed) {
        // AutoCAD is not started on a script that the user has just been told is incomplete.
        ShowMessage(
            this, FromStd(kErrorTitle),
            FromStd(ExecuteFailureText(executed.error(), engine, request.rename.has_value())),
            MessageIcon::Critical);
        return;
    }
    if (const std::optional<RenameReport>& renaming = executed->renaming;
        renaming && renaming->failure)
        ShowMessage(this, FromStd(kErrorTitle),
                    FromStd(RenameStopText(*renaming->failure, renaming->renamed)),
                    MessageIcon::Critical);
    if (executed->stop == RunStop::NothingToProcess)
        ShowMessage(this, FromStd(kProgramTitle), FromStd(NothingToExecuteText(engine)),
                    MessageIcon::Information);
    if (executed->stop == RunStop::NotForConsole)
        ShowMessage(this, FromStd(kErrorTitle), FromStd(ConsoleRefusalsText(executed->refusals)),
                    MessageIcon::Critical);
}

void MainWindow::tryOnCopies() {
    const ExecuteRequest request = executeRequest();
    if (!scriptErrorsAccepted(request))
        return;
    // A renaming's trial renames and copies nothing: every listed file is shown.
    int count = kFirstTrialDrawings;
    if (!request.rename) {
        const std::optional<int> asked = Prompts::instance().askNumber(
            this, NumberRequest{FromStd(kTrialTitle), FromStd(kTrialCountQuestion),
                                kFirstTrialDrawings, kMinTrialDrawings, kMaxTrialDrawings});
        if (!asked)
            return;
        count = *asked;
    }
    PromptedDrawingReview review(this);
    RunWindowBatch batch(this, m_session.scriptFolder);
    const Result<Trial> trial =
        RunTrial(request, count, ExecuteHooks{&review, &SystemProgramStarter(), &batch, {}},
                 std::chrono::system_clock::now());
    const Engine engine = request.run.engine;
    if (!trial) {
        ShowMessage(this, FromStd(kErrorTitle), FromStd(TrialFailureText(trial.error(), engine)),
                    MessageIcon::Critical);
        return;
    }
    if (trial->renaming) {
        Prompts::instance().showRenamePreview(this, *trial->renaming);
        return;
    }
    switch (trial->stop) {
    case RunStop::NothingToProcess:
        ShowMessage(this, FromStd(kTrialTitle), FromStd(NothingToExecuteText(engine)),
                    MessageIcon::Information);
        return;
    case RunStop::NotForConsole:
        ShowMessage(this, FromStd(kErrorTitle), FromStd(ConsoleRefusalsText(trial->refusals)),
                    MessageIcon::Critical);
        return;
    case RunStop::Cancelled:
    case RunStop::DrawingsNotReady:
        return;
    case RunStop::None:
        break;
    }
    const MessageRequest question{FromStd(kTrialTitle),
                                  FromStd(OpenTrialFolderQuestion(*trial, engine)),
                                  MessageIcon::Question, MessageButtons::YesNo};
    if (Prompts::instance().message(this, question) == Answer::Yes)
        Prompts::instance().openFolder(this, FromStd(trial->folder));
}

MainJob MainWindow::currentMainJob() const {
    MainJob job;
    job.drawing = currentJob();
    job.renameSwitch = m_renameSwitch->isChecked();
    job.renameTicked = m_renaming->isTicked();
    job.rename = currentRenameJob();
    job.otherKeys = m_otherJobKeys;
    job.run = m_session.runSettings;
    return job;
}

void MainWindow::applyMainJob(const MainJob& job) {
    m_renameSwitch->setChecked(false);
    switch (job.mode()) {
    case JobMode::Plot:
        m_plot->setChecked(true);
        break;
    case JobMode::ScriptText:
        m_scriptFile->setChecked(true);
        break;
    case JobMode::Operations:
        m_plot->setChecked(false);
        m_scriptFile->setChecked(false);
        break;
    }
    m_scriptText->setText(job.drawing.scriptText);
    m_operations->setJob(job.drawing);
    m_renaming->setJob(job.renameTicked, job.rename);
    m_renameSwitch->setChecked(job.renameSwitch);
    m_otherJobKeys = job.otherKeys;
    // A job's run settings hold for this session's runs; execution.txt keeps the configured ones.
    if (job.run)
        m_session.runSettings = *job.run;
}

namespace {
const QString kJobFilter =
    QStringLiteral("Travail Pilotrame (*.pilotrame)|*.pilotrame|Tous (*.*)|*.*");
} // namespace

void MainWindow::openJob() {
    const auto chosen = Prompts::instance().chooseFiles(
        this, FileDialogRequest{FileDialogKind::Open, QStringLiteral("Ouvrir un travail"),
                                kJobFilter, FromStd(m_session.settings.scriptFolder()), QString()});
    if (chosen)
        openJobFile(chosen->front());
}

void MainWindow::openJobFile(const QString& file) {
    // The whole file is checked before anything of the window changes.
    const std::string path = ToStd(file);
    std::vector<JobKeyLine> unknownKeys;
    const Result<MainJob> job = LoadJobFile(path, &unknownKeys);
    if (!job) {
        ShowMessage(this, FromStd(kErrorTitle), FromStd(JobFileFailureText(job.error())),
                    MessageIcon::Critical);
        return;
    }
    applyMainJob(*job);
    // Kept and saved again, but never read: a mistyped key would otherwise pass unseen.
    if (!unknownKeys.empty())
        ShowMessage(this, FromStd(kWarningTitle), FromStd(UnknownJobKeysText(path, unknownKeys)),
                    MessageIcon::Warning);
}

void MainWindow::saveJob() {
    const auto path = ChooseFileToWrite(
        this,
        FileDialogRequest{FileDialogKind::Save, QStringLiteral("Enregistrer le travail"),
                          kJobFilter, FromStd(m_session.settings.scriptFolder()),
                          QStringLiteral("travail") + FromStd(kJobFileExtension)},
        FromStd(kJobFileExtension));
    if (!path)
        return;
    if (const Status saved = SaveJobFile(ToStd(*path), currentMainJob(), UserDecimalSeparator());
        !saved)
        ShowMessage(this, FromStd(kErrorTitle), FromStd(JobFileSaveFailureText(saved.error())),
                    MessageIcon::Critical);
}

void MainWindow::onAdvancedSelectionClicked() {
    showAdvancedSelection();
}

void MainWindow::showAbout() {
    ShowMessage(this, FromStd(kAboutTitle), FromStd(AboutText()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit shutdownRequested();
}

} // namespace pilotrame::gui
