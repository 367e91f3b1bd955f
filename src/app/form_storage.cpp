#include "app/form_storage.h"

#include <charconv>
#include <exception>
#include <unordered_map>

#include "common/text.h"

namespace skelvane {

namespace {

std::string Join(const std::vector<int>& values) {
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) text += ',';
    text += std::to_string(values[i]);
  }
  return text;
}

std::string ScreenSuffix(const TPlacementHost& host) {
  return "(" + std::to_string(host.ScreenWidth()) + "x" + std::to_string(host.ScreenHeight()) + ")";
}

// The suffixed key for this screen size first, then the plain one.
std::string ReadPosition(const TProfileFile& file, const std::string& section,
                         const std::string& key, const std::string& suffix) {
  std::string value = file.ReadString(section, key + suffix, "");
  if (value.empty()) value = file.ReadString(section, key, "");
  return value;
}

TWindowState StateOfShowCmd(int showCmd) {
  switch (showCmd) {
    case 2:
    case 6:
    case 7:
      return TWindowState::Minimized;
    case 3:
      return TWindowState::Maximized;
    default:
      return TWindowState::Normal;  // 1, 5, 9 and anything unknown
  }
}

}  // namespace

int StrToIntDef(const std::string& text, int def) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  int value = 0;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end || begin == end) return def;
  return value;
}

