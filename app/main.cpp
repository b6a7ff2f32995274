#include "ComboBoxAccessible.h"
#include "TForm1.h"
#include "WindowStyle.h"

#include "widgets/InstrumentAccessibility.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    try {
        // QSettings keeps the one remembered setting (the parameter files' folder) under these.
        QApplication::setOrganizationName(QStringLiteral("climate-tool"));
        QApplication::setApplicationName(QStringLiteral("climate-tool"));
        QApplication::setApplicationVersion(QStringLiteral(CLIMATE_TOOL_VERSION));
        QApplication::setApplicationDisplayName(TForm1::applicationTitle());
        applyWindowStyle(application);
        installInstrumentAccessibility();
        ComboBoxAccessible::install();

        // Port paths given on the command line join the port list (the simulator's, for one).
        QStringList ports = QApplication::arguments();
        ports.removeFirst();

        TForm1 form(ports);
        form.showMaximized();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, TForm1::applicationTitle(), QString::fromUtf8(error.what()));
        return 0;
    }
}
