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
  };
  std::vector<TEntry> common;
  std::vector<std::string> update;

  void WriteLog(const std::string& text, bool withTime, bool alsoUpdateLog) override {
    common.push_back({text, withTime});
    if (alsoUpdateLog) update.push_back(text);
  }
  std::string UserNameText() const override { return "APPU"; }
  std::string ExportFileName() const override { return "test._sdb"; }
  std::string UpdateFileName() const override { return "test._sdb"; }
  std::string ProgramDirectory() const override { return "/tmp"; }
  bool SequenceSetZero() const override { return false; }
  void ProcessMessages() override {}
};

}  // namespace skelvane::testing

#endif
