#include "CommandInterpreter.h"

#include "FaultPlan.h"
#include "LinkControl.h"
#include "RegisterTable.h"
#include "RequestStats.h"
#include "UnitModel.h"
#include "UnitRegisters.h"

#include <charconv>
#include <chrono>
#include <optional>

namespace sim {

namespace {

constexpr std::string_view Reference =
    R"(The console takes one command per line on standard input and answers each with one line
"ok ..." or "error <reason>"; TABLE is hr, ir, coil or di; numbers are decimal or 0x hex.

Console commands:
  get TABLE START [COUNT]    "ok v1 v2 ...": COUNT values (default 1) from START; registers as
                             unsigned 16-bit decimal, coils and inputs as 0 or 1.
  set TABLE ADDR VALUE       store one value as a bus write would (holding 27 moves the unit to a
                             new address, holding 30 sets the debug temperature, coil 12 the
                             forced output) and pin it: the model leaves it alone until unpinned,
                             and the controller acts on a pinned reading as on a measured one.
                             Registers take -32768..65535, coils and inputs 0 or 1.
  unpin [TABLE ADDR]         release one pinned value, or every pinned value.
  model on|off               run or freeze the model that moves once a second.
  step [N]                   advance the model by N seconds at once (default 1), also when frozen.
  address N                  change the unit's slave address, 1..255 (same as set hr 27 N).
  silent on|off              ignore every request: nothing is answered or carried out.
  delay MS                   wait MS milliseconds before every reply (0: answer at once).
  wrongaddress [N] [count=C]
                             the next reply carries slave address N (default own address + 1;
                             never the own address).
  wrongfunction [count=C]    the next reply carries another function code (1<->2, 3<->4, 5<->6,
                             15<->16; exception codes likewise).
  badcrc [count=C]           the next reply's CRC is corrupted (under MBAP: its transaction id).
  exception CODE [count=C]   the next request is not carried out but answered with the Modbus
                             exception CODE (1..11).
  split BYTES MS [count=C]   the next reply goes out in chunks of BYTES bytes, MS ms apart.
  debugreply V|off           answer writes of holding 30 (function 6) with V in the echo instead of
                             the value written (the value written is still stored).
  noise N                    write N random bytes (1..1000000) to the line now.
  clear                      switch every fault off: silent, delay, debugreply and armed faults.
  faults                     "ok silent=.. delay=.. debugreply=.. ...": the faults in force.
  pull                       close the pseudo-terminal (clients see a hang-up), remove the link;
                             over TCP drop the client and stop listening.
  plug                       create a new pseudo-terminal, point the link at it: "ok DEVICE";
                             over TCP listen again on the same port: "ok HOST:PORT".
  stats [reset]              "ok requests=N fc1=N fc2=N fc3=N fc4=N fc5=N fc6=N fc16=N other=N
                             ignored=N silenced=N exceptions=N replies=N skipped=N", or zero them.
  help                       one line listing the commands.
  quit                       answer ok, then stop as on SIGTERM.

Faults marked [count=C] apply to the next reply only; count=C makes them apply to the next C
replies, count=always to every reply until "clear". Arming one again replaces its count.
)";

constexpr std::string_view CommandList =
    "get set unpin model step address silent delay wrongaddress wrongfunction badcrc exception "
    "split debugreply noise clear faults pull plug stats help quit";

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r\n", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = line.find_first_of(" \t\r\n", start);
        words.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        at = end == std::string_view::npos ? line.size() : end;
    }
    return words;
}

