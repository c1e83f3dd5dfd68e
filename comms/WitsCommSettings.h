#pragma once

#include <cstdint>
#include <string>

#include <rapidjson/document.h>

enum CommType : int32_t { Comm = 0, TcpIp = 1 };
enum TcpIpType : int32_t { Master = 0, Slave = 1 };
enum ConnectionState : int32_t { TryingToConnect = 0, Connected = 1, Closed = 2 };

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

  // The members of the JSON object "WitsCommSettings".
  void ToJson(rapidjson::Value& object, rapidjson::Document::AllocatorType& allocator) const;
  void FromJson(const rapidjson::Value& object);

  bool operator==(const CWitsCommSettings&) const = default;
};
