#include "FirmwareVersionTransaction.h"

#include "FirmwareVersion.h"

#include "link/CommEngine.h"

namespace climate::config {

using namespace climate::link;

namespace {
constexpr int FirstWaitMs = 200;
constexpr std::size_t TextBytes = 24; // twelve registers, two characters each
} // namespace

FirmwareVersionTransaction::FirmwareVersionTransaction(std::function<void(const QString&)> show)
    : CommandTransaction(Requests::ReadFirmwareVersion, FirstWaitMs), m_show(std::move(show)) {}

void FirmwareVersionTransaction::onGood(TransactionContext& context,
                                        std::span<const std::uint8_t> reply) {
    // Data bytes 3 ... 26 of the reply, high byte of each register first.
    m_show(decodeFirmwareVersion(reply.subspan(3, TextBytes)));
    context.purgeInput();
    context.MarkLinkAlive();
    context.keepLinkAliveFor(CommEngine::ShortLinkAlive);
    context.endCommand();
}

} // namespace climate::config
