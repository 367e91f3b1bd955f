// The About box as a model: TUrl, a link label that opens its address
// through the desktop, TAboutForm with the box's texts and links, and
// ShowAboutBox, which fills one and shows it modally.
#ifndef SKELVANE_APP_ABOUT_BOX_H
#define SKELVANE_APP_ABOUT_BOX_H

#include <functional>
#include <string>

namespace skelvane {

class TFrontEnd;

struct TFontStyle {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  bool operator==(const TFontStyle&) const = default;
};

class TUrl {
 public:
  // Opens an address; answers the shell's result code, above 32 on success.
  using TOpener = std::function<int(const std::string& url)>;
  // Result codes an opener gives when it has no code of its own.
  static constexpr int kOpened = 33;
  static constexpr int kNoAssociation = 31;

  explicit TUrl(std::string name, TOpener opener = {});
  TUrl(const TUrl&) = delete;
  TUrl& operator=(const TUrl&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& URL() const { return url_; }
  // Also takes over the hint and the caption while they still show the old
  // address (or nothing).
  void SetURL(const std::string& url);

  std::string Caption;
  std::string Hint;
  bool ShowHint = true;
  std::string FontColor = "navy";
  TFontStyle FontStyle;
  std::string ActiveLinkColor = "blue";
  TFontStyle ActiveLinkStyle{false, false, true, false};

  std::function<void(TUrl&)> OnClick;
  std::function<void(TUrl&)> OnMouseEnter;
  std::function<void(TUrl&)> OnMouseLeave;
  std::function<void(TUrl&, const std::string& url, int resultCode)> OnUrlFailed;
  // Told after every change a view must show.
  std::function<void()> OnChanged;

  // The click handler when one is assigned; otherwise the address is opened.
  void Click();
  void MouseEnter();
  void MouseLeave();

 private:
  void Changed() const;

  std::string name_;
  TOpener opener_;
  std::string url_;
  std::string savedColor_;
  TFontStyle savedStyle_;
};

class TAboutForm {
 public:
  static constexpr int kClientWidth = 321;
  static constexpr int kClientHeight = 332;
  static constexpr int kImageSize = 105;

  explicit TAboutForm(const TUrl::TOpener& opener);

  std::string Label1;
  std::string LabelProgramVersion;
  std::string StaticText1;
  TUrl Url_OurSite;
  std::string StaticText2;
  TUrl Url1;
  std::string BitBtn1;  // the close button; Esc presses it too
};

// The project's site, which the main window's About action links to.
inline constexpr const char* kProjectSiteCaption = "skelvane.example.org/project";
inline constexpr const char* kProjectSiteUrl = "https://skelvane.example.org/project";

// Empty arguments leave the designed texts in place. The links open through
// `frontEnd`.
void ShowAboutBox(TFrontEnd& frontEnd, const std::string& description, const std::string& version,
                  const std::string& linkCaption, const std::string& linkAddress);

}  // namespace skelvane

#endif
