// An empty Qt 6 window of Quelora's size: the floor of start-up time and memory for
// any Qt Widgets program on this machine. With --text it shows one line of text in the
// organiser's font: the floor of any window that shows text (fonts found, loaded, shaped).
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget w;
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto* line = new QLabel(QStringLiteral("Tu diario, tus fechas y tus direcciones, en tu carpeta"), &w);
        line->setFont(QFont(QStringLiteral("Arial"), 8));
        line->move(10, 10);
    }
    w.setWindowTitle(QStringLiteral("Empty"));
    w.setFixedSize(723, 508); // 10845 x 7620 twips, as the organiser's window
    w.show();
    return app.exec();
}
