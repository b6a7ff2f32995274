#pragma once

#include "Line.h"
#include "UniqueFd.h"

#include <filesystem>
#include <string>

namespace sim {

// The simulator's end of the serial line: a pseudo-terminal in raw mode whose slave device is
// published as a symbolic link. The simulator keeps the slave open itself so that the master
// never reports a hang-up while no client has the port open, and watches the device with
// inotify to know when clients open and close it: a client always starts on an empty, raw line.
class PtyLink final : public Line {
public:
    PtyLink(std::filesystem::path linkPath, int baud);
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Creates a fresh pseudo-terminal (closing the current one) and points the link at it.
    // Returns false with the reason in `error` when that fails, and the new device path in it
    // otherwise.
    bool plug(std::string& error) override;
    // Closes the pseudo-terminal and removes the link if it still points at it.
    void pull() override;

    [[nodiscard]] bool isPlugged() const override { return master_.isValid(); }
    [[nodiscard]] int masterFd() const { return master_.get(); }
    [[nodiscard]] int dataFd() const override { return master_.get(); }
    [[nodiscard]] int watchFd() const override { return watch_.get(); }
    [[nodiscard]] const std::string& devicePath() const { return device_; }
    [[nodiscard]] const std::filesystem::path& linkPath() const { return linkPath_; }

    // Whether some client has the device open. Without inotify this is always true.
    [[nodiscard]] bool hasClient() const override { return !watch_.isValid() || clients_ > 0; }

    // Reads the open/close events that are waiting. Returns true when the last client closed the
    // device, so whatever was on its way to that client can be dropped.
    bool handleWatchEvents() override;
    // The simulator holds the slave side open itself, so the master never sees an end.
    bool handleEndOfInput() override { return false; }

    [[nodiscard]] unsigned generation() const override { return generation_; }
    [[nodiscard]] std::string address() const override { return linkPath_.string(); }

private:
    void resetLine();

    std::filesystem::path linkPath_;
    int baud_;
    UniqueFd master_;
    UniqueFd keeper_; // the slave side, held open by the simulator
    UniqueFd watch_;
    std::string device_;
    int clients_ = 0;
    unsigned generation_ = 0;
};

} // namespace sim
