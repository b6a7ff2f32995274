#pragma once

#include "link/Transaction.h"

#include <QString>

#include <functional>

// Reads the firmware version text from input registers 15 ... 26. No message either way.
class FirmwareVersionTransaction : public CommandTransaction {
public:
    explicit FirmwareVersionTransaction(std::function<void(const QString&)> show);

    void onGood(TransactionContext& context, std::span<const std::uint8_t> reply) override;

private:
    std::function<void(const QString&)> m_show;
};
