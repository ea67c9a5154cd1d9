#include "gui/programstyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QProxyStyle>

#include <optional>

namespace pilotrame::gui {

namespace {

// An icon of the base style, asked of it when a size or an image of it is first wanted.
class DeferredIconEngine final : public QIconEngine {
public:
    DeferredIconEngine(const QStyle* base, QStyle::StandardPixmap which)
        : m_base(base), m_which(which) {}

    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }

private:
    const QIcon& icon() {
        if (!m_icon)
            m_icon = m_base->standardIcon(m_which);
        return *m_icon;
    }

    const QStyle* m_base;
    QStyle::StandardPixmap m_which;
    std::optional<QIcon> m_icon;
};

class ProgramStyle final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton)
            return QIcon(new DeferredIconEngine(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

void UseProgramStyle() {
    QApplication::setStyle(new ProgramStyle);
}

} // namespace pilotrame::gui
