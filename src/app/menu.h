// The window's popup menu and its two actions, as data for a view to show.
#ifndef SKELVANE_APP_MENU_H
#define SKELVANE_APP_MENU_H

#include <string>
#include <vector>

namespace skelvane {

struct TActionModel {
  std::string Name;
  std::string Caption;
  std::string Category;
  std::string ShortCut;  // as shown, e.g. "Alt+X"; empty for none
  bool Enabled = true;
};

struct TMenuItemModel {
  std::string Name;
  std::string Caption;  // "-" for a separator
  bool Enabled = true;
  std::string ShortCut;
  std::string ActionName;  // the action it runs; empty for none
  std::vector<TMenuItemModel> Items;  // a submenu when not empty

  bool IsSeparator() const { return Caption == "-"; }
};

class TPopupMenuModel {
 public:
  std::string Name = "ExtPopupMenu1";
  std::string ClassName = "TExtPopupMenu";
  std::string SideBarCaption = "Skelvane";
  int SideBarWidth = 28;
  std::string SideBarColour = "white";
  std::string SideBarBackgroundColour = "red";
  int ItemHeight = 24;
  std::vector<TMenuItemModel> Items;

  // Depth-first search by item name; nullptr when there is none.
  const TMenuItemModel* Find(const std::string& name) const;
};

// The window's actions (category "help") and popup menu, in their order.
TActionModel MakeActionAboutProgram();
TActionModel MakeActionExitProgram();
TPopupMenuModel MakeExtPopupMenu1();

}  // namespace skelvane

#endif
