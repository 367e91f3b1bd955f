#include "side_bar_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace skelvane::gui {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

// Gives every item that is not a separator the model's height.
class TItemHeightStyle : public QProxyStyle {
 public:
  explicit TItemHeightStyle(int height) : height_(height) {}
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem) {
      const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
      if (item && item->menuItemType != QStyleOptionMenuItem::Separator) s.setHeight(height_);
    }
    return s;
  }

 private:
  int height_;
};

}  // namespace

TSideBarMenu::TSideBarMenu(const TPopupMenuModel& model, const std::vector<TMenuItemModel>& items,
                           std::function<void(const std::string&)> run, bool withSideBar,
                           QWidget* parent)
    : QMenu(parent),
      sideBarWidth_(withSideBar ? model.SideBarWidth : 0),
      caption_(Text(model.SideBarCaption)),
      colour_(Text(model.SideBarColour)),
      background_(Text(model.SideBarBackgroundColour)) {
  auto* style = new TItemHeightStyle(model.ItemHeight);
  style->setParent(this);
  setStyle(style);
  if (sideBarWidth_ > 0) setContentsMargins(sideBarWidth_, 0, 0, 0);
  for (const TMenuItemModel& item : items) {
    if (item.IsSeparator()) {
      addSeparator();
      continue;
    }
    if (!item.Items.empty()) {
      auto* sub = new TSideBarMenu(model, item.Items, run, false, this);
      sub->setTitle(Text(item.Caption));
      sub->setObjectName(Text(item.Name));
      sub->setEnabled(item.Enabled);
      sub->menuAction()->setObjectName(Text(item.Name));
      addMenu(sub);
      continue;
    }
    QAction* action = addAction(Text(item.Caption));
    action->setObjectName(Text(item.Name));
    action->setEnabled(item.Enabled);
    if (!item.ShortCut.empty()) action->setShortcut(QKeySequence(Text(item.ShortCut)));
    if (!item.ActionName.empty()) {
      const std::string name = item.ActionName;
      connect(action, &QAction::triggered, this, [run, name] { run(name); });
    }
  }
}

void TSideBarMenu::paintEvent(QPaintEvent* event) {
  QMenu::paintEvent(event);
  if (sideBarWidth_ <= 0) return;
  QPainter painter(this);
  const QRect bar(0, 0, sideBarWidth_, height());
  painter.fillRect(bar, background_);
  QFont font = painter.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(colour_);
  // Read from the bottom up, as side bars are.
  painter.translate(bar.left(), bar.bottom());
  painter.rotate(-90);
  painter.drawText(QRect(6, 0, bar.height() - 12, bar.width()), Qt::AlignLeft | Qt::AlignVCenter,
                   caption_);
}

}  // namespace skelvane::gui
