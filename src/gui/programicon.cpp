#include "gui/programicon.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace pilotrame::gui {

namespace {

// The program's icon, read from the resources only when a size of it is asked for. Qt's own
// engine decodes every file as it is added, which would cost each start a few milliseconds for an
// icon that the platform may never draw (the offscreen one, Wayland). The mode and state do not
// change it: it is the icon of the windows, never of a control that can be disabled.
class ProgramIconEngine final : public QIconEngine {
public:
    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }
    // The build puts the icon into the program: it is there, and the folder is listed only when
    // a size is asked for.
    bool isNull() override { return false; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : sides())
            sizes << QSize(side, side);
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        if (sides().isEmpty())
            return {};
        const int side = std::min({size.width(), size.height(), sourceSide(size)});
        return {side, side};
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        if (sides().isEmpty() || size.isEmpty())
            return {};
        const int source = sourceSide(size);
        QPixmap& drawn = m_drawn[source];
        if (drawn.isNull())
            drawn.load(QStringLiteral(":/icons/%1.png").arg(source));
        const int side = std::min({size.width(), size.height(), source});
        if (side == source)
            return drawn;
        return drawn.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const QPixmap drawn = pixmap(rect.size(), mode, state);
        QRect target(QPoint(), drawn.size());
        target.moveCenter(rect.center());
        painter->drawPixmap(target, drawn);
    }

private:
    // The sizes drawn, smallest first: the build draws the icon once per size into the
    // resources, each file named by its size.
    const QList<int>& sides() {
        if (!m_listed) {
            const QDir folder(QStringLiteral(":/icons"));
            for (const QString& name : folder.entryList({QStringLiteral("*.png")}, QDir::Files))
                m_sides.push_back(QFileInfo(name).baseName().toInt());
            std::sort(m_sides.begin(), m_sides.end());
            m_listed = true;
        }
        return m_sides;
    }

    // The smallest size drawn that covers size, else the largest: a drawing scaled down stays
    // sharp, one scaled up does not.
    int sourceSide(const QSize& size) {
        const int wanted = std::min(size.width(), size.height());
        for (const int side : sides()) {
            if (side >= wanted)
                return side;
        }
        return m_sides.back();
    }

    bool m_listed = false;
    QList<int> m_sides;          // see sides()
    QHash<int, QPixmap> m_drawn; // the sizes read so far
};

} // namespace

QIcon ProgramIcon() {
    return QIcon(new ProgramIconEngine);
}

void SetDesktopIdentity() {
    QApplication::setWindowIcon(ProgramIcon());
    // The name comes from packaging/packaging.cmake, which installs the entry under it.
    QGuiApplication::setDesktopFileName(QStringLiteral(PILOTRAME_DESKTOP_FILE_NAME));
}

} // namespace pilotrame::gui
