#include "app/about_box.h"

#include "app/front_end.h"
#include "common/messages.h"

namespace skelvane {

TUrl::TUrl(std::string name, TOpener opener) : name_(std::move(name)), opener_(std::move(opener)) {}

void TUrl::Changed() const {
  if (OnChanged) OnChanged();
}

void TUrl::SetURL(const std::string& url) {
  if (url == url_) return;
  if (ShowHint && (Hint.empty() || Hint == url_)) Hint = url;
  if (Caption.empty() || Caption == url_) Caption = url;
  url_ = url;
  Changed();
}

void TUrl::Click() {
  if (OnClick) {
    OnClick(*this);
    return;
  }
  if (url_.empty() || !opener_) return;
  const int code = opener_(url_);
  if (code <= 32 && OnUrlFailed) OnUrlFailed(*this, url_, code);
}

void TUrl::MouseEnter() {
  savedColor_ = FontColor;
  savedStyle_ = FontStyle;
  FontColor = ActiveLinkColor;
  FontStyle = ActiveLinkStyle;
  Changed();
  if (OnMouseEnter) OnMouseEnter(*this);
}

void TUrl::MouseLeave() {
  FontColor = savedColor_;
  FontStyle = savedStyle_;
  Changed();
  if (OnMouseLeave) OnMouseLeave(*this);
}

TAboutForm::TAboutForm(const TUrl::TOpener& opener)
    : Label1("Keeps the schema of an Oracle user in step with a schema document."),
      LabelProgramVersion("Версия " + std::string(messages::kProgramVersion)),
      StaticText1("Made by the Skelvane project:"),
      Url_OurSite("Url_OurSite", opener),
      StaticText2("Сайт проекта:"),
      Url1("Url1", opener),
      BitBtn1("Закрыть") {
  Url_OurSite.SetURL("https://skelvane.example.org/");
  Url_OurSite.Caption = "skelvane.example.org";
  Url1.SetURL(kProjectSiteUrl);
}

void ShowAboutBox(TFrontEnd& frontEnd, const std::string& description, const std::string& version,
                  const std::string& linkCaption, const std::string& linkAddress) {
  TAboutForm box([&frontEnd](const std::string& url) {
    return frontEnd.OpenLink(url) ? TUrl::kOpened : TUrl::kNoAssociation;
  });
  if (!description.empty()) box.Label1 = description;
  if (!version.empty()) box.LabelProgramVersion = "Версия " + version;
  if (!linkCaption.empty()) box.Url1.Caption = linkCaption;
  if (!linkAddress.empty()) {
    box.Url1.SetURL(linkAddress);
    box.Url1.Hint = linkAddress;
  }
  frontEnd.ShowAboutBox(box);
}

}  // namespace skelvane
