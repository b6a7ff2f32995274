#pragma once

#include "app/PortComboBox.h"
#include "app/TForm1.h"
#include "support/RecordingPresenter.h"
#include "support/SimulatorProcess.h"

#include <QDir>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// The window with a recording presenter, in a temporary working folder (its test log goes
// there), and the simulator; Button1 and the port list at hand. A test's SetUp starts the
// simulator the way it needs (if at all), then calls makeWindow.
class PortWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(workFolder.isValid());
        previousFolder = QDir::currentPath();
        QDir::setCurrent(workFolder.path());
    }

    void TearDown() override {
        form.reset();
        QDir::setCurrent(previousFolder);
    }

    void makeWindow(const QStringList& portNames) {
        auto recorder = std::make_unique<RecordingPresenter>();
        messages = recorder.get();
        form = std::make_unique<climate::app::TForm1>(
            portNames, std::move(recorder), [this](int code) { exitCodes.push_back(code); });
        button = form->findChild<QPushButton*>(QStringLiteral("Button1"));
        ports = form->findChild<climate::app::PortComboBox*>(QStringLiteral("rdCOM"));
        ASSERT_NE(button, nullptr);
        ASSERT_NE(ports, nullptr);
    }

    void select(const QString& port) {
        const int index = ports->findText(port);
        ASSERT_GE(index, 0) << port.toStdString();
        ports->setCurrentIndex(index);
    }

    [[nodiscard]] bool timersActive() const {
        return form->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive() &&
               form->findChild<QTimer*>(QStringLiteral("Timer2"))->isActive();
    }

    QTemporaryDir workFolder;
    QString previousFolder;
    SimulatorProcess sim;
    RecordingPresenter* messages = nullptr; // owned by the window
    std::unique_ptr<climate::app::TForm1> form;
    QPushButton* button = nullptr;
    climate::app::PortComboBox* ports = nullptr;
    std::vector<int> exitCodes; // every exit the window asked for
};
