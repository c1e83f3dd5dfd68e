#include "replay/ReplayPlayer.h"

#include <cmath>
#include <cstdio>

#include "replay/FieldText.h"
#include "support/Numbers.h"
#include "support/Text.h"
#include "support/Time.h"

using namespace vorn::replay;

namespace {

// Date-time indices count seconds since 2000: anything this large is a moment, not a span.
constexpr double kMomentSeconds = 1e8;
// Playback times a rounding apart are the same moment.
constexpr double kSlack = 1e-9;

std::string FileStart(const std::string& path) {
  std::string start(4096, '\0');
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {};
  start.resize(std::fread(start.data(), 1, start.size(), file));
  std::fclose(file);
  return start;
}

std::optional<uint64_t> RowNumberOf(const std::string& where) {
  std::string_view text = Trim(where);
  if (text.starts_with("row:") || text.starts_with("ROW:")) {
    text.remove_prefix(4);
  } else if (text.starts_with("#")) {
    text.remove_prefix(1);
  } else {
    return std::nullopt;
  }
  const auto number = ReadNumber(Trim(text));
  if (!number || *number < 1 || *number != std::floor(*number) || *number > 1e15) return 0;
  return static_cast<uint64_t>(*number);
}

}  // namespace

const char* ReplayStateName(ReplayState state) {
  switch (state) {
    case ReplayState::Ready: return "ready";
    case ReplayState::Playing: return "playing";
    case ReplayState::Paused: return "paused";
    case ReplayState::Ended: return "ended";
  }
  return "ready";
}

std::unique_ptr<CReplayPlayer> CReplayPlayer::Open(const ReplayOptions& options, double outputIntervalSeconds,
                                                   std::string& error, const std::vector<ReplayChannel>& engineItems) {
  if (!(options.speed >= CReplayClock::kMinSpeed && options.speed <= CReplayClock::kMaxSpeed)) {
    error = "replay speed " + vorn::FormatG(options.speed) + " is outside 0.1 to 1000";
    return nullptr;
  }
  if (!(options.ropPerHour >= 0.0 && options.ropPerHour < 1e9)) {
    error = "replay rate of penetration " + vorn::FormatG(options.ropPerHour) + " is not 0 or more";
    return nullptr;
  }
  std::unique_ptr<CReplayPlayer> player(new CReplayPlayer());
  player->m_options = options;
  player->m_outputInterval = outputIntervalSeconds > 0.0 ? outputIntervalSeconds : 0.1;
  player->m_clock.SetSpeed(0, options.speed);
  const bool frames = LooksLikeFrames(FileStart(options.path));
  const bool opened = frames ? player->OpenFrames(error) : player->OpenRows(error, engineItems);
  if (!opened) return nullptr;
  if (!options.start.empty() && !player->Seek(0, options.start, error)) return nullptr;
  // A loop starts again where the replay started.
  if (player->m_rows) player->m_startPosition = player->m_aheadPosition;
  player->m_startWhere = options.start;
  return player;
}

