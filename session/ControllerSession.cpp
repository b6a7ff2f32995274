#include "ControllerSession.h"

namespace climate::session {

ControllerSession::ControllerSession(link::MessagePresenter& messages,
                                     realtime::LiveDataModel::Clock clock)
    : m_engine(m_port, messages, m_linkState),
      m_live(std::make_unique<realtime::LivePolling>(m_engine, std::move(clock))),
      m_parameters(std::make_unique<config::ParameterTransfers>(m_engine)),
      m_fanCurves(std::make_unique<curves::FanCurveReads>(m_engine)) {}

// The transactions go first, unregistering from the engine while it is still there.
ControllerSession::~ControllerSession() = default;

} // namespace climate::session
