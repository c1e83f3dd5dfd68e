#include "control/JsonText.h"

#include "comms/WitsCommSettings.h"
#include "engine/OutputItem.h"
#include "engine/SimSettings.h"

namespace vorn::control {

template <typename Record>
std::string RecordJson(const Record& record) {
  rapidjson::Document document(rapidjson::kObjectType);
  record.ToJson(document, document.GetAllocator());
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  document.Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

template std::string RecordJson(const CSimSettings&);
template std::string RecordJson(const CWitsCommSettings&);
template std::string RecordJson(const COutputItem&);

}  // namespace vorn::control
