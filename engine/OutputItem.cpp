#include "engine/OutputItem.h"

#include <cmath>
#include <tuple>

#include "engine/RigSim.h"
#include "support/Console.h"
#include "support/Numbers.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

double Flag(bool on) { return on ? 1.0 : 0.0; }

// The engine channel that a copying generator (types 0 to 13) publishes.
double ChannelValue(const CRigSim& engine, int32_t type) {
  switch (type) {
    case ItemDepth: return engine.m_fDepth;
    case ItemHoleDepth: return engine.m_fHoleDepth;
    case ItemBlockHeight: return engine.m_fBlockHeight_;
    case ItemRop: return engine.m_fROP;
    case ItemHookload: return engine.m_fHookLoad;
    case ItemSlips: return Flag(engine.m_bInSlips);
    case ItemOnBottom: return Flag(engine.m_bOnBottom);
    case ItemRpm: return engine.m_fRPM;
    case ItemFlow: return engine.m_fFlow;
    case ItemSpp: return engine.m_fSPP;
    case ItemSpm1: return engine.m_fSPM1;
    case ItemSpm2: return engine.m_fSPM2;
    case ItemWob: return engine.m_fWOB;
    case ItemTorq: return engine.m_fTorq;
    default: return 0.0;
  }
}

bool DrillingFilterPasses(int32_t filter, bool rotating) {
  switch (filter) {
    case FilterBoth: return true;
    case FilterSliding: return !rotating;
    case FilterRotating: return rotating;
    default: return false;  // an unknown filter blocks the item entirely
  }
}

}  // namespace

COutputItem::COutputItem(bool readOnly, bool enable, std::string mnem, double sampleRateDepth, int32_t type,
                         double a, double b, double c, std::string d, int32_t slidingRotating,
                         bool flowOnOnly, int32_t witsRecord, int32_t witsChannel)
    : m_bReadOnly(readOnly), m_bEnable(enable), m_strMnem(std::move(mnem)),
      m_fSampleRateDepth(sampleRateDepth), m_type(type), m_fA(a), m_fB(b), m_fC(c), m_strD(std::move(d)),
      m_slidingRotating(slidingRotating), m_bFlowOnOnly(flowOnOnly), m_nWitsRecord(witsRecord),
      m_nWitsChannel(witsChannel) {}

bool COutputItem::SameStoredFields(const COutputItem& other) const {
  const auto stored = [](const COutputItem& item) {
    return std::tie(item.m_bReadOnly, item.m_bEnable, item.m_strMnem, item.m_fSampleRateDepth, item.m_type,
                    item.m_fA, item.m_fB, item.m_fC, item.m_strD, item.m_slidingRotating, item.m_bFlowOnOnly,
                    item.m_nWitsRecord, item.m_nWitsChannel);
  };
  return stored(*this) == stored(other);
}

std::string COutputItem::Evaluate(const CRigSim& engine, double t) {
  // The pump-start bookkeeping runs for every item, enabled or not.
  m_bPumpsOnNow = engine.m_bPumpsOn;
  if (!m_bPumpsOnBefore && m_bPumpsOnNow) m_fPumpStartTime = t;

  const bool passes = m_bEnable && DrillingFilterPasses(m_slidingRotating, engine.m_bRotating) &&
                      (!m_bFlowOnOnly || engine.m_bPumpsOn);
  if (passes) {
    if (t - m_fLastSampleTime >= m_fSampleRateDepth) {
      bool produced = true;
      double x = 0.0;
      switch (m_type) {
        case ItemConstant: x = m_fA; break;
        case ItemSineOfDepth: x = m_fA + m_fB * std::sin(engine.m_fDepth * kTwoPi / m_fC); break;
        case ItemSineOfTime: x = m_fA + m_fB * std::sin(t * kTwoPi / m_fC); break;
        case ItemText:
          m_strValue = m_strD;
          m_fValue = vorn::ReadDecimal(m_strD);
          m_bSendPending = true;
          m_fLastSampleTime = t;
          produced = false;
          break;
        case ItemRamp:
          if (m_strValue.empty() || m_strValue == kNoValueText) {
            x = m_fA;
          } else {
            // From the number, not from its "%g" text: a step the text cannot show would stall it.
            x = m_fValue + m_fC;
            if (x > m_fB) x = m_fA;
          }
          break;
        default:
          if (m_type >= ItemDepth && m_type <= ItemTorq) {
            x = ChannelValue(engine, m_type);
          } else if (m_type >= ItemFirstWellChannel && engine.WellModel() != nullptr) {
            // Without a well, or past its channels, a well channel's item produces nothing.
            x = engine.WellChannelValue(static_cast<std::size_t>(m_type - ItemFirstWellChannel));
            produced = std::isfinite(x);
          } else {
            produced = false;  // type 17 fires below; unknown types produce nothing
          }
          break;
      }
      if (produced) TakeNumber(x, t);
    }
    if (m_type == ItemOnceAfterPumpOn) {
      if (!m_bPumpsOnNow) {
        m_bOnceFired = false;
      } else if (!m_bOnceFired && t - m_fPumpStartTime >= m_fSampleRateDepth) {
        m_bOnceFired = true;
        TakeNumber(m_fA, t);
      }
    }
  }
  m_bPumpsOnBefore = m_bPumpsOnNow;
  return m_strValue;
}

// A result that is not a finite number (a sine with C = 0, a ramp or a channel past the range of a
// double) has no text that a receiver can read: the item keeps its last text and sends nothing. The
// console says so when an item starts giving no number, not at every evaluation.
void COutputItem::TakeNumber(double x, double t) {
  if (!std::isfinite(x)) {
    if (!m_bGivesNoNumber) {
      vorn::Console() << "Output item \"" << m_strMnem << "\" (" << AllOutputItemTypeNames()[static_cast<size_t>(m_type)]
                      << "): the result is " << (std::isnan(x) ? "not a number" : "infinite") << "; the item keeps \""
                      << m_strValue << "\" and sends nothing until it gives a number again\n";
    }
    m_bGivesNoNumber = true;
    return;
  }
  m_bGivesNoNumber = false;
  m_fValue = x;
  m_strValue = vorn::FormatG(x);
  m_bSendPending = true;
  m_fLastSampleTime = t;
}

const std::vector<std::string>& OutputItemTypeNames() {
  static const std::vector<std::string> names = {
      "DEPTH", "HOLE_DEPTH", "BLOCK_HEIGHT", "ROP", "HOOKLOAD", "SLIPS", "ON_BOTTOM", "RPM", "FLOW", "SPP",
      "SPM1", "SPM2", "WOB", "TORQ", "CONSTANT(A)", "A + B * SIN(2 * PI * DEPTH / C)",
      "A + B * SIN(2 * PI * TIME / C)", "ONCE AFTER PUMP ON(A)", "TEXT (D)", "RAMP (A TO B STEP C)"};
  return names;
}

const std::vector<std::string>& AllOutputItemTypeNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all = OutputItemTypeNames();
    all.insert(all.end(), WellChannelNames().begin(), WellChannelNames().end());
    return all;
  }();
  return names;
}

const std::vector<std::string>& SlideRotateFilterNames() {
  static const std::vector<std::string> names = {"both", "sliding", "rotating"};
  return names;
}
