#include "UnitServer.h"

#include "UnitModel.h"

namespace sim {

UnitServer::UnitServer(UnitModel& model, FaultPlan& faults) : model_(model), faults_(faults) {}

std::vector<ReplyChunk> UnitServer::serve(std::span<const std::uint8_t> request) {
    if (request.size() < 4)
        return {};
    const std::uint8_t address = request[0];
    if (address != model_.address()) {
        ++stats_.ignored;
        return {};
    }
    stats_.countRequest(request[1]);
    // A silent unit neither answers nor carries out what it is asked.
    if (faults_.isSilent()) {
        ++stats_.silenced;
        return {};
    }

    const auto code = faults_.takeException();
    std::vector<std::uint8_t> reply =
        code ? responder_.exception(request, *code) : responder_.respond(request, model_);
    if (reply.size() < 2)
        return {};
    ++stats_.replies;
    if (reply[1] & 0x80)
        ++stats_.exceptions;
    return faults_.shape(std::move(reply), address);
}

} // namespace sim
