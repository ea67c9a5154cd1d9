// The yardstick of the start-up benchmark: the least a Qt Widgets program does to show a main
// window. It shows an empty main window and ends as soon as the event loop has run once.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Pilotrame"));
    window.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return QApplication::exec();
}
