#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

class FaultPlan;
class LinkControl;
class UnitModel;
struct RequestStats;

// The simulator's control language, one command per line. Every command is answered by one line
// starting with "ok" or "error <reason>"; a blank line gets no answer.
class CommandInterpreter {
public:
    CommandInterpreter(UnitModel& model, FaultPlan& faults, RequestStats& stats, LinkControl& link);

    [[nodiscard]] std::string execute(std::string_view line);

    // The command reference, as --help prints it.
    [[nodiscard]] static std::string_view reference();

private:
    using Words = std::vector<std::string_view>;

    [[nodiscard]] std::string get(const Words& words) const;
    [[nodiscard]] std::string set(const Words& words);
    [[nodiscard]] std::string unpin(const Words& words);
    [[nodiscard]] std::string model(const Words& words);
    [[nodiscard]] std::string step(const Words& words);
    [[nodiscard]] std::string address(const Words& words);
    [[nodiscard]] std::string silent(const Words& words);
    [[nodiscard]] std::string delay(const Words& words);
    [[nodiscard]] std::string oneShot(const Words& words);
    [[nodiscard]] std::string debugReply(const Words& words);
    [[nodiscard]] std::string noise(const Words& words);
    [[nodiscard]] std::string stats(const Words& words);
    [[nodiscard]] std::string plug();

    UnitModel& m_model;
    FaultPlan& m_faults;
    RequestStats& m_stats;
    LinkControl& m_link;
};

} // namespace sim
