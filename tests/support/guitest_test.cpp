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

template <typename T> T* Place(QWidget* window, const char* name, QPoint at, QSize size = {}) {
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
    const QLabel* a = Place<QLabel>(&window, "A", {10, 10});
    Place<QLabel>(&window, "B", {12, 12});
    Place<QPushButton>(&window, "C", {10, 60}, {20, a->sizeHint().height() * 2});
    Place<QLineEdit>(&window, "D", {350, 60});
    Place<QListWidget>(&window, "E", {10, 200}, {150, 2});
    // Not shown, or part of a control: never counted.
    Place<QLabel>(&window, "hidden", {10, 10})->hide();
    Place<QComboBox>(&window, "F", {10, 120})->setEditable(true);

    EXPECT_EQ(LayoutFaults(&window),
              (std::vector<std::string>{"A overlaps B", "C cut", "D outside the window", "E cut"}));
}

TEST(LayoutFaults, NoneWhenEveryControlHasItsRoom) {
    QWidget window;
    window.resize(600, 300); // room for a line edit's width in any platform's font
    Place<QLabel>(&window, "A", {10, 10});
    Place<QPushButton>(&window, "C", {10, 60});
    Place<QLineEdit>(&window, "D", {200, 60});
    Place<QComboBox>(&window, "F", {10, 120})->setEditable(true);
    EXPECT_EQ(LayoutFaults(&window), std::vector<std::string>{});
}

} // namespace
} // namespace pilotrame::test
