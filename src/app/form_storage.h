// Settings persistence of a window: its placement on the screen and a list
// of its properties, kept in one section of a profile file. TPropsStorage
// turns one property into a text value and back; TFormStorage restores
// everything when the window is first shown and saves it when it closes.
#ifndef SKELVANE_APP_FORM_STORAGE_H
#define SKELVANE_APP_FORM_STORAGE_H

#include <functional>
#include <string>
#include <vector>

#include "app/profile_file.h"

namespace skelvane {

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TRect&) const = default;
};

// Show commands as the settings file stores them.
enum TShowCmd { kShowHidden = 0, kShowNormal = 1, kShowMinimized = 2, kShowMaximized = 3 };

struct TWindowPlacement {
  int Flags = 0;
  int ShowCmd = kShowNormal;
  TPoint MinPosition{-1, -1};
  TPoint MaxPosition{-1, -1};
  TRect NormalPosition;  // the restored rectangle, right and bottom exclusive
  bool operator==(const TWindowPlacement&) const = default;
};

enum class TWindowState { Normal, Minimized, Maximized };

// The window system's side of a placement. The GUI implements it with its
// toolkit; tests fake it.
class TPlacementHost {
 public:
  virtual ~TPlacementHost() = default;
  virtual TWindowPlacement GetPlacement() const = 0;
  virtual void SetPlacement(const TWindowPlacement& placement) = 0;
  virtual bool Visible() const = 0;
  // Whether the border lets the user resize the window.
  virtual bool Resizable() const = 0;
  // The window's current rectangle.
  virtual TRect Bounds() const = 0;
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  virtual int PixelsPerInch() const = 0;
  virtual bool ApplicationMinimized() const = 0;
  virtual void SetWindowState(TWindowState state) = 0;
  // Minimizing the main window minimizes the whole application.
  virtual void MinimizeApplication() = 0;
};

// One stored property of a component: its kind and how to reach its value.
struct TStoredProperty {
  enum class TKind { Text, Integer, Boolean, Strings };
  std::string Component;
  std::string Property;
  TKind Kind = TKind::Text;
  std::function<std::string()> GetText;
  std::function<void(const std::string&)> SetText;
  std::function<int()> GetInteger;
  std::function<void(int)> SetInteger;
  std::function<bool()> GetBoolean;
  std::function<void(bool)> SetBoolean;
  std::function<std::vector<std::string>()> GetStrings;
  std::function<void(std::vector<std::string>)> SetStrings;
};

class TPropsStorage {
 public:
  TPropsStorage(TProfileFile& file, std::string section) : file_(file), section_(std::move(section)) {}

  // "DatabaseName" + "_" + "Text".
  static std::string KeyOf(const TStoredProperty& property);
  // The own section of a list of strings: main section "." key.
  std::string ListSectionOf(const TStoredProperty& property) const;

  // The value as text: a text trimmed (and wrapped in one more pair of
  // double quotes when it begins and ends with the same quote), an integer
  // in decimal, a boolean as "True" or "False".
  static std::string StoredText(const TStoredProperty& property);

  void Store(const TStoredProperty& property);
  void Load(const TStoredProperty& property);

 private:
  TProfileFile& file_;
  std::string section_;
};

class TFormStorage {
 public:
  // The layout version of the stored keys; a lower stored one is ignored.
  static constexpr int kVersion = 0;

  std::string IniFileName;
  std::string IniSection = "main";
  // "Component.Property" in the order they are stored.
  std::vector<std::string> StoredProps;

  bool Restored() const { return restored_; }
  bool Saved() const { return saved_; }

  // A failure that must reach the user (placement, or any failure to save);
  // a failure while restoring properties is ignored.
  using TErrorHandler = std::function<void(const std::string& message)>;

  // Restores placement and properties; `properties` follows StoredProps.
  void Restore(TPlacementHost& host, const std::vector<TStoredProperty>& properties,
               const TErrorHandler& onError);
  // Saves everything; does nothing before the first restore. `destroying`
  // writes "Visible" = 1.
  void Save(TPlacementHost& host, const std::vector<TStoredProperty>& properties,
            bool destroying, const TErrorHandler& onError);

 private:
  void RestorePlacement(TPlacementHost& host, const TProfileFile& file) const;
  void SavePlacement(TPlacementHost& host, TProfileFile& file, bool destroying) const;

  bool restored_ = false;
  bool saved_ = false;
};

// The four integers of a position key, split at commas and blanks; a word
// that is missing or not an integer gives the matching entry of `defaults`.
std::vector<int> PositionWords(const std::string& value, const std::vector<int>& defaults);

// Decimal conversion; a text that is not an integer gives `def`.
int StrToIntDef(const std::string& text, int def);

}  // namespace skelvane

#endif
