#include "gui/config/configdialog.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/text.h"
#include "gui/folderpicker.h"
#include "gui/formparts.h"
#include "gui/prompts.h"
#include "texts/common.h"
#include "texts/files.h"
#include "texts/runs.h"
#include "texts/settings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTreeView>

#include <algorithm>
#include <vector>

namespace pilotrame::gui {

namespace {

using Place = std::array<int, 4>; // left, top, width, height in twips

// The form was designed in twips; 15 of them make a pixel at 96 dots per inch.
QRect ToPixels(const Place& place) {
    const auto pixels = [](int twips) { return qRound(twips / 15.0); };
    return {pixels(place[0]), pixels(place[1]), pixels(place[2]), pixels(place[3])};
}

// The place of a control as the form has it, from which fitCaptions grows it.
constexpr const char* kFormPlace = "formPlace";

void PutAt(QWidget* control, const Place& place) {
    control->setGeometry(ToPixels(place));
    control->setProperty(kFormPlace, ToPixels(place));
}

// True when control shows its whole caption at size: a label on one line, a button wrapped on
// words in the room its style gives the caption, a combo box its widest entry.
bool CaptionFits(const QWidget* control, QSize size) {
    const auto* button = qobject_cast<const QAbstractButton*>(control);
    if (!button)
        return control->sizeHint().width() <= size.width();
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = QRect(QPoint(0, 0), size);
    const QStyle::SubElement element =
        qobject_cast<const QCheckBox*>(button)      ? QStyle::SE_CheckBoxContents
        : qobject_cast<const QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                    : QStyle::SE_PushButtonContents;
    const QRect room = button->style()->subElementRect(element, &option, button);
    const QRect needed =
        button->fontMetrics().boundingRect(QRect(0, 0, room.width(), QWIDGETSIZE_MAX),
                                           Qt::TextWordWrap | Qt::TextShowMnemonic, button->text());
    return needed.width() <= room.width() && needed.height() <= room.height();
}

constexpr Place kClientArea = {0, 0, 8475, 4590};

constexpr std::array<Place, 9> kLabelPlaces = {{{240, 360, 2175, 255},
                                                {240, 960, 2175, 255},
                                                {240, 1560, 2175, 255},
                                                {240, 2160, 2175, 255},
                                                {120, 3960, 1575, 255},
                                                {1800, 3960, 255, 255},
                                                {3360, 3960, 255, 255},
                                                {3120, 2640, 2172, 252},
                                                {3120, 3000, 2172, 252}}};
constexpr std::array<const char*, 9> kLabelCaptions = {"Choix imprimante :",
                                                       "Choix imprimante :",
                                                       "Choix imprimante :",
                                                       "Choix imprimante :",
                                                       "Choix imprimante",
                                                       "X :",
                                                       "Y :",
                                                       "Choix imprimante :",
                                                       "Choix imprimante :"};

constexpr std::array<Place, kComboCount> kComboPlaces = {{{2520, 360, 3135, 315},
                                                          {2520, 960, 3135, 315},
                                                          {2520, 1560, 3135, 315},
                                                          {2520, 2160, 3135, 315},
                                                          {2160, 3960, 855, 315},
                                                          {3720, 3960, 855, 315},
                                                          {2520, 360, 3135, 315},
                                                          {2520, 960, 3135, 315},
                                                          {2520, 1560, 3135, 315},
                                                          {2520, 2160, 3135, 315},
                                                          {2760, 360, 3615, 315},
                                                          {2760, 960, 3615, 315},
                                                          {4800, 2640, 1812, 288},
                                                          {4800, 3000, 1812, 288}}};

constexpr std::array<Place, kCheckCount> kCheckPlaces = {
    {{240, 3120, 2775, 495}, {240, 3720, 2775, 495}, {240, 2520, 2775, 495}}};

constexpr std::array<Place, 3> kFramePlaces = {
    {{5760, 720, 2535, 735}, {5760, 600, 2655, 975}, {120, 2040, 4695, 2295}}};

// Relative to the frame that holds each pair.
constexpr std::array<Place, kOptionCount> kOptionPlaces = {
    {{120, 240, 975, 375}, {1440, 240, 975, 375}, {120, 240, 1215, 615}, {1440, 240, 1095, 615}}};
constexpr std::array<const char*, kOptionCount> kOptionCaptions = {"Paysage", "Portrait", "SDI=0",
                                                                   "SDI=1"};

QString WithSeparator(QString folder) {
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

// The text shown, with the list entry it matches made current so that the arrow keys move on
// from it.
void SetComboText(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index != combo->currentIndex())
        combo->setCurrentIndex(index);
    combo->setEditText(text);
    // A long path reads from its drive, not from its last characters.
    combo->lineEdit()->setCursorPosition(0);
}

// Draws the caption word-wrapped inside the control: the form gives the long captions two
// lines of height rather than the width of one.
template <typename Base, QStyle::ControlElement kControl, QStyle::SubElement kContents,
          int kAlignment, QPalette::ColorRole kTextRole>
class WrappingButton final : public Base {
public:
    // Says that it wraps as a QLabel does, for what measures its caption.
    WrappingButton(const QString& caption, QWidget* parent) : Base(caption, parent) {
        this->setProperty("wordWrap", true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        this->initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        painter.drawControl(kControl, option);
        option.text = caption;
        const QRect area = this->style()->subElementRect(kContents, &option, this);
        painter.drawItemText(area, kAlignment | Qt::TextWordWrap, option.palette, this->isEnabled(),
                             caption, kTextRole);
    }
};

using CheckBox = WrappingButton<QCheckBox, QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents,
                                Qt::AlignLeft | Qt::AlignVCenter, QPalette::WindowText>;
using RadioButton =
    WrappingButton<QRadioButton, QStyle::CE_RadioButton, QStyle::SE_RadioButtonContents,
                   Qt::AlignLeft | Qt::AlignVCenter, QPalette::WindowText>;
using PushButton = WrappingButton<QPushButton, QStyle::CE_PushButton, QStyle::SE_PushButtonContents,
                                  Qt::AlignCenter, QPalette::ButtonText>;

} // namespace

ConfigDialog::ConfigDialog(SettingsFile& file, Settings& live, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_file(file), m_live(live) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Configuration"));
    setFixedSize(ToPixels(kClientArea).size());
    // The places were designed for an 8-point font; a larger one cuts the captions, and where
    // the font is wider than the one they were made for, fitCaptions grows the controls.
    QFont formFont = font();
    formFont.setPointSize(8);
    setFont(formFont);

    // Created in the order of the form, so that later controls lie above earlier ones.
    std::array<QLabel*, kLabelPlaces.size()> captions{};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto* caption = new QLabel(QString::fromUtf8(kLabelCaptions[i]), this);
        caption->setObjectName(ControlName("Label1", static_cast<int>(i)));
        PutAt(caption, kLabelPlaces[i]);
        // An empty caption still covers its place; it must not take the clicks of the folder
        // picker lying there.
        caption->setAttribute(Qt::WA_TransparentForMouseEvents);
        captions[i] = caption;
    }
    m_rowCaptions = {captions[0], captions[1], captions[2], captions[3]};
    m_offsetCaption = captions[4];
    m_offsetXCaption = captions[5];
    m_offsetYCaption = captions[6];
    m_layoutCaption = captions[7];
    m_scaleCaption = captions[8];

