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
  for (const FaultOrder& order : m_plan.entries) Arm(order, true, now);
  RequestWake();
}

void CWitsWire::RunStopped() {
  m_running = false;
  m_queue.clear();
  m_silenceUntilMs.reset();
  RequestWake();
}

void CWitsWire::Arm(const FaultOrder& order, bool fromPlan, uint32_t now) {
  Armed armed;
  armed.order = order;
  armed.fromPlan = fromPlan;
  armed.armAtMs = now + (order.at ? Milliseconds(*order.at) : 0);
  armed.waitsForRun = !m_running;
  const bool once = order.every == 0 && order.p == 0.0;
  armed.atTime = once && IsTimedFault(order.kind) && (fromPlan || m_running);
  m_armed.push_back(armed);
}

void CWitsWire::Inject(const FaultOrder& order) {
  const uint32_t now = m_clock();
  Arm(order, false, now);
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
  for (const FaultOrder& order : m_plan.entries) Arm(order, true, now);
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
  const FaultOrder& order = armed.order;
  if (m_pListener != nullptr) m_pListener->OnFaultApplied({order.kind, FaultText(order), armed.fromPlan});
  if (order.kind == FaultKind::Silence) {
    m_silenceUntilMs = now + Milliseconds(order.seconds);
  } else if (order.kind == FaultKind::Disconnect) {
    m_link.Suspend(Milliseconds(order.seconds));
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
    Write(bytes, &bytes, now, m_link.ArrivalClient());
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
    Write(bytes, &bytes, now, m_link.ArrivalClient());
    return;
  }

  // The faults this frame triggers, one of each kind, the first armed winning.
  std::array<const FaultOrder*, kFaultKindCount> fired{};
  std::vector<Armed> firing;
  for (Armed& armed : m_armed) {
    if (armed.done || armed.atTime || armed.waitsForRun || !Due(now, armed.armAtMs)) continue;
    bool fires = false;
    if (armed.order.every > 0) {
      fires = ++armed.frames % static_cast<uint64_t>(armed.order.every) == 0;
    } else if (armed.order.p > 0.0) {
      fires = m_random.Unit() < armed.order.p;
    } else {
      fires = true;
      armed.done = true;
    }
    if (fires) firing.push_back(armed);
  }
  for (const Armed& armed : firing) {
    Fire(armed, now);
    const auto kind = static_cast<std::size_t>(armed.order.kind);
    if (fired[kind] == nullptr) fired[kind] = &armed.order;
  }
  const auto has = [&fired](FaultKind kind) { return fired[static_cast<std::size_t>(kind)]; };
  std::erase_if(m_armed, [](const Armed& armed) { return armed.done && !armed.fromPlan; });

  const std::string_view lineEnd = has(FaultKind::LineEnds) ? StyleLineEnd(has(FaultKind::LineEnds)->choice)
                                                             : profileLineEnd;
  if (const FaultOrder* order = has(FaultKind::BadValue)) ApplyBadValue(frame, order->choice, m_random);
  if (const FaultOrder* order = has(FaultKind::BadLine)) ApplyBadLine(frame, order->choice, m_random);
  if (const FaultOrder* order = has(FaultKind::Oversize)) ApplyOversize(frame, order->choice, lineEnd, m_random);
  if (has(FaultKind::Swap)) ApplySwap(frame, m_random);
  std::string bytes = FrameBytes(frame, lineEnd, !has(FaultKind::DropStart), !has(FaultKind::DropEnd));
  if (has(FaultKind::Duplicate)) bytes += std::string(bytes);
  if (const FaultOrder* order = has(FaultKind::Garbage)) bytes = GarbageBytes(order->bytes, m_random) + bytes;

  if (Silenced(now)) {
    if (m_pListener != nullptr) m_pListener->OnWireOut(bytes, LinkWrite::HeldBack, kSilenced);
    return;
  }
  const FaultOrder* pace = has(FaultKind::Pace);
  const FaultOrder* split = has(FaultKind::Split);
  if (pace == nullptr && split == nullptr && m_queue.empty()) {
    Write(bytes, &bytes, now, m_link.ArrivalClient());
    return;
  }
  Enqueue(std::move(bytes), split, pace, now);
  Service();
}

void CWitsWire::Enqueue(std::string bytes, const FaultOrder* split, const FaultOrder* pace, uint32_t now) {
  // A frame waits for the pieces before it; its own pieces keep their spacing from there.
  uint32_t start = now;
  if (!m_queue.empty() && vorn::ElapsedMs(m_queue.back().dueMs, now) > 0) start = m_queue.back().dueMs;
  std::optional<std::string> log = bytes;
  // An answer's pieces go to the client that asked, even when they leave after its arrival.
  const uint64_t client = m_link.ArrivalClient();
  // Paced bytes due at the same millisecond go out in one write; a split's pieces are each a write.
  const auto push = [this, &log, client](uint32_t due, std::string piece, bool join = false) {
    if (join && !log && !m_queue.empty() && m_queue.back().dueMs == due && m_queue.back().client == client) {
      m_queue.back().bytes += piece;
      return;
    }
    m_queue.push_back({due, std::move(piece), std::move(log), client});
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

void CWitsWire::Write(const std::string& bytes, const std::string* logBytes, uint32_t now, uint64_t client) {
  if (Silenced(now)) {
    if (logBytes != nullptr && m_pListener != nullptr) m_pListener->OnWireOut(*logBytes, LinkWrite::HeldBack, kSilenced);
    return;
  }
  const LinkWrite outcome = m_link.WriteTo(std::vector<uint8_t>(bytes.begin(), bytes.end()), client);
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
    Write(segment.bytes, segment.logBytes ? &*segment.logBytes : nullptr, now, segment.client);
  }
  const CWitsCommSettings& profile = m_link.m_settings;
  if (m_running && profile.fKeepAliveInterval > 0.0 && m_queue.empty() && !Silenced(now) &&
      Due(now, m_lastWriteMs + Milliseconds(profile.fKeepAliveInterval))) {
    Write(profile.strKeepAliveText, &profile.strKeepAliveText, now, 0);
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
    if (!armed.done) active.push_back(FaultText(armed.order) + (armed.fromPlan ? " (plan)" : ""));
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
