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

// Told what the wire wrote and which faults it applied, so that they can be logged and shown.
class CWireListenerIF {
 public:
  // Bytes that left for the link (a whole frame as it was sent, or a keep-alive packet), what the link
  // did with them, and why they were not sent (the link's reason or a fault's), empty when they were.
  virtual void OnWireOut(std::string_view bytes, LinkWrite outcome, std::string_view refusal) = 0;
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
  // begins. A run stops: pieces still waiting are dropped and a silence ends; armed faults stay.
  void RunStarted();
  void RunStopped();

  void SendFrame(const std::vector<WitsOutLine>& lines, FrameGrouping grouping) override;
  // Writes the pieces that are due, starts timed faults whose time has come, sends a keep-alive packet
  // when the link has been quiet for the profile's interval.
  void Service();

  // Arms a fault: once (the next frame; a silence or a disconnect at once during a run, else at the
  // first frame), every N-th frame, or each frame with probability p.
  void Inject(const FaultOrder& order);
  // Replaces the plan (and its entries still armed); during a run its times count from now. A plan
  // that names a seed sets it.
  void SetPlan(const FaultPlan& plan);
  // Disarms the plan and every injected fault; a silence in progress ends.
  void StopFaults();
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
  struct Segment {
    uint32_t dueMs = 0;
    std::string bytes;
    std::optional<std::string> logBytes;  // the whole frame, on its first piece
    uint64_t client = 0;                  // the server's client an answer goes to; 0: every client
  };

  void SendOne(WireFrame& frame, uint32_t now);
  void Fire(const Armed& armed, uint32_t now);
  // Writes to the link: to one of a server's clients (an answer), or to every client for 0.
  void Write(const std::string& bytes, const std::string* logBytes, uint32_t now, uint64_t client);
  void Enqueue(std::string bytes, const FaultOrder* split, const FaultOrder* pace, uint32_t now);
  void Arm(const FaultOrder& order, bool fromPlan, uint32_t now);
  void RequestWake();
  [[nodiscard]] bool Silenced(uint32_t now) const;

  CCommsWrapper& m_link;
  std::function<uint32_t()> m_clock;
  CWireListenerIF* m_pListener = nullptr;
  std::function<void(std::optional<uint32_t>)> m_wakeRequest;
  std::optional<uint32_t> m_requestedWake;  // the last due time told

  CFaultRandom m_random;
  uint64_t m_seed = CFaultRandom::kDefaultSeed;
  FaultPlan m_plan;
  std::vector<Armed> m_armed;
  std::deque<Segment> m_queue;
  bool m_running = false;
  std::optional<uint32_t> m_silenceUntilMs;
  uint32_t m_lastWriteMs = 0;
};
