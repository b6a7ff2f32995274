#pragma once

#include "FanCurveParameters.h"

#include <QObject>

#include <array>

namespace climate::curves {

// The Declaration page's two fan curves as the reads leave them: each group's parameters from its
// last good read, whether its curve is drawn, and which curve was asked for last. The plot is a
// view of these records; the reads and the Draw buttons only change them.
class FanCurveRecords : public QObject {
    Q_OBJECT

public:
    // The fan groups, numbered as the plot's channels.
    enum Group : int { InternalFans = 0, ExternalFans = 1 };
    Q_ENUM(Group)
    static constexpr int GroupCount = 2;

    explicit FanCurveRecords(QObject* parent = nullptr);

    // A Draw button has posted the group's read: its curve is cleared and goes on top of the
    // other one, which stays as it is.
    void readPosted(Group group);
    // The group's read came back good: its parameters are replaced and its curve is drawn. A read
    // that fails changes nothing, so the curve stays cleared as readPosted left it.
    void readReceived(Group group, const FanCurveParameters& parameters);

    // The parameters of the group's last good read (zero until then).
    [[nodiscard]] const FanCurveParameters& parameters(Group group) const;
    // From a good read until the group's next Draw.
    [[nodiscard]] bool isDrawn(Group group) const;

    [[nodiscard]] static Group otherGroup(Group group) {
        return group == InternalFans ? ExternalFans : InternalFans;
    }

signals:
    // The group's curve was cleared or drawn anew; isDrawn() and parameters() say which.
    void curveChanged(climate::curves::FanCurveRecords::Group group);
    // The group's curve now lies on top of the other one.
    void raised(climate::curves::FanCurveRecords::Group group);

private:
    struct Record {
        FanCurveParameters parameters;
        bool drawn = false;
    };
    [[nodiscard]] Record& record(Group group);
    [[nodiscard]] const Record& record(Group group) const;

    std::array<Record, GroupCount> m_records{};
};

} // namespace climate::curves