    for (int i = 0; i < kComboCount; ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(ControlName("Combo1", i));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        // Completion would change what the user types; the setting is the text as typed.
        box->setCompleter(nullptr);
        box->setGeometry(ToPixels(kComboPlaces[i]));
        // A pick in any list runs the version rule, so that a version typed rather than picked
        // takes effect at the next pick.
        connect(box, &QComboBox::activated, this, [this] { applyVersionRule(); });
        // When editing ends, Qt reports a typed text equal to an entry as a pick of it. Keeping
        // that entry current while typing stops this, so that only real picks run the version
        // rule.
        connect(box->lineEdit(), &QLineEdit::textEdited, box, [box](const QString& text) {
            const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (index >= 0 && index != box->currentIndex())
                box->setCurrentIndex(index);
        });
        m_textBoxes[i] = box;
    }
    for (const int i : {slot::acadVersion, slot::drawingFolder, slot::scriptFolder})
        m_textBoxes[i]->setEditText(QStringLiteral("Combo1"));
    // The offset boxes hold short entries ("Centrer", digits) that are shown whole.
    for (const int i : {slot::offsetX, slot::offsetY})
        PutAt(m_textBoxes[i], kComboPlaces[i]);

    for (int i = 0; i < kCheckCount; ++i) {
        auto* box = new CheckBox(QStringLiteral("Check1"), this);
        box->setObjectName(ControlName("Check1", i));
        PutAt(box, kCheckPlaces[i]);
        connect(box, &QCheckBox::stateChanged, this, [this, box](int state) {
            // A greyed state comes only from the file; a click leaves it for good.
            if (state != Qt::PartiallyChecked)
                box->setTristate(false);
            applyPaperSpaceRule();
        });
        m_switches[i] = box;
    }

