#include "app/application.h"

#include "common/messages.h"
#include "dictionary/dm.h"
#include "oracle/query.h"
#include "oracle/session.h"

namespace skelvane {

namespace {
constexpr int kDefaultCursor = 0;
constexpr int kHourGlassCursor = -11;
}  // namespace

TApplication::TApplication(TFrontEnd& frontEnd, std::string exeName)
    : frontEnd_(frontEnd), exeName_(std::move(exeName)) {}

TmForm_skelvane& TApplication::StartUp() {
  Title = std::string(messages::kApplicationTitle);
  mForm_skelvane = std::make_unique<TmForm_skelvane>(frontEnd_, Title, exeName_);
  CreateDM();
  TFrontEnd* frontEnd = &frontEnd_;
  oracle::TOracleQuery::DebugHook() = [frontEnd](const std::string& text) {
    frontEnd->ShowDebugBox(text);
  };
  // The session asks for a cursor id and wants the previous one back; the
  // front ends know only busy or not.
  oracle::TOracleSession::CursorHook() = [frontEnd, current = kDefaultCursor](int cursor) mutable {
    int previous = current;
    current = cursor;
    frontEnd->SetBusyCursor(cursor == kHourGlassCursor);
    return previous;
  };
  return *mForm_skelvane;
}

TApplication::~TApplication() {
  // The data module goes with the application, while the client library it
  // may still be connected through is loaded.
  if (DM) {
    try {
      DM->OracleSession1.LogOff();
    } catch (const std::exception&) {
      // Nothing is left to report to at exit.
    }
    DM.reset();
  }
  oracle::TOracleQuery::DebugHook() = nullptr;
  oracle::TOracleSession::CursorHook() = nullptr;
}

void TApplication::ShowMainForm() {
  if (mForm_skelvane) mForm_skelvane->FormShow();
}

void TApplication::ShowException(const std::exception& e) {
  frontEnd_.ShowErrorBox(Title, MessageWithPeriod(e.what()));
}

}  // namespace skelvane
