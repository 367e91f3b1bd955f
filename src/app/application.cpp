#include "app/application.h"

#include "common/messages.h"
#include "dictionary/dm.h"
#include "oracle/query.h"

namespace skelvane {

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
  return *mForm_skelvane;
}

void TApplication::ShowMainForm() {
  if (mForm_skelvane) mForm_skelvane->FormShow();
}

void TApplication::ShowException(const std::exception& e) {
  frontEnd_.ShowErrorBox(Title, MessageWithPeriod(e.what()));
}

}  // namespace skelvane
