#pragma once

#include "app/designname.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPalette>
#include <QSizePolicy>
#include <QString>
#include <QWidget>

#include <string>
#include <string_view>

namespace pilotrame::gui {

// Small pieces shared by the panels of the main window.

inline QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string toStd(const QString& text) {
    return text.toStdString();
}

// Hidden controls keep their room, so that switching modes never reflows the window.
template <typename T> T* keepRoom(T* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

// A box that shows a value the user cannot type: read-only on a grey background.
inline void makeReadOnlyGrey(QLineEdit* edit) {
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window).darker(110));
    edit->setPalette(palette);
}

// The width of the small "..." buttons beside a path.
inline int smallButtonWidth(const QWidget* widget) {
    return widget->fontMetrics().horizontalAdvance(QStringLiteral("....")) * 3;
}

// The width of a number box that holds about digits characters.
inline int digitsWidth(const QWidget* widget, int digits) {
    return widget->fontMetrics().horizontalAdvance(QLatin1Char('0')) * digits;
}

} // namespace pilotrame::gui
