// What the operations (export, compare and update, statement execution)
// need from the window. The window model implements it; tests implement it
// with a recorder. Keeps export/, update/ and dictionary/ free of app/.
#ifndef SKELVANE_DICTIONARY_OPERATION_HOST_H
#define SKELVANE_DICTIONARY_OPERATION_HOST_H

#include <string>

namespace skelvane {

class TOperationHost {
 public:
  virtual ~TOperationHost() = default;
  // The one log writer: text, with a time stamp in the Common log, also to the Update log.
  virtual void WriteLog(const std::string& text, bool withTime, bool alsoUpdateLog) = 0;
  virtual std::string UserNameText() const = 0;       // text of UserName
  virtual std::string ExportFileName() const = 0;     // text of FilenameEdit1
  virtual std::string UpdateFileName() const = 0;     // text of FilenameEdit2
  virtual std::string ProgramDirectory() const = 0;   // ProgramDir, no trailing separator
  virtual bool SequenceSetZero() const = 0;           // cbSequenceSetZero checked
  virtual void ProcessMessages() = 0;                 // let the front end show progress
  // Read the dictionary in bulk, one query per object kind, instead of per object.
  virtual bool BulkRead() const { return false; }
  // The compare writes the statements it would execute instead of executing them.
  virtual bool PlanOnly() const { return false; }
  // One planned statement, as a script holds it.
  virtual void WritePlan(const std::string& text) { (void)text; }
};

}  // namespace skelvane

#endif
