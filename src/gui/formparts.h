#pragma once

#include "gui/controlname.h"

#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSizePolicy>
#include <QString>
#include <QWidget>

#include <string>
#include <string_view>

namespace pilotrame::gui {

// Small pieces shared by the panels of the main window and the other windows.

inline QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToStd(const QString& text) {
    return text.toStdString();
}

// A path with the system's separators, as the user reads it and the core takes it.
inline QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}
inline std::string NativeStdPath(const QString& path) {
    return ToStd(QDir::toNativeSeparators(path));
}

// Hidden controls keep their room, so that switching modes never reflows the window.
template <typename T> T* KeepRoom(T* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

// A box that shows a value the user cannot type: read-only on a grey background.
inline void MakeReadOnlyGrey(QLineEdit* edit) {
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window).darker(110));
    edit->setPalette(palette);
}

// The width of the small "..." buttons beside a path.
inline int SmallButtonWidth(const QWidget* widget) {
    return widget->fontMetrics().horizontalAdvance(QStringLiteral("....")) * 3;
}

// The width of a number box that holds about digits characters.
inline int DigitsWidth(const QWidget* widget, int digits) {
    return widget->fontMetrics().horizontalAdvance(QLatin1Char('0')) * digits;
}

// A label under its form control name.
inline QLabel* NamedLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

// A button under its form control name that only a click presses: Enter in a box of a dialog must
// not generate, write or open anything by surprise.
inline QPushButton* NamedButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace pilotrame::gui