    const auto makeFrame = [this](int i, const QString& title) {
        auto* frame = new QGroupBox(title, this);
        frame->setObjectName(ControlName("Frame1", i));
        frame->setGeometry(ToPixels(kFramePlaces[i]));
        return frame;
    };
    const auto makeOption = [this](int i, QGroupBox* frame) {
        auto* option = new RadioButton(QString::fromUtf8(kOptionCaptions[i]), frame);
        option->setObjectName(ControlName("Option1", i));
        PutAt(option, kOptionPlaces[i]);
        m_optionButtons[i] = option;
    };
    const auto makeButton = [](const char* name, const QString& caption, const Place& place,
                               QWidget* parentWidget) {
        auto* button = new PushButton(caption, parentWidget);
        button->setObjectName(QLatin1String(name));
        PutAt(button, place);
        // No button answers Enter: it would fire while the user types in a combo box.
        button->setAutoDefault(false);
        return button;
    };

    m_orientationFrame = makeFrame(0, QString());
    makeOption(0, m_orientationFrame);
    makeOption(1, m_orientationFrame);
    m_windowModeFrame = makeFrame(1, QString());
    makeOption(2, m_windowModeFrame);
    makeOption(3, m_windowModeFrame);

    const QString dots = QStringLiteral("...");
    m_chooseAutocad = makeButton("Command6", dots, {6840, 360, 735, 255}, this);
    m_pickDrawingFolder = makeButton("Command3", dots, {6840, 360, 735, 255}, this);
    m_pickScriptFolder = makeButton("Command4", dots, {6840, 960, 735, 255}, this);

    m_folderFrame = makeFrame(2, QStringLiteral("Chemin :"));
    m_folderPicker = new FolderPicker({.driveListName = QStringLiteral("Drive1"),
                                       .folderTreeName = QStringLiteral("Dir1"),
                                       .drives = DrivesAndHomeFolder(),
                                       .unreadableDriveTitle = kProgramTitle,
                                       .unreadableDriveText = kDriveUnavailableText},
                                      m_folderFrame);
    m_folderPicker->driveList()->setGeometry(ToPixels({240, 360, 1095, 315}));
    m_folderPicker->folderTree()->setGeometry(ToPixels({1560, 360, 3015, 1584}));

    m_recordFolder =
        makeButton("Command5", QStringLiteral("Enregistre"), {240, 1560, 975, 495}, m_folderFrame);
    m_saveAndQuit = makeButton("Command2", QStringLiteral("Sauvegarder et Quitter"),
                               {5520, 3720, 1335, 615}, this);
    m_quit = makeButton("Command1", QStringLiteral("Quitter"), {7200, 3720, 1095, 615}, this);

    connect(m_quit, &QPushButton::clicked, this, &ConfigDialog::onQuitClicked);
    connect(m_saveAndQuit, &QPushButton::clicked, this, &ConfigDialog::onSaveAndQuitClicked);
    connect(m_pickDrawingFolder, &QPushButton::clicked, this,
            &ConfigDialog::onPickDrawingFolderClicked);
    connect(m_pickScriptFolder, &QPushButton::clicked, this,
            &ConfigDialog::onPickScriptFolderClicked);
    connect(m_recordFolder, &QPushButton::clicked, this, &ConfigDialog::onRecordFolderClicked);
    connect(m_chooseAutocad, &QPushButton::clicked, this, &ConfigDialog::ChooseAutocadProgram);

