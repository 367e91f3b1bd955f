#include "app/menu.h"

namespace skelvane {

namespace {

const TMenuItemModel* FindIn(const std::vector<TMenuItemModel>& items, const std::string& name) {
  for (const auto& item : items) {
    if (item.Name == name) return &item;
    if (const TMenuItemModel* found = FindIn(item.Items, name)) return found;
  }
  return nullptr;
}

TMenuItemModel Item(std::string name, std::string caption, bool enabled,
                    std::string action = {}, std::string shortCut = {}) {
  TMenuItemModel item;
  item.Name = std::move(name);
  item.Caption = std::move(caption);
  item.Enabled = enabled;
  item.ActionName = std::move(action);
  item.ShortCut = std::move(shortCut);
  return item;
}

}  // namespace

const TMenuItemModel* TPopupMenuModel::Find(const std::string& name) const {
  return FindIn(Items, name);
}

TActionModel MakeActionAboutProgram() {
  return {"ActionAboutProgram", "About program...", "help", "", true};
}

TActionModel MakeActionExitProgram() {
  return {"ActionExitProgram", "Exit from program", "help", "Alt+X", true};
}

TPopupMenuModel MakeExtPopupMenu1() {
  TPopupMenuModel menu;
  TMenuItemModel help = Item("Help1", "Help", true);
  help.Items = {Item("About1", "About program...", true, "ActionAboutProgram"),
                Item("Website1", "Web site...", false),
                Item("Content1", "Content", false)};
  TMenuItemModel main = Item("Main1", "Main", false);
  main.Items = {Item("Compareshemas1", "Compare shemas", false)};
  menu.Items = {std::move(help),
                Item("N2", "-", true),
                std::move(main),
                Item("ools1", "Tools", false),
                Item("Settings1", "Settings", false),
                Item("N1", "-", true),
                Item("Exitfromprogramm1", "Exit from program", true, "ActionExitProgram",
                     "Alt+X")};
  return menu;
}

}  // namespace skelvane
