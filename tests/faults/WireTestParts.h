#pragma once

#include <QHostAddress>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "comms/CommsWrapper.h"
#include "faults/WitsWire.h"
#include "tests/common/EventWait.h"
#include "tests/engine/ManualClocks.h"

namespace vorn::test {

// What the wire tells: each write with its outcome and refusal, and each fault.
struct RecordingWireListener : CWireListenerIF {
  void OnWireOut(const WireOut& out) override {
    writes.push_back({std::string(out.bytes), out.outcome, std::string(LinkWriteRefusal(out.outcome)), WireOutNote(out)});
  }
  void OnFaultApplied(const FaultReport& report) override { faults.push_back(report.text); }

  struct Write {
    std::string bytes;
    LinkWrite outcome;
    std::string refusal;
    std::string note;  // as the WITS log's entry has it
  };
  std::vector<Write> writes;
  std::vector<std::string> faults;
};

// A wire on a listening link with a real loopback receiver attached, all on hand-driven clocks.
struct WireBench {
  static constexpr int kWaitMs = 5000;

  explicit WireBench(CWitsCommSettings profile = {}) {
    profile.commType = TcpIp;
    profile.tcpIpType = Master;
    profile.nTcpIpPort = FreePort();
    link.m_settings = profile;
    link.SetClocks(clocks.Make());
    link.m_nStopRequest = 0;
    link.Service();
    Connect();
    wire.SetListener(&listener);
    wire.SetWakeRequest([this](std::optional<uint32_t> due) { wake = due; });
    wire.RunStarted();
  }

  void Connect() {
    peer = std::make_unique<QTcpSocket>();
    peer->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(link.m_settings.nTcpIpPort));
    WaitUntil([this] { return link.HasClient() && peer->state() == QAbstractSocket::ConnectedState; }, kWaitMs);
  }

  // Sends the lines as one DoWitsOut would.
  void Send(const std::vector<WitsOutLine>& lines, FrameGrouping grouping = FrameGrouping::AsConfigured) {
    wire.SendFrame(lines, grouping);
  }
  // Moves the clock on and services the wire, as its wake-up would.
  void Advance(uint32_t ms) {
    clocks.Advance(ms);
    link.Service();
    wire.Service();
  }
  // What the receiver has, once it holds at least `count` bytes (or the wait ran out).
  std::string Received(std::size_t count) {
    WaitUntil(
        [&] {
          received += peer->readAll().toStdString();
          return received.size() >= count;
        },
        kWaitMs);
    return received;
  }
  // What the receiver got in a short real-time while: for checking that nothing more came.
  std::string ReceivedSoFar() {
    WaitUntil([] { return false; }, 150);
    received += peer->readAll().toStdString();
    return received;
  }

  ManualClocks clocks;
  CCommsWrapper link;
  CWitsWire wire{link, [this] { return clocks.ms; }};
  RecordingWireListener listener;
  std::optional<uint32_t> wake;
  std::unique_ptr<QTcpSocket> peer;
  std::string received;
};

inline const std::vector<WitsOutLine>& TwoLines() {
  static const std::vector<WitsOutLine> lines = {{1, 8, "1000.5"}, {1, 10, "20"}};
  return lines;
}

inline constexpr const char* kTwoLineFrame = "&&\r\n01081000.5\r\n011020\r\n!!\r\n";

inline FaultOrder Fault(std::string_view text) { return ParseFaultText(text).value.value(); }

}  // namespace vorn::test
