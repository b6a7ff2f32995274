#include "FanCurveReads.h"

namespace climate::curves {

using namespace climate::link;

FanCurveReads::FanCurveReads(CommEngine& engine)
    : m_engine(engine), m_intfan(Requests::DrawIntfan, m_records, FanCurveRecords::InternalFans),
      m_extfan(Requests::DrawExtfan, m_records, FanCurveRecords::ExternalFans),
      m_intfanRegistration(m_engine.registerTransaction(CommEngine::Table::DeclarationCommand,
                                                        DrawIntfanCode, m_intfan)),
      m_extfanRegistration(m_engine.registerTransaction(CommEngine::Table::DeclarationCommand,
                                                        DrawExtfanCode, m_extfan)) {}

void FanCurveReads::post(FanCurveRecords::Group group) {
    m_records.readPosted(group);
    m_engine.postCommand(group == FanCurveRecords::InternalFans ? DrawIntfanCode : DrawExtfanCode);
}

} // namespace climate::curves
