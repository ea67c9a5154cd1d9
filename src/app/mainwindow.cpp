#include "app/mainwindow.h"

#include "app/banner.h"
#include "app/prompts.h"
#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"
#include "config/configdialog.h"
#include "launch/autocadcommand.h"
#include "script/generation.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace pilotrame::gui {

namespace {

const QString kErrorTitle = QStringLiteral("ERREUR !!");
const QString kChooseFile = QStringLiteral("Choisissez un fichier");
const QString kDrawingFilter =
    QStringLiteral("Autocad (*.dwg)|*.dwg|Echange (*.dxf)|*.dxf|Microstation (*.dng)|*.dgn|"
                   "Excel (*.xls)|*.xls|Tous (*.*)|*.*");
const QString kOpenScriptFilter =
    QStringLiteral("Script (*.scr)|*.scr|Texte (*.txt)|*.txt|Tout (*.*)|*.*");
const QString kSaveScriptFilter =
    QStringLiteral("Script (*.scr)|*.scr|Texte (*.txt)|*.txt|Tout les fichiers (*.*)|*.*");
const QString kInsertFilter = QStringLiteral("Autocad (*.dwg)|*.dwg");

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}
std::string toStd(const QString& text) {
    return text.toStdString();
}

QString indexed(const char* name, int index) {
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

// Hidden controls keep their room, so that switching modes never reflows the window.
template <typename T> T* keepRoom(T* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

void makeReadOnlyGrey(QLineEdit* edit) {
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window).darker(110));
    edit->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(Session& session, QWidget* parent)
    : QMainWindow(parent), m_session(session) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pilotrame"));
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
    const auto newCheck = [this](const QString& name, const QString& caption) {
        auto* check = new QCheckBox(caption, this);
        check->setObjectName(name);
        return check;
    };

    // Top row: the job switches and the side windows.
    auto* top = new QHBoxLayout;
    m_check1 = newCheck(QStringLiteral("Check1"), QStringLiteral("IMPRIMER"));
    m_check10 = newCheck(QStringLiteral("Check10"), QStringLiteral("SCRIPT FICHIER"));
    m_command10 = newButton("Command10", QStringLiteral("..."));
    m_command10->setEnabled(false);
    m_command10->setFixedWidth(
        m_command10->fontMetrics().horizontalAdvance(QStringLiteral("....")) * 3);
    m_command10->setToolTip(QStringLiteral("Charger un fichier script"));
    m_check20 = newCheck(QStringLiteral("Check20"), QStringLiteral("RENOMMER FICHIERS"));
    m_command20 = newButton("Command20", QStringLiteral("Macro VBA Autocad"));
    m_command30 = newButton("Command30", QStringLiteral("Inserer texte d'un Tableur"));
    top->addWidget(m_check1);
    top->addSpacing(12);
    top->addWidget(m_check10);
    top->addWidget(m_command10);
    top->addSpacing(12);
    top->addWidget(m_check20);
    top->addStretch(1);
    top->addWidget(m_command20);
    top->addWidget(m_command30);
    bodyLayout->addLayout(top);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(14);
    bodyLayout->addLayout(middle, 1);

    // Left column: the list and the actions.
    auto* left = new QVBoxLayout;
    m_command1 = newButton("Command1", QStringLiteral("Selection fichiers"));
    m_text2 = new QLineEdit(QStringLiteral("0"), this);
    m_text2->setObjectName(QStringLiteral("Text2"));
    makeReadOnlyGrey(m_text2);
    m_label3 = new QLabel(QStringLiteral("Fichiers"), this);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_text5 = new QLineEdit(QStringLiteral("Nb répertoires"), this);
    m_text5->setObjectName(QStringLiteral("Text5"));
    makeReadOnlyGrey(m_text5);
    m_command4 = newButton("Command4", QStringLiteral("Selection avancée"));
    m_command3 = newButton("Command3", QStringLiteral("Executer script"));
    m_command2 = newButton("Command2", QStringLiteral("Générer script"));
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(m_text2, 1);
    countRow->addWidget(m_label3);
    left->addWidget(m_command1);
    left->addLayout(countRow);
    left->addWidget(m_text5);
    left->addWidget(m_command4);
    left->addStretch(1);
    left->addWidget(m_command3);
    left->addWidget(m_command2);
    for (QPushButton* button : {m_command1, m_command4, m_command3, m_command2})
        button->setMinimumHeight(button->sizeHint().height() * 3 / 2);
    auto* leftBox = new QWidget(this);
    leftBox->setLayout(left);
    leftBox->setMinimumWidth(leftBox->sizeHint().width() + 20);
    middle->addWidget(leftBox);

    // The operation panel: one row per operation, its parameters to the right.
    auto* panel = new QGridLayout;
    panel->setHorizontalSpacing(10);
    panel->setVerticalSpacing(6);
    middle->addLayout(panel, 1);

    const QString checkCaptions[8] = {QStringLiteral("PURGER"),
                                      QStringLiteral("ZOOM etendue"),
                                      QStringLiteral("TRANSFERT"),
                                      QStringLiteral("EFFACER"),
                                      QStringLiteral("INSERER"),
                                      QStringLiteral("REMPLACER ATTRIBUT"),
                                      QStringLiteral("RENOMMER FICHIERS"),
                                      QStringLiteral("REMPLACE TEXTE (vba)")};
    for (int i = 0; i < 8; ++i)
        m_check4[i] = newCheck(indexed("Check4", i), checkCaptions[i]);

    const auto newFrame = [this](int index) {
        auto* frame = keepRoom(new QGroupBox(this));
        frame->setObjectName(indexed("Frame1", index));
        frame->setFlat(false);
        auto* layout = new QHBoxLayout(frame);
        layout->setContentsMargins(6, 2, 6, 2);
        m_frame1[index] = frame;
        return frame;
    };
    const auto newOption = [this](QGroupBox* frame, int index, const QString& caption) {
        auto* option = new QRadioButton(caption, frame);
        option->setObjectName(indexed("Option1", index));
        frame->layout()->addWidget(option);
        m_option1[index] = option;
        return option;
    };
    const auto newText = [this](QWidget* owner, int index, const QString& text) {
        auto* edit = keepRoom(new QLineEdit(text, owner));
        edit->setObjectName(indexed("Text4", index));
        m_text4[index] = edit;
        return edit;
    };
    const auto newLabel = [this](QWidget* owner, int index, const QString& caption) {
        auto* label = keepRoom(new QLabel(caption, owner));
        label->setObjectName(indexed("Label4", index));
        m_label4[index] = label;
        return label;
    };
    const auto pointRow = [&](QGridLayout* grid, int row, int label, const QString& caption,
                              int firstText) {
        grid->addWidget(newLabel(this, label, caption), row, 0);
        grid->addWidget(newText(this, firstText, QStringLiteral("0")), row, 1);
        grid->addWidget(newText(this, firstText + 1, QStringLiteral("0")), row, 2);
    };
    const auto rowWidget = [this](QLayout* layout) {
        auto* widget = new QWidget(this);
        layout->setContentsMargins(0, 0, 0, 0);
        widget->setLayout(layout);
        return widget;
    };

    // Rows top to bottom; the check boxes and frames keep their design indices.
    const int rowOf[8] = {0, 1, 2, 4, 3, 5, 6, 7};
    for (int i = 0; i < 8; ++i)
        panel->addWidget(m_check4[i], rowOf[i], 0, Qt::AlignLeft | Qt::AlignVCenter);

    { // PURGER
        auto* frame = newFrame(0);
        newOption(frame, 0, QStringLiteral("Bloc"))->setChecked(true);
        newOption(frame, 1, QStringLiteral("Tout"));
        auto* row = new QHBoxLayout;
        row->addWidget(frame);
        row->addStretch(1);
        panel->addWidget(rowWidget(row), 0, 1);
    }
    { // TRANSFERT
        auto* frame = newFrame(3);
        newOption(frame, 6, QStringLiteral("DXF->DWG"))->setChecked(true);
        newOption(frame, 7, QStringLiteral("DWG->DXF"));
        auto* row = new QHBoxLayout;
        row->addWidget(frame);
        row->addStretch(1);
        panel->addWidget(rowWidget(row), 2, 1);
    }
    { // INSERER
        auto* frame = newFrame(2);
        newOption(frame, 5, QStringLiteral("Presse papier"))->setChecked(true);
        newOption(frame, 4, QStringLiteral("Fichier"));
        m_text3 = keepRoom(new QLineEdit(QStringLiteral("Fichier"), this));
        m_text3->setObjectName(QStringLiteral("Text3"));
        makeReadOnlyGrey(m_text3);
        m_command8 = keepRoom(newButton("Command8", QStringLiteral("...")));
        m_command8->setEnabled(false);
        m_command8->setFixedWidth(m_command10->width());
        m_command8->setToolTip(QStringLiteral("Choisir le plan à insérer"));
        auto* row = new QHBoxLayout;
        row->addWidget(frame);
        row->addWidget(m_text3, 1);
        row->addWidget(m_command8);
        panel->addWidget(rowWidget(row), 3, 1);
    }
    { // EFFACER
        auto* frame = newFrame(1);
        newOption(frame, 2, QStringLiteral("Fenêtre"))->setChecked(true);
        newOption(frame, 3, QStringLiteral("Trajet"));
        newOption(frame, 8, QStringLiteral("Capture"));
        auto* points = new QGridLayout;
        pointRow(points, 0, 0, QStringLiteral(" 1er point :"), 0);
        pointRow(points, 1, 1, QStringLiteral("2em point :"), 2);
        auto* row = new QHBoxLayout;
        row->addWidget(frame);
        row->addLayout(points);
        row->addStretch(1);
        panel->addWidget(rowWidget(row), 4, 1);
    }
    { // REMPLACER ATTRIBUT
        auto* grid = new QGridLayout;
        pointRow(grid, 0, 2, QStringLiteral(" 1er point :"), 4);
        pointRow(grid, 1, 3, QStringLiteral("2em point :"), 6);
        grid->addWidget(newLabel(this, 4, QStringLiteral("Remplacer :")), 0, 3);
        grid->addWidget(newText(this, 8, QString()), 0, 4);
        grid->addWidget(newLabel(this, 5, QStringLiteral("Par :")), 1, 3);
        grid->addWidget(newText(this, 9, QString()), 1, 4);
        grid->setColumnStretch(4, 2);
        panel->addWidget(rowWidget(grid), 5, 1);
    }
    { // RENOMMER FICHIERS
        auto* rule = newFrame(4);
        newOption(rule, 9, QStringLiteral("Supprimer"))->setChecked(true);
        newOption(rule, 10, QStringLiteral("Ajouter"));
        newOption(rule, 11, QStringLiteral("Extension:"));
        auto* values = newFrame(5);
        auto* valuesLayout = static_cast<QHBoxLayout*>(values->layout());
        const auto field = [&](int label, const QString& caption, int text, const QString& value) {
            valuesLayout->addWidget(newLabel(values, label, caption));
            valuesLayout->addWidget(newText(values, text, value));
        };
        field(6, QStringLiteral("Début:"), 10, QStringLiteral("0"));
        field(7, QStringLiteral("Longeur:"), 11, QStringLiteral("1"));
        field(8, QStringLiteral("Texte:"), 12, QString());
        field(9, QStringLiteral("Nouveau:"), 13, QStringLiteral(".xls"));
        const int digit = m_text4[12]->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        m_text4[12]->setMinimumWidth(digit * 10);
        m_text4[13]->setMinimumWidth(digit * 6);
        m_text4[12]->setEnabled(false);
        m_label4[8]->setEnabled(false);
        auto* row = new QHBoxLayout;
        row->addWidget(rule);
        row->addWidget(values, 1);
        panel->addWidget(rowWidget(row), 6, 1);
    }
    { // REMPLACE TEXTE (vba): two columns, each an old text above its new text
        auto* grid = new QGridLayout;
        grid->addWidget(newLabel(this, 10, QStringLiteral("Ancien:")), 0, 0);
        grid->addWidget(newText(this, 14, QString()), 0, 1);
        grid->addWidget(newText(this, 16, QString()), 0, 2);
        grid->addWidget(newLabel(this, 11, QStringLiteral("Nouveau:")), 1, 0);
        grid->addWidget(newText(this, 15, QString()), 1, 1);
        grid->addWidget(newText(this, 17, QString()), 1, 2);
        panel->addWidget(rowWidget(grid), 7, 1);
    }
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7})
        m_text4[i]->setMaximumWidth(m_text4[i]->fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                                    12);
    for (int i : {10, 11})
        m_text4[i]->setMaximumWidth(m_text4[i]->fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                                    6);
    panel->setColumnStretch(1, 1);

    // The script text lies over the parameters; only one of the two is ever shown.
    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setPlaceholderText(QStringLiteral("Lignes de script à appliquer à chaque plan"));
    panel->addWidget(m_text1, 0, 1, 8, 1);

    // Rules and commands.
    connect(m_check1, &QCheckBox::toggled, this, &MainWindow::Check1_Click);
    connect(m_check10, &QCheckBox::toggled, this, &MainWindow::Check10_Click);
    connect(m_check20, &QCheckBox::toggled, this, &MainWindow::Check20_Click);
    for (QCheckBox* check : m_check4)
        connect(check, &QCheckBox::toggled, this, &MainWindow::Check4_Click);
    for (QRadioButton* option : m_option1) {
        connect(option, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                Option1_Click();
        });
    }
    connect(m_command1, &QPushButton::clicked, this, &MainWindow::SelectFiles);
    connect(m_command2, &QPushButton::clicked, this, [this] { GenerateScript(); });
    connect(m_command3, &QPushButton::clicked, this, &MainWindow::ExecuteScript);
    connect(m_command8, &QPushButton::clicked, this, &MainWindow::ChooseInsertDrawing);
    connect(m_command10, &QPushButton::clicked, this, &MainWindow::OpenScriptFile);
    const auto notYet = [this] {
        showMessage(this, QStringLiteral("Pilotrame"),
                    QStringLiteral("Cette fenêtre sera disponible dans une prochaine version."),
                    MessageIcon::Information);
    };
    connect(m_command4, &QPushButton::clicked, this, notYet);
    connect(m_command20, &QPushButton::clicked, this, notYet);
    connect(m_command30, &QPushButton::clicked, this, notYet);
}

