// One main window with one label, in Qt's default style, font and language: what any Qt Widgets
// program costs on this display, for bench/memory.sh to hold the tool's window against.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal window"));
    window.setCentralWidget(new QLabel(QStringLiteral("A minimal Qt Widgets window")));
    window.show();
    return QApplication::exec();
}
