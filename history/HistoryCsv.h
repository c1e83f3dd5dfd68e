#pragma once

#include <string>
#include <vector>

#include "history/HistoryStore.h"

// The history of the given series over [from, to] as CSV text, one row per time the store holds
// (per second where only seconds are kept, per sample where samples are):
//   Time,Elapsed,<series> min,<series> max,...
// Time is the local date and time ("2026-Dec-11 9:30:00.100"), Elapsed the seconds since the
// history began; a sample's min and max are the same value, a series without one there is empty.
// Numbers in the C locale, shortest exact form; every line ends in CR LF.
[[nodiscard]] std::string HistoryCsv(const CHistoryStore& store, const std::vector<size_t>& series, double from,
                                     double to, double startWallSeconds);
// Every series the store knows, in its order.
[[nodiscard]] std::vector<size_t> AllSeries(const CHistoryStore& store);
