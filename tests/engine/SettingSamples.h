#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/SimSettingRanges.h"
#include "support/Numbers.h"

namespace vorn::test {

// One value for one setting, and whether it lies in the setting's range.
struct SettingSample {
  const SimSettingRange* range;
  double value;
  bool inside;
};

// For every setting with a range, `perSide` values drawn inside it (its ends among them) and as many
// outside: below and above, from just past an end to the largest double. Whole numbers for integer
// settings. The same seed gives the same samples.
inline std::vector<SettingSample> SettingSamples(uint64_t seed, int perSide) {
  std::mt19937_64 draw(seed);
  const auto uniform = [&](double from, double to) { return std::uniform_real_distribution<double>(from, to)(draw); };
  // How far past an end: a millionth of the range up to 1e308, spread over the orders of magnitude.
  const auto beyond = [&](const SimSettingRange& r) {
    const double least = std::max(1.0, r.max - r.min) * 1e-6;
    return std::min(1e308, least * std::pow(10.0, uniform(0.0, std::log10(1e308 / least))));
  };
  std::vector<SettingSample> samples;
  for (const SimSettingRange& range : SimSettingRanges()) {
    for (int i = 0; i < perSide; ++i) {
      double inside = i == 0 ? range.min : i == 1 ? range.max : uniform(range.min, range.max);
      double outside = (i % 2 == 0) ? range.min - beyond(range) : range.max + beyond(range);
      if (range.whole) {
        inside = std::round(inside);
        outside = outside < range.min ? std::floor(std::max(outside, -2e9)) : std::ceil(std::min(outside, 2e9));
      }
      samples.push_back({&range, inside, true});
      samples.push_back({&range, outside, false});
    }
  }
  return samples;
}

// The setting another one is checked against, with a value that makes way for any value in the
// other's range: the stand for the slide, the slide for the stand, the hookload for the weight on
// bit and back. Null for the rest.
struct Partner {
  const SimSettingRange* range = nullptr;
  double value = 0.0;
};
inline Partner PartnerOf(const SettingSample& sample) {
  const auto find = [](const char* key) -> const SimSettingRange* {
    for (const SimSettingRange& range : SimSettingRanges()) {
      if (std::string(range.key) == key) return &range;
    }
    return nullptr;
  };
  const std::string key = sample.range->key;
  if (key == "m_fDepthToSlide") return {find("m_fStandLength"), 200.0};
  if (key == "m_fStandLength") return {find("m_fDepthToSlide"), 0.0};
  if (key == "m_fWOB") return {find("m_fHookLoad"), 20000.0};
  if (key == "m_fHookLoad") return {find("m_fWOB"), 0.0};
  return {};
}

// `settings` with the sample's value, and its partner's: only the range decides whether they hold.
inline CSimSettings WithSample(const SettingSample& sample, CSimSettings settings = {}) {
  if (const Partner partner = PartnerOf(sample); partner.range != nullptr) partner.range->set(settings, partner.value);
  sample.range->set(settings, sample.value);
  return settings;
}

// The number as text that reads back as the same double.
inline std::string ExactText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// The start of the message that refuses the sample's value, and its end.
inline std::string RefusalStart(const SettingSample& sample) {
  return std::string("'") + sample.range->label + "' (" + sample.range->key + ") must be from ";
}
inline std::string RefusalEnd(const SettingSample& sample) { return ", not " + vorn::FormatG(sample.value); }

}  // namespace vorn::test
