#pragma once

#include "link/Transaction.h"

struct ControllerParameters;
struct ParameterGroup;

// One group's Set: writes the staged values with function 16 and reports only success. The
// Address group switches the engine to the controller's new address once the user has closed the
// success box.
class GroupWriteTransaction : public CommandTransaction {
public:
    GroupWriteTransaction(const ParameterGroup& group, const ControllerParameters& parameters);

    [[nodiscard]] ModbusFrame request(std::uint8_t deviceAddress) const override;
    void onGood(TransactionContext& context, std::span<const std::uint8_t> reply) override;

private:
    const ParameterGroup& m_group;
    const ControllerParameters& m_parameters;
};
