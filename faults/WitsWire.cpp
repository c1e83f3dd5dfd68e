#include "faults/WitsWire.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "support/Clock.h"

namespace {

constexpr std::string_view kSilenced = LinkWriteRefusal(LinkWrite::HeldBack);

uint32_t Milliseconds(double seconds) { return static_cast<uint32_t>(std::llround(seconds * 1000.0)); }

bool Due(uint32_t now, uint32_t due) { return vorn::ElapsedMs(now, due) >= 0; }

std::string_view StyleLineEnd(std::string_view style) {
  if (style == "cr") return "\r";
  if (style == "none") return "";
  return "\n";
}

}  // namespace

CWitsWire::CWitsWire(CCommsWrapper& link, std::function<uint32_t()> clock)
    : m_link(link), m_clock(std::move(clock)) {}

void CWitsWire::RunStarted() {
  const uint32_t now = m_clock();
  m_running = true;
  m_random.Seed(m_seed);
  m_queue.clear();
  m_silenceUntilMs.reset();
  m_lastWriteMs = now;
  // The plan starts again with every run; injected faults still waiting count from now.
  std::erase_if(m_armed, [](const Armed& armed) { return armed.fromPlan; });
  for (Armed& armed : m_armed) {
    if (!armed.waitsForRun) continue;
    armed.waitsForRun = false;
    armed.armAtMs = now;
  }
  for (const FaultSpec& spec : m_plan.entries) Arm(spec, true, now);
  RequestWake();
}

void CWitsWire::RunStopped() {
  m_running = false;
  m_queue.clear();
  m_silenceUntilMs.reset();
  RequestWake();
}

void CWitsWire::Arm(const FaultSpec& spec, bool fromPlan, uint32_t now) {
  Armed armed;
  armed.spec = spec;
  armed.fromPlan = fromPlan;
  armed.armAtMs = now + (spec.at ? Milliseconds(*spec.at) : 0);
  armed.waitsForRun = !m_running;
  const bool once = spec.every == 0 && spec.p == 0.0;
  armed.atTime = once && IsTimedFault(spec.kind) && (fromPlan || m_running);
  m_armed.push_back(armed);
}

void CWitsWire::Inject(const FaultSpec& spec) {
  const uint32_t now = m_clock();
  Arm(spec, false, now);
  if (m_armed.back().atTime) {
    m_armed.back().done = true;
    Fire(m_armed.back(), now);
  }
  RequestWake();
}

void CWitsWire::SetPlan(const FaultPlan& plan) {
  std::erase_if(m_armed, [](const Armed& armed) { return armed.fromPlan; });
  m_plan = plan;
  if (plan.seed) SetSeed(*plan.seed);
  const uint32_t now = m_clock();
  for (const FaultSpec& spec : m_plan.entries) Arm(spec, true, now);
  RequestWake();
}

void CWitsWire::StopFaults() {
  m_armed.clear();
  m_plan = FaultPlan();
  m_silenceUntilMs.reset();
  RequestWake();
}

void CWitsWire::SetSeed(uint64_t seed) {
  m_seed = seed;
  m_random.Seed(seed);
}

bool CWitsWire::Silenced(uint32_t now) const { return m_silenceUntilMs && !Due(now, *m_silenceUntilMs); }

void CWitsWire::Fire(const Armed& armed, uint32_t now) {
  const FaultSpec& spec = armed.spec;
  if (m_pListener != nullptr) m_pListener->OnFaultApplied({spec.kind, FaultText(spec), armed.fromPlan});
  if (spec.kind == FaultKind::Silence) {
    m_silenceUntilMs = now + Milliseconds(spec.seconds);
  } else if (spec.kind == FaultKind::Disconnect) {
    m_link.Suspend(Milliseconds(spec.seconds));
  }
}

void CWitsWire::SendFrame(const std::vector<WitsOutLine>& lines, FrameGrouping grouping) {
  const CWitsCommSettings& profile = m_link.m_settings;
  const bool perRecord = grouping == FrameGrouping::OnePerRecord ||
                         (grouping == FrameGrouping::AsConfigured && profile.frameGrouping == GroupPerRecord);
  const uint32_t now = m_clock();
  if (!perRecord && m_armed.empty() && m_queue.empty() && !Silenced(now)) {
    // Nothing armed, nothing waiting: the frame as the profile shapes it, in one write.
    const std::string bytes = PlainFrameBytes(lines, LineEndText(profile.lineEnd));
    Write(bytes, &bytes, now);
    RequestWake();
    return;
  }
  std::vector<WireFrame> frames = GroupFrames(lines, perRecord);
  for (WireFrame& frame : frames) SendOne(frame, m_clock());
  RequestWake();
}