    if (!setDirPath(QDir::currentPath()))
        setDirPath(FromStd(FallbackDrive()));
    buildRunGroup();
}

void ConfigDialog::buildRunGroup() {
    m_runGroup = new QGroupBox(QStringLiteral("Exécution des plans"), this);
    m_runGroup->setObjectName(QStringLiteral("RunGroup"));
    m_runGroup->setGeometry(ToPixels({120, 120, 8235, 3480}));
    auto* grid = new QGridLayout(m_runGroup);
    m_engine = new QComboBox(m_runGroup);
    m_engine->setObjectName(QStringLiteral("RunEngine"));
    m_engine->addItem(QStringLiteral("AutoCAD, un script pour tous les plans"));
    m_engine->addItem(QStringLiteral("Console AutoCAD, un processus par plan"));
    m_consolePath = new QLineEdit(m_runGroup);
    m_consolePath->setObjectName(QStringLiteral("RunConsole"));
    m_consolePath->setPlaceholderText(QStringLiteral("accoreconsole.exe du dossier d'AutoCAD"));
    m_chooseConsole =
        NamedButton(m_runGroup, QStringLiteral("RunChooseConsole"), QStringLiteral("..."));
    m_workers = new QSpinBox(m_runGroup);
    m_workers->setObjectName(QStringLiteral("RunWorkers"));
    m_workers->setRange(kMinWorkers, kMaxWorkers);
    m_timeout = new QSpinBox(m_runGroup);
    m_timeout->setObjectName(QStringLiteral("RunTimeout"));
    m_timeout->setRange(kMinTimeout, kMaxTimeout);
    m_timeout->setSuffix(QStringLiteral(" s"));
    m_language = new QLineEdit(m_runGroup);
    m_language->setObjectName(QStringLiteral("RunLanguage"));
    m_language->setPlaceholderText(QStringLiteral("aucune"));
    // What execution.txt would refuse cannot be typed (IsLanguageTag).
    m_language->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z0-9-]*")), m_language));
    m_failureMessages = new QPlainTextEdit(m_runGroup);
    m_failureMessages->setObjectName(QStringLiteral("RunFailureMessages"));
    m_failureMessages->setToolTip(
        QStringLiteral("Un message par ligne : une console qui en écrit un est en « erreur de "
                       "script », même quand elle finit avec le code 0."));
    int row = 0;
    const auto addRow = [&](const QString& caption, QWidget* field, QWidget* extra = nullptr) {
        grid->addWidget(new QLabel(caption, m_runGroup), row, 0);
        grid->addWidget(field, row, 1);
        if (extra)
            grid->addWidget(extra, row, 2);
        ++row;
    };
    addRow(QStringLiteral("Moteur :"), m_engine);
    addRow(QStringLiteral("Programme console :"), m_consolePath, m_chooseConsole);
    addRow(QStringLiteral("Plans à la fois :"), m_workers);
    addRow(QStringLiteral("Délai par plan :"), m_timeout);
    addRow(QStringLiteral("Langue (/l) :"), m_language);
    grid->setRowStretch(row, 1);
    addRow(QStringLiteral("Messages d'échec :"), m_failureMessages);
    grid->setColumnStretch(1, 1);
    m_runGroup->hide();
    connect(m_chooseConsole, &QPushButton::clicked, this, &ConfigDialog::onChooseConsoleClicked);
}

void ConfigDialog::attachRunSettings(RunSettings& live, std::string path) {
    m_liveRun = &live;
    m_runPath = std::move(path);
}

RunSettings ConfigDialog::shownRunSettings() const {
    RunSettings run;
    run.engine = m_engine->currentIndex() == 1 ? Engine::Console : Engine::Autocad;
    run.consolePath = ToStd(m_consolePath->text().trimmed());
    run.workers = m_workers->value();
    run.timeoutSeconds = m_timeout->value();
    run.language = ToStd(m_language->text().trimmed());
    run.failureMessages = SplitFailureMessages(ToStd(m_failureMessages->toPlainText()));
    return run;
}

