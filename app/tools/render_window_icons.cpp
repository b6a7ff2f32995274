// Renders the tool's SVG icon to the PNGs the window carries (app/resources/window-icon-N.png),
// through QIcon and Qt's SVG icon plugin as the window drew it itself: the same pixels, without
// the SVG plugin, QtSvg and their rendering threads in every run of the window.
// Usage: render-window-icons SVG FOLDER   (scripts/window-icons.sh runs it)
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fputs("usage: render-window-icons SVG FOLDER\n", stderr);
        return 2;
    }
    const QIcon icon(QString::fromLocal8Bit(argv[1]));
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    // The sizes X11 window managers are offered for a scalable icon.
    for (const int size : {16, 32, 64, 128}) {
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        const QString file = folder.filePath(QStringLiteral("window-icon-%1.png").arg(size));
        if (pixmap.size() != QSize(size, size) || !pixmap.save(file)) {
            std::fprintf(stderr, "render-window-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