void MainWindow::buildMenus() {
    const auto newAction = [](QMenu* menu, const char* name, const QString& caption) {
        auto* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier  "));
    file->setObjectName(QStringLiteral("mnufichier"));
    m_mnuouvrir = newAction(file, "mnuouvrir", QStringLiteral("&Ouvrir"));
    m_mnuenregistrer = newAction(file, "mnuenregistrer", QStringLiteral("&Enregistrer"));
    m_mnuenregistrersous =
        newAction(file, "mnuenregistrersous", QStringLiteral("&Enregistrer sous"));
    m_mnuquitter = newAction(file, "mnuquitter", QStringLiteral("&Quitter"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edition  "));
    edit->setObjectName(QStringLiteral("mnuedition"));
    m_mnucopier = newAction(edit, "mnucopier", QStringLiteral("&Copier"));
    m_mnucoller = newAction(edit, "mnucoller", QStringLiteral("&Coller"));

    QMenu* configuration = menuBar()->addMenu(QStringLiteral("Configuration  "));
    configuration->setObjectName(QStringLiteral("mnuconfiguration"));
    m_mnuimpression = newAction(configuration, "mnuimpression", QStringLiteral("&Impression"));
    m_mnuautocad = newAction(configuration, "mnuautocad", QStringLiteral("&Autocad"));
    m_mnugeneral = newAction(configuration, "mnugeneral", QStringLiteral("&Général"));

    m_mnuaide = menuBar()->addAction(QStringLiteral("&Aide"));
    m_mnuaide->setObjectName(QStringLiteral("mnuaide"));

    connect(m_mnuouvrir, &QAction::triggered, this, &MainWindow::OpenScriptFile);
    connect(m_mnuenregistrersous, &QAction::triggered, this, &MainWindow::SaveScriptFileAs);
    connect(m_mnuquitter, &QAction::triggered, this, &MainWindow::shutdownRequested);
    connect(m_mnuaide, &QAction::triggered, this, &MainWindow::ShowAbout);
    const auto openPage = [this](void (ConfigDialog::*page)()) {
        return [this, page] {
            if (m_config)
                m_config->openPage(page);
        };
    };
    connect(m_mnuimpression, &QAction::triggered, this, openPage(&ConfigDialog::ShowPrintingPage));
    connect(m_mnuautocad, &QAction::triggered, this, openPage(&ConfigDialog::ShowAutocadPage));
    connect(m_mnugeneral, &QAction::triggered, this, openPage(&ConfigDialog::ShowGeneralPage));
}

void MainWindow::ResetMainWindow() {
    m_check1->setChecked(true);
    m_text2->setText(QStringLiteral("0 Fichier"));
    for (QAction* item :
         {m_mnuouvrir, m_mnuenregistrer, m_mnuenregistrersous, m_mnucopier, m_mnucoller})
        item->setEnabled(false);
    m_text1->setEnabled(false);
    m_text1->hide();
}

void MainWindow::DisableOperationPanel() {
    for (QCheckBox* check : m_check4) {
        check->setEnabled(false);
        check->setChecked(false);
    }
    for (QGroupBox* frame : m_frame1)
        frame->hide();
    for (int i = 0; i <= 5; ++i)
        m_option1[i]->setEnabled(false);
    for (QLineEdit* text : m_text4)
        text->hide();
    for (QLabel* label : m_label4)
        label->hide();
    m_command8->hide();
    m_text3->hide();
}

void MainWindow::EnableOperationPanel() {
    for (QCheckBox* check : m_check4)
        check->setEnabled(true);
    for (QGroupBox* frame : m_frame1)
        frame->show();
    for (int i = 0; i <= 5; ++i)
        m_option1[i]->setEnabled(true);
    for (int i = 0; i < 18; ++i) {
        m_text4[i]->show();
        if (i < 10 || i > 13)
            m_text4[i]->setEnabled(false);
    }
    for (int i = 0; i < 12; ++i) {
        m_label4[i]->show();
        if (i < 6 || i > 9)
            m_label4[i]->setEnabled(false);
    }
    m_command8->show();
    m_text3->show();
}

void MainWindow::Check1_Click() {
    if (m_check1->isChecked()) {
        DisableOperationPanel();
        m_check10->setChecked(false);
        m_check20->setChecked(false);
    }
    applyPanelRule();
}

void MainWindow::Check10_Click() {
    const bool scriptMode = m_check10->isChecked();
    if (scriptMode) {
        DisableOperationPanel();
        m_text1->show();
        m_text1->setReadOnly(false);
        m_text1->setEnabled(true);
    } else {
        m_text1->hide();
    }
    if (scriptMode) {
        // Untick the other switches first: the rule of the renaming switch disables the script
        // commands, which must end enabled in script-file mode.
        m_check1->setChecked(false);
        m_check20->setChecked(false);
    }
    m_command10->setEnabled(scriptMode);
    m_mnuouvrir->setEnabled(scriptMode);
    m_mnuenregistrersous->setEnabled(scriptMode);
    applyPanelRule();
}

void MainWindow::Check20_Click() {
    m_command10->setEnabled(false);
    m_mnuouvrir->setEnabled(false);
    m_mnuenregistrersous->setEnabled(false);
    applyPanelRule();
}

void MainWindow::applyPanelRule() {
    if (!m_check1->isChecked() && !m_check10->isChecked() && !m_check20->isChecked())
        EnableOperationPanel();
}

void MainWindow::Check4_Click() {
    // Unticking done by DisableOperationPanel must not touch any other control.
    if (m_check1->isChecked() || m_check10->isChecked())
        return;
    const bool insert = m_check4[4]->isChecked();
    m_command8->setEnabled(insert && m_option1[4]->isChecked());
    const bool attribute = m_check4[5]->isChecked();
    for (int i = 4; i <= 9; ++i)
        m_text4[i]->setEnabled(attribute);
    for (int i = 2; i <= 5; ++i)
        m_label4[i]->setEnabled(attribute);
    const bool erase = m_check4[3]->isChecked();
    for (int i = 0; i <= 3; ++i)
        m_text4[i]->setEnabled(erase);
    m_label4[0]->setEnabled(erase);
    m_label4[1]->setEnabled(erase);
    const bool rename = m_check4[6]->isChecked();
    m_frame1[4]->setEnabled(rename);
    m_frame1[5]->setEnabled(rename);
    const bool replaceText = m_check4[7]->isChecked();
    m_label4[10]->setEnabled(replaceText);
    m_label4[11]->setEnabled(replaceText);
    for (int i = 14; i <= 17; ++i)
        m_text4[i]->setEnabled(replaceText);
}

void MainWindow::Option1_Click() {
    m_command8->setEnabled(m_option1[4]->isChecked() && m_check4[4]->isChecked());
    const bool rename = m_check4[6]->isChecked();
    const bool textOff = rename && m_option1[9]->isChecked();
    m_text4[12]->setEnabled(!textOff);
    m_label4[8]->setEnabled(!textOff);
    const bool lengthOff = rename && m_option1[10]->isChecked();
    m_text4[11]->setEnabled(!lengthOff);
    m_label4[7]->setEnabled(!lengthOff);
}

DrawingJob MainWindow::currentJob() const {
    DrawingJob job;
    job.plot = m_check1->isChecked();
    job.customScript = m_check10->isChecked();
    job.scriptText = toStd(m_text1->toPlainText());
    job.purge = m_check4[0]->isChecked();
    job.purgeAll = m_option1[1]->isChecked();
    job.zoomExtents = m_check4[1]->isChecked();
    job.transfer = m_check4[2]->isChecked();
    job.dwgToDxf = m_option1[7]->isChecked();
    job.erase = m_check4[3]->isChecked();
    job.eraseSelection = m_option1[3]->isChecked()   ? EraseSelection::Fence
                         : m_option1[8]->isChecked() ? EraseSelection::Crossing
                                                     : EraseSelection::Window;
    for (int i = 0; i < 4; ++i) {
        job.erasePoints[i] = toStd(m_text4[i]->text());
        job.attributeCorners[i] = toStd(m_text4[4 + i]->text());
        job.replaceTexts[i] = toStd(m_text4[14 + i]->text());
    }
    job.insert = m_check4[4]->isChecked();
    job.insertFile = m_option1[4]->isChecked();
    job.insertPath = toStd(m_text3->text());
    job.replaceAttribute = m_check4[5]->isChecked();
    job.attributeOld = toStd(m_text4[8]->text());
    job.attributeNew = toStd(m_text4[9]->text());
    job.replaceText = m_check4[7]->isChecked();
    return job;
}

char MainWindow::decimalSeparator() const {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

void MainWindow::setFileCount(int count) {
    m_text2->setText(QString::number(count));
}

void MainWindow::SelectFiles() {
    const QString startFolder =
        m_config ? fromStd(m_config->currentSettings().drawingFolder()) : QString();
    const auto chosen = Prompts::instance().chooseFiles(
        this, FileDialogRequest{FileDialogKind::OpenMultiple, kChooseFile, kDrawingFilter,
                                startFolder, QString()});
    if (!chosen)
        return; // a cancel changes nothing
    // The selection as the classic explorer dialog reports it: one full path, or the folder and
    // the names separated by the character of code 0.
    QString selection;
    if (chosen->size() == 1) {
        selection = chosen->front();
    } else {
        selection = QDir::toNativeSeparators(QFileInfo(chosen->front()).absolutePath());
        for (const QString& path : *chosen)
            selection += QChar(u'\0') + QFileInfo(path).fileName();
    }
    m_session.dialogSelection = toStd(selection);
    m_session.dialogSelection = std::string(trimSpaces(m_session.dialogSelection));
    const std::string listPath = m_session.listPath();
    const Result<int> written = WriteFileList(listPath, m_session.dialogSelection);
    if (!written) {
        const Error& error = written.error();
        const QString text =
            error.code == ErrorCode::InvalidName
                ? QStringLiteral("Nom de fichier impossible à écrire dans la liste : \r\n") +
                      fromStd(error.detail)
                : fromStd(ListFailureText(listPath));
        showMessage(this, kErrorTitle, text, MessageIcon::Critical);
        return;
    }
    setFileCount(*written);
}

bool MainWindow::GenerateScript() {
    if (!m_config)
        return false;
    const std::string listPath = m_session.listPath();
    const std::string scriptPath = m_session.scriptPath();
    DrawingSectionWriter writeSection(currentJob(), m_config->currentSettings(),
                                      decimalSeparator());
    const Status generated =
        pilotrame::GenerateScript(listPath, scriptPath, m_session.position, std::ref(writeSection));
    if (!generated) {
        showMessage(this, kErrorTitle,
                    fromStd(GenerationFailureText(generated.error(), listPath, scriptPath)),
                    MessageIcon::Critical);
        return false;
    }
    return true;
}

void MainWindow::ExecuteScript() {
    const std::string listPath = m_session.listPath();
    if (!checkReadable(listPath)) {
        showMessage(this, kErrorTitle, fromStd(ListFailureText(listPath)), MessageIcon::Critical);
        return;
    }
    if (m_check4[6]->isChecked()) {
        RenameSelectedFiles();
        return;
    }
    // AutoCAD is not started on a script that the user has just been told is incomplete.
    if (GenerateScript())
        LaunchAutocad();
}

void MainWindow::LaunchAutocad() {
    if (!m_config)
        return;
#ifdef Q_OS_WIN
    constexpr bool windowsNames = true;
#else
    constexpr bool windowsNames = false;
#endif
    const AutocadCommand command = BuildAutocadCommand(m_config->currentSettings().acadPath(),
                                                       m_session.scriptFolder, windowsNames);
    if (command.program.empty())
        return;
    QProcess process;
    process.setProgram(fromStd(command.program));
#ifdef Q_OS_WIN
    // The exact command line, script path quoted; AutoCAD opens maximised with the focus.
    process.setNativeArguments(fromStd(command.nativeArguments));
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
    });
#else
    QStringList arguments;
    for (const std::string& argument : command.arguments)
        arguments << fromStd(argument);
    process.setArguments(arguments);
#endif
    process.setWorkingDirectory(QDir::currentPath());
    // A program that cannot be started is ignored, as AutoCAD's own failures are.
    process.startDetached();
}

void MainWindow::OpenScriptFile() {
    const QString startFolder =
        m_config ? fromStd(m_config->currentSettings().scriptFolder()) : QString();
    const auto chosen = Prompts::instance().chooseFiles(
        this, FileDialogRequest{FileDialogKind::Open, kChooseFile, kOpenScriptFilter, startFolder,
                                QString()});
    if (!chosen)
        return;
    const std::string path = toStd(chosen->front());
    const Result<std::string> bytes = readFileBytes(path);
    if (!bytes) {
        showMessage(this, kErrorTitle,
                    QStringLiteral("Impossible de lire le fichier : \r\n") + chosen->front(),
                    MessageIcon::Critical);
        return;
    }
    // The lines of the file joined by line breaks: one final line break is the end of the last
    // line, not an empty line after it.
    std::string text = fromAnsi(*bytes);
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0)
        text.resize(text.size() - 2);
    m_text1->setPlainText(fromStd(toLf(text)));
    m_session.dialogSelection = path;
}

void MainWindow::SaveScriptFileAs() {
    const QString startFolder =
        m_config ? fromStd(m_config->currentSettings().scriptFolder()) : QString();
    const auto chosen = Prompts::instance().chooseFiles(
        this,
        FileDialogRequest{FileDialogKind::Save, QStringLiteral("Enregistrer fichier script"),
                          kSaveScriptFilter, startFolder, QStringLiteral("script_perso.scr")});
    if (!chosen)
        return;
    if (QFileInfo::exists(chosen->front())) {
        const MessageRequest question{
            QStringLiteral("Enregistrer fichier script"),
            QStringLiteral("Le fichier ") + chosen->front() +
                QStringLiteral(" existe déjà.\r\nVoulez-vous le remplacer ?"),
            MessageIcon::Question, MessageButtons::YesNo};
        if (Prompts::instance().message(this, question) != Answer::Yes)
            return;
    }
    const std::string path = toStd(chosen->front());
    const std::string text = toStd(m_text1->toPlainText());
    const std::string content = toCrLf(trimSpaces(text)) + std::string(kCrLf);
    if (Status written = replaceFileContent(path, toAnsi(content)); !written) {
        showMessage(this, kErrorTitle,
                    QStringLiteral("Impossible d'enregistrer le fichier : \r\n") + chosen->front() +
                        QStringLiteral("\r\n") + fromStd(written.error().numberAndDescription()),
                    MessageIcon::Critical);
        return;
    }
    m_session.dialogSelection = path;
}

void MainWindow::ChooseInsertDrawing() {
    const QString startFolder =
        m_config ? fromStd(m_config->currentSettings().scriptFolder()) : QString();
    const auto chosen = Prompts::instance().chooseFiles(
        this, FileDialogRequest{FileDialogKind::Open, kChooseFile, kInsertFilter, startFolder,
                                QString()});
    if (!chosen)
        return;
    m_text3->setText(chosen->front());
    m_session.dialogSelection = toStd(chosen->front());
}

void MainWindow::RenameSelectedFiles() {
    showMessage(this, QStringLiteral("Pilotrame"),
                QStringLiteral("Le renommage des fichiers sera disponible dans une prochaine "
                               "version."),
                MessageIcon::Information);
}

void MainWindow::ShowAbout() {
    showMessage(this, QStringLiteral("Version"),
                QStringLiteral("Version V3.5 En cours de développement\r\n"
                               "Nouvelles versions : voir le site de Pilotrame."));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit shutdownRequested();
}

} // namespace pilotrame::gui
