#include "app/controls.h"

namespace skelvane {

void TControlModel::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed();
}

void TControlModel::Changed() const {
  if (onChange_ && *onChange_) (*onChange_)(*this);
}

void TTextModel::SetText(std::string text) {
  if (text_ == text) return;
  text_ = std::move(text);
  Changed();
}

void TComboModel::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  Changed();
}

void TComboModel::AddItem(std::string item) {
  items_.push_back(std::move(item));
  Changed();
}

void TFileNameModel::FilePicked(const std::string& fullName) {
  SetText(fullName.find(' ') != std::string::npos ? "\"" + fullName + "\"" : fullName);
}

void TCheckModel::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed();
}

void TLinesModel::AddEntry(const std::string& text) {
  // CR LF, a lone LF and a lone CR each end a line.
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines_.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  lines_.push_back(std::move(line));
  Changed();
}

void TLinesModel::Clear() {
  if (lines_.empty()) return;
  lines_.clear();
  Changed();
}

std::string TLinesModel::Text() const {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) text += '\n';
    text += lines_[i];
  }
  return text;
}

void TPageControlModel::SetActivePageIndex(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size()) || index == active_) return;
  active_ = index;
  Changed();
}

void TPanelModel::SetHeight(int height) {
  if (height_ == height) return;
  height_ = height;
  Changed();
}

}  // namespace skelvane