bool CReplayPlayer::OpenRows(std::string& error, const std::vector<ReplayChannel>& engineItems) {
  m_rows = OpenRowReader(m_options.path, error, m_options.indexColumn);
  if (!m_rows) return false;
  CMnemonicMap map;
  for (const ReplayChannel& item : engineItems) map.Add(item.mnemonic, WitsItemKey{item.record, item.item});
  if (!m_options.mapPath.empty() && !map.LoadFile(m_options.mapPath, error)) return false;
  if (!ReadAhead()) {
    const ReplayProblems& problems = m_rows->Problems();
    error = m_rows->Header().fileName + ": no data rows" +
            (problems.badRows > 0 ? " that read (" + problems.firstBadRow + ")" : std::string());
    return false;
  }
  m_header = m_rows->Header();  // the first row may have told a date-time index apart
  // The index of a depth-indexed file is a channel too (the bit depth, as a rule).
  std::vector<ReplayCurve> curves;
  if (m_header.indexKind == ReplayIndexKind::Depth) curves.push_back(m_header.index);
  curves.insert(curves.end(), m_header.curves.begin(), m_header.curves.end());
  std::map<WitsItemKey, std::string> taken;
  for (const ReplayCurve& curve : curves) {
    ReplayCurveMapping mapping{curve.mnemonic, curve.unit, std::nullopt, curve.unit, {}};
    std::string sendUnit;
    if (const auto target = map.Find(curve.mnemonic)) {
      if (const auto it = taken.find(target->key); it != taken.end()) {
        mapping.note = "the same WITS item as " + it->second;
      } else {
        mapping.key = target->key;
        taken[target->key] = curve.mnemonic;
        const std::string& unit = m_options.units == UnitSystem::Metric     ? target->metricUnit
                                  : m_options.units == UnitSystem::Imperial ? target->imperialUnit
                                                                            : std::string();
        if (!unit.empty() && unit != "----" && !curve.unit.empty() && !EqualsNoCase(unit, curve.unit)) {
          if (ConvertUnit(1.0, curve.unit, unit)) {
            sendUnit = unit;
            mapping.sentUnit = unit;
          } else {
            mapping.note = "unit " + curve.unit + " not converted to " + unit;
          }
        }
      }
    } else {
      mapping.note = "no WITS item";
    }
    if (mapping.key) {
      m_curveChannel.push_back(static_cast<int>(m_channels.size()));
      m_channels.push_back({curve.mnemonic, mapping.key->record, mapping.key->item});
    } else {
      m_curveChannel.push_back(-1);
    }
    m_sendUnit.push_back(sendUnit);
    m_mapping.push_back(std::move(mapping));
  }
  m_values.assign(m_channels.size(), std::string());
  m_originIndex = m_ahead->index;
  m_startIndex = m_ahead->index;
  m_originRow = m_ahead->rowNumber - 1;
  m_seekIndex.Build(m_options.path, m_options.indexColumn);
  return true;
}

bool CReplayPlayer::OpenFrames(std::string& error) {
  if (!m_options.paceItem.empty() && !ReadWitsCode(m_options.paceItem)) {
    error = "replay pace item \"" + m_options.paceItem + "\" is not a four-digit record and item code";
    return false;
  }
  m_frames = OpenFrameReader(m_options.path, error, m_options.paceItem);
  if (!m_frames) return false;
  m_header.fileName = m_frames->FileName();
  m_header.format = m_frames->Format();
  m_header.indexKind = ReplayIndexKind::Time;
  ReplayFrame frame;
  if (!m_frames->Next(frame)) {
    error = m_frames->FileName() + ": no whole WITS frame";
    return false;
  }
  m_frameOrigin = frame.seconds;
  m_aheadFrame = std::move(frame);
  return true;
}

bool CReplayPlayer::ReadAhead() {
  m_aheadPosition = m_rows->Position();
  ReplayRow row;
  if (m_rows->Next(row)) {
    m_ahead = std::move(row);
    return true;
  }
  m_ahead.reset();
  return false;
}

void CReplayPlayer::StartFrom(uint32_t nowMs) {
  const bool paused = m_state == ReplayState::Paused;
  m_clock.Start(nowMs);
  if (paused) m_clock.Pause(nowMs);
}

double CReplayPlayer::PlayedAt(const ReplayRow& row) const {
  switch (m_header.indexKind) {
    case ReplayIndexKind::Time:
      return std::abs(row.index - m_originIndex);
    case ReplayIndexKind::Depth:
      if (m_options.ropPerHour > 0.0) return std::abs(row.index - m_originIndex) * 3600.0 / m_options.ropPerHour;
      [[fallthrough]];
    case ReplayIndexKind::Row:
      break;
  }
  return static_cast<double>(row.rowNumber - m_originRow - 1) * m_outputInterval;
}

void CReplayPlayer::TakeRow(const ReplayRow& row) {
  m_current = row;
  m_hasCurrent = true;
  const bool indexIsCurve = m_header.indexKind == ReplayIndexKind::Depth;
  const std::size_t curves = m_curveChannel.size();
  for (std::size_t c = 0; c < curves; ++c) {
    const int channel = m_curveChannel[c];
    if (channel < 0) continue;
    double value = kNoValue;
    if (indexIsCurve) {
      value = c == 0 ? row.index : (c - 1 < row.values.size() ? row.values[c - 1] : kNoValue);
    } else {
      value = c < row.values.size() ? row.values[c] : kNoValue;
    }
    std::string& text = m_values[static_cast<std::size_t>(channel)];
    if (!HasValue(value)) {
      text.clear();
      continue;
    }
    if (!m_sendUnit[c].empty()) {
      if (const auto converted = ConvertUnit(value, m_mapping[c].unit, m_sendUnit[c])) value = *converted;
    }
    text = vorn::FormatG(value);
  }
}

