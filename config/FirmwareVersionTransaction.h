#pragma once

#include "link/Transaction.h"

#include <QString>

#include <functional>

namespace climate::config {

// Reads the firmware version text from input registers 15 ... 26. No message either way.
class FirmwareVersionTransaction : public link::CommandTransaction {
public:
    explicit FirmwareVersionTransaction(std::function<void(const QString&)> show);

    void onGood(link::TransactionContext& context, std::span<const std::uint8_t> reply) override;

private:
    std::function<void(const QString&)> m_show;
};

} // namespace climate::config
