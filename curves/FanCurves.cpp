#include "FanCurves.h"

#include "FanCurvePoints.h"
#include "FanCurveReads.h"

#include "link/PortGate.h"
#include "widgets/XYPlot.h"

namespace climate::curves {

using namespace climate::link;
using namespace climate::widgets;

FanCurves::FanCurves(CommEngine& engine, FanCurveReads& reads, const CurveView& view)
    : m_engine(engine), m_reads(reads), m_view(view) {
    XYPlot* plot = m_view.iXYPlot1;
    if (plot == nullptr) {
        return;
    }
    const FanCurveRecords& records = m_reads.records();
    QObject::connect(&records, &FanCurveRecords::curveChanged, plot,
                     [plot, &records](FanCurveRecords::Group group) {
                         if (records.isDrawn(group)) {
                             plot->setPoints(group, fanCurvePoints(records.parameters(group)));
                         } else {
                             plot->clearChannel(group);
                         }
                     });
    QObject::connect(&records, &FanCurveRecords::raised, plot,
                     [plot](FanCurveRecords::Group group) {
                         plot->setChannelLayer(group, TopLayer);
                         plot->setChannelLayer(FanCurveRecords::otherGroup(group), LowerLayer);
                     });
}

void FanCurves::Button16Click() {
    postDraw(FanCurveRecords::InternalFans);
}

void FanCurves::Button17Click() {
    postDraw(FanCurveRecords::ExternalFans);
}

void FanCurves::postDraw(FanCurveRecords::Group group) {
    // Both buttons use the same busy caption.
    if (!mayPost(m_view.port, m_engine, SharedMessages::Busy)) {
        return;
    }
    m_reads.post(group);
}

const FanCurveParameters& FanCurves::internalFans() const {
    return m_reads.records().parameters(FanCurveRecords::InternalFans);
}

const FanCurveParameters& FanCurves::externalFans() const {
    return m_reads.records().parameters(FanCurveRecords::ExternalFans);
}

} // namespace climate::curves