void CReplayPlayer::Advance(uint32_t nowMs) {
  if (m_state == ReplayState::Ready) {
    m_state = ReplayState::Playing;
    StartFrom(nowMs);
    Tell(ReplayEvent::Started, Summary());
  }
  if (m_state != ReplayState::Playing) return;
  const double played = m_clock.Played(nowMs);
  if (m_rows) {
    while (m_ahead && PlayedAt(*m_ahead) <= played + kSlack) {
      TakeRow(*m_ahead);
      ReadAhead();
    }
    SayProblems();
    // The last row holds for one output interval before the end (or the loop).
    if (!m_ahead && (!m_hasCurrent || played + kSlack >= PlayedAt(m_current) + m_outputInterval)) AtEnd(nowMs);
    return;
  }
  while (m_aheadFrame) {
    const ReplayFrame& frame = *m_aheadFrame;
    const double at = (frame.seconds && m_frameOrigin)
                          ? *frame.seconds - *m_frameOrigin
                          : static_cast<double>(m_frameNumber - m_originFrame) *
                                (m_options.frameIntervalSeconds > 0.0 ? m_options.frameIntervalSeconds : m_outputInterval);
    if (at > played + kSlack) break;
    m_dueFrames.push_back(frame.bytes);
    m_lastFrameAt = at;
    ++m_frameNumber;
    ReplayFrame next;
    if (m_frames->Next(next)) {
      m_aheadFrame = std::move(next);
    } else {
      m_aheadFrame.reset();
    }
  }
  SayProblems();
  if (!m_aheadFrame && played + kSlack >= m_lastFrameAt + m_outputInterval) AtEnd(nowMs);
}

void CReplayPlayer::TakeDueFrames(std::vector<std::string>& frames) {
  for (std::string& frame : m_dueFrames) frames.push_back(std::move(frame));
  m_dueFrames.clear();
}

void CReplayPlayer::AtEnd(uint32_t nowMs) {
  if (!m_options.loop) {
    m_state = ReplayState::Ended;
    const uint64_t bad = m_rows ? m_rows->Problems().badRows : m_frames->Problems().badRows;
    Tell(ReplayEvent::Ended, vorn::Sprintf("%s: replay ended after %llu %s%s", m_header.fileName.c_str(),
                                           static_cast<unsigned long long>(m_rows ? m_current.rowNumber : m_frameNumber),
                                           m_rows ? "rows" : "frames",
                                           bad > 0 ? vorn::Sprintf(", %llu bad skipped", static_cast<unsigned long long>(bad)).c_str() : ""));
    return;
  }
  ++m_loops;
  std::string error;
  if (m_rows) {
    m_rows->Seek(m_startPosition);
    if (!ReadAhead()) {
      m_state = ReplayState::Ended;
      return;
    }
    m_hasCurrent = false;
    m_originIndex = m_ahead->index;
    m_originRow = m_ahead->rowNumber - 1;
  } else {
    m_frames->Rewind();
    m_frameNumber = 0;
    m_aheadFrame.reset();
    ReplayFrame frame;
    if (!m_frames->Next(frame)) {
      m_state = ReplayState::Ended;
      return;
    }
    m_frameOrigin = frame.seconds;
    m_originFrame = 0;
    m_aheadFrame = std::move(frame);
    if (!m_startWhere.empty()) (void)SeekFrames(m_startWhere, error);
  }
  StartFrom(nowMs);
  Tell(ReplayEvent::Looped, vorn::Sprintf("%s: replay looped (%llu)", m_header.fileName.c_str(),
                                          static_cast<unsigned long long>(m_loops)));
}

void CReplayPlayer::Pause(uint32_t nowMs) {
  if (m_state != ReplayState::Playing && m_state != ReplayState::Ready) return;
  m_clock.Pause(nowMs);
  m_state = ReplayState::Paused;
}

void CReplayPlayer::Resume(uint32_t nowMs) {
  if (m_state != ReplayState::Paused) return;
  m_clock.Resume(nowMs);
  m_state = ReplayState::Playing;
}

bool CReplayPlayer::SetSpeed(uint32_t nowMs, double speed, std::string& error) {
  if (!(speed >= CReplayClock::kMinSpeed && speed <= CReplayClock::kMaxSpeed)) {
    error = "replay speed " + vorn::FormatG(speed) + " is outside 0.1 to 1000";
    return false;
  }
  m_clock.SetSpeed(nowMs, speed);
  m_options.speed = speed;
  return true;
}

