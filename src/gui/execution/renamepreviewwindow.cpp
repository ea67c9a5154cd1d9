#include "gui/execution/renamepreviewwindow.h"

#include "gui/formparts.h"
#include "gui/prompts.h"
#include "texts/verification.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace pilotrame::gui {

// The rows of a preview, three columns: the folder, the old name, the new name; read when the
// view shows a row, so that ten thousand files open as fast as ten.
class RenamePreviewModel : public QAbstractTableModel {
public:
    RenamePreviewModel(RenamePreview preview, QObject* parent)
        : QAbstractTableModel(parent), m_preview(std::move(preview)) {}

    const RenamePreview& preview() const { return m_preview; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_preview.rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : 3;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount() ||
            (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const RenamePreviewRow& row = m_preview.rows[static_cast<std::size_t>(index.row())];
        switch (index.column()) {
        case 0:
            return FromStd(row.folder);
        case 1:
            return FromStd(row.name);
        default:
            return FromStd(row.newName);
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        switch (section) {
        case 0:
            return QStringLiteral("Dossier");
        case 1:
            return QStringLiteral("Ancien nom");
        default:
            return QStringLiteral("Nouveau nom");
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    RenamePreview m_preview;
};

RenamePreviewWindow::RenamePreviewWindow(const RenamePreview& preview, QWidget* parent)
    : QDialog(parent), m_names(new RenamePreviewModel(preview, this)) {
    const RenamePreview& shown = m_names->preview();
    setObjectName(QStringLiteral("RenamePreviewWindow"));
    setWindowTitle(FromStd(kRenamePreviewTitle));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(10);

    auto* stop = new QLabel(FromStd(RenamePreviewStopText(shown)), this);
    stop->setObjectName(QStringLiteral("stop"));
    stop->setWordWrap(true);
    stop->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outer->addWidget(stop);

    auto* list = new QTreeView(this);
    list->setObjectName(QStringLiteral("names"));
    list->setModel(m_names);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setTextElideMode(Qt::ElideMiddle);
    list->header()->setStretchLastSection(false);
    for (int column = 0; column < 3; ++column)
        list->header()->setSectionResizeMode(column, QHeaderView::Stretch);
    outer->addWidget(list, 1);
    // The file it would stop at, shown and chosen.
    if (shown.stop && shown.stopRow < shown.rows.size()) {
        const QModelIndex at = m_names->index(static_cast<int>(shown.stopRow), 0);
        list->setCurrentIndex(at);
        list->scrollTo(at, QAbstractItemView::PositionAtCenter);
    }

    auto* copy = new QPushButton(QStringLiteral("Copier la liste"), this);
    copy->setObjectName(QStringLiteral("copyList"));
    copy->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("Fermer"), this);
    close->setObjectName(QStringLiteral("close"));
    connect(copy, &QPushButton::clicked, this, &RenamePreviewWindow::copyList);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(close);
    outer->addLayout(buttons);

    const QFontMetrics metrics = fontMetrics();
    resize(metrics.averageCharWidth() * 110, metrics.height() * 26);
    list->setFocus();
}

void RenamePreviewWindow::copyList() const {
    QGuiApplication::clipboard()->setText(FromStd(RenamePreviewText(m_names->preview())));
}

// The real dialog lives beside its window: the prompt service names no window.
void QtPrompts::showRenamePreview(QWidget* parent, const RenamePreview& preview) {
    RenamePreviewWindow window(preview, parent);
    window.exec();
}

} // namespace pilotrame::gui
