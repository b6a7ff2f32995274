#pragma once

#include "link/Transaction.h"

namespace climate::config {

struct ControllerParameters;
struct ParameterGroup;

// One group's Set: writes the staged values with function 16 and reports only success. The
// Address group switches the engine to the controller's new address once the user has closed the
// success box. Within Set All there is no box per group: what closing it would do happens at once.
class GroupWriteTransaction : public link::CommandTransaction {
public:
    GroupWriteTransaction(const ParameterGroup& group, const ControllerParameters& parameters);

    [[nodiscard]] link::ModbusFrame request(std::uint8_t deviceAddress) const override;
    void onGood(link::TransactionContext& context, std::span<const std::uint8_t> reply) override;

    // False while Set All writes the group: no success box.
    void announceSuccess(bool announce) { m_announce = announce; }

private:
    const ParameterGroup& m_group;
    const ControllerParameters& m_parameters;
    bool m_announce = true;
};

} // namespace climate::config
