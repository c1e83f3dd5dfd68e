#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The bytes of the control API's HTTP answers, written whole by the server.
namespace vorn::control {

using HeaderLines = std::vector<std::pair<std::string, std::string>>;

[[nodiscard]] std::string_view ReasonPhrase(int status);

// A complete HTTP/1.1 response with a Content-Length; `close` adds "Connection: close".
[[nodiscard]] std::string ResponseText(int status, std::string_view contentType, std::string_view body,
                                       const HeaderLines& extra = {}, bool close = false);

// {"error": message} as JSON text.
[[nodiscard]] std::string ErrorBody(std::string_view message);

// A JSON error answer.
[[nodiscard]] std::string ErrorResponse(int status, std::string_view message, const HeaderLines& extra = {},
                                        bool close = false);

}  // namespace vorn::control
