#include "engine/RigSim.h"

void CRigSim::BuildDefaultItems() {
  m_outputItems.clear();
  const auto channel = [this](const char* mnem, int32_t type, int32_t record, int32_t item) {
    m_outputItems.emplace_back(true, true, mnem, 0.0, type, 0.0, 0.0, 0.0, "", FilterBoth, false, record, item);
  };
  channel("DEPTH", ItemDepth, 1, 8);
  channel("HOLE_DEPTH", ItemHoleDepth, 1, 10);
  channel("BLOCK_HEIGHT", ItemBlockHeight, 1, 12);
  channel("ROP", ItemRop, 1, 13);
  channel("HOOKLOAD", ItemHookload, 1, 14);
  channel("SLIPS", ItemSlips, 1, 45);
  channel("ON_BOTTOM", ItemOnBottom, 1, 44);
  channel("RPM", ItemRpm, 1, 20);
  channel("FLOW", ItemFlow, 1, 30);
  channel("SPP", ItemSpp, 1, 21);
  channel("SPM1", ItemSpm1, 1, 23);
  channel("SPM2", ItemSpm2, 1, 24);
  channel("WOB", ItemWob, 1, 16);
  channel("TORQ", ItemTorq, 1, 18);

  // Survey values that appear once after each pump start, the delay in the sample interval.
  const auto survey = [this](const char* mnem, double a, double b, double delay, int32_t item) {
    m_outputItems.emplace_back(false, true, mnem, delay, ItemOnceAfterPumpOn, a, b, 0.0, "", FilterBoth, false, 7,
                               item);
  };
  survey("INC", 20.0, 60.0, 5, 13);
  survey("AZM", 25.0, 180.0, 10, 14);
  survey("AZMC", 26.0, 180.0, 10, 15);
  survey("GTOT", 0.997, 0.0, 15, 22);
  survey("BTOT", 60.0, 0.0, 20, 23);
  survey("DIP", 50.0, 0.0, 25, 24);
  m_outputItems.emplace_back(false, true, "TF", 12, ItemConstant, 99.0, 0.0, 0.0, "", FilterSliding, true, 7, 17);
  m_outputItems.emplace_back(false, true, "GAM", 5, ItemSineOfTime, 100.0, 50.0, 60.0, "", FilterBoth, true, 8, 23);
}
