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
// inotify merges identical events that are not read yet, so where the count of opens and closes
// says the device is left, the descriptors open on it (in /proc) have the last word.
class PtyLink final : public Line {
public:
    PtyLink(std::filesystem::path linkPath, int baud);
    ~PtyLink() override;
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Creates a fresh pseudo-terminal (closing the current one) and points the link at it.
    // Returns false with the reason in `error` when that fails, and the new device path in it
    // otherwise.
    bool plug(std::string& error) override;
    // Closes the pseudo-terminal and removes the link if it still points at it.
    void pull() override;

    [[nodiscard]] bool isPlugged() const override { return m_master.isValid(); }
    [[nodiscard]] int dataFd() const override { return m_master.get(); }
    [[nodiscard]] int watchFd() const override { return m_watch.get(); }
    [[nodiscard]] const std::filesystem::path& linkPath() const { return m_linkPath; }

    // Whether some client has the device open. Without inotify this is always true.
    [[nodiscard]] bool hasClient() const override { return !m_watch.isValid() || m_clients > 0; }

    // Reads the open/close events that are waiting. Returns true when the last client closed the
    // device, so whatever was on its way to that client can be dropped.
    bool handleWatchEvents() override;
    // The simulator holds the slave side open itself, so the master never sees an end.
    bool handleEndOfInput() override { return false; }

    [[nodiscard]] unsigned generation() const override { return m_generation; }
    [[nodiscard]] std::string address() const override { return m_linkPath.string(); }

private:
    void resetLine();

    std::filesystem::path m_linkPath;
    int m_baud;
    UniqueFd m_master;
    UniqueFd m_keeper; // the slave side, held open by the simulator
    UniqueFd m_watch;
    std::string m_device;
    int m_clients = 0;
    unsigned m_generation = 0;
};

} // namespace sim
