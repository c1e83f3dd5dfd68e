#pragma once

#include <cstddef>
#include <string_view>

// What became of bytes written to a link.
enum class LinkWrite {
  Sent,             // taken for sending
  NoChannel,        // the link's channel is not open or not connected (or its kind is none it knows)
  NoClient,         // a listening link has no client
  SendBoundPassed,  // they would take the send buffer past its bound: the peer does not read
  Failed,           // the open channel refused them
  HeldBack,         // never written: a silence fault between the engine and the link held them back
  Interrupted,      // a later piece of bytes sent in pieces: the link dropped since their first piece
  WaitBoundPassed,  // never written: they would have waited too long behind a frame going out in pieces
  FaultsStopped,    // never written, or not all: the faults were stopped while they waited
  RunStopped,       // never written, or not all: the run stopped while they waited
};
// How many outcomes there are, for tables indexed by them.
inline constexpr std::size_t kLinkWriteOutcomes = static_cast<std::size_t>(LinkWrite::RunStopped) + 1;

// Why bytes were not sent, for the WITS log; empty for bytes that were.
[[nodiscard]] constexpr std::string_view LinkWriteRefusal(LinkWrite outcome) {
  switch (outcome) {
    case LinkWrite::Sent: return {};
    case LinkWrite::NoChannel: return "link not open";
    case LinkWrite::NoClient: return "no client connected";
    case LinkWrite::SendBoundPassed: return "send buffer full";
    case LinkWrite::Failed: return "write failed";
    case LinkWrite::HeldBack: return "held back by a silence fault";
    case LinkWrite::Interrupted: return "link dropped";
    case LinkWrite::WaitBoundPassed: return "would wait more than an output interval behind a frame in pieces";
    case LinkWrite::FaultsStopped: return "faults stopped";
    case LinkWrite::RunStopped: return "run stopped";
  }
  return "write failed";
}
