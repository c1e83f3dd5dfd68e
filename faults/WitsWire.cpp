#include "faults/WitsWire.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "support/Clock.h"

namespace {

uint32_t Milliseconds(double seconds) { return static_cast<uint32_t>(std::llround(seconds * 1000.0)); }

bool Due(uint32_t now, uint32_t due) { return vorn::ElapsedMs(now, due) >= 0; }

std::string_view StyleLineEnd(std::string_view style) {
  if (style == "cr") return "\r";
  if (style == "none") return "";
  return "\n";
}

}  // namespace

std::string WireOutNote(const WireOut& out) {
  if (out.outcome == LinkWrite::Sent) return {};
  const std::string_view reason = LinkWriteRefusal(out.outcome);
  std::string note;
  if (out.piecesSent == 0) {
    note = "not sent: ";
    note += reason;
    return note;
  }
  note = "cut short after ";
  note += std::to_string(out.piecesSent);
  note += " of ";
  note += std::to_string(out.pieces);
  note += " pieces: ";
  note += reason;
  return note;
}

CWitsWire::CWitsWire(CCommsWrapper& link, std::function<uint32_t()> clock)
    : m_link(link), m_clock(std::move(clock)) {}

void CWitsWire::RunStarted() {
  const uint32_t now = m_clock();
  m_running = true;
  m_random.Seed(m_seed);
  m_going.reset();
  m_pieces.clear();
  m_waiting.clear();
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
  DropWaiting(LinkWrite::RunStopped);
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
  DropWaiting(LinkWrite::FaultsStopped);
  m_link.Resume();
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
  if (!perRecord && m_armed.empty() && !m_going && !Silenced(now)) {
    // Nothing armed, nothing waiting: the frame as the profile shapes it, in one write.
    const std::string bytes = PlainFrameBytes(lines, LineEndText(profile.lineEnd));
    Write(bytes, now, m_link.ArrivalClient());
    RequestWake();
    return;
  }
  std::vector<WireFrame> frames = GroupFrames(lines, perRecord);
  for (WireFrame& frame : frames) HandOver(std::move(frame), m_clock());
  RequestWake();
}

void CWitsWire::HandOver(WireFrame frame, uint32_t now) {
  // An answer, and all its pieces, goes to the client that asked, even when it leaves later.
  const uint64_t client = m_link.ArrivalClient();
  if (!m_going) {
    SendOne(frame, now, client);
    Pump(now);
    return;
  }
  // It waits at least until the frame in pieces has gone; not at all when that is too long.
  const int64_t wait = vorn::ElapsedMs(m_pieces.back().dueMs, now);
  if (wait > static_cast<int64_t>(WaitBoundMs()) || m_waiting.size() >= kMaxWaitingFrames) {
    Tell(FrameBytes(frame, LineEndText(m_link.m_settings.lineEnd)), LinkWrite::WaitBoundPassed);
    return;
  }
  m_waiting.push_back({std::move(frame), client, now});
}

void CWitsWire::SendOne(WireFrame& frame, uint32_t now, uint64_t client) {
  const std::string_view profileLineEnd = LineEndText(m_link.m_settings.lineEnd);
  if (m_silenceUntilMs && !Silenced(now)) m_silenceUntilMs.reset();
  if (m_armed.empty() && !m_silenceUntilMs) {
    Write(FrameBytes(frame, profileLineEnd), now, client);
    return;
  }

  // The faults this frame triggers, one of each kind, the first armed winning. A fault given once is
  // kept for a frame that reaches a peer.
  const bool reachesPeer = !Silenced(now) && m_link.HasPeer(client);
  std::array<const FaultOrder*, kFaultKindCount> fired{};
  std::vector<Armed> firing;
  for (Armed& armed : m_armed) {
    if (armed.done || armed.atTime || armed.waitsForRun || !Due(now, armed.armAtMs)) continue;
    bool fires = false;
    if (armed.order.every > 0) {
      fires = ++armed.frames % static_cast<uint64_t>(armed.order.every) == 0;
    } else if (armed.order.p > 0.0) {
      fires = m_random.Unit() < armed.order.p;
    } else if (reachesPeer) {
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
    Tell(bytes, LinkWrite::HeldBack);
    return;
  }
  const FaultOrder* pace = has(FaultKind::Pace);
  const FaultOrder* split = has(FaultKind::Split);
  if (pace == nullptr && split == nullptr) {
    Write(bytes, now, client);
    return;
  }
  StartPieces(std::move(bytes), split, pace, now, client);
}

void CWitsWire::StartPieces(std::string bytes, const FaultOrder* split, const FaultOrder* pace, uint32_t now,
                            uint64_t client) {
  m_pieces.clear();
  if (pace != nullptr) {
    // Paced bytes due at the same millisecond go out in one write.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      // A day at most, so that the slowest pace still fits the clock.
      const double offset = std::min(std::floor(static_cast<double>(i) * 1000.0 / pace->bps), 86'400'000.0);
      const uint32_t due = now + static_cast<uint32_t>(offset);
      if (!m_pieces.empty() && m_pieces.back().dueMs == due) {
        m_pieces.back().bytes += bytes[i];
      } else {
        m_pieces.push_back({due, std::string(1, bytes[i])});
      }
    }
  } else {
    const std::size_t count = std::max<std::size_t>(1, std::min<std::size_t>(split->pieces, bytes.size()));
    const std::size_t base = bytes.size() / count;
    const std::size_t longer = bytes.size() % count;
    std::size_t at = 0;
    for (std::size_t j = 0; j < count; ++j) {
      const std::size_t size = base + (j < longer ? 1 : 0);
      m_pieces.push_back({now + static_cast<uint32_t>(j) * static_cast<uint32_t>(split->gapMs), bytes.substr(at, size)});
      at += size;
    }
  }
  if (m_pieces.empty()) m_pieces.push_back({now, {}});  // an empty frame is one empty write
  const std::size_t pieces = m_pieces.size();
  m_going = Going{std::move(bytes), client, pieces, 0, {}};
}

