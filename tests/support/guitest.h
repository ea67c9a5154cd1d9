#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pilotrame::test {

// The child of root with this objectName and type; fails the test when there is none.
template <typename T> T* Child(const QObject* root, const QString& name) {
    T* found = root->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no " << name.toStdString();
    return found;
}

// Clicks a widget as a user would (a check box or button must be visible and enabled to react).
void Click(QWidget* widget);
// Replaces the text of a line edit or combo box by typing it.
void TypeText(QWidget* widget, const QString& text);

// True when the widget would be seen if its window were shown (not hidden itself or by an
// ancestor up to its window).
bool ShownInWindow(const QWidget* widget);

// The text as UTF-8, for test messages and comparisons with the core's strings.
inline std::string Str(const QString& text) {
    return text.toStdString();
}

// What is wrong in the layout of the controls the window shows (labels, boxes, buttons, combos,
// lists and text areas; a control inside another is part of it): one not wholly inside the
// window, one overlapping another, one smaller than its minimum size, a label or button narrower
// than its text. Empty when the layout is right.
std::vector<std::string> LayoutFaults(const QWidget* window);

// Each label and button of window whose caption needs more room than it has (wrapped on words
// when it says so, by the property wordWrap), and the window when it is not whole on its screen.
std::vector<std::string> CaptionFaults(const QWidget* window);

} // namespace pilotrame::test
