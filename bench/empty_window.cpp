// An empty Qt 6 window of Quelora's size: the floor of start-up time and memory for
// any Qt Widgets program on this machine.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(QStringLiteral("Empty"));
    w.setFixedSize(723, 508); // 10845 x 7620 twips, as the organiser's window
    w.show();
    return app.exec();
}
