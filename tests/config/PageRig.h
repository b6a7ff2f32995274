#pragma once

#include "GroupFixtures.h"

#include "config/ConfigurationPage.h"
#include "support/EngineRig.h"
#include "support/EngineStaging.h"
#include "support/FakePortGate.h"
#include "support/FrameHex.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The controller's reply to Read All (function 3, holding 0 ... 46) from `address`.
inline std::vector<std::uint8_t> readAllReply(const std::array<std::uint16_t, 47>& registers,
                                              std::uint8_t address = 1) {
    std::vector<std::uint8_t> reply{address, 0x03, 94};
    for (const std::uint16_t word : registers) {
        reply.push_back(static_cast<std::uint8_t>(word >> 8));
        reply.push_back(static_cast<std::uint8_t>(word & 0xFF));
    }
    return withCrc(reply);
}

// The Configuration page built from real line edits and combo boxes holding the fixture's texts,
// on an engine with an open fake port that shows the Configuration page.
class PageRig {
public:
    PageRig() {
        for (const auto& [number, text] : fixtureEdits()) {
            auto* field = new QLineEdit(QString::fromStdString(text), &form);
            field->setObjectName(QStringLiteral("Edit%1").arg(number));
            view.Edit.at(number) = field;
        }
        for (const auto& [number, item] : fixtureCombos()) {
            auto* box = new QComboBox(&form);
            box->setObjectName(QStringLiteral("ComboBox%1").arg(number));
            box->addItems(number == 7 ? QStringList{"NO", "NC"} : QStringList{"Disable", "Enable"});
            box->setCurrentIndex(item);
            view.ComboBox.at(number) = box;
        }
        view.SWV = new QLineEdit(&form);
        view.port = &port;
        view.SetAllProgress = new QLabel(&form);
        page = std::make_unique<climate::config::ConfigurationPage>(rig.engine, view);
    }

    [[nodiscard]] QLineEdit* edit(int number) const { return view.Edit.at(number); }
    [[nodiscard]] QComboBox* combo(int number) const { return view.ComboBox.at(number); }
    [[nodiscard]] const climate::link::EngineState& state() const { return rig.engine.state(); }
    [[nodiscard]] EngineStaging stage() { return EngineStaging(rig.engine); }
    [[nodiscard]] const std::vector<FakeEngineWindow::ShownMessage>& messages() const {
        return rig.window.messages();
    }

    void closePort() { port.open = false; }

    // Ticks until a new request has gone out; returns it (empty when none came).
    std::vector<std::uint8_t> nextRequest(int maxTicks = 50) {
        const std::size_t before = rig.port.writes().size();
        const auto sent =
            rig.driver.runUntil([&] { return rig.port.writes().size() > before; }, maxTicks);
        return sent ? rig.port.writes().back().bytes : std::vector<std::uint8_t>{};
    }

    // Ticks until no command is busy; false when it still is after `maxTicks`.
    bool runUntilIdle(int maxTicks = 300) {
        return rig.driver.runUntil([&] { return !state().CommandBusy; }, maxTicks).has_value();
    }

    // Sends the posted command's request, lets `reply` arrive and runs the command to its end.
    std::vector<std::uint8_t> exchange(const std::vector<std::uint8_t>& reply) {
        std::vector<std::uint8_t> request = nextRequest();
        rig.port.feed(reply);
        EXPECT_TRUE(runUntilIdle());
        return request;
    }

    QWidget form; // parent of every field
    EngineRig rig;
    FakePortGate port;
    climate::config::ConfigurationView view;
    std::unique_ptr<climate::config::ConfigurationPage> page;
};
