#include "control/HttpText.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vorn::control {

std::string_view ReasonPhrase(int status) {
  switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 409: return "Conflict";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Unknown";
  }
}

std::string ResponseText(int status, std::string_view contentType, std::string_view body, const HeaderLines& extra,
                         bool close) {
  std::string text = "HTTP/1.1 " + std::to_string(status) + " " + std::string(ReasonPhrase(status)) + "\r\n";
  text += "Content-Type: " + std::string(contentType) + "\r\n";
  text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  text += "Cache-Control: no-store\r\n";
  for (const auto& [name, value] : extra) text += name + ": " + value + "\r\n";
  if (close) text += "Connection: close\r\n";
  text += "\r\n";
  text += body;
  return text;
}

std::string ErrorBody(std::string_view message) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartObject();
  writer.Key("error");
  writer.String(message.data(), static_cast<rapidjson::SizeType>(message.size()));
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

std::string ErrorResponse(int status, std::string_view message, const HeaderLines& extra, bool close) {
  return ResponseText(status, "application/json", ErrorBody(message), extra, close);
}

}  // namespace vorn::control
