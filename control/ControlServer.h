#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/ConnectionLimits.h"

#include "control/HttpText.h"

class CHistoryRecorder;
class CRigController;
class QHttpServerRequest;
class QTcpSocket;

namespace vorn::control {

class CGuardedTcpServer;
class CHttpFront;
class CRigCounters;
class CRigEvents;
struct Route;
struct RigSample;

// Where the control API listens and who may use it.
struct ControlOptions {
  std::string address = "127.0.0.1";
  uint16_t port = 0;                 // 0: any free port (see Port())
  std::optional<std::string> token;  // when set, every request needs "Authorization: Bearer <token>"
  int fleetSize = 0;                 // a fleet's rigs are fleetFirst..fleetFirst+fleetSize-1; 0: the program's one rig
  ConnectionLimits limits{};         // connections at once, and how long a request or an idle one may take
  int fleetFirst = 1;
};

// The control API: HTTP/1.1 and JSON under /api/v1, a thin view over the rig controllers. It holds
// no rig state of its own: reads come from a controller and its engine, every command goes through
// the controller (its checks, saves and notifications are the window's), and the event streams are
// fed by a view attached to the controller. Rigs are found through a lookup, rig 0 being the one
// that /api/v1/<endpoint> addresses; /api/v1/rigs/<k>/<endpoint> addresses rig k.
class CControlServer : public QObject {
  Q_OBJECT

 public:
  // The controller of rig k, or none. The controllers must outlive the server.
  using ControllerLookup = std::function<CRigController*(int rig)>;

  // The history kept of rig k (for GET history), or none.
  using HistoryLookup = std::function<const CHistoryRecorder*(int rig)>;

  CControlServer(ControllerLookup lookup, ControlOptions options, QObject* parent = nullptr);
  // Without it, or when it finds none, GET history answers 404.
  void SetHistoryLookup(HistoryLookup lookup) { m_historyLookup = std::move(lookup); }
  ~CControlServer() override;
  CControlServer(const CControlServer&) = delete;
  CControlServer& operator=(const CControlServer&) = delete;

  // Opens the listening socket; false with the reason when it cannot.
  bool Listen(std::string& error);
  [[nodiscard]] uint16_t Port() const;
  // The connections whose objects exist: open ones, and closed ones not yet deleted.
  [[nodiscard]] int LiveConnections() const;

 private:
  struct Answer {
    int status = 200;
    std::string body;
  };

  void Handle(const QHttpServerRequest& request, QTcpSocket& socket);
  [[nodiscard]] bool Authorized(const QHttpServerRequest& request) const;
  Answer Read(CRigController& controller, const Route& route) const;
  Answer Command(CRigController& controller, const Route& route, std::string_view body);
  void OpenEventStream(int rig, CRigController& controller, QTcpSocket& socket);

  // GET /api/v1/health (readiness), /api/v1/health/live and /metrics, answered without the token;
  // false for any other path.
  bool AnswerService(const QHttpServerRequest& request, std::string_view path, QTcpSocket& socket, bool close);
  // The rigs the server addresses: 0 alone, or a fleet's.
  [[nodiscard]] std::vector<int> RigNumbers() const;
  // The rigs that exist now, each with its counters (attached at the first look).
  std::vector<RigSample> Sample();

  // The history as CSV: the last `seconds` of the query, all of it without; 400 for a bad number.
  // `headers` gets what the CSV has no place for.
  Answer History(int rig, const QHttpServerRequest& request, HeaderLines& headers) const;

  ControllerLookup m_lookup;
  HistoryLookup m_historyLookup;
  ControlOptions m_options;
  // Made on the first event stream of a rig, so a rig nobody listens to has no view of the API.
  std::map<int, std::unique_ptr<CRigEvents>> m_events;
  // Attached when the server starts listening (or the rig is first seen), for the metrics.
  std::map<int, std::unique_ptr<CRigCounters>> m_counters;
  CHttpFront* m_front = nullptr;            // owned as a child
  CGuardedTcpServer* m_listener = nullptr;  // owned by the front once bound
};

}  // namespace vorn::control
