#pragma once

#include <string_view>

// What became of bytes written to a link.
enum class LinkWrite {
  Sent,             // taken for sending
  NoChannel,        // the link's channel is not open or not connected (or its kind is none it knows)
  NoClient,         // a listening link has no client
  SendBoundPassed,  // they would take the send buffer past its bound: the peer does not read
  Failed,           // the open channel refused them
  HeldBack,         // never written: a silence fault between the engine and the link held them back
};

// Why bytes were not sent, for the WITS log; empty for bytes that were.
[[nodiscard]] constexpr std::string_view LinkWriteRefusal(LinkWrite outcome) {
  switch (outcome) {
    case LinkWrite::Sent: return {};
    case LinkWrite::NoChannel: return "link not open";
    case LinkWrite::NoClient: return "no client connected";
    case LinkWrite::SendBoundPassed: return "send buffer full";
    case LinkWrite::Failed: return "write failed";
    case LinkWrite::HeldBack: return "held back by a silence fault";
  }
  return "write failed";
}
