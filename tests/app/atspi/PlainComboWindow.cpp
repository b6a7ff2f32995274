// A window with two plain Qt combo boxes, one editable and one not, and no interfaces of ours
// installed: what a screen reader gets from Qt itself, to compare the tool's combo boxes with.
#include <QApplication>
#include <QComboBox>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plain-combo-window"));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* fixed = new QComboBox;
    fixed->setObjectName(QStringLiteral("fixed"));
    fixed->addItems({QStringLiteral("Disable"), QStringLiteral("Enable")});
    fixed->setCurrentIndex(1);
    layout->addWidget(fixed);
    auto* editable = new QComboBox;
    editable->setObjectName(QStringLiteral("editable"));
    editable->setEditable(true);
    editable->addItems({QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1")});
    editable->setCurrentIndex(1);
    layout->addWidget(editable);
    window.show();
    return QApplication::exec();
}
