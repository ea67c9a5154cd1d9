#include "support/guitest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <string>
#include <type_traits>
#include <vector>

namespace pilotrame::test {
namespace {

template <typename T> T* place(QWidget* window, const char* name, QPoint at, QSize size = {}) {
    auto* widget = new T(window);
    widget->setObjectName(QString::fromLatin1(name));
    if constexpr (std::is_base_of_v<QLabel, T> || std::is_base_of_v<QAbstractButton, T>)
        widget->setText(QStringLiteral("Nom du calque"));
    widget->setGeometry(QRect(at, size.isValid() ? size : widget->sizeHint()));
    return widget;
}

TEST(LayoutFaults, NamesEveryFaultOfTheShownControlsOnly) {
    QWidget window;
    window.resize(400, 300);
    const QLabel* a = place<QLabel>(&window, "A", {10, 10});
    place<QLabel>(&window, "B", {12, 12});
    place<QPushButton>(&window, "C", {10, 60}, {20, a->sizeHint().height() * 2});
    place<QLineEdit>(&window, "D", {350, 60});
    place<QListWidget>(&window, "E", {10, 200}, {150, 2});
    // Not shown, or part of a control: never counted.
    place<QLabel>(&window, "hidden", {10, 10})->hide();
    place<QComboBox>(&window, "F", {10, 120})->setEditable(true);

    EXPECT_EQ(layoutFaults(&window),
              (std::vector<std::string>{"A overlaps B", "C cut", "D outside the window", "E cut"}));
}

TEST(LayoutFaults, NoneWhenEveryControlHasItsRoom) {
    QWidget window;
    window.resize(400, 300);
    place<QLabel>(&window, "A", {10, 10});
    place<QPushButton>(&window, "C", {10, 60});
    place<QLineEdit>(&window, "D", {200, 60});
    place<QComboBox>(&window, "F", {10, 120})->setEditable(true);
    EXPECT_EQ(layoutFaults(&window), std::vector<std::string>{});
}

} // namespace
} // namespace pilotrame::test