void CWitsWire::SendOne(WireFrame& frame, uint32_t now) {
  const std::string_view profileLineEnd = LineEndText(m_link.m_settings.lineEnd);
  if (m_silenceUntilMs && !Silenced(now)) m_silenceUntilMs.reset();
  if (m_armed.empty() && m_queue.empty() && !m_silenceUntilMs) {
    const std::string bytes = FrameBytes(frame, profileLineEnd);
    Write(bytes, &bytes, now);
    return;
  }

  // The faults this frame triggers, one of each kind, the first armed winning.
  std::array<const FaultSpec*, kFaultKindCount> fired{};
  std::vector<Armed> firing;
  for (Armed& armed : m_armed) {
    if (armed.done || armed.atTime || armed.waitsForRun || !Due(now, armed.armAtMs)) continue;
    bool fires = false;
    if (armed.spec.every > 0) {
      fires = ++armed.frames % static_cast<uint64_t>(armed.spec.every) == 0;
    } else if (armed.spec.p > 0.0) {
      fires = m_random.Unit() < armed.spec.p;
    } else {
      fires = true;
      armed.done = true;
    }
    if (fires) firing.push_back(armed);
  }
  for (const Armed& armed : firing) {
    Fire(armed, now);
    const auto kind = static_cast<std::size_t>(armed.spec.kind);
    if (fired[kind] == nullptr) fired[kind] = &armed.spec;
  }
  const auto has = [&fired](FaultKind kind) { return fired[static_cast<std::size_t>(kind)]; };
  std::erase_if(m_armed, [](const Armed& armed) { return armed.done && !armed.fromPlan; });

  const std::string_view lineEnd = has(FaultKind::LineEnds) ? StyleLineEnd(has(FaultKind::LineEnds)->choice)
                                                             : profileLineEnd;
  if (const FaultSpec* spec = has(FaultKind::BadValue)) ApplyBadValue(frame, spec->choice, m_random);
  if (const FaultSpec* spec = has(FaultKind::BadLine)) ApplyBadLine(frame, spec->choice, m_random);
  if (const FaultSpec* spec = has(FaultKind::Oversize)) ApplyOversize(frame, spec->choice, lineEnd, m_random);
  if (has(FaultKind::Swap)) ApplySwap(frame, m_random);
  std::string bytes = FrameBytes(frame, lineEnd, !has(FaultKind::DropStart), !has(FaultKind::DropEnd));
  if (has(FaultKind::Duplicate)) bytes += std::string(bytes);
  if (const FaultSpec* spec = has(FaultKind::Garbage)) bytes = GarbageBytes(spec->bytes, m_random) + bytes;

  if (Silenced(now)) {
    if (m_pListener != nullptr) m_pListener->OnWireOut(bytes, LinkWrite::HeldBack, kSilenced);
    return;
  }
  const FaultSpec* pace = has(FaultKind::Pace);
  const FaultSpec* split = has(FaultKind::Split);
  if (pace == nullptr && split == nullptr && m_queue.empty()) {
    Write(bytes, &bytes, now);
    return;
  }
  Enqueue(std::move(bytes), split, pace, now);
  Service();
}

