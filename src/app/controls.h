// Small models of the window's controls. A view mirrors them and learns of
// every change through the handler the window hands to each control.
#ifndef SKELVANE_APP_CONTROLS_H
#define SKELVANE_APP_CONTROLS_H

#include <functional>
#include <string>
#include <vector>

namespace skelvane {

class TControlModel;
using TChangeHandler = std::function<void(const TControlModel&)>;

class TControlModel {
 public:
  // `onChange` must outlive the control (the window owns both).
  TControlModel(std::string name, std::string caption, const TChangeHandler* onChange,
                bool enabled = true)
      : name_(std::move(name)), caption_(std::move(caption)), enabled_(enabled),
        onChange_(onChange) {}
  TControlModel(const TControlModel&) = delete;
  TControlModel& operator=(const TControlModel&) = delete;
  virtual ~TControlModel() = default;

  const std::string& Name() const { return name_; }
  // The caption of a button or check box, the label of a field.
  const std::string& Caption() const { return caption_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

 protected:
  void Changed() const;

 private:
  std::string name_;
  std::string caption_;
  bool enabled_;
  const TChangeHandler* onChange_;
};

class TTextModel : public TControlModel {
 public:
  TTextModel(std::string name, std::string caption, const TChangeHandler* onChange,
             std::string text, bool enabled = true)
      : TControlModel(std::move(name), std::move(caption), onChange, enabled),
        text_(std::move(text)) {}
  const std::string& Text() const { return text_; }
  void SetText(std::string text);

 private:
  std::string text_;
};

// An editable drop-down: its text plus the item list it offers.
class TComboModel : public TTextModel {
 public:
  using TTextModel::TTextModel;
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  void AddItem(std::string item);

 private:
  std::vector<std::string> items_;
};

// A file-name field with a browse button.
class TFileNameModel : public TTextModel {
 public:
  TFileNameModel(std::string name, std::string caption, const TChangeHandler* onChange,
                 std::string text)
      : TTextModel(std::move(name), std::move(caption), onChange, std::move(text)) {}
  static constexpr const char* Filter = "SDB files (*._sdb)|*._sdb";
  static constexpr const char* DefaultExt = "._sdb";
  // What the browse dialog puts into the field: a name with a blank comes
  // back wrapped in double quotes.
  void FilePicked(const std::string& fullName);
};

class TCheckModel : public TControlModel {
 public:
  using TControlModel::TControlModel;
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

 private:
  bool checked_ = false;
};

using TButtonModel = TControlModel;
using TLabelModel = TControlModel;

// A multi-line log. One entry may hold line breaks and then shows as several
// lines; the model keeps lines without their line ends.
class TLinesModel : public TControlModel {
 public:
  using TControlModel::TControlModel;
  const std::vector<std::string>& Lines() const { return lines_; }
  void AddEntry(const std::string& text);
  void Clear();
  // All lines joined by "\n", for tests and copying.
  std::string Text() const;

 private:
  std::vector<std::string> lines_;
};

class TPageControlModel : public TControlModel {
 public:
  TPageControlModel(std::string name, const TChangeHandler* onChange,
                    std::vector<std::pair<std::string, std::string>> pages)
      : TControlModel(std::move(name), "", onChange), pages_(std::move(pages)) {}
  // (page name, caption) in order.
  const std::vector<std::pair<std::string, std::string>>& Pages() const { return pages_; }
  int ActivePageIndex() const { return active_; }
  void SetActivePageIndex(int index);

 private:
  std::vector<std::pair<std::string, std::string>> pages_;
  int active_ = 0;
};

class TPanelModel : public TControlModel {
 public:
  TPanelModel(std::string name, const TChangeHandler* onChange, int height)
      : TControlModel(std::move(name), "", onChange), height_(height) {}
  int Height() const { return height_; }
  void SetHeight(int height);

 private:
  int height_;
};

}  // namespace skelvane

#endif
