#include "control/ControlServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QtHttpServer/QHttpServerRequest>

#include "command/RigController.h"
#include "control/ConnectionGuard.h"
#include "control/HttpFront.h"
#include "control/HttpText.h"
#include "control/JsonText.h"
#include "control/RequestDecoding.h"
#include "control/RigCounters.h"
#include "control/RigEvents.h"
#include "control/RigJson.h"
#include "control/Routes.h"
#include "control/ServiceAnswers.h"
#include "history/HistoryCsv.h"
#include "history/HistoryRecorder.h"
#include "support/Numbers.h"

namespace vorn::control {

namespace {

std::string_view MethodName(QHttpServerRequest::Method method) {
  switch (method) {
    case QHttpServerRequest::Method::Get: return "GET";
    case QHttpServerRequest::Method::Put: return "PUT";
    case QHttpServerRequest::Method::Post: return "POST";
    case QHttpServerRequest::Method::Delete: return "DELETE";
    case QHttpServerRequest::Method::Head: return "HEAD";
    case QHttpServerRequest::Method::Options: return "OPTIONS";
    case QHttpServerRequest::Method::Patch: return "PATCH";
    default: return "OTHER";
  }
}

// Compares in a time that does not depend on where the texts differ.
bool SameSecret(std::string_view given, std::string_view secret) {
  if (given.size() != secret.size()) return false;
  unsigned char difference = 0;
  for (size_t i = 0; i < given.size(); ++i) difference |= static_cast<unsigned char>(given[i] ^ secret[i]);
  return difference == 0;
}

// A command's outcome as an answer: Done gives `done`, Invalid 400 and Refused 409 with the reason.
template <typename Done>
auto Outcome(const CommandResult& result, const Done& done) {
  struct {
    int status;
    std::string body;
  } answer{200, {}};
  switch (result.outcome) {
    case CommandOutcome::Done: answer.body = done(); break;
    case CommandOutcome::Invalid: answer = {400, ErrorBody(result.message)}; break;
    case CommandOutcome::Refused: answer = {409, ErrorBody(result.message)}; break;
  }
  return answer;
}

}  // namespace

CControlServer::CControlServer(ControllerLookup lookup, ControlOptions options, QObject* parent)
    : QObject(parent), m_lookup(std::move(lookup)), m_options(std::move(options)) {
  m_front =
      new CHttpFront([this](const QHttpServerRequest& request, QTcpSocket& socket) { Handle(request, socket); }, this);
}

CControlServer::~CControlServer() = default;

bool CControlServer::Listen(std::string& error) {
  QHostAddress address;
  if (!address.setAddress(QString::fromStdString(m_options.address))) {
    error = "'" + m_options.address + "' is not an IP address";
    return false;
  }
  m_listener = new CGuardedTcpServer(*m_front, m_options.limits);
  if (!m_listener->listen(address, m_options.port)) {
    error = m_listener->errorString().toStdString();
    delete m_listener;
    m_listener = nullptr;
    return false;
  }
  m_front->bind(m_listener);  // the front becomes its parent
  (void)Sample();             // the counters count from now
  return true;
}

std::vector<int> CControlServer::RigNumbers() const {
  if (m_options.fleetSize <= 0) return {0};
  std::vector<int> rigs(static_cast<std::size_t>(m_options.fleetSize));
  for (std::size_t i = 0; i < rigs.size(); ++i) rigs[i] = m_options.fleetFirst + static_cast<int>(i);
  return rigs;
}

std::vector<RigSample> CControlServer::Sample() {
  std::vector<RigSample> samples;
  for (int rig : RigNumbers()) {
    CRigController* controller = m_lookup ? m_lookup(rig) : nullptr;
    if (controller == nullptr) continue;
    std::unique_ptr<CRigCounters>& counters = m_counters[rig];
    if (!counters) counters = std::make_unique<CRigCounters>(*controller);
    const CCommsWrapper& link = controller->Engine().m_witsLink;
    const bool server = link.m_settings.commType == TcpIp && link.m_settings.tcpIpType == Master;
    RigSample sample;
    sample.rig = rig;
    sample.running = controller->IsRunning();
    sample.linkOpen = link.m_state == Connected;
    sample.receivers = server ? link.ClientCount() : (sample.linkOpen ? 1 : 0);
    sample.counts = counters->Counts();
    sample.timing = controller->Timing();
    samples.push_back(sample);
  }
  return samples;
}

bool CControlServer::AnswerService(const QHttpServerRequest& request, std::string_view path, QTcpSocket& socket,
                                   bool close) {
  const bool metrics = path == "/metrics";
  const bool live = path == "/api/v1/health/live";
  if (!metrics && !live && path != "/api/v1/health") return false;
  ServiceAnswer answer;
  if (request.method() != QHttpServerRequest::Method::Get) {
    answer = {405, "application/json", ErrorBody("this endpoint takes GET") + "\n"};
    socket.write(QByteArray::fromStdString(
        ResponseText(answer.status, answer.contentType, answer.body, {{"Allow", "GET"}}, close)));
  } else {
    answer = metrics ? ServiceAnswer{200, "text/plain; version=0.0.4; charset=utf-8",
                                     MetricsText(Sample(), vorn::ReadProcessStats())}
                     : HealthAnswer(Sample(), !live);
    socket.write(QByteArray::fromStdString(ResponseText(answer.status, answer.contentType, answer.body, {}, close)));
  }
  if (close) socket.disconnectFromHost();
  return true;
}

uint16_t CControlServer::Port() const { return m_listener ? m_listener->serverPort() : 0; }

int CControlServer::LiveConnections() const { return m_listener ? m_listener->LiveConnections() : 0; }

bool CControlServer::Authorized(const QHttpServerRequest& request) const {
  if (!m_options.token) return true;
  const QByteArray given = request.value("Authorization");
  return SameSecret(std::string_view(given.constData(), static_cast<size_t>(given.size())),
                    "Bearer " + *m_options.token);
}

void CControlServer::Handle(const QHttpServerRequest& request, QTcpSocket& socket) {
  CConnectionGuard* guard = CConnectionGuard::Of(&socket);
  const bool close = guard != nullptr && guard->TakeCloseAfterAnswer();
  const auto answer = [&](int status, const std::string& body, const HeaderLines& extra = {}) {
    socket.write(QByteArray::fromStdString(ResponseText(status, "application/json", body, extra, close)));
    if (close) socket.disconnectFromHost();
  };
  const QByteArray path = request.url().path(QUrl::FullyEncoded).toUtf8();
  if (AnswerService(request, std::string_view(path.constData(), static_cast<size_t>(path.size())), socket, close)) {
    return;
  }
  if (!Authorized(request)) {
    answer(401, ErrorBody("this simulator's control API needs 'Authorization: Bearer <token>'"),
           {{"WWW-Authenticate", "Bearer"}});
    return;
  }
  const RouteResult routed =
      ResolveRoute(MethodName(request.method()), std::string_view(path.constData(), path.size()));
  if (!routed.route) {
    if (routed.status == 405) {
      answer(405, ErrorBody("this endpoint takes " + routed.allow), {{"Allow", routed.allow}});
    } else {
      answer(404, ErrorBody("no such endpoint: " + path.toStdString()));
    }
    return;
  }
  const Route& route = *routed.route;
  CRigController* controller = m_lookup ? m_lookup(route.rig) : nullptr;
  if (controller == nullptr) {
    std::string text = "there is no rig " + std::to_string(route.rig);
    if (m_options.fleetSize > 0) {
      text += ": the fleet's rigs are " + std::to_string(m_options.fleetFirst) + " to " +
              std::to_string(m_options.fleetFirst + m_options.fleetSize - 1) + ", each at /api/v1/rigs/<k>/";
    }
    answer(404, ErrorBody(text));
    return;
  }
  if (route.action == Action::GetEvents) {
    if (guard != nullptr) guard->TakeOverForStream();
    OpenEventStream(route.rig, *controller, socket);
    return;
  }
  if (route.action == Action::GetHistory) {
    HeaderLines headers;
    const Answer history = History(route.rig, request, headers);
    const bool csv = history.status == 200;
    socket.write(QByteArray::fromStdString(ResponseText(history.status, csv ? "text/csv" : "application/json",
                                                        csv ? history.body : history.body + "\n", headers, close)));
    if (close) socket.disconnectFromHost();
    return;
  }
  const QByteArray body = request.body();
  const Answer result = route.action <= Action::GetEvents
                            ? Read(*controller, route)
                            : Command(*controller, route, std::string_view(body.constData(), body.size()));
  answer(result.status, result.body.ends_with('\n') ? result.body : result.body + "\n");
}

CControlServer::Answer CControlServer::History(int rig, const QHttpServerRequest& request,
                                               HeaderLines& headers) const {
  const CHistoryRecorder* history = m_historyLookup ? m_historyLookup(rig) : nullptr;
  if (history == nullptr) return {404, ErrorBody("rig " + std::to_string(rig) + " keeps no history")};
  const CHistoryStore& store = history->Store();
  double from = 0.0;
  const QUrlQuery query(request.url());
  if (query.hasQueryItem("seconds")) {
    const std::string text = query.queryItemValue("seconds").toStdString();
    const double seconds = vorn::ReadDecimal(text);
    if (!vorn::HoldsDecimal(text) || !(seconds > 0.0)) {
      return {400, ErrorBody("seconds must be a number of seconds above 0, not '" + text + "'")};
    }
    from = std::max(0.0, store.Latest() - seconds);
  }
  // What the run did not record is said beside the CSV, which has no place for it.
  if (const std::string note = history->UnrecordedNote(); !note.empty()) {
    headers.emplace_back("Warning", std::string("199 - \"").append(note).append("\""));
  }
  return {200, HistoryCsv(store, AllSeries(store), from, store.Latest(), history->StartWallSeconds())};
}

CControlServer::Answer CControlServer::Read(CRigController& controller, const Route& route) const {
  const CRigSim& engine = controller.Engine();
  switch (route.action) {
    case Action::GetStatus: return {200, StatusJson(controller)};
    case Action::GetChannels: return {200, ChannelsJson(engine)};
    case Action::GetItems: return {200, ItemsJson(engine)};
    case Action::GetReceived: return {200, ReceivedJson(engine)};
    case Action::GetSettings: return {200, RecordJson(engine.m_settings)};
    case Action::GetLink: return {200, RecordJson(engine.m_witsLink.m_settings)};
    case Action::GetFaults: return {200, FaultsJson(controller)};
    case Action::GetWell:
      if (engine.WellModel() == nullptr) return {404, ErrorBody("no well is loaded")};
      return {200, engine.m_strWellText};
    default: return {404, ErrorBody("not a read")};
  }
}

CControlServer::Answer CControlServer::Command(CRigController& controller, const Route& route, std::string_view body) {
  const CRigSim& engine = controller.Engine();
  const auto status = [&controller] { return StatusJson(controller); };
  // Decodes the body; a refusal is a 400 and nothing is done.
  const auto run = [&](const auto& decoded, const auto& command, const auto& done) -> Answer {
    if (!decoded.Ok()) return {400, ErrorBody(decoded.error)};
    const auto outcome = Outcome(command(*decoded.value), done);
    return {outcome.status, outcome.body};
  };
  switch (route.action) {
    case Action::PostRun:
      return run(
          DecodeRunning(body), [&](bool on) { return controller.SetRunning(on); }, status);
    case Action::PostTenTimes:
      return run(
          DecodeTenTimes(body), [&](bool on) { return controller.SetTenTimes(on); }, status);
    case Action::PostMode:
      return run(
          DecodeMode(body), [&](int mode) { return controller.SetMode(mode); }, status);
    case Action::PostBitDepth:
      return run(
          DecodeDepth(body), [&](double depth) { return controller.SetBitDepth(depth); },
          [&] { return ChannelsJson(engine); });
    case Action::PostHoleDepth:
      return run(
          DecodeDepth(body), [&](double depth) { return controller.SetHoleDepth(depth); },
          [&] { return ChannelsJson(engine); });
    case Action::PostDefaultStartState:
      return run(
          DecodeNoArguments(body), [&](bool) { return controller.SetDefaultStartState(); }, status);
    case Action::PostGain:
      return run(
          DecodeGain(body), [&](int percent) { return controller.SetGain(percent); }, status);
    case Action::PutSettings:
      return run(
          DecodeSettings(body, engine.m_settings),
          [&](const CSimSettings& settings) {
            CommandResult result = controller.ApplySettings(settings, engine.m_settings.m_mode);
            // The settings dialog's words for a record that does not hold together.
            if (result.outcome == CommandOutcome::Invalid)
              result.message = "Settings Validation Failed.\n" + result.message;
            return result;
          },
          [&] { return RecordJson(engine.m_settings); });
    case Action::PutItems:
      return run(
          DecodeItems(body),
          [&](const std::vector<COutputItem>& items) { return controller.ReplaceItems(items); },
          [&] { return ItemsJson(engine); });
    case Action::PostItemDefaults:
      return run(
          DecodeNoArguments(body), [&](bool) { return controller.LoadDefaultItems(); },
          [&] { return ItemsJson(engine); });
    case Action::PutLink:
      return run(
          DecodeLinkSettings(body, engine.m_witsLink.m_settings),
          [&](const CWitsCommSettings& settings) { return controller.SetLinkSettings(settings); },
          [&] { return RecordJson(engine.m_witsLink.m_settings); });
    case Action::PostFaults:
      return run(
          DecodeFault(body), [&](const FaultOrder& fault) { return controller.InjectFault(fault); },
          [&] { return FaultsJson(controller); });
    case Action::PutFaultPlan:
      return run(
          DecodeFaultPlan(body), [&](const FaultPlan& plan) { return controller.SetFaultPlan(plan); },
          [&] { return FaultsJson(controller); });
    case Action::DeleteFaultPlan:
      return run(
          DecodeNoArguments(body), [&](bool) { return controller.ClearFaultPlan(); },
          [&] { return FaultsJson(controller); });
    case Action::PutWell: {
      // The body is the well file's JSON; one that does not read is a 400 naming the member.
      const auto outcome = Outcome(controller.UseWellText(body), [&] { return engine.m_strWellText; });
      return {outcome.status, outcome.body};
    }
    case Action::DeleteWell:
      return run(
          DecodeNoArguments(body), [&](bool) { return controller.ClearWell(); }, status);
    default: return {404, ErrorBody("not a command")};
  }
}

void CControlServer::OpenEventStream(int rig, CRigController& controller, QTcpSocket& socket) {
  std::unique_ptr<CRigEvents>& events = m_events[rig];
  if (!events) events = std::make_unique<CRigEvents>(controller);
  events->Streams().Add(socket);
}

}  // namespace vorn::control
