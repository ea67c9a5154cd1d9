#include "gui/screenfit.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace pilotrame::gui {

namespace {

// Fits each window the program shows; Qt places its own popups, menus and tips.
class ScreenKeeper final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->windowType() == Qt::Window || widget->windowType() == Qt::Dialog)
                FitOnScreen(widget);
        }
        return false;
    }
};

} // namespace

void UseFormFont() {
#ifdef Q_OS_WIN
    QFont form(QStringLiteral("MS Shell Dlg 2"), 8);
    // Qt lists the fonts installed, not the names Windows maps to them: MS Shell Dlg 2 is
    // Tahoma, Qt's system font until Qt 6 took Segoe UI 9.
    form.setFamilies({QStringLiteral("MS Shell Dlg 2"), QStringLiteral("Tahoma")});
    QApplication::setFont(form);
#endif
}

void KeepWindowsOnScreen(QObject* owner) {
    qApp->installEventFilter(new ScreenKeeper(owner));
}

void FitOnScreen(QWidget* window) {
    const QRect frame = window->frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame (title bar, borders) around the window's own area.
    const QSize border = frame.size() - window->size();
    const QSize size =
        window->size().boundedTo(area.size() - border).expandedTo(window->minimumSize());
    if (size != window->size())
        window->resize(size);
    const QSize whole = size + border;
    const QPoint place(std::clamp(frame.left(), area.left(),
                                  std::max(area.left(), area.right() + 1 - whole.width())),
                       std::clamp(frame.top(), area.top(),
                                  std::max(area.top(), area.bottom() + 1 - whole.height())));
    if (place != frame.topLeft())
        window->move(place);
}

} // namespace pilotrame::gui
