// The run's two files: the CSV output file with one row per write-file interval, and the WITS log
// that the exchange appends to. Both are named after the moment the run starts, and never after
// another run's files.
#include "engine/RigSim.h"

#include <filesystem>

#include "support/DataRoot.h"
#include "support/Text.h"
#include "support/TextFile.h"
#include "support/Time.h"

bool CRigSim::CreateRunFiles(std::string& errorText) {
  const std::string logStamp = vorn::FormatFileStamp(m_clocks.nowSeconds());
  const std::string csvStamp = vorn::FormatFileStamp(m_clocks.nowSeconds());
  std::vector<std::string> fields = {"TIME"};
  for (const COutputItem& item : RunItems()) {
    if (item.m_bEnable) fields.push_back(vorn::CsvField(item.m_strMnem));
  }
  const std::string header = vorn::JoinText(fields, ",") + "\n";
  // A run started in the same second as another gets "_2", "_3", ... after the stamp, so no run's
  // files are ever truncated or continued by another's.
  for (int run = 1;; ++run) {
    // Appended, not "_" + text: g++ 12 at -O3 takes that form for an overlapping copy (-Wrestrict).
    const std::string suffix = run == 1 ? std::string() : std::string("_").append(std::to_string(run));
    m_strWitsLogPath = vorn::WitsLogFilesFolder(m_strDataRoot) + "/WitsLog_" + logStamp + suffix + ".txt";
    m_strCsvPath = vorn::OutputFilesFolder(m_strDataRoot) + "/" + csvStamp + suffix + ".csv";
    std::error_code error;
    if (std::filesystem::exists(m_strWitsLogPath, error)) continue;
    switch (vorn::CreateNewTextFile(m_strCsvPath, header)) {
      case vorn::NewFileResult::Created: return true;
      case vorn::NewFileResult::Exists: continue;
      case vorn::NewFileResult::Failed: break;
    }
    errorText = vorn::Sprintf("Unable to Open output file: %s", m_strCsvPath.c_str());
    return false;
  }
}

void CRigSim::WriteOutputRow() {
  const double t = m_clocks.nowSeconds();
  std::vector<std::string> fields = {vorn::FormatSlashedTimestamp(vorn::SecondsToSystemTime(t), " ")};
  for (const COutputItem& item : RunItems()) {
    if (item.m_bEnable) fields.push_back(vorn::CsvField(item.m_strValue));
  }
  vorn::AppendTextFile(m_strCsvPath, vorn::JoinText(fields, ",") + "\n");  // a lost row is tried again next time
}