std::optional<long> parseNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<long> parseInRange(std::string_view text, long low, long high) {
    const auto value = parseNumber(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

std::string ok(const std::string& text = {}) {
    return text.empty() ? "ok" : "ok " + text;
}

std::string error(const std::string& reason) {
    return "error " + reason;
}

std::string range(long low, long high) {
    return std::to_string(low) + ".." + std::to_string(high);
}

std::optional<bool> parseSwitch(std::string_view word) {
    if (word == "on") {
        return true;
    }
    if (word == "off") {
        return false;
    }
    return std::nullopt;
}

} // namespace

CommandInterpreter::CommandInterpreter(UnitModel& model, FaultPlan& faults, RequestStats& stats,
                                       LinkControl& link)
    : m_model(model), m_faults(faults), m_stats(stats), m_link(link) {}

std::string_view CommandInterpreter::reference() {
    return Reference;
}

std::string CommandInterpreter::execute(std::string_view line) {
    const Words words = splitWords(line);
    if (words.empty()) {
        return {};
    }
    const std::string_view command = words.front();
    if (command == "get") {
        return get(words);
    }
    if (command == "set") {
        return set(words);
    }
    if (command == "unpin") {
        return unpin(words);
    }
    if (command == "model") {
        return model(words);
    }
    if (command == "step") {
        return step(words);
    }
    if (command == "address") {
        return address(words);
    }
    if (command == "silent") {
        return silent(words);
    }
    if (command == "delay") {
        return delay(words);
    }
    if (command == "wrongaddress" || command == "wrongfunction" || command == "badcrc" ||
        command == "exception" || command == "split") {
        return oneShot(words);
    }
    if (command == "debugreply") {
        return debugReply(words);
    }
    if (command == "noise") {
        return noise(words);
    }
    if (command == "stats") {
        return stats(words);
    }
    if (command == "plug") {
        return words.size() == 1 ? plug() : error("usage: plug");
    }
    if (words.size() != 1) {
        return error("usage: " + std::string(command) + " takes no arguments");
    }
    if (command == "clear") {
        m_faults.clear();
        return ok();
    }
    if (command == "faults") {
        return ok(m_faults.describe());
    }
    if (command == "pull") {
        m_link.pull();
        return ok();
    }
    if (command == "help") {
        return ok(std::string(CommandList));
    }
    if (command == "quit") {
        m_link.quit();
        return ok();
    }
    return error("unknown command '" + std::string(command) + "' (try help)");
}

std::string CommandInterpreter::get(const Words& words) const {
    if (words.size() < 3 || words.size() > 4) {
        return error("usage: get hr|ir|coil|di START [COUNT]");
    }
    const auto table = tableFromName(words[1]);
    if (!table) {
        return error("unknown table '" + std::string(words[1]) + "' (hr, ir, coil or di)");
    }
    const int size = tableSize(*table);
    const auto start = parseInRange(words[2], 0, size - 1);
    if (!start) {
        return error("START must be " + range(0, size - 1));
    }
    const auto count = words.size() == 4 ? parseInRange(words[3], 1, size - *start) : 1L;
    if (!count) {
        return error("COUNT must be " + range(1, size - *start));
    }
    std::string values;
    for (long i = 0; i < *count; ++i) {
        if (i) {
            values += ' ';
        }
        values += std::to_string(m_model.value(*table, static_cast<int>(*start + i)));
    }
    return ok(values);
}

std::string CommandInterpreter::set(const Words& words) {
    if (words.size() != 4) {
        return error("usage: set hr|ir|coil|di ADDR VALUE");
    }
    const auto table = tableFromName(words[1]);
    if (!table) {
        return error("unknown table '" + std::string(words[1]) + "' (hr, ir, coil or di)");
    }
    const int size = tableSize(*table);
    const auto address = parseInRange(words[2], 0, size - 1);
    if (!address) {
        return error("ADDR must be " + range(0, size - 1));
    }
    const auto value =
        isBitTable(*table) ? parseInRange(words[3], 0, 1) : parseInRange(words[3], -32768, 65535);
    if (!value) {
        return error("VALUE must be " + (isBitTable(*table) ? range(0, 1) : range(-32768, 65535)));
    }
    const auto word = static_cast<std::uint16_t>(*value & 0xFFFF);
    if (const auto reason = UnitModel::refusal(*table, static_cast<int>(*address), word)) {
        return error(*reason);
    }
    m_model.pin(*table, static_cast<int>(*address), word);
    return ok();
}

std::string CommandInterpreter::unpin(const Words& words) {
    if (words.size() == 1) {
        m_model.unpinAll();
        return ok();
    }
    if (words.size() != 3) {
        return error("usage: unpin [hr|ir|coil|di ADDR]");
    }
    const auto table = tableFromName(words[1]);
    if (!table) {
        return error("unknown table '" + std::string(words[1]) + "' (hr, ir, coil or di)");
    }
    const auto address = parseInRange(words[2], 0, tableSize(*table) - 1);
    if (!address) {
        return error("ADDR must be " + range(0, tableSize(*table) - 1));
    }
    m_model.unpin(*table, static_cast<int>(*address));
    return ok();
}

std::string CommandInterpreter::model(const Words& words) {
    const auto on = words.size() == 2 ? parseSwitch(words[1]) : std::nullopt;
    if (!on) {
        return error("usage: model on|off");
    }
    m_model.setRunning(*on);
    return ok();
}

std::string CommandInterpreter::step(const Words& words) {
    if (words.size() > 2) {
        return error("usage: step [N]");
    }
    const auto seconds = words.size() == 2 ? parseInRange(words[1], 1, 86400) : 1L;
    if (!seconds) {
        return error("N must be " + range(1, 86400));
    }
    for (long i = 0; i < *seconds; ++i) {
        m_model.advance();
    }
    return ok();
}

std::string CommandInterpreter::address(const Words& words) {
    const auto address = words.size() == 2 ? parseInRange(words[1], 1, 255) : std::nullopt;
    if (!address) {
        return error("usage: address N (N = 1..255)");
    }
    m_model.write(RegisterTable::HoldingRegister, reg::Address,
                  static_cast<std::uint16_t>(*address));
    return ok();
}

std::string CommandInterpreter::silent(const Words& words) {
    const auto on = words.size() == 2 ? parseSwitch(words[1]) : std::nullopt;
    if (!on) {
        return error("usage: silent on|off");
    }
    m_faults.setSilent(*on);
    return ok();
}

std::string CommandInterpreter::delay(const Words& words) {
    const auto ms = words.size() == 2 ? parseInRange(words[1], 0, 60000) : std::nullopt;
    if (!ms) {
        return error("usage: delay MS (MS = 0..60000)");
    }
    m_faults.setDelay(std::chrono::milliseconds(*ms));
    return ok();
}

std::string CommandInterpreter::oneShot(const Words& words) {
    Words arguments(words.begin() + 1, words.end());
    int count = 1;
    if (!arguments.empty() && arguments.back().starts_with("count=")) {
        const std::string_view text = arguments.back().substr(6);
        const auto parsed = parseInRange(text, 1, 1000000);
        if (text == "always") {
            count = FaultPlan::Forever;
        } else if (parsed) {
            count = static_cast<int>(*parsed);
        } else {
            return error("count must be 1..1000000 or always");
        }
        arguments.pop_back();
    }

    const std::string_view command = words.front();
    if (command == "wrongaddress") {
        if (arguments.size() > 1) {
            return error("usage: wrongaddress [N] [count=C]");
        }
        std::optional<std::uint8_t> address;
        if (arguments.size() == 1) {
            const auto parsed = parseInRange(arguments[0], 0, 255);
            if (!parsed) {
                return error("N must be " + range(0, 255));
            }
            address = static_cast<std::uint8_t>(*parsed);
        }
        m_faults.armWrongAddress(address, count);
    } else if (command == "wrongfunction" || command == "badcrc") {
        if (!arguments.empty()) {
            return error("usage: " + std::string(command) + " [count=C]");
        }
        if (command == "badcrc") {
            m_faults.armBadCrc(count);
        } else {
            m_faults.armWrongFunction(count);
        }
    } else if (command == "exception") {
        const auto code = arguments.size() == 1 ? parseInRange(arguments[0], 1, 11) : std::nullopt;
        if (!code) {
            return error("usage: exception CODE [count=C] (CODE = 1..11)");
        }
        m_faults.armException(static_cast<std::uint8_t>(*code), count);
    } else {
        const auto bytes =
            arguments.size() == 2 ? parseInRange(arguments[0], 1, 256) : std::nullopt;
        const auto gap =
            arguments.size() == 2 ? parseInRange(arguments[1], 0, 60000) : std::nullopt;
        if (!bytes || !gap) {
            return error("usage: split BYTES MS [count=C] (BYTES = 1..256, MS = 0..60000)");
        }
        m_faults.armSplit(static_cast<int>(*bytes), std::chrono::milliseconds(*gap), count);
    }
    return ok();
}

std::string CommandInterpreter::debugReply(const Words& words) {
    if (words.size() == 2 && words[1] == "off") {
        m_faults.setDebugReply(std::nullopt);
        return ok();
    }
    const auto value = words.size() == 2 ? parseInRange(words[1], -32768, 65535) : std::nullopt;
    if (!value) {
        return error("usage: debugreply V|off (V = -32768..65535)");
    }
    m_faults.setDebugReply(static_cast<std::uint16_t>(*value & 0xFFFF));
    return ok();
}

std::string CommandInterpreter::noise(const Words& words) {
    const auto count = words.size() == 2 ? parseInRange(words[1], 1, 1000000) : std::nullopt;
    if (!count) {
        return error("usage: noise N (N = 1..1000000)");
    }
    m_link.sendNoise(static_cast<std::size_t>(*count));
    return ok();
}

std::string CommandInterpreter::stats(const Words& words) {
    if (words.size() == 1) {
        return ok(m_stats.format());
    }
    if (words.size() == 2 && words[1] == "reset") {
        m_stats = RequestStats();
        return ok();
    }
    return error("usage: stats [reset]");
}

std::string CommandInterpreter::plug() {
    std::string result;
    if (!m_link.plug(result)) {
        return error(result);
    }
    return ok(result);
}

} // namespace sim
