#pragma once

#include <cstdint>
#include <string>

#include <rapidjson/document.h>

enum CommType : int32_t { Comm = 0, TcpIp = 1 };
enum TcpIpType : int32_t { Master = 0, Slave = 1 };
enum ConnectionState : int32_t { TryingToConnect = 0, Connected = 1, Closed = 2 };

// The wire profile: how frames go out on the WITS link. Its defaults are the plain frames of the
// link as it always was.
enum AnswerMode : int32_t {
  AnswerAsConfigured = 0,   // arrivals answered by the ping rule (m_bRequiresPing), as always
  AnswerValidOneFrame = 1,  // an arrival that completes a valid frame is answered with one frame
  AnswerValidPerRecord = 2, // ... with one frame per WITS record of the items
};
enum LineEnd : int32_t { LineEndCrLf = 0, LineEndLf = 1, LineEndCr = 2 };
enum FrameGroupingSetting : int32_t { GroupOneFrame = 0, GroupPerRecord = 1 };

// The keep-alive packet some receivers wait for when a link is quiet.
inline constexpr const char* kDefaultKeepAliveText = "&&\r\n0111-9999\r\n!!\r\n";

// The display names of the connection states, indexed by state.
inline constexpr const char* kConnectionStateNames[] = {"Trying to Connect", "Connected", "Closed"};

// Settings of one link. Values are not validated: a kind or role outside the enumerations makes the
// link do nothing.
struct CWitsCommSettings {
  int32_t commType = TcpIp;
  int32_t nCommPort = 3;
  int32_t nBaudRate = 9600;
  int32_t tcpIpType = Master;
  int32_t nTcpIpPort = 1000;
  std::string strIpAddress = "127.0.0.1";
  // The wire profile. Saved only when a member differs from its default, so that a file of defaults
  // keeps its bytes. The skid link reads them too and makes nothing of them.
  double fKeepAliveInterval = 0.0;  // seconds without anything sent before a keep-alive packet; 0: none
  std::string strKeepAliveText = kDefaultKeepAliveText;
  int32_t answerMode = AnswerAsConfigured;
  int32_t lineEnd = LineEndCrLf;
  int32_t frameGrouping = GroupOneFrame;

  // The members of the JSON object "WitsCommSettings".
  void ToJson(rapidjson::Value& object, rapidjson::Document::AllocatorType& allocator) const;
  void FromJson(const rapidjson::Value& object);

  bool operator==(const CWitsCommSettings&) const = default;
};