void CWitsWire::Enqueue(std::string bytes, const FaultSpec* split, const FaultSpec* pace, uint32_t now) {
  // A frame waits for the pieces before it; its own pieces keep their spacing from there.
  uint32_t start = now;
  if (!m_queue.empty() && vorn::ElapsedMs(m_queue.back().dueMs, now) > 0) start = m_queue.back().dueMs;
  std::optional<std::string> log = bytes;
  // Paced bytes due at the same millisecond go out in one write; a split's pieces are each a write.
  const auto push = [this, &log](uint32_t due, std::string piece, bool join = false) {
    if (join && !log && !m_queue.empty() && m_queue.back().dueMs == due) {
      m_queue.back().bytes += piece;
      return;
    }
    m_queue.push_back({due, std::move(piece), std::move(log)});
    log.reset();
  };
  if (pace != nullptr) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      // A day at most, so that the slowest pace still fits the clock.
      const double offset = std::min(std::floor(static_cast<double>(i) * 1000.0 / pace->bps), 86'400'000.0);
      push(start + static_cast<uint32_t>(offset), std::string(1, bytes[i]), true);
    }
  } else if (split != nullptr) {
    const std::size_t count = std::max<std::size_t>(1, std::min<std::size_t>(split->pieces, bytes.size()));
    const std::size_t base = bytes.size() / count;
    const std::size_t longer = bytes.size() % count;
    std::size_t at = 0;
    for (std::size_t j = 0; j < count; ++j) {
      const std::size_t size = base + (j < longer ? 1 : 0);
      push(start + static_cast<uint32_t>(j) * static_cast<uint32_t>(split->gapMs), bytes.substr(at, size));
      at += size;
    }
  } else {
    push(start, std::move(bytes));
  }
}

void CWitsWire::Write(const std::string& bytes, const std::string* logBytes, uint32_t now) {
  if (Silenced(now)) {
    if (logBytes != nullptr && m_pListener != nullptr) m_pListener->OnWireOut(*logBytes, LinkWrite::HeldBack, kSilenced);
    return;
  }
  const LinkWrite outcome = m_link.Write(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  m_lastWriteMs = now;
  if (logBytes != nullptr && m_pListener != nullptr) {
    m_pListener->OnWireOut(*logBytes, outcome, LinkWriteRefusal(outcome));
  }
}

void CWitsWire::Service() {
  const uint32_t now = m_clock();
  if (m_running) {
    for (Armed& armed : m_armed) {
      if (armed.atTime && !armed.done && !armed.waitsForRun && Due(now, armed.armAtMs)) {
        armed.done = true;
        Fire(armed, now);
      }
    }
  }
  while (!m_queue.empty() && Due(now, m_queue.front().dueMs)) {
    const Segment segment = std::move(m_queue.front());
    m_queue.pop_front();
    Write(segment.bytes, segment.logBytes ? &*segment.logBytes : nullptr, now);
  }
  const CWitsCommSettings& profile = m_link.m_settings;
  if (m_running && profile.fKeepAliveInterval > 0.0 && m_queue.empty() && !Silenced(now) &&
      Due(now, m_lastWriteMs + Milliseconds(profile.fKeepAliveInterval))) {
    Write(profile.strKeepAliveText, &profile.strKeepAliveText, now);
  }
  RequestWake();
}

std::optional<uint32_t> CWitsWire::NextDueMs() const {
  std::optional<uint32_t> next;
  const uint32_t now = m_clock();
  const auto consider = [&next, now](uint32_t due) {
    if (!next || vorn::ElapsedMs(due, now) < vorn::ElapsedMs(*next, now)) next = due;
  };
  if (!m_queue.empty()) consider(m_queue.front().dueMs);
  if (!m_running) return next;
  for (const Armed& armed : m_armed) {
    if (armed.atTime && !armed.done && !armed.waitsForRun) consider(armed.armAtMs);
  }
  const CWitsCommSettings& profile = m_link.m_settings;
  if (profile.fKeepAliveInterval > 0.0) {
    uint32_t due = m_lastWriteMs + Milliseconds(profile.fKeepAliveInterval);
    if (Silenced(now) && vorn::ElapsedMs(*m_silenceUntilMs, due) > 0) due = *m_silenceUntilMs;
    consider(due);
  }
  return next;
}

std::vector<std::string> CWitsWire::ActiveFaults() const {
  std::vector<std::string> active;
  const uint32_t now = m_clock();
  if (Silenced(now)) active.push_back("silence in progress");
  if (m_link.Suspended()) active.push_back("disconnect in progress");
  if (!m_queue.empty()) active.push_back("a frame going out in pieces");
  for (const Armed& armed : m_armed) {
    if (!armed.done) active.push_back(FaultText(armed.spec) + (armed.fromPlan ? " (plan)" : ""));
  }
  return active;
}

void CWitsWire::RequestWake() {
  if (!m_wakeRequest) return;
  const std::optional<uint32_t> due = NextDueMs();
  if (due == m_requestedWake && !due) return;  // still nothing due: nothing to tell
  m_requestedWake = due;
  m_wakeRequest(due);
}