std::vector<int> PositionWords(const std::string& value, const std::vector<int>& defaults) {
  std::vector<std::string> words;
  std::string word;
  for (char c : value) {
    if (c == ',' || c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  std::vector<int> result(defaults);
  for (std::size_t i = 0; i < result.size() && i < words.size(); ++i)
    result[i] = StrToIntDef(words[i], defaults[i]);
  return result;
}

std::string TPropsStorage::KeyOf(const TStoredProperty& property) {
  return property.Component + "_" + property.Property;
}

std::string TPropsStorage::ListSectionOf(const TStoredProperty& property) const {
  return section_ + "." + KeyOf(property);
}

std::string TPropsStorage::StoredText(const TStoredProperty& property) {
  switch (property.Kind) {
    case TStoredProperty::TKind::Text: {
      std::string text = Trimmed(property.GetText());
      // The reader strips one pair of quotes; a value that carries its own
      // pair must come back with it.
      if (!text.empty() && text.front() == text.back() && (text.front() == '"' || text.front() == '\''))
        text = "\"" + text + "\"";
      return text;
    }
    case TStoredProperty::TKind::Integer:
      return std::to_string(property.GetInteger());
    case TStoredProperty::TKind::Boolean:
      return property.GetBoolean() ? "True" : "False";
    case TStoredProperty::TKind::Strings:
      break;
  }
  return {};
}

void TPropsStorage::Store(const TStoredProperty& property) {
  if (property.Kind != TStoredProperty::TKind::Strings) {
    file_.WriteString(section_, KeyOf(property), StoredText(property));
    return;
  }
  const std::vector<std::string> items = property.GetStrings();
  std::vector<std::pair<std::string, std::string>> keys;
  if (!items.empty()) keys.emplace_back("Count", std::to_string(items.size()));
  for (std::size_t i = 0; i < items.size(); ++i) keys.emplace_back("Item" + std::to_string(i), items[i]);
  file_.ReplaceSection(ListSectionOf(property), keys);
}

void TPropsStorage::Load(const TStoredProperty& property) {
  const std::string key = KeyOf(property);
  switch (property.Kind) {
    case TStoredProperty::TKind::Text:
      property.SetText(Trimmed(file_.ReadString(section_, key, property.GetText())));
      return;
    case TStoredProperty::TKind::Integer:
      property.SetInteger(
          StrToIntDef(file_.ReadString(section_, key, std::to_string(property.GetInteger())), 0));
      return;
    case TStoredProperty::TKind::Boolean: {
      const std::string text = file_.ReadString(section_, key, property.GetBoolean() ? "True" : "False");
      if (SameText(text, "True")) property.SetBoolean(true);
      else if (SameText(text, "False")) property.SetBoolean(false);
      return;
    }
    case TStoredProperty::TKind::Strings: {
      const std::string section = ListSectionOf(property);
      int count = StrToIntDef(Trimmed(file_.ReadString(section, "Count", "0")), 0);
      if (count <= 0) return;
      // Read in one pass: a key at a time is quadratic in a long list.
      // The first of a key counts, as for ReadString.
      std::unordered_map<std::string, std::string> keys;
      for (auto& [k, value] : file_.ReadSection(section)) keys.emplace(AnsiUpperCase(k), std::move(value));
      // A hand-edited count far above the keys present would otherwise
      // make millions of empty items.
      const std::size_t present = keys.size() - 1;  // less "Count" itself
      std::size_t n = static_cast<std::size_t>(count);
      if (n > present) n = present;
      std::vector<std::string> items;
      items.reserve(n);
      for (std::size_t i = 0; i < n; ++i) {
        const auto item = keys.find("ITEM" + std::to_string(i));
        items.push_back(item == keys.end() ? std::string() : item->second);
      }
      property.SetStrings(std::move(items));
      return;
    }
  }
}

void TFormStorage::RestorePlacement(TPlacementHost& host, const TProfileFile& file) const {
  TWindowPlacement placement = host.GetPlacement();
  // Applying the placement must not show a window that is not shown yet.
  if (!host.Visible()) placement.ShowCmd = kShowHidden;
  placement.Flags = StrToIntDef(file.ReadString(IniSection, "Flags", std::to_string(placement.Flags)),
                                placement.Flags);
  const std::string suffix = ScreenSuffix(host);
  bool found = false;
  const std::string minMax = ReadPosition(file, IniSection, "MinMaxPos", suffix);
  if (!minMax.empty()) {
    std::vector<int> p = PositionWords(minMax, {0, 0, 0, 0});
    placement.MinPosition = {p[0], p[1]};
    placement.MaxPosition = {p[2], p[3]};
    found = true;
  }
  const std::string norm = ReadPosition(file, IniSection, "NormPos", suffix);
  if (!norm.empty()) {
    const TRect b = host.Bounds();
    std::vector<int> p = PositionWords(norm, {b.Left, b.Top, b.Right, b.Bottom});
    placement.NormalPosition = {p[0], p[1], p[2], p[3]};
    found = true;
  }
  const int ppi = StrToIntDef(
      file.ReadString(IniSection, "PixelsPerInch", std::to_string(host.PixelsPerInch())), 0);
  if (found && ppi == host.PixelsPerInch()) {
    TRect& r = placement.NormalPosition;
    if (!host.Resizable()) {
      const TRect b = host.Bounds();
      r.Right = r.Left + (b.Right - b.Left);
      r.Bottom = r.Top + (b.Bottom - b.Top);
    }
    if (r.Left < r.Right) host.SetPlacement(placement);
  }
  const TWindowState state = StateOfShowCmd(StrToIntDef(file.ReadString(IniSection, "ShowCmd", "0"), 0));
  if (state == TWindowState::Minimized) {
    host.SetWindowState(TWindowState::Normal);
    host.MinimizeApplication();
  } else {
    host.SetWindowState(state);
  }
}

void TFormStorage::Restore(TPlacementHost& host, const std::vector<TStoredProperty>& properties,
                           const TErrorHandler& onError) {
  saved_ = false;
  TProfileFile file(IniFileName);
  if (StrToIntDef(file.ReadString(IniSection, "FormVersion", "0"), 0) >= kVersion) {
    try {
      RestorePlacement(host, file);
    } catch (const std::exception& e) {
      if (onError) onError(e.what());
    }
    TPropsStorage props(file, IniSection);
    for (const auto& property : properties) {
      try {
        props.Load(property);
      } catch (const std::exception&) {
        // A property that cannot be restored keeps its designed value.
      }
    }
  }
  restored_ = true;
}

void TFormStorage::SavePlacement(TPlacementHost& host, TProfileFile& file, bool destroying) const {
  TWindowPlacement placement = host.GetPlacement();
  if (host.ApplicationMinimized()) placement.ShowCmd = kShowMinimized;
  const std::string suffix = ScreenSuffix(host);
  const std::string minMax = Join({placement.MinPosition.X, placement.MinPosition.Y,
                                   placement.MaxPosition.X, placement.MaxPosition.Y});
  const TRect& r = placement.NormalPosition;
  const std::string norm = Join({r.Left, r.Top, r.Right, r.Bottom});
  file.WriteString(IniSection, "Flags", std::to_string(placement.Flags));
  file.WriteString(IniSection, "ShowCmd", std::to_string(placement.ShowCmd));
  file.WriteString(IniSection, "PixelsPerInch", std::to_string(host.PixelsPerInch()));
  file.WriteString(IniSection, "MinMaxPos" + suffix, minMax);
  file.WriteString(IniSection, "MinMaxPos", minMax);
  file.WriteString(IniSection, "NormPos" + suffix, norm);
  file.WriteString(IniSection, "NormPos", norm);
  file.WriteString(IniSection, "Visible", destroying ? "1" : "0");
}

void TFormStorage::Save(TPlacementHost& host, const std::vector<TStoredProperty>& properties,
                        bool destroying, const TErrorHandler& onError) {
  if (!restored_) return;
  try {
    TProfileFile file(IniFileName);
    file.WriteString(IniSection, "FormVersion", std::to_string(kVersion));
    SavePlacement(host, file, destroying);
    TPropsStorage props(file, IniSection);
    for (const auto& property : properties) props.Store(property);
    file.Flush();
  } catch (const std::exception& e) {
    if (onError) onError(e.what());
  }
  // Also after a failure: the destroy-time save must not ask the user again.
  saved_ = true;
}

}  // namespace skelvane
