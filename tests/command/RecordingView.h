#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "command/RigController.h"
#include "engine/SimSettings.h"
#include "persist/SettingsFiles.h"
#include "tests/common/EventWait.h"
#include "tests/engine/EngineFixture.h"

namespace vorn::test {

// A view that writes down everything it is told, one line each, so that views can be compared.
class RecordingView : public CRigViewIF {
 public:
  void OnRunChanged(bool running) override { Add(running ? "run on" : "run off"); }
  void OnTenTimesChanged(bool on) override { Add(on ? "ten times on" : "ten times off"); }
  void OnModeChanged(int mode, bool byEngine) override {
    Add("mode " + std::to_string(mode) + (byEngine ? " by engine" : ""));
  }
  void OnSubStateChanged(int subState) override { Add("sub-state " + std::to_string(subState)); }
  void OnLinkChanged(const RigLinkStatus& link) override {
    Add("link " + std::to_string(link.state) + (link.hasClient ? " client " : " ") + link.text);
    lastLink = link;
  }
  void OnPumpsChanged(bool on) override { Add(on ? "pumps on" : "pumps off"); }
  void OnFrameOut(std::string_view bytes, LinkWrite outcome) override {
    Add("frame out " + std::string(LinkWriteRefusal(outcome)));
    frames.emplace_back(bytes);
    outcomes.push_back(outcome);
  }
  void OnArrival(std::string_view text) override {
    Add("arrival");
    arrivals.emplace_back(text);
  }
  void OnItemsChanged() override { Add("items"); }
  void OnSettingsChanged(const CSimSettings& settings) override {
    Add("settings gain " + std::to_string(settings.m_nFlowSPPGain));
  }
  void OnLinkSettingsChanged(const CWitsCommSettings& settings) override {
    Add("link settings port " + std::to_string(settings.nTcpIpPort));
  }
  void OnStateChanged(StateChange what) override {
    Add(what == StateChange::Depths ? "state depths" : "state default");
  }
  void OnMessage(const std::string& line) override { Add("message " + line); }
  void OnFault(const FaultReport& report) override { Add("fault " + report.text); }
  void OnFaultsChanged() override { Add("faults"); }
  void OnAfterTick() override { Add("tick"); }

  // Called after each line is written down, for views that act on what they hear.
  std::function<void(const std::string& line)> then;

  std::vector<std::string> events;
  std::vector<std::string> frames;
  std::vector<LinkWrite> outcomes;
  std::vector<std::string> arrivals;
  RigLinkStatus lastLink;

  [[nodiscard]] bool Heard(const std::string& line) const {
    return std::find(events.begin(), events.end(), line) != events.end();
  }
  // The events but the ticks, whose number depends on the real timer.
  [[nodiscard]] std::vector<std::string> WithoutTicks() const {
    std::vector<std::string> kept;
    for (const std::string& event : events) {
      if (event != "tick") kept.push_back(event);
    }
    return kept;
  }

 private:
  void Add(std::string line) {
    events.push_back(std::move(line));
    if (then) then(events.back());
  }
};

// A controller over the fixture's engine, in a data root of the test's own, with one view attached.
class RigControllerTest : public EngineInOwnRootTest {
 protected:
  RigControllerTest() : controller(std::make_unique<CRigController>(*engine)) { controller->AddView(view); }

  // A link of a kind that opens nothing, so that a run needs no peer.
  void UseSilentLink() {
    CWitsCommSettings link;
    link.commType = 2;
    ASSERT_TRUE(controller->SetLinkSettings(link).IsDone());
  }
  // A server on a loopback port of its own.
  uint16_t UseServerLink() {
    CWitsCommSettings link;
    link.commType = TcpIp;
    link.tcpIpType = Master;
    link.nTcpIpPort = FreePort();
    EXPECT_TRUE(controller->SetLinkSettings(link).IsDone());
    return static_cast<uint16_t>(link.nTcpIpPort);
  }
  // Runs the event loop, simulated time moving 100 ms per slice, until done() or 5 s of real time.
  bool TickUntil(const std::function<bool()>& done) {
    return WaitUntil(
        [&] {
          clocks.Advance(100);
          return done();
        },
        5000);
  }
  static void RemoveSettingsFiles() {
    for (const std::string& path : {SimSettingsPath(), SimStatePath(), WitsCommSettingsPath()}) {
      std::filesystem::remove(path);
    }
  }
  static bool Saved(const std::string& path) { return std::filesystem::exists(path); }

  std::unique_ptr<CRigController> controller;
  RecordingView view;
};

}  // namespace vorn::test
