#include "UnitServer.h"

#include "UnitModel.h"

namespace sim {

UnitServer::UnitServer(UnitModel& model, FaultPlan& faults) : m_model(model), m_faults(faults) {}

std::vector<ReplyChunk> UnitServer::serve(std::span<const std::uint8_t> request) {
    if (request.size() < 4)
        return {};
    const std::uint8_t address = request[0];
    if (address != m_model.address()) {
        ++m_stats.ignored;
        return {};
    }
    m_stats.countRequest(request[1]);
    // A silent unit neither answers nor carries out what it is asked.
    if (m_faults.isSilent()) {
        ++m_stats.silenced;
        return {};
    }

    const auto code = m_faults.takeException();
    std::vector<std::uint8_t> reply =
        code ? m_responder.exception(request, *code) : m_responder.respond(request, m_model);
    if (reply.size() < 2)
        return {};
    ++m_stats.replies;
    if (reply[1] & 0x80)
        ++m_stats.exceptions;
    return m_faults.shape(std::move(reply), address);
}

} // namespace sim
