#include "LiveCommandInputs.h"

#include "LiveData.h"

namespace climate::realtime {

LiveCommandInputs::LiveCommandInputs(QObject* parent) : QObject(parent) {}

void LiveCommandInputs::setDebugTemperatureText(const QString& text) {
    if (text == m_debugTemperatureText) {
        return;
    }
    m_debugTemperatureText = text;
    emit debugTemperatureTextChanged(m_debugTemperatureText);
}

void LiveCommandInputs::setRockerOn(bool on) {
    m_rockerOn = on;
    emit rockerSet(m_rockerOn);
}

void LiveCommandInputs::groupDecoded(LiveGroup group, const LiveData& live,
                                     LiveClock::time_point /*at*/) {
    if (group == LiveGroup::StatusCoils) {
        setRockerOn(live.ForcedOutput == 1);
    }
}

} // namespace climate::realtime