void ConfigDialog::showRunSettings(const RunSettings& run) {
    m_engine->setCurrentIndex(run.engine == Engine::Console ? 1 : 0);
    m_consolePath->setText(FromStd(run.consolePath));
    m_workers->setValue(run.workers);
    m_timeout->setValue(run.timeoutSeconds);
    m_language->setText(FromStd(run.language));
    QStringList messages;
    for (const std::string& message : run.failureMessages)
        messages << FromStd(message);
    m_failureMessages->setPlainText(messages.join(QLatin1Char('\n')));
}

void ConfigDialog::showExecutionPage() {
    ResetConfigPage();
    m_runGroup->setVisible(m_liveRun != nullptr);
}

void ConfigDialog::onChooseConsoleClicked() {
    const FileDialogRequest request{
        FileDialogKind::Open, QStringLiteral("Selectionner accoreconsole.exe"),
        QStringLiteral("Executable (*.exe)|*.exe|Tout (*.*)|*.*"),
        FromStd(AutocadChooserFolder(kNativeFolderStyle, NativeStdPath(QDir::homePath()))),
        QString()};
    const std::optional<QStringList> chosen = Prompts::instance().chooseFiles(this, request);
    if (chosen && !chosen->isEmpty())
        m_consolePath->setText(NativePath(chosen->front()));
}

void ConfigDialog::FillSettingLists(const ProposedValues& lists) {
    for (int i = 0; i < kComboCount; ++i) {
        QComboBox* box = m_textBoxes[i];
        // The first entry added would replace the text shown; the text changes only with the
        // defaults or the file.
        const QString shown = box->currentText();
        for (const std::string& entry : lists[i])
            box->addItem(QString::fromStdString(entry));
        SetComboText(box, shown);
        // The drop-down may be wider than the box, so that long paths read whole.
        if (box->count() > 0)
            box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0));
    }
    fitCaptions();
}

Status ConfigDialog::LoadSettings() {
    Status loaded = m_file.LoadSettings(m_live);
    // The slots read before a failure count as loaded.
    showSettings();
    return loaded;
}

Status ConfigDialog::SaveSettings() {
    m_live = shownSettings();
    return m_file.SaveSettings(m_live);
}

QRadioButton* ConfigDialog::optionButton(int settingSlot) const {
    return m_optionButtons.at(static_cast<std::size_t>(settingSlot - kComboCount));
}

QCheckBox* ConfigDialog::switchBox(int settingSlot) const {
    return m_switches.at(static_cast<std::size_t>(settingSlot - kComboCount - kOptionCount));
}

Settings ConfigDialog::shownSettings() const {
    Settings settings;
    for (int i = 0; i < kComboCount; ++i)
        settings.combo[i] = m_textBoxes[i]->currentText().toStdString();
    for (int i = 0; i < kOptionCount; ++i)
        settings.option[i] = m_optionButtons[i]->isChecked();
    for (int i = 0; i < kCheckCount; ++i) {
        switch (m_switches[i]->checkState()) {
        case Qt::Unchecked:
            settings.check[i] = 0;
            break;
        case Qt::Checked:
            settings.check[i] = 1;
            break;
        case Qt::PartiallyChecked:
            settings.check[i] = 2;
            break;
        }
    }
    return settings;
}

void ConfigDialog::showSettings() {
    const Settings& settings = m_live;
    for (int i = 0; i < kComboCount; ++i)
        SetComboText(m_textBoxes[i], QString::fromStdString(settings.combo[i]));
    for (int i = 0; i < kOptionCount; ++i)
        setOptionState(kComboCount + i, settings.option[i]);
    for (int i = 0; i < kCheckCount; ++i) {
        const int value = settings.check[i];
        if (value == 0 || value == 1)
            m_switches[i]->setTristate(false);
        m_switches[i]->setCheckState(value == 0   ? Qt::Unchecked
                                     : value == 1 ? Qt::Checked
                                                  : Qt::PartiallyChecked);
    }
    // A loaded single-window version locks the window mode as a pick of it would.
    applyVersionRule();
}

