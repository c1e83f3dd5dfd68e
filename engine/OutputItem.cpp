#include "engine/OutputItem.h"

#include "engine/RigSim.h"

// PROVISIONAL: construction only; the generators join with the output-items work.
COutputItem::COutputItem(bool readOnly, bool enable, std::string mnem, double sampleRateDepth, int32_t type,
                         double a, double b, double c, std::string d, int32_t slidingRotating,
                         bool flowOnOnly, int32_t witsRecord, int32_t witsChannel)
    : m_bReadOnly(readOnly), m_bEnable(enable), m_strMnem(std::move(mnem)),
      m_fSampleRateDepth(sampleRateDepth), m_type(type), m_fA(a), m_fB(b), m_fC(c), m_strD(std::move(d)),
      m_slidingRotating(slidingRotating), m_bFlowOnOnly(flowOnOnly), m_nWitsRecord(witsRecord),
      m_nWitsChannel(witsChannel) {}

std::string COutputItem::Evaluate(const CRigSim&, double) { return m_strValue; }

const std::vector<std::string>& OutputItemTypeNames() {
  static const std::vector<std::string> names;
  return names;
}
const std::vector<std::string>& SlideRotateFilterNames() {
  static const std::vector<std::string> names;
  return names;
}
