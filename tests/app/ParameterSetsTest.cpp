// The "All" group's "Save…" and "Load…" on the window: where they sit, the file names they
// propose, the folder they remember, their shortcuts, and a round trip through the buttons.
#include "config/ParameterSets.h"
#include "app/TForm1.h"
#include "link/CommEngine.h"
#include "support/RecordingPresenter.h"
#include "support/ScriptedFileChooser.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace climate::app;
using namespace climate::config;

namespace {

class ParameterSetsWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("climate-tool-tests"));
        QCoreApplication::setApplicationName(QStringLiteral("climate-tool"));
    }

    ParameterSetsWindow() {
        QSettings().clear();
        auto recorder = std::make_unique<RecordingPresenter>();
        messages = recorder.get();
        form = std::make_unique<TForm1>(QStringList{}, std::move(recorder), [](int) {});
    }

    // The next dialog answers `path` ("" cancels).
    void answer(const QString& path) {
        form->parameterSets().setFileChooser(std::make_unique<ScriptedFileChooser>(path, log));
    }

    template <typename T> T* child(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* edit(int n) { return child<QLineEdit>(QStringLiteral("Edit%1").arg(n).toLatin1()); }

    QTemporaryDir folder;
    ScriptedFileChooser::Log log;
    RecordingPresenter* messages = nullptr;
    std::unique_ptr<TForm1> form;
};

TEST_F(ParameterSetsWindow, SaveAndLoadSitInTheAllGroupAndTheLeftColumnDoesNotOverlap) {
    auto* save = child<QPushButton>("SaveParameters");
    auto* load = child<QPushButton>("LoadParameters");
    ASSERT_TRUE(save && load);
    EXPECT_EQ(save->text(), QString::fromUtf8("Save…"));
    EXPECT_EQ(load->text(), QString::fromUtf8("Load…"));
    auto* all = qobject_cast<QGroupBox*>(save->parentWidget());
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->title(), "All");
    EXPECT_EQ(load->parentWidget(), all);
    EXPECT_EQ(child<QPushButton>("Button13")->parentWidget(), all);

    form->show();
    const auto noOverlap = [](const std::vector<QWidget*>& widgets) {
        for (std::size_t i = 0; i < widgets.size(); ++i) {
            for (std::size_t j = i + 1; j < widgets.size(); ++j) {
                EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()))
                    << widgets[i]->objectName().toStdString() << " / "
                    << widgets[j]->objectName().toStdString();
            }
        }
    };
    std::vector<QWidget*> inAll;
    for (QWidget* widget : all->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(all->contentsRect().contains(widget->geometry()))
            << widget->objectName().toStdString();
        inAll.push_back(widget);
    }
    noOverlap(inAll);

    std::vector<QWidget*> column{child<QPushButton>("Button2")};
    for (QGroupBox* group : child<QWidget>("Configuration")->findChildren<QGroupBox*>()) {
        if (group->x() < 200) {
            column.push_back(group);
        }
    }
    EXPECT_EQ(column.size(), 5u) << "four groups and Stop Systerm";
    noOverlap(column);
}

TEST_F(ParameterSetsWindow, SaveThenLoadThroughTheButtonsGivesTheTextsBack) {
    child<QLineEdit>("SWV")->setText(QStringLiteral("DCAC-HEX V1.00"));
    edit(17)->setText(QStringLiteral("7"));
    child<QPushButton>("Button8")->click(); // the file's header says slave 7
    edit(53)->setText(QStringLiteral("2.5"));
    edit(4)->setText(QStringLiteral("12"));
    const QString file = folder.filePath(QStringLiteral("unit 1.json"));

    answer(file);
    child<QPushButton>("SaveParameters")->click();
    ASSERT_TRUE(messages->shown().empty()) << messages->describe();
    ASSERT_EQ(log.proposedSaves.size(), 1);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_EQ(QFileInfo(log.proposedSaves[0]).fileName(),
              QStringLiteral("parameters-%1-DCAC-HEX_V1.00.json").arg(today));

    edit(53)->setText(QStringLiteral("9"));
    edit(4)->setText(QString());
    edit(17)->setText(QStringLiteral("3"));
    child<QPushButton>("Button8")->click();
    child<QPushButton>("LoadParameters")->click();
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
    EXPECT_EQ(edit(53)->text(), "2.5");
    EXPECT_EQ(edit(4)->text(), "12");
    EXPECT_EQ(edit(17)->text(), "3") << "Load leaves Comm Address alone";
    EXPECT_EQ(form->engine().state().DeviceAddress, 3u);
    EXPECT_EQ(form->engine().state().CommandBusy, 0) << "Load sends nothing";
}

TEST_F(ParameterSetsWindow, TheLastFolderIsRememberedAndCancelDoesNothing) {
    const QString file = folder.filePath(QStringLiteral("unit.json"));
    answer(file);
    child<QPushButton>("SaveParameters")->click();
    ASSERT_TRUE(QFile::exists(file));

    // Another run of the program opens its dialogs in the same folder.
    form.reset();
    form =
        std::make_unique<TForm1>(QStringList{}, std::make_unique<RecordingPresenter>(), [](int) {});
    answer(QString());
    edit(12)->setText(QStringLiteral("4321"));
    child<QPushButton>("LoadParameters")->click();
    ASSERT_EQ(log.openFolders.size(), 1);
    EXPECT_EQ(QDir(log.openFolders[0]), QDir(folder.path()));
    EXPECT_EQ(edit(12)->text(), "4321") << "cancelled";
    child<QPushButton>("SaveParameters")->click();
    ASSERT_EQ(log.proposedSaves.size(), 2);
    EXPECT_EQ(QFileInfo(log.proposedSaves[1]).absolutePath(), QDir(folder.path()).absolutePath());
    EXPECT_EQ(QFileInfo(log.proposedSaves[1]).fileName(),
              QStringLiteral("parameters-%1.json").arg(QDate::currentDate().toString(Qt::ISODate)))
        << "no firmware version read yet";
}

TEST_F(ParameterSetsWindow, ABadFileGivesOneBoxAndChangesNoField) {
    const QString file = folder.filePath(QStringLiteral("notes.json"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("{\"shopping\": [\"milk\"]}");
    out.close();
    edit(12)->setText(QStringLiteral("4321"));

    answer(file);
    child<QPushButton>("LoadParameters")->click();
    ASSERT_EQ(messages->shown().size(), 1u) << messages->describe();
    EXPECT_EQ(messages->shown()[0].message.caption, "Load Parameters");
    EXPECT_EQ(messages->shown()[0].message.text,
              "\"notes.json\" was not loaded: it is not a parameter file of this program. No "
              "field was changed.");
    EXPECT_EQ(edit(12)->text(), "4321");
}

TEST_F(ParameterSetsWindow, CtrlSAndCtrlOWorkOnlyWhileTheConfigurationPageIsShown) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    answer(QString());
    edit(12)->setFocus();

    QTest::keyClick(edit(12), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(edit(12), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(log.proposedSaves.size(), 1);
    EXPECT_EQ(log.openFolders.size(), 1);

    auto* data = child<QTabWidget>("Data");
    data->setCurrentIndex(1);
    data->setFocus();
    QTest::keyClick(data, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(data, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(log.proposedSaves.size(), 1);
    EXPECT_EQ(log.openFolders.size(), 1);
}

} // namespace
