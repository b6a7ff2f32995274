#pragma once

#include "LiveDataModel.h"

#include <QObject>
#include <QString>

namespace climate::realtime {

// What the RealTimeData page's two commands take from the user and show back:
// - the debug temperature's text ("0" at start), which "Send" converts and which is cleared once
//   the command's reply box is closed;
// - the forced-output rocker's position (on at start): every good status poll sets it from coil
//   12, the user flips it (a click or the space bar), and a matching echo of a force command sets
//   it to the state written.
// The page's Edit11 and iSwitchRocker1 are views of it; the commands and the handlers read it.
class LiveCommandInputs : public QObject, public LiveDataListener {
    Q_OBJECT

public:
    explicit LiveCommandInputs(QObject* parent = nullptr);

    [[nodiscard]] const QString& debugTemperatureText() const { return m_debugTemperatureText; }
    void setDebugTemperatureText(const QString& text);

    [[nodiscard]] bool rockerOn() const { return m_rockerOn; }
    // Sets the position and tells the view, changed or not: the poll sets the rocker on every
    // good reply, and the view shows it without counting it as the user's.
    void setRockerOn(bool on);

    // The status coils were decoded: the rocker follows coil 12.
    void groupDecoded(LiveGroup group, const LiveData& live, LiveClock::time_point at) override;

signals:
    void debugTemperatureTextChanged(const QString& text);
    void rockerSet(bool on);

private:
    QString m_debugTemperatureText = QStringLiteral("0");
    bool m_rockerOn = true;
};

} // namespace climate::realtime
