#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <rapidjson/document.h>

class CRigSim;

// Generators of an output item; the value is stored as a plain integer.
enum OutputItemType : int32_t {
  ItemDepth = 0, ItemHoleDepth, ItemBlockHeight, ItemRop, ItemHookload, ItemSlips, ItemOnBottom,
  ItemRpm, ItemFlow, ItemSpp, ItemSpm1, ItemSpm2, ItemWob, ItemTorq,
  ItemConstant = 14, ItemSineOfDepth = 15, ItemSineOfTime = 16, ItemOnceAfterPumpOn = 17,
  ItemText = 18, ItemRamp = 19,
  ItemFirstWellChannel = 20,  // from here on, a copy of each of WellChannelNames() in order
};

// Drilling filter of an output item; the value is stored as a plain integer.
enum SlideRotateFilter : int32_t { FilterBoth = 0, FilterSliding = 1, FilterRotating = 2 };

// The text of an item that has produced no value yet.
inline constexpr const char* kNoValueText = "-999.25";

// One published channel: a mnemonic, its WITS record and item, and the generator of its value.
class COutputItem {
 public:
  COutputItem() = default;
  COutputItem(bool readOnly, bool enable, std::string mnem, double sampleRateDepth, int32_t type,
              double a, double b, double c, std::string d, int32_t slidingRotating, bool flowOnOnly,
              int32_t witsRecord, int32_t witsChannel);

  // Produces the item's next value from the engine's channels and flags at evaluation time t
  // (seconds since 2000-01-01 local time); returns a copy of the value text.
  std::string Evaluate(const CRigSim& engine, double t);

  // True when the thirteen stored fields are equal; the run-time fields are not looked at.
  [[nodiscard]] bool SameStoredFields(const COutputItem& other) const;

  // The thirteen stored fields as members of a JSON object.
  void ToJson(rapidjson::Value& object, rapidjson::Document::AllocatorType& allocator) const;
  void FromJson(const rapidjson::Value& object);

  // Stored fields (the JSON members of an item, in this order).
  bool m_bReadOnly = false;
  bool m_bEnable = true;
  std::string m_strMnem;
  double m_fSampleRateDepth = 0.0;  // seconds between values; for type 17 the delay after pump start
  int32_t m_type = ItemDepth;
  double m_fA = 0.0;
  double m_fB = 0.0;
  double m_fC = 0.0;
  std::string m_strD;
  int32_t m_slidingRotating = FilterBoth;
  bool m_bFlowOnOnly = false;
  int32_t m_nWitsRecord = 0;
  int32_t m_nWitsChannel = 0;

  // Run-time fields, never stored.
  std::string m_strValue = kNoValueText;
  double m_fValue = 0.0;  // the number behind the value text, which the ramp steps on from
  double m_fLastSampleTime = -1.0;
  bool m_bPumpsOnBefore = false;
  bool m_bPumpsOnNow = false;
  bool m_bOnceFired = false;
  double m_fPumpStartTime = -1.0;
  bool m_bSendPending = false;
  bool m_bGivesNoNumber = false;  // the last result was not a finite number

 private:
  // A new value from a computed number; a number that is not finite is none (see Evaluate).
  void TakeNumber(double x, double t);
};

// The type names and filter names in value order, for the output grid's choice cells.
[[nodiscard]] const std::vector<std::string>& OutputItemTypeNames();
// The same followed by the well's channels (types from ItemFirstWellChannel on), for the grid's choice.
[[nodiscard]] const std::vector<std::string>& AllOutputItemTypeNames();
[[nodiscard]] const std::vector<std::string>& SlideRotateFilterNames();