bool CReplayPlayer::Seek(uint32_t nowMs, const std::string& where, std::string& error) {
  const bool done = m_rows ? SeekRows(where, error) : SeekFrames(where, error);
  if (!done) return false;
  if (m_state == ReplayState::Ended) m_state = ReplayState::Playing;
  if (m_state != ReplayState::Ready) StartFrom(nowMs);
  return true;
}

bool CReplayPlayer::SeekRows(const std::string& where, std::string& error) {
  const std::string name = m_header.fileName;
  const std::optional<uint64_t> rowNumber = RowNumberOf(where);
  std::optional<double> target;
  if (rowNumber) {
    if (*rowNumber == 0) {
      error = "replay start \"" + where + "\": a row is row:N with N from 1";
      return false;
    }
  } else {
    const std::string_view text = Trim(where);
    const auto number = ReadNumber(text);
    if (m_header.indexKind == ReplayIndexKind::Time) {
      // The first row's index: the data start's, read again when needed.
      const double first = m_startIndex ? *m_startIndex : m_originIndex;
      if (number) {
        target = first >= kMomentSeconds ? first + *number : *number;
      } else if (const auto moment = ReadDateTime(text, DateOrder::DayFirst)) {
        target = *moment;
      }
    } else if (number) {
      target = *number;
    }
    if (!target) {
      error = "replay start \"" + where + "\" is neither " +
              (m_header.indexKind == ReplayIndexKind::Time ? "a time" : "a depth") + " nor row:N";
      return false;
    }
  }
  const int direction = m_rows->Direction() != 0 ? m_rows->Direction() : 1;
  std::optional<CRowSeekIndex::Mark> mark = rowNumber ? m_seekIndex.BeforeRow(*rowNumber)
                                                      : m_seekIndex.BeforeIndex(*target, direction);
  m_rows->Seek(mark ? mark->position : m_rows->DataStart());
  ReplayRow row;
  std::optional<ReplayRow> last;
  ReplayPosition before;
  ReplayPosition lastBefore;
  for (;;) {
    before = m_rows->Position();
    if (!m_rows->Next(row)) break;
    lastBefore = before;
    const bool reached = rowNumber ? row.rowNumber >= *rowNumber
                                   : (direction > 0 ? row.index >= *target - kSlack : row.index <= *target + kSlack);
    if (reached) {
      last = row;
      break;
    }
    last = row;
  }
  if (!last || (rowNumber && last->rowNumber < *rowNumber)) {
    error = name + ": replay start \"" + where + "\" lies past the file's last row";
    m_rows->Seek(m_rows->DataStart());
    (void)ReadAhead();
    m_originIndex = m_ahead ? m_ahead->index : 0.0;
    m_originRow = 0;
    m_hasCurrent = false;
    return false;
  }
  m_ahead = *last;
  m_aheadPosition = lastBefore;
  m_hasCurrent = false;
  m_originIndex = last->index;
  m_originRow = last->rowNumber - 1;
  return true;
}

bool CReplayPlayer::SeekFrames(const std::string& where, std::string& error) {
  const std::optional<uint64_t> frameNumber = RowNumberOf(where);
  const std::string_view text = Trim(where);
  std::optional<double> target;
  if (!frameNumber) {
    if (const auto number = ReadNumber(text)) {
      target = *number;  // seconds after the first frame
    } else if (const auto moment = ReadDateTime(text, DateOrder::DayFirst)) {
      if (m_frameOrigin) target = *moment - *m_frameOrigin;
    }
    if (!target) {
      error = "replay start \"" + where + "\" is neither a time nor row:N";
      return false;
    }
  } else if (*frameNumber == 0) {
    error = "replay start \"" + where + "\": a frame is row:N with N from 1";
    return false;
  }
  m_frames->Rewind();
  ReplayFrame frame;
  uint64_t number = 0;
  std::optional<double> origin;
  const double interval = m_options.frameIntervalSeconds > 0.0 ? m_options.frameIntervalSeconds : m_outputInterval;
  while (m_frames->Next(frame)) {
    ++number;
    if (number == 1) origin = frame.seconds;
    const double at = (frame.seconds && origin) ? *frame.seconds - *origin : static_cast<double>(number - 1) * interval;
    if (frameNumber ? number >= *frameNumber : at >= *target - kSlack) {
      m_frameNumber = number - 1;
      m_originFrame = number - 1;
      m_frameOrigin = frame.seconds;
      m_aheadFrame = std::move(frame);
      m_dueFrames.clear();
      m_lastFrameAt = 0.0;
      return true;
    }
  }
  error = m_header.fileName + ": replay start \"" + where + "\" lies past the file's last frame";
  m_frames->Rewind();
  ReplayFrame first;
  m_frameNumber = 0;
  m_originFrame = 0;
  if (m_frames->Next(first)) {
    m_frameOrigin = first.seconds;
    m_aheadFrame = std::move(first);
  }
  return false;
}

