#pragma once

#include "link/Transaction.h"

#include <array>
#include <cstdint>
#include <functional>

namespace climate::config {

// Read All: holding registers 0 ... 46 in one request. An accepted reply goes to the page; no
// message either way.
class ReadAllTransaction : public link::CommandTransaction {
public:
    using Registers = std::array<std::uint16_t, link::Requests::ReadAll.quantity>;

    explicit ReadAllTransaction(std::function<void(const Registers&)> show);

    void onGood(link::TransactionContext& context, std::span<const std::uint8_t> reply) override;

private:
    std::function<void(const Registers&)> m_show;
};

} // namespace climate::config
