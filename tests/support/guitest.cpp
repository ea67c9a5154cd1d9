#include "support/guitest.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextEdit>

namespace pilotrame::test {

void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        // A hidden or disabled button ignores clicks, as on screen.
        if (!button->isEnabled() || !ShownInWindow(button))
            return;
        button->click();
        return;
    }
    QTest::mouseClick(widget, Qt::LeftButton);
}

void TypeText(QWidget* widget, const QString& text) {
    ASSERT_NE(widget, nullptr);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        ASSERT_TRUE(combo->isEditable());
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), text);
        if (text.isEmpty())
            combo->lineEdit()->clear();
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->selectAll();
        if (text.isEmpty())
            edit->clear();
        else
            QTest::keyClicks(edit, text);
        return;
    }
    QTest::keyClicks(widget, text);
}

bool ShownInWindow(const QWidget* widget) {
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        if (w->isHidden())
            return false;
    }
    return true;
}

namespace {

bool IsControl(const QWidget* widget) {
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget);
}

// True when a control between widget and window holds widget: a combo's own line edit, a list's
// header.
bool InsideControl(const QWidget* widget, const QWidget* window) {
    for (const QWidget* w = widget->parentWidget(); w && w != window; w = w->parentWidget())
        if (IsControl(w))
            return true;
    return false;
}

} // namespace

std::vector<std::string> LayoutFaults(const QWidget* window) {
    std::vector<const QWidget*> controls;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (IsControl(widget) && widget->isVisibleTo(window) && !InsideControl(widget, window))
            controls.push_back(widget);
    }
    const auto rectOf = [window](const QWidget* widget) {
        return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
    };
    std::vector<std::string> faults;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QWidget* control = controls[i];
        const std::string name = Str(control->objectName());
        if (!window->rect().contains(rectOf(control)))
            faults.push_back(name + " outside the window");
        const QSize minimum = control->minimumSizeHint();
        const bool captioned =
            qobject_cast<const QLabel*>(control) || qobject_cast<const QAbstractButton*>(control);
        if ((captioned && control->width() < control->sizeHint().width()) ||
            control->width() < minimum.width() || control->height() < minimum.height())
            faults.push_back(name + " cut");
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            if (rectOf(control).intersects(rectOf(controls[j])))
                faults.push_back(name + " overlaps " + Str(controls[j]->objectName()));
    }
    return faults;
}

std::vector<std::string> CaptionFaults(const QWidget* window) {
    std::vector<std::string> faults;
    const QRect screen = window->screen()->availableGeometry();
    if (!screen.contains(window->frameGeometry()) &&
        screen.size().expandedTo(window->minimumSize()) == screen.size())
        faults.push_back(Str(window->objectName()) + " not whole on its screen");
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(control);
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty() || control->window() != window || !control->isVisibleTo(window))
            continue;
        // Where the style draws the caption: beside the indicator, inside the bevel.
        QRect room = control->contentsRect();
        if (button) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = text;
            const auto element =
                qobject_cast<const QCheckBox*>(button)      ? QStyle::SE_CheckBoxContents
                : qobject_cast<const QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                            : QStyle::SE_PushButtonContents;
            room = control->style()->subElementRect(element, &option, control);
        }
        const int wrap = control->property("wordWrap").toBool() ? Qt::TextWordWrap : 0;
        const QSize needed =
            control->fontMetrics()
                .boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextShowMnemonic | wrap, text)
                .size();
        if (needed.width() > room.width() || needed.height() > room.height())
            faults.push_back(Str(control->objectName()) + " cuts \"" + Str(text) + "\"");
    }
    return faults;
}

} // namespace pilotrame::test