void CWitsWire::Pump(uint32_t now) {
  const std::string_view lineEnd = LineEndText(m_link.m_settings.lineEnd);
  for (;;) {
    if (!m_going) {
      if (m_waiting.empty()) return;
      Waiting next = std::move(m_waiting.front());
      m_waiting.pop_front();
      if (vorn::ElapsedMs(now, next.handedMs) > static_cast<int64_t>(WaitBoundMs())) {
        Tell(FrameBytes(next.frame, lineEnd), LinkWrite::WaitBoundPassed);
      } else {
        SendOne(next.frame, now, next.client);
      }
      continue;
    }
    if (!Due(now, m_pieces.front().dueMs)) return;
    const Piece piece = std::move(m_pieces.front());
    m_pieces.pop_front();
    Going& going = *m_going;
    LinkWrite outcome = LinkWrite::HeldBack;
    if (!Silenced(now)) {
      const std::vector<uint8_t> bytes(piece.bytes.begin(), piece.bytes.end());
      if (going.sent == 0) {
        going.audience = m_link.Audience();
        outcome = m_link.WriteTo(bytes, going.client);
      } else {
        // Only to the peers that had its start: none that came since, none after the link dropped.
        outcome = m_link.WriteOn(bytes, going.client, going.audience);
      }
      m_lastWriteMs = now;
    }
    if (outcome != LinkWrite::Sent) {
      FinishPieces(outcome);
      continue;
    }
    ++going.sent;
    if (m_pieces.empty()) FinishPieces(LinkWrite::Sent);
  }
}

void CWitsWire::FinishPieces(LinkWrite outcome) {
  const Going going = std::move(*m_going);
  m_going.reset();
  m_pieces.clear();
  if (outcome == LinkWrite::Sent) {
    Tell(going.bytes, outcome);
  } else {
    Tell(going.bytes, outcome, going.sent, going.pieces);
  }
}

void CWitsWire::DropWaiting(LinkWrite why) {
  if (m_going) FinishPieces(why);
  const std::string_view lineEnd = LineEndText(m_link.m_settings.lineEnd);
  while (!m_waiting.empty()) {
    const Waiting waiting = std::move(m_waiting.front());
    m_waiting.pop_front();
    Tell(FrameBytes(waiting.frame, lineEnd), why);
  }
}

void CWitsWire::Write(const std::string& bytes, uint32_t now, uint64_t client) {
  if (Silenced(now)) {
    Tell(bytes, LinkWrite::HeldBack);
    return;
  }
  const LinkWrite outcome = m_link.WriteTo(std::vector<uint8_t>(bytes.begin(), bytes.end()), client);
  m_lastWriteMs = now;
  Tell(bytes, outcome);
}

void CWitsWire::Tell(std::string_view bytes, LinkWrite outcome, std::size_t piecesSent, std::size_t pieces) {
  if (m_pListener != nullptr) m_pListener->OnWireOut({bytes, outcome, piecesSent, pieces});
}

uint32_t CWitsWire::WaitBoundMs() const { return m_waitBoundMs ? m_waitBoundMs() : kDefaultWaitBoundMs; }

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
  Pump(now);
  const CWitsCommSettings& profile = m_link.m_settings;
  if (m_running && profile.fKeepAliveInterval > 0.0 && !m_going && !Silenced(now) &&
      Due(now, m_lastWriteMs + Milliseconds(profile.fKeepAliveInterval))) {
    Write(profile.strKeepAliveText, now, 0);
  }
  RequestWake();
}

std::optional<uint32_t> CWitsWire::NextDueMs() const {
  std::optional<uint32_t> next;
  const uint32_t now = m_clock();
  const auto consider = [&next, now](uint32_t due) {
    if (!next || vorn::ElapsedMs(due, now) < vorn::ElapsedMs(*next, now)) next = due;
  };
  if (m_going) consider(m_pieces.front().dueMs);
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
  if (m_going) active.push_back("a frame going out in pieces");
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
