#pragma once

#include <string>
#include <string_view>

#include "comms/LinkWrite.h"
#include "comms/WitsCommSettings.h"
#include "faults/FaultReport.h"

class CSimSettings;

// The WITS link as the views show it.
struct RigLinkStatus {
  ConnectionState state = Closed;
  std::string text;        // the link's status text; a listening server adds " - Client Connected" or
                           // " - Client NOT Connected"
  bool hasClient = false;  // a server link has a client attached

  bool operator==(const RigLinkStatus&) const = default;
};

// What the rig controller last told its views. A view that attaches reads it (and the engine) for
// the picture it starts from; from then on the notifications keep it up to date.
struct RigStatus {
  bool running = false;
  bool tenTimes = false;
  int mode = 1;      // RigMode
  int subState = 0;  // of the current mode
  RigLinkStatus link;
  bool pumpsOn = false;
  int gain = 100;  // flow and standpipe-pressure gain, percent

  bool operator==(const RigStatus&) const = default;
};

// What changed in the engine's position or start state.
enum class StateChange {
  Depths,             // bit depth or hole depth set (each may move the other)
  DefaultStartState,  // the default starting state: depths, block, sub-states, mode Drill, channels
};

// A view of one rig: the main window, the headless status output, the control API. The controller
// tells every view of every change, whoever caused it; a view reads whatever else it shows from the
// controller's engine. Every operation does nothing unless a view overrides it.
//
// Notifications come on the one thread, at once, while the controller works: a view must not block.
// A view may remove itself (or another) from inside a notification; one removed is told nothing more.
// A view may issue commands from OnAfterTick and from notifications of commands; from inside a tick's
// own notifications (mode by the engine, frame out, arrival) it should not, as the tick is not done.
class CRigViewIF {
 public:
  virtual ~CRigViewIF() = default;

  // A run started (the links opened, the run's files made) or stopped (state saved, links closed).
  // A start that failed is no change: only its issuer hears of it, through the command's result.
  virtual void OnRunChanged(bool /*running*/) {}
  virtual void OnTenTimesChanged(bool /*on*/) {}
  // The activity mode changed: by a command (mode box, settings, default start state), or by the
  // engine itself during a tick (a trip reached the bottom or the surface), then with byEngine true.
  // Either way both settings files were saved before the views hear of it.
  virtual void OnModeChanged(int /*mode*/, bool /*byEngine*/) {}
  // The current mode's sub-state changed (also told after a mode change).
  virtual void OnSubStateChanged(int /*subState*/) {}
  // The WITS link's state, status text or client changed.
  virtual void OnLinkChanged(const RigLinkStatus& /*link*/) {}
  virtual void OnPumpsChanged(bool /*on*/) {}
  // A frame the engine wrote to the WITS link: its bytes, and whether the link took them or why not.
  virtual void OnFrameOut(std::string_view /*bytes*/, LinkWrite /*outcome*/) {}
  // Text that arrived on the WITS link.
  virtual void OnArrival(std::string_view /*text*/) {}
  // The list of output items changed (replaced, added to, removed from, set to the defaults); the
  // settings file was saved. Values changing with evaluation are no such change: see OnAfterTick.
  virtual void OnItemsChanged() {}
  // The simulation settings changed: through the settings command, or the gain alone (the settings
  // dialog's slider, the skid link's command). The mode has its own notification.
  virtual void OnSettingsChanged(const CSimSettings& /*settings*/) {}
  // The WITS link's settings changed (they apply from the next run start); the file was saved.
  virtual void OnLinkSettingsChanged(const CWitsCommSettings& /*settings*/) {}
  // The engine's position or start state was set by a command; the state file was saved.
  virtual void OnStateChanged(StateChange /*what*/) {}
  // A line for the operator that belongs to no command: a save of the state that failed, a load
  // skipped for it. With no view attached the line goes to the diagnostic console.
  virtual void OnMessage(const std::string& /*line*/) {}
  // A fault took effect on the wire (its FAULT entry is in the WITS log).
  virtual void OnFault(const FaultReport& /*report*/) {}
  // Faults were armed or disarmed, or the seed set, by a command: what is active may have changed.
  virtual void OnFaultsChanged() {}
  // After every tick of a run, once the changes it made were told: channel values, item values,
  // received items and the block have moved on.
  virtual void OnAfterTick() {}
};