ReplayPositionInfo CReplayPlayer::Position(uint32_t nowMs) {
  ReplayPositionInfo info;
  info.state = m_state;
  info.playedSeconds = m_state == ReplayState::Ready ? 0.0 : m_clock.Played(nowMs);
  info.speed = m_clock.Speed();
  info.loops = m_loops;
  if (m_rows) {
    info.row = m_hasCurrent ? m_current.rowNumber : 0;
    info.index = m_hasCurrent ? m_current.index : m_originIndex;
    info.badRows = m_rows->Problems().badRows + m_rows->Problems().indexNotIncreasing;
    info.totalRows = m_seekIndex.Ready() ? m_seekIndex.Rows() : 0;
  } else {
    info.row = m_frameNumber;
    info.index = m_lastFrameAt;
    info.badRows = m_frames->Problems().badRows;
  }
  info.indexText = IndexText(info.index);
  return info;
}

std::string CReplayPlayer::IndexText(double index) const {
  if (m_header.indexKind == ReplayIndexKind::Time && index >= kMomentSeconds) {
    return vorn::FormatDashedTimestamp(vorn::SecondsToSystemTime(index), " ");
  }
  return vorn::FormatG(index);
}

std::string CReplayPlayer::Summary() const {
  const char* kind = m_header.indexKind == ReplayIndexKind::Time    ? "time-indexed"
                     : m_header.indexKind == ReplayIndexKind::Depth ? "depth-indexed"
                                                                    : "row by row";
  if (m_frames) {
    return vorn::Sprintf("%s: %s, frames %s", m_header.fileName.c_str(), ReplayFormatName(m_header.format),
                         m_header.format == ReplayFormat::WitsLog ? "at their logged moments"
                         : m_options.paceItem.empty()             ? "at a fixed interval"
                                                                  : ("paced by item " + m_options.paceItem).c_str());
  }
  return vorn::Sprintf("%s: %s, %s, %zu curves, %zu sent", m_header.fileName.c_str(), ReplayFormatName(m_header.format),
                       kind, m_mapping.size(), m_channels.size());
}

std::string CReplayPlayer::UnmappedLine() const {
  std::string names;
  for (const ReplayCurveMapping& mapping : m_mapping) {
    if (mapping.key) continue;
    if (!names.empty()) names += ", ";
    names += mapping.mnemonic + " (" + mapping.note + ")";
  }
  return names.empty() ? std::string() : m_header.fileName + ": not sent: " + names;
}

void CReplayPlayer::SayProblems() {
  const ReplayProblems& problems = m_rows ? m_rows->Problems() : m_frames->Problems();
  if (problems.badRows > 0 && !m_saidBadRow) {
    m_saidBadRow = true;
    Tell(ReplayEvent::Problem, problems.firstBadRow + " (each bad row is skipped and counted)");
  }
  if (problems.indexNotIncreasing > 0 && !m_saidIndex) {
    m_saidIndex = true;
    Tell(ReplayEvent::Problem, problems.firstIndexNotIncreasing);
  }
}

void CReplayPlayer::Tell(ReplayEvent event, const std::string& text) {
  if (m_listener) m_listener(event, text);
}

const char* ReplayFormatName(ReplayFormat format) {
  switch (format) {
    case ReplayFormat::Las2: return "LAS 2.0";
    case ReplayFormat::Las3: return "LAS 3.0";
    case ReplayFormat::RunCsv: return "run CSV";
    case ReplayFormat::GenericCsv: return "CSV";
    case ReplayFormat::WitsLog: return "WITS log";
    case ReplayFormat::WitsCapture: return "WITS capture";
  }
  return "?";
}

const char* ReplayIndexKindName(ReplayIndexKind kind) {
  switch (kind) {
    case ReplayIndexKind::Depth: return "depth";
    case ReplayIndexKind::Time: return "time";
    case ReplayIndexKind::Row: return "row";
  }
  return "row";
}
