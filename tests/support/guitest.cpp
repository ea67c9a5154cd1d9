#include "support/guitest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace pilotrame::test {

void click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        // A hidden or disabled button ignores clicks, as on screen.
        if (!button->isEnabled() || !shownInWindow(button))
            return;
        button->click();
        return;
    }
    QTest::mouseClick(widget, Qt::LeftButton);
}

void typeText(QWidget* widget, const QString& text) {
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

bool shownInWindow(const QWidget* widget) {
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        if (w->isHidden())
            return false;
    }
    return true;
}

} // namespace pilotrame::test
