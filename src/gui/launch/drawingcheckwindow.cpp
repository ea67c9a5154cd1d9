#include "gui/launch/drawingcheckwindow.h"

#include "base/messages.h"
#include "gui/formparts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pilotrame::gui {

DrawingCheckWindow::DrawingCheckWindow(const DrawingCheck& check, QWidget* parent)
    : QDialog(parent), m_check(check) {
    setObjectName(QStringLiteral("DrawingCheckWindow"));
    setWindowTitle(QStringLiteral("Vérification des plans"));
    buildControls();
}

void DrawingCheckWindow::buildControls() {
    const auto newButton = [this](const char* name, const QString& caption, const QString& tip) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(tip);
        // Without this the first button would become the default and take a stray Enter.
        button->setAutoDefault(false);
        return button;
    };

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(10);

    m_summary = new QLabel(
        FromStd(DrawingCheckSummaryText(m_check.checked, static_cast<int>(m_check.issues.size()))),
        this);
    m_summary->setObjectName(QStringLiteral("summary"));
    outer->addWidget(m_summary);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("drawings"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Plan"), QStringLiteral("Problème")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true); // lists of thousands of drawings stay quick
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The name and the start of the folder say most; the middle of a long path can go.
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(m_check.issues.size()));
    for (const DrawingIssue& issue : m_check.issues) {
        const QString path = FromStd(issue.path);
        auto* row = new QTreeWidgetItem({path, FromStd(DescribeProblem(issue.problem))});
        row->setToolTip(0, path);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        rows << row;
    }
    m_list->addTopLevelItems(rows);
    outer->addWidget(m_list, 1);

    auto* copy = newButton("copyList", QStringLiteral("Copier la liste"),
                           QStringLiteral("Met la liste des plans et de leurs problèmes dans "
                                          "le presse-papiers."));
    auto* skip = newButton("skipProblems", QStringLiteral("Ignorer ces plans"),
                           QStringLiteral("Le script est écrit sans ces plans ; la liste des "
                                          "fichiers reste telle quelle."));
    auto* proceed =
        newButton("continueAnyway", QStringLiteral("Continuer quand même"),
                  QStringLiteral("Le script est écrit avec tous les plans de la liste."));
    auto* cancel = newButton("cancel", QStringLiteral("Annuler"),
                             QStringLiteral("Rien n'est écrit et AutoCAD n'est pas lancé."));
    connect(copy, &QPushButton::clicked, this, &DrawingCheckWindow::copyList);
    connect(skip, &QPushButton::clicked, this,
            [this] { choose(DrawingCheckAnswer::SkipProblems); });
    connect(proceed, &QPushButton::clicked, this, [this] { choose(DrawingCheckAnswer::Continue); });
    connect(cancel, &QPushButton::clicked, this, [this] { choose(DrawingCheckAnswer::Cancel); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(skip);
    buttons->addWidget(proceed);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);

    // Room for a usual path beside its reason, and for a dozen rows; longer paths are elided.
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.averageCharWidth() * 110, metrics.height() * 24);
    m_list->setFocus();
}

void DrawingCheckWindow::copyList() const {
    QGuiApplication::clipboard()->setText(FromStd(DrawingCheckText(m_check)));
}

void DrawingCheckWindow::choose(DrawingCheckAnswer answer) {
    m_answer = answer;
    if (answer == DrawingCheckAnswer::Cancel)
        reject();
    else
        accept();
}

DrawingCheckAnswer DrawingCheckWindow::ask(QWidget* parent, const DrawingCheck& check) {
    DrawingCheckWindow window(check, parent);
    window.exec();
    return window.answer();
}

} // namespace pilotrame::gui
