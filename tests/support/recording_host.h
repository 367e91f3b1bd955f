// A TOperationHost that keeps the two logs as lists of entries.
#ifndef SKELVANE_TESTS_SUPPORT_RECORDING_HOST_H
#define SKELVANE_TESTS_SUPPORT_RECORDING_HOST_H

#include <string>
#include <vector>

#include "dictionary/operation_host.h"

namespace skelvane::testing {

class TRecordingHost : public TOperationHost {
 public:
  struct TEntry {
    std::string text;
    bool withTime;
    bool alsoUpdate = false;
    bool operator==(const TEntry&) const = default;
  };
  std::vector<TEntry> common;
  std::vector<std::string> update;

  // What the operation is told about its run.
  std::string user = "APPU";
  std::string exportFile = "test._sdb";
  std::string updateFile = "test._sdb";
  std::string programDir = "/tmp";

  void WriteLog(const std::string& text, bool withTime, bool alsoUpdateLog) override {
    common.push_back({text, withTime, alsoUpdateLog});
    if (alsoUpdateLog) update.push_back(text);
  }
  std::string UserNameText() const override { return user; }
  std::string ExportFileName() const override { return exportFile; }
  std::string UpdateFileName() const override { return updateFile; }
  std::string ProgramDirectory() const override { return programDir; }
  bool SequenceSetZero() const override { return false; }
  void ProcessMessages() override {}

  // The common log's lines, "<TS>:" standing for the time stamp.
  std::vector<std::string> MaskedLog() const {
    std::vector<std::string> lines;
    for (const TEntry& e : common) lines.push_back((e.withTime ? "<TS>:" : "") + e.text);
    return lines;
  }
};

}  // namespace skelvane::testing

#endif
