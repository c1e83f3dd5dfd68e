#include "support/StatusLine.h"

#include "support/JsonText.h"
#include "support/Text.h"
#include "support/Time.h"

namespace vorn {

std::string FormatIsoTimestamp(double seconds) {
  const SystemTime time = SecondsToSystemTime(seconds);
  return Sprintf("%04u-%02u-%02uT%02u:%02u:%02u.%03u", unsigned{time.wYear}, unsigned{time.wMonth},
                 unsigned{time.wDay}, unsigned{time.wHour}, unsigned{time.wMinute}, unsigned{time.wSecond},
                 unsigned{time.wMilliseconds});
}

std::string FormatStatusLine(StatusFormat format, double seconds, const StatusLine& line) {
  if (format == StatusFormat::Text) {
    if (line.rig.value_or(0) > 0) return StampedLine(seconds, "Rig " + std::to_string(*line.rig) + ": " + std::string(line.text));
    return StampedLine(seconds, line.text);
  }
  CJsonText json;
  json.Begin().Text("time", FormatIsoTimestamp(seconds)).Text("kind", line.kind);
  if (line.rig) {
    json.Integer("rig", *line.rig);
  } else {
    json.Key("rig").Null();
  }
  return json.Text("text", line.text).End().Take();
}

}  // namespace vorn
