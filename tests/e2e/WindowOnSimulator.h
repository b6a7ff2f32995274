#pragma once

#include "GroupWrites.h"
#include "app/TForm1.h"
#include "support/RecordingPresenter.h"
#include "support/SimulatorProcess.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The whole window against the controller simulator, its port open: the base of the end-to-end
// tests. SetUp makes a temporary folder the current one (the window keeps its test log there),
// starts the simulator, creates the window with the simulator's link among its ports and opens
// that port; TearDown closes the window and goes back to the previous folder.
class WindowOnSimulator : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Selects the simulator's entry in rdCOM and clicks Button1; a fatal failure unless the button
    // then reads "Close" (at once for a serial port, within the connect time for a network one).
    void openPort();

    // Runs the event loop until the window's `timer` ("Timer1", "Timer2" for the engine) has ticked
    // `ticks` more times; false when that takes longer than `timeoutMs`. Waits that prove nothing
    // happened count ticks, so a slow machine does not shorten what they cover.
    bool waitTimerTicks(const char* timer, int ticks, int timeoutMs = 10000);

    // The window's control `name`; a failure names it when there is none.
    template <typename T> T* child(const std::string& name) const {
        T* found = form->findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPushButton* button(const std::string& name) const { return child<QPushButton>(name); }
    QLineEdit* edit(const std::string& name) const { return child<QLineEdit>(name); }
    QComboBox* combo(const std::string& name) const { return child<QComboBox>(name); }

    // Clicks a command button and waits until the engine has ended the command; false (with a
    // failure when the click posted nothing) otherwise.
    bool clickAndWait(const std::string& name, int timeoutMs = 5000);
    // Types the group's texts into its edits and picks its items in its combo boxes.
    void typeGroup(const GroupWrite& group);
    // The simulator's holding registers 0 ... 46, as the simulator holds them.
    std::vector<std::uint16_t> simulatorHolding();

    // Choices a derived fixture makes in its constructor, before SetUp.
    // Given to the simulator after its link path, e.g. {"--address", "7"}.
    QStringList simulatorArguments;
    // Empty: the simulator serves a pseudo-terminal. "rtu" or "mbap": it serves TCP on loopback
    // with that framing, and the window opens it as rtu+tcp:// or tcp://.
    QString simulatorFraming;
    // The window shows real, non-blocking message boxes (QtMessagePresenter); `messages` stays
    // null then.
    bool realMessageBoxes = false;
    // SetUp opens the simulator's port; a test that opens it itself, as a person would, says no.
    bool openPortInSetUp = true;

    SimulatorProcess sim;
    RecordingPresenter* messages = nullptr; // owned by the window
    std::unique_ptr<climate::app::TForm1> form;

private:
    QTemporaryDir m_workFolder;
    QString m_previousFolder;
};
