#pragma once

#include <rapidjson/document.h>
#include <rapidjson/encodedstream.h>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <cstddef>
#include <string>
#include <string_view>

// JSON from outside the program (settings files, fault plans, well files, request bodies, profile
// values) is read within a fixed depth of nesting. A recursive parser takes stack for every level,
// and so does any walk over what it made: text of a hundred thousand "[" (well under any size bound)
// would run past the stack. Every reader of outside JSON goes through one of these two:
//
//   - ParseJsonWithinDepth for RapidJSON: it fills a document as Document::Parse does, with the
//     iterative parser (no recursion), and stops at the first array or object that opens a level
//     beyond kMaxJsonDepth. The reader then says what it says for any JSON that does not read,
//     with the result's message and offset:
//
//       rapidjson::Document document;
//       if (const vorn::JsonParseResult parsed = vorn::ParseJsonWithinDepth(document, text); !parsed) {
//         return "not JSON at offset " + std::to_string(parsed.offset) + ": " + parsed.message;
//       }
//
//   - JsonDepthExceededAt for any other parser (Qt's QJsonDocument, which allows 1024 levels): a scan
//     of the text before it is handed over.
namespace vorn {

// The deepest nesting of arrays and objects that a reader takes: the top level is depth 1.
inline constexpr int kMaxJsonDepth = 64;

// How a depth-limited parse ended; converts to true when the document was read.
struct JsonParseResult {
  bool ok = true;
  bool tooDeep = false;  // refused for its nesting
  size_t offset = 0;     // of the error: the byte where the parse stopped
  std::string message;   // RapidJSON's own text of the error, or the depth refused
  explicit operator bool() const { return ok; }
};

// The message of a parse refused for its nesting.
[[nodiscard]] std::string JsonTooDeepMessage();

// The offset of the first "[" or "{" (outside strings) that opens a level beyond maxDepth, or npos
// when the text stays within it. Text that is not JSON is scanned by the same rule; a parser that
// stops earlier on a syntax error never reaches deeper than this scan says.
[[nodiscard]] size_t JsonDepthExceededAt(std::string_view text, int maxDepth = kMaxJsonDepth);

namespace detail {

// Hands the reader's events to the document, refusing a level beyond the limit.
template <typename Handler>
struct DepthLimitedHandler {
  Handler& target;
  int maxDepth;
  int depth = 0;
  bool tooDeep = false;

  bool Open() {
    tooDeep = ++depth > maxDepth;
    return !tooDeep;
  }
  bool Null() { return target.Null(); }
  bool Bool(bool b) { return target.Bool(b); }
  bool Int(int i) { return target.Int(i); }
  bool Uint(unsigned u) { return target.Uint(u); }
  bool Int64(int64_t i) { return target.Int64(i); }
  bool Uint64(uint64_t u) { return target.Uint64(u); }
  bool Double(double d) { return target.Double(d); }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool copy) {
    return target.RawNumber(text, length, copy);
  }
  bool String(const char* text, rapidjson::SizeType length, bool copy) { return target.String(text, length, copy); }
  bool Key(const char* text, rapidjson::SizeType length, bool copy) { return target.Key(text, length, copy); }
  bool StartObject() { return Open() && target.StartObject(); }
  bool EndObject(rapidjson::SizeType members) {
    --depth;
    return target.EndObject(members);
  }
  bool StartArray() { return Open() && target.StartArray(); }
  bool EndArray(rapidjson::SizeType elements) {
    --depth;
    return target.EndArray(elements);
  }
};

}  // namespace detail

// Parses `text` (UTF-8, not necessarily terminated) into `document` with the given RapidJSON flags
// and the iterative parser, refusing nesting beyond maxDepth. On failure the document is null.
template <unsigned kFlags = rapidjson::kParseDefaultFlags>
[[nodiscard]] JsonParseResult ParseJsonWithinDepth(rapidjson::Document& document, std::string_view text,
                                                   int maxDepth = kMaxJsonDepth) {
  static_assert((kFlags & rapidjson::kParseInsituFlag) == 0, "the text is read, never written");
  JsonParseResult result;
  document.SetNull();
  const auto generate = [&](rapidjson::Document& target) {
    detail::DepthLimitedHandler<rapidjson::Document> handler{target, maxDepth};
    rapidjson::MemoryStream bytes(text.data(), text.size());
    rapidjson::EncodedInputStream<rapidjson::UTF8<>, rapidjson::MemoryStream> stream(bytes);
    rapidjson::Reader reader;
    const rapidjson::ParseResult parsed = reader.Parse<kFlags | rapidjson::kParseIterativeFlag>(stream, handler);
    if (parsed.IsError()) {
      result.ok = false;
      result.tooDeep = handler.tooDeep;
      result.offset = parsed.Offset();
      result.message = handler.tooDeep ? JsonTooDeepMessage() : rapidjson::GetParseError_En(parsed.Code());
    }
    return result.ok;
  };
  document.Populate(generate);
  if (!result.ok) document.SetNull();
  return result;
}

}  // namespace vorn
