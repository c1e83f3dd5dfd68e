#include "app/OptionsFile.h"

#include <QFile>

namespace {

constexpr std::string_view kOption = "--options-file";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

SplitOptions SplitOptionsText(std::string_view text) {
  SplitOptions result;
  int line = 1;
  const auto fail = [&](const std::string& why) {
    result.words.clear();
    result.error = "line " + std::to_string(line) + ": " + why;
    return result;
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') ++line;
    if (IsSpace(c)) {
      ++i;
      continue;
    }
    if (c == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    std::string word;
    while (i < text.size() && !IsSpace(text[i])) {
      const char quote = text[i];
      if (quote == '\0') return fail("a zero byte");
      if (quote != '"' && quote != '\'') {
        word += quote;
        ++i;
        continue;
      }
      const int opened = line;
      ++i;
      while (true) {
        if (i >= text.size()) {
          line = opened;
          return fail(std::string("a quote (") + quote + ") that does not end");
        }
        char inside = text[i++];
        if (inside == quote) break;
        if (inside == '\0') return fail("a zero byte");
        if (inside == '\n') ++line;
        if (quote == '"' && inside == '\\' && i < text.size() && (text[i] == '"' || text[i] == '\\')) inside = text[i++];
        word += inside;
      }
    }
    result.words.push_back(std::move(word));
  }
  return result;
}

ExpandedArguments ExpandOptionsFiles(const QStringList& arguments) {
  ExpandedArguments result;
  const QString option = QString::fromUtf8(kOption.data(), static_cast<qsizetype>(kOption.size()));
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == "--") {
      result.arguments += arguments.mid(i);
      break;
    }
    QString path;
    if (argument == option) {
      if (i + 1 >= arguments.size()) return {{}, "Missing value after '--options-file'."};
      path = arguments[++i];
    } else if (argument.startsWith(option + "=")) {
      path = argument.mid(option.size() + 1);
    } else {
      result.arguments << argument;
      continue;
    }
    const std::string name = path.toStdString();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
      return {{}, "Cannot read the options file '" + name + "': " + file.errorString().toStdString()};
    }
    const QByteArray text = file.read(static_cast<qint64>(kMaxOptionsFileBytes) + 1);
    if (static_cast<std::size_t>(text.size()) > kMaxOptionsFileBytes) {
      return {{}, "The options file '" + name + "' is over 64 KiB."};
    }
    const SplitOptions split = SplitOptionsText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!split.error.empty()) return {{}, "Invalid options file '" + name + "': " + split.error + "."};
    for (const std::string& word : split.words) {
      if (word == kOption || word.starts_with(std::string(kOption) + "=")) {
        return {{}, "Invalid options file '" + name + "': it names another options file."};
      }
      result.arguments << QString::fromStdString(word);
    }
  }
  return result;
}
