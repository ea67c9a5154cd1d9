#pragma once

#include <QWidget>

namespace pilotrame::gui {

// The maker's banner along the bottom of the main window: a small logo and three lines of text.
class Banner : public QWidget {
    Q_OBJECT

public:
    explicit Banner(QWidget* parent = nullptr);
};

} // namespace pilotrame::gui
