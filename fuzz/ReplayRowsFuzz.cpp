// The LAS and CSV readers on arbitrary text: never a crash, every row has one value per curve, the
// index moves one way, and reading again from the data's start gives the same rows.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "replay/RowReader.h"

namespace {

// Stops the run, saying which rule the input broke.
void Fail(const char* rule) {
  std::fprintf(stderr, "broken: %s\n", rule);
  std::abort();
}

std::vector<ReplayRow> ReadAll(CRowReader& reader) {
  std::vector<ReplayRow> rows;
  ReplayRow row;
  while (reader.Next(row)) {
    if (row.values.size() != reader.Header().curves.size()) Fail("one value per curve");
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& indexColumn : {std::string(), std::string("B")}) {
    std::string error;
    auto reader = OpenRowText(text, "fuzz.las", error, indexColumn);
    if (!reader) {
      if (error.empty()) Fail("a refusal says why");
      continue;
    }
    const std::vector<ReplayRow> rows = ReadAll(*reader);
    for (std::size_t r = 2; r < rows.size(); ++r) {
      if ((rows[r].index - rows[r - 1].index) * (rows[1].index - rows[0].index) <= 0.0) Fail("the index moves one way");
    }
    reader->Seek(reader->DataStart());
    const std::vector<ReplayRow> again = ReadAll(*reader);
    if (again.size() != rows.size()) Fail("the same rows again");
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (again[r].lineNumber != rows[r].lineNumber || again[r].rowNumber != r + 1) Fail("the same row numbers again");
    }
  }
  return 0;
}
