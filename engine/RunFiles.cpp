// The run's two files: the CSV output file with one row per write-file interval, and the WITS log
// that the exchange appends to. Both are named after the moment the run starts.
#include "engine/RigSim.h"

#include "support/DataRoot.h"
#include "support/Text.h"
#include "support/TextFile.h"
#include "support/Time.h"

bool CRigSim::CreateRunFiles(std::string& errorText) {
  m_strWitsLogPath = vorn::WitsLogFilesFolder(m_strDataRoot) + "/WitsLog_" + vorn::FormatFileStamp(m_clocks.nowSeconds()) + ".txt";
  m_strCsvPath = vorn::OutputFilesFolder(m_strDataRoot) + "/" + vorn::FormatFileStamp(m_clocks.nowSeconds()) + ".csv";

  std::vector<std::string> fields = {"TIME"};
  for (const COutputItem& item : RunItems()) {
    if (item.m_bEnable) fields.push_back(vorn::CsvField(item.m_strMnem));
  }
  if (!vorn::WriteTextFile(m_strCsvPath, vorn::JoinText(fields, ",") + "\n")) {
    errorText = vorn::Sprintf("Unable to Open output file: %s", m_strCsvPath.c_str());
    return false;
  }
  return true;
}

void CRigSim::WriteOutputRow() {
  const double t = m_clocks.nowSeconds();
  std::vector<std::string> fields = {vorn::FormatSlashedTimestamp(vorn::SecondsToSystemTime(t), " ")};
  for (const COutputItem& item : RunItems()) {
    if (item.m_bEnable) fields.push_back(vorn::CsvField(item.m_strValue));
  }
  vorn::AppendTextFile(m_strCsvPath, vorn::JoinText(fields, ",") + "\n");  // a lost row is tried again next time
}
