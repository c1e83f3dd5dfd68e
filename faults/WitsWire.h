#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comms/CommsWrapper.h"
#include "comms/LinkWrite.h"
#include "faults/FaultRandom.h"
#include "faults/FaultReport.h"
#include "faults/FaultOrder.h"
#include "faults/FrameFaults.h"
#include "wits/WitsFrameSink.h"

// What became of bytes the wire handed to the link: a whole frame as it was to leave (or a keep-alive
// packet), and for a frame in pieces how many of them went before it was cut short.
struct WireOut {
  std::string_view bytes;
  LinkWrite outcome = LinkWrite::Sent;
  std::size_t piecesSent = 0;  // of a frame not sent whole: its pieces that the link took
  std::size_t pieces = 1;
};

// The note of its WITS log entry: empty when the bytes went whole, "not sent: <reason>" when none of
// them went, "cut short after 2 of 3 pieces: <reason>" when only the first pieces did.
[[nodiscard]] std::string WireOutNote(const WireOut& out);

// Told what the wire wrote and which faults it applied, so that they can be logged and shown.
class CWireListenerIF {
 public:
  // A frame's (or packet's) fate, once it is known: when it went whole or was refused, and for a
  // frame in pieces when its last piece went or it was cut short.
  virtual void OnWireOut(const WireOut& out) = 0;
  // A fault took effect; its log entry and status line come from this.
  virtual void OnFaultApplied(const FaultReport& report) = 0;
  virtual ~CWireListenerIF() = default;
};

// The wire between the engine's frames and the WITS link: the link's wire profile (line ends, frame
// grouping, keep-alive) and the faults, armed by command or by a plan. With the profile at its
// defaults and no fault armed, each frame is one write of the bytes the engine always sent.
//
// Time comes from the millisecond clock it is given: pieces of a split or paced frame, the end of a
// silence, keep-alive packets and the times of a plan are due times on that clock. Whoever owns the
// wire calls Service when the time it asks for (through the wake request) has come.
class CWitsWire : public CWitsFrameSinkIF {
 public:
  CWitsWire(CCommsWrapper& link, std::function<uint32_t()> clock);
  CWitsWire(const CWitsWire&) = delete;
  CWitsWire& operator=(const CWitsWire&) = delete;

  void SetListener(CWireListenerIF* listener) { m_pListener = listener; }
  // Called with the next due time whenever the wire may have a new one; nothing: no time is due.
  void SetWakeRequest(std::function<void(std::optional<uint32_t>)> request) {
    m_wakeRequest = std::move(request);
    m_requestedWake.reset();
  }

  // A run starts: the generator is seeded again, the plan's times count from now, keep-alive timing
  // begins. A run stops: frames still waiting are dropped (and told so) and a silence ends; armed
  // faults stay.
  void RunStarted();
  void RunStopped();

  void SendFrame(const std::vector<WitsOutLine>& lines, FrameGrouping grouping) override;
  // Writes the pieces that are due, starts timed faults whose time has come, sends a keep-alive packet
  // when the link has been quiet for the profile's interval.
  void Service();

  // Arms a fault: once (the next frame that reaches a peer; a silence or a disconnect at once during
  // a run), every N-th frame, or each frame with probability p.
  void Inject(const FaultOrder& order);
  // Replaces the plan (and its entries still armed); during a run its times count from now. A plan
  // that names a seed sets it.
  void SetPlan(const FaultPlan& plan);
  // Disarms the plan and every injected fault; a silence or a disconnect in progress ends, and the
  // frames waiting to go out in pieces are dropped.
  void StopFaults();
  // How long a frame may wait behind one going out in pieces (the output interval); one that would
  // wait longer is not sent.
  void SetWaitBound(std::function<uint32_t()> boundMs) { m_waitBoundMs = std::move(boundMs); }
  // The seed for this run (from now) and every later run start.
  void SetSeed(uint64_t seed);
  [[nodiscard]] uint64_t Seed() const { return m_seed; }
  [[nodiscard]] const FaultPlan& Plan() const { return m_plan; }
  // What is armed or in progress, one text each; empty when nothing is.
  [[nodiscard]] std::vector<std::string> ActiveFaults() const;
  [[nodiscard]] std::optional<uint32_t> NextDueMs() const;

 private:
  struct Armed {
    FaultOrder order;
    bool fromPlan = false;
    bool atTime = false;  // a once-only silence or disconnect that starts at armAtMs, not at a frame
    bool waitsForRun = false;
    uint32_t armAtMs = 0;
    uint64_t frames = 0;
    bool done = false;
  };
  // A piece of the frame going out in pieces.
  struct Piece {
    uint32_t dueMs = 0;
    std::string bytes;
  };
  // The frame going out in pieces: what its log entry shows, and who its later pieces go to.
  struct Going {
    std::string bytes;
    uint64_t client = 0;  // the server's client an answer goes to; 0: every client
    std::size_t pieces = 0;
    std::size_t sent = 0;
    LinkAudience audience;
  };
  // A frame handed over while another goes out in pieces: its faults apply when its turn comes.
  struct Waiting {
    WireFrame frame;
    uint64_t client = 0;
    uint32_t handedMs = 0;
  };
  // Frames waiting behind one in pieces, at most; answers to a flood of arrivals may come faster
  // than the output interval.
  static constexpr std::size_t kMaxWaitingFrames = 64;
  static constexpr uint32_t kDefaultWaitBoundMs = 2000;

  // A frame of the engine's, now or behind the one going out in pieces.
  void HandOver(WireFrame frame, uint32_t now);
  // Applies the frame's faults and sends it whole, or starts its pieces.
  void SendOne(WireFrame& frame, uint32_t now, uint64_t client);
  // Writes the pieces that are due and starts the frames that waited for them.
  void Pump(uint32_t now);
  void Fire(const Armed& armed, uint32_t now);
  // Writes whole bytes to the link: to one of a server's clients (an answer), or to every client for 0.
  void Write(const std::string& bytes, uint32_t now, uint64_t client);
  void StartPieces(std::string bytes, const FaultOrder* split, const FaultOrder* pace, uint32_t now, uint64_t client);
  // The frame in pieces ends: it went whole, or the rest of it is dropped.
  void FinishPieces(LinkWrite outcome);
  // Drops the frame in pieces and every frame waiting behind it, telling why.
  void DropWaiting(LinkWrite why);
  void Tell(std::string_view bytes, LinkWrite outcome, std::size_t piecesSent = 0, std::size_t pieces = 1);
  void Arm(const FaultOrder& order, bool fromPlan, uint32_t now);
  void RequestWake();
  [[nodiscard]] bool Silenced(uint32_t now) const;
  [[nodiscard]] uint32_t WaitBoundMs() const;

  CCommsWrapper& m_link;
  std::function<uint32_t()> m_clock;
  CWireListenerIF* m_pListener = nullptr;
  std::function<void(std::optional<uint32_t>)> m_wakeRequest;
  std::optional<uint32_t> m_requestedWake;  // the last due time told
  std::function<uint32_t()> m_waitBoundMs;

  CFaultRandom m_random;
  uint64_t m_seed = CFaultRandom::kDefaultSeed;
  FaultPlan m_plan;
  std::vector<Armed> m_armed;
  std::optional<Going> m_going;
  std::deque<Piece> m_pieces;  // of m_going, never empty while it is set
  std::deque<Waiting> m_waiting;
  bool m_running = false;
  std::optional<uint32_t> m_silenceUntilMs;
  uint32_t m_lastWriteMs = 0;
};