void ConfigDialog::setOptionState(int settingSlot, bool state) {
    QRadioButton* option = optionButton(settingSlot);
    if (state || !option->isChecked()) {
        option->setChecked(state);
        return;
    }
    // The file may hold neither option of a group; an exclusive group refuses to clear its
    // checked button.
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

void ConfigDialog::ResetConfigPage() {
    for (QComboBox* box : m_textBoxes)
        box->hide();
    for (QLabel* caption : m_rowCaptions)
        caption->clear();
    for (QLabel* caption :
         {m_offsetCaption, m_offsetXCaption, m_offsetYCaption, m_layoutCaption, m_scaleCaption})
        caption->clear();
    for (QRadioButton* option : m_optionButtons)
        option->hide();
    for (QGroupBox* frame : {m_orientationFrame, m_windowModeFrame, m_folderFrame})
        frame->hide();
    for (QCheckBox* box : m_switches)
        box->hide();
    m_pickDrawingFolder->hide();
    m_pickScriptFolder->hide();
    m_chooseAutocad->hide();
    m_folderPicker->setVisible(false);
    m_layoutCaption->hide();
    m_scaleCaption->hide();
    m_runGroup->hide();
}

void ConfigDialog::showRow(int settingSlot, QLabel* caption, const QString& text) {
    m_textBoxes[settingSlot]->show();
    caption->setText(text);
}

void ConfigDialog::ShowPrintingPage() {
    ResetConfigPage();
    showRow(slot::printerName, m_rowCaptions[0], QStringLiteral("Choix imprimante :"));
    showRow(slot::paperFormat, m_rowCaptions[1], QStringLiteral("Format impression :"));
    showRow(slot::plotStyleTable, m_rowCaptions[2], QStringLiteral("Type de style de tracé :"));
    showRow(slot::offsetX, m_offsetXCaption, QStringLiteral("X :"));
    showRow(slot::offsetY, m_offsetYCaption, QStringLiteral("Y :"));
    m_offsetCaption->setText(QStringLiteral("Décalage (mm):"));
    m_orientationFrame->show();
    optionButton(slot::landscape)->setText(QStringLiteral("Paysage"));
    optionButton(slot::landscape)->show();
    optionButton(slot::portrait)->setText(QStringLiteral("Portrait"));
    optionButton(slot::portrait)->show();
    switchBox(slot::plotPaperSpace)->setText(QStringLiteral("Impression: espace papier"));
    switchBox(slot::plotPaperSpace)->show();
    applyPaperSpaceRule();
}

void ConfigDialog::ShowAutocadPage() {
    ResetConfigPage();
    showRow(slot::acadVersion, m_rowCaptions[1], QStringLiteral("Version autocad :"));
    showRow(slot::acadPath, m_rowCaptions[0], QStringLiteral("Chemin autocad.exe"));
    m_chooseAutocad->show();
    switchBox(slot::saveSetupInDrawing)
        ->setText(QStringLiteral("Sauvgarde configuration impression dans *.DWG"));
    switchBox(slot::saveSetupInDrawing)->show();
    switchBox(slot::objectSnapOff)
        ->setText(QStringLiteral("Désactiver accrochage aux objets dans script"));
    switchBox(slot::objectSnapOff)->show();
    m_windowModeFrame->show();
    optionButton(slot::sdiMultiple)->setText(QStringLiteral("SDI = 0 Fenetre multiple"));
    optionButton(slot::sdiMultiple)->show();
    optionButton(slot::sdiSingle)->setText(QStringLiteral("SDI = 1 Fenetre unique"));
    optionButton(slot::sdiSingle)->show();
    fitCaptions();
}

void ConfigDialog::ShowGeneralPage() {
    ResetConfigPage();
    showRow(slot::drawingFolder, m_rowCaptions[0], QStringLiteral("Chemin ouverture DWG :"));
    showRow(slot::scriptFolder, m_rowCaptions[1], QStringLiteral("Chemin ouverture SCR :"));
    m_pickDrawingFolder->show();
    m_pickScriptFolder->show();
    fitCaptions();
}

void ConfigDialog::fitCaptions() {
    std::vector<QWidget*> placed;
    for (QWidget* control : findChildren<QWidget*>()) {
        if (const QVariant place = control->property(kFormPlace); place.isValid()) {
            control->setGeometry(place.toRect());
            placed.push_back(control);
        }
    }
    for (QWidget* control : placed) {
        if (!control->isVisibleTo(this) || CaptionFits(control, control->size()))
            continue;
        // As far as its parent's edge and the next shown control of its row, or below it.
        const QRect place = control->geometry();
        QPoint limit(control->parentWidget()->width(), control->parentWidget()->height());
        for (const QWidget* other :
             control->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect next = other->geometry();
            if (other == control || !other->isVisibleTo(this))
                continue;
            if (next.left() > place.right() && next.top() <= place.bottom() &&
                next.bottom() >= place.top())
                limit.rx() = std::min(limit.x(), next.left());
            if (next.top() > place.bottom() && next.left() <= place.right() &&
                next.right() >= place.left())
                limit.ry() = std::min(limit.y(), next.top());
        }
        QSize size = place.size();
        while (place.left() + size.width() < limit.x() && !CaptionFits(control, size))
            size.rwidth() += 1;
        while (place.top() + size.height() < limit.y() && !CaptionFits(control, size))
            size.rheight() += 1;
        control->resize(size);
    }
}

void ConfigDialog::showLayoutRows(bool shown) {
    if (shown) {
        m_layoutCaption->setText(QStringLiteral("Définir onglet :"));
        m_scaleCaption->setText(QStringLiteral("Echelle :"));
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{m_layoutCaption, m_scaleCaption,
                                                           m_textBoxes[slot::layoutName],
                                                           m_textBoxes[slot::plotScale]})
        widget->setVisible(shown);
    fitCaptions();
}

void ConfigDialog::applyPaperSpaceRule() {
    const QCheckBox* paperSpace = switchBox(slot::plotPaperSpace);
    showLayoutRows(paperSpace->isVisibleTo(this) && paperSpace->checkState() == Qt::Checked);
}

void ConfigDialog::applyVersionRule() {
    const bool singleWindow =
        IsSingleWindowVersion(m_textBoxes[slot::acadVersion]->currentText().toStdString());
    if (singleWindow)
        setOptionState(slot::sdiSingle, true);
    m_windowModeFrame->setEnabled(!singleWindow);
    optionButton(slot::sdiMultiple)->setEnabled(!singleWindow);
}

void ConfigDialog::startFolderPicking() {
    m_folderFrame->show();
    m_folderPicker->setVisible(true);
    m_saveAndQuit->setEnabled(false);
    fitCaptions();
}

void ConfigDialog::onPickDrawingFolderClicked() {
    startFolderPicking();
    m_rowCaptions[1]->setEnabled(false);
    m_textBoxes[slot::scriptFolder]->setEnabled(false);
    m_pickScriptFolder->setEnabled(false);
}

void ConfigDialog::onPickScriptFolderClicked() {
    startFolderPicking();
    m_rowCaptions[0]->setEnabled(false);
    m_textBoxes[slot::drawingFolder]->setEnabled(false);
    m_pickDrawingFolder->setEnabled(false);
}

void ConfigDialog::onRecordFolderClicked() {
    const QString folder = WithSeparator(dirPath());
    // The row whose picking started is the one left usable.
    for (const int i : {slot::drawingFolder, slot::scriptFolder}) {
        if (m_textBoxes[i]->isEnabledTo(this))
            SetComboText(m_textBoxes[i], folder);
    }
    EndFolderPicking();
}

void ConfigDialog::EndFolderPicking() {
    for (QWidget* widget : std::initializer_list<QWidget*>{
             m_saveAndQuit, m_pickDrawingFolder, m_pickScriptFolder, m_rowCaptions[0],
             m_rowCaptions[1], m_textBoxes[slot::drawingFolder], m_textBoxes[slot::scriptFolder]})
        widget->setEnabled(true);
    m_folderFrame->hide();
    m_folderPicker->setVisible(false);
}

QString ConfigDialog::dirPath() const {
    return m_folderPicker->folder();
}

bool ConfigDialog::setDirPath(const QString& folder) {
    return m_folderPicker->setFolder(folder);
}

void ConfigDialog::closeKeepingEdits() {
    m_live = shownSettings();
    if (m_liveRun)
        *m_liveRun = shownRunSettings();
    hide();
}

void ConfigDialog::onQuitClicked() {
    EndFolderPicking();
    closeKeepingEdits();
}

bool ConfigDialog::confirmCutValues(const std::vector<int>& cutSlots) {
    std::vector<std::string> fieldNames;
    for (const int slotNumber : cutSlots)
        fieldNames.emplace_back(TextSettingName(slotNumber));
    const MessageRequest question{FromStd(kConfigurationTitle),
                                  FromStd(TooLongSettingsQuestion(fieldNames)),
                                  MessageIcon::Question, MessageButtons::YesNo};
    return Prompts::instance().message(this, question) == Answer::Yes;
}

bool ConfigDialog::confirmScriptFolder(const std::string& folder) {
    // None set: the script goes to the settings folder, which the program writes.
    if (folder.empty())
        return true;
    const Status writable = CheckFolderWritable(folder);
    if (writable)
        return true;
    const MessageRequest question{FromStd(kConfigurationTitle),
                                  FromStd(ScriptFolderQuestion(writable.error())),
                                  MessageIcon::Warning, MessageButtons::YesNo};
    return Prompts::instance().message(this, question) == Answer::Yes;
}

void ConfigDialog::onSaveAndQuitClicked() {
    const Settings shown = shownSettings();
    const std::vector<int> tooLong = SettingsFile::slotsTooLong(shown);
    if (!tooLong.empty() && !confirmCutValues(tooLong))
        return;
    if (!confirmScriptFolder(shown.scriptFolder()))
        return;
    if (const Status saved = SaveSettings(); !saved) {
        // Hiding now would pass off unsaved values as saved; the user may retry or quit.
        ShowMessage(this, FromStd(kErrorTitle), FromStd(SettingsFailureText(saved.error())),
                    MessageIcon::Critical);
        return;
    }
    if (m_liveRun) {
        if (const Status saved = SaveRunSettings(m_runPath, shownRunSettings()); !saved) {
            ShowMessage(this, FromStd(kErrorTitle), FromStd(FileFailureText(saved.error())),
                        MessageIcon::Critical);
            return;
        }
    }
    closeKeepingEdits();
}

void ConfigDialog::ChooseAutocadProgram() {
    const QString startFolder =
        FromStd(AutocadChooserFolder(kNativeFolderStyle, NativeStdPath(QDir::homePath())));
    const FileDialogRequest request{
        FileDialogKind::Open, QStringLiteral("Selectionner autocad.exe"),
        QStringLiteral("Executable (*.exe)|*.exe|Executable (*.bat)|*.bat|Tout (*.*)|*.*"),
        startFolder, QString()};
    const std::optional<QStringList> chosen = Prompts::instance().chooseFiles(this, request);
    if (!chosen || chosen->isEmpty())
        return;
    const std::string path = chosen->front().toStdString();
    SetComboText(m_textBoxes[slot::acadPath],
                 QString::fromStdString(std::string(TrimSpaces(path))));
}

void ConfigDialog::openPage(Page page) {
    if (const Status loaded = LoadSettings(); !loaded) {
        ShowMessage(parentWidget(), FromStd(kProgramTitle),
                    FromStd(SettingsLoadFailureText(loaded.error())));
    }
    if (m_liveRun) {
        // The file is read anew, as savescript.txt is; a faulty one leaves the live values.
        if (const Result<RunSettings> run = LoadRunSettings(m_runPath); run)
            *m_liveRun = *run;
        else
            ShowMessage(parentWidget(), FromStd(kProgramTitle),
                        FromStd(RunSettingsFailureText(run.error())));
        showRunSettings(*m_liveRun);
    }
    switch (page) {
    case Page::Printing:
        ShowPrintingPage();
        break;
    case Page::Autocad:
        ShowAutocadPage();
        break;
    case Page::General:
        ShowGeneralPage();
        break;
    case Page::Execution:
        showExecutionPage();
        break;
    }
    if (const QScreen* display = parentWidget() ? parentWidget()->screen() : screen()) {
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                 display->availableGeometry())
                 .topLeft());
    }
    exec();
}

void ConfigDialog::closeEvent(QCloseEvent* event) {
    // The dialog lives for the whole run: closing only hides, keeping the edits, as "Quitter" does.
    onQuitClicked();
    event->accept();
}

void ConfigDialog::reject() {
    onQuitClicked();
}

} // namespace pilotrame::gui
