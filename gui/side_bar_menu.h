// The main window's popup menu: items 24 pixels high and, on the top level,
// a vertical side bar with the program's name, built from the menu model.
#ifndef SKELVANE_GUI_SIDE_BAR_MENU_H
#define SKELVANE_GUI_SIDE_BAR_MENU_H

#include <functional>
#include <string>

#include <QColor>
#include <QMenu>

#include "app/menu.h"

namespace skelvane::gui {

class TSideBarMenu : public QMenu {
 public:
  // `run` executes an item's action by its name. `withSideBar` is false for
  // submenus.
  TSideBarMenu(const TPopupMenuModel& model, const std::vector<TMenuItemModel>& items,
               std::function<void(const std::string&)> run, bool withSideBar, QWidget* parent);

  int SideBarWidth() const { return sideBarWidth_; }
  QString SideBarCaption() const { return caption_; }
  QColor SideBarColour() const { return colour_; }
  QColor SideBarBackground() const { return background_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int sideBarWidth_;
  QString caption_;
  QColor colour_;
  QColor background_;
};

}  // namespace skelvane::gui

#endif
