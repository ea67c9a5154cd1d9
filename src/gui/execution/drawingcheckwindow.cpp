#include "gui/execution/drawingcheckwindow.h"

#include "gui/formparts.h"
#include "gui/prompts.h"
#include "texts/messages.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSize>
#include <QTreeView>
#include <QVBoxLayout>

#include <array>

namespace pilotrame::gui {

// The drawings of a check as rows of two columns, the path and the reason, read from the check
// when the view asks for a row it shows: tens of thousands of problems open as fast as three.
class DrawingIssueModel : public QAbstractTableModel {
public:
    DrawingIssueModel(DrawingCheck check, QObject* parent)
        : QAbstractTableModel(parent), m_check(std::move(check)) {
        for (const DrawingProblem problem :
             {DrawingProblem::Missing, DrawingProblem::ReadOnly, DrawingProblem::OpenElsewhere})
            m_reasons[static_cast<std::size_t>(problem)] = FromStd(DescribeProblem(problem));
    }

    const DrawingCheck& check() const { return m_check; }

    // The size that every reason cell reports: that of the widest reason, so that the column fits
    // each of them without thousands of rows being measured.
    void setReasonSize(QSize size) { m_reasonSize = size; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_check.issues.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : 2;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const DrawingIssue& issue = m_check.issues[static_cast<std::size_t>(index.row())];
        // The path in full as the tip of an elided one.
        const bool path = index.column() == 0;
        if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && path))
            return path ? FromStd(issue.path) : m_reasons[static_cast<std::size_t>(issue.problem)];
        if (role == Qt::SizeHintRole && !path && m_reasonSize.isValid())
            return m_reasonSize;
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? QStringLiteral("Plan") : QStringLiteral("Problème");
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    DrawingCheck m_check;
    std::array<QString, 3> m_reasons;
    QSize m_reasonSize;
};

DrawingCheckWindow::DrawingCheckWindow(const DrawingCheck& check, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("DrawingCheckWindow"));
    setWindowTitle(QStringLiteral("Vérification des plans"));
    buildControls(check);
}

void DrawingCheckWindow::buildControls(const DrawingCheck& check) {
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
        FromStd(DrawingCheckSummaryText(check.checked, static_cast<int>(check.issues.size()))),
        this);
    m_summary->setObjectName(QStringLiteral("summary"));
    outer->addWidget(m_summary);

    m_issues = new DrawingIssueModel(check, this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("drawings"));
    m_list->setModel(m_issues);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true); // lists of thousands of drawings stay quick
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The name and the start of the folder say most; the middle of a long path can go.
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    // Each reason found, measured once as the view measures a cell.
    QSize widestReason;
    std::array<bool, 3> measured{};
    for (std::size_t row = 0; row < check.issues.size(); ++row) {
        const auto problem = static_cast<std::size_t>(check.issues[row].problem);
        if (measured[problem])
            continue;
        measured[problem] = true;
        widestReason = widestReason.expandedTo(
            m_list->sizeHintForIndex(m_issues->index(static_cast<int>(row), 1)));
    }
    m_issues->setReasonSize(widestReason);
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
    QGuiApplication::clipboard()->setText(FromStd(DrawingCheckText(m_issues->check())));
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

// The real prompt of the check is this window; the prompt service itself knows no window.
DrawingCheckAnswer QtPrompts::reviewDrawings(QWidget* parent, const DrawingCheck& check) {
    return DrawingCheckWindow::ask(parent, check);
}

} // namespace pilotrame::gui
