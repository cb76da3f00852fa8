#include "window/anchor_layout.h"

#include <QWidget>
#include <algorithm>

namespace velsor {

AnchorLayout::AnchorLayout(QWidget* parent, QSize designed) : QLayout(parent), fDesigned(designed) {
  setContentsMargins(0, 0, 0, 0);
  setSizeConstraint(QLayout::SetNoConstraint);
}

void AnchorLayout::Place(QWidget* widget, QRect bounds, unsigned anchors) {
  addChildWidget(widget);
  fItems.push_back({std::make_unique<QWidgetItem>(widget), bounds, anchors});
  invalidate();
}

void AnchorLayout::addItem(QLayoutItem* item) { fItems.push_back({std::unique_ptr<QLayoutItem>(item), {}, akTopLeft}); }

int AnchorLayout::count() const { return static_cast<int>(fItems.size()); }

QLayoutItem* AnchorLayout::itemAt(int index) const {
  return index >= 0 && index < count() ? fItems[static_cast<std::size_t>(index)].item.get() : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index) {
  if (index < 0 || index >= count()) return nullptr;
  QLayoutItem* item = fItems[static_cast<std::size_t>(index)].item.release();
  fItems.erase(fItems.begin() + index);
  return item;
}

void AnchorLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  // Bounds are relative to the whole parent, not to its contents rectangle,
  // so a group box's children sit where they were designed, under its title.
  const QSize area = parentWidget() != nullptr ? parentWidget()->size() : rect.size();
  for (const Entry& e : fItems) {
    QRect b = e.bounds;
    if (b.size().isEmpty()) b.setSize(e.item->sizeHint());
    const int right_gap = fDesigned.width() - (e.bounds.x() + b.width());
    const int bottom_gap = fDesigned.height() - (e.bounds.y() + b.height());
    int x = b.x(), w = b.width(), y = b.y(), h = b.height();
    if (e.anchors & akRight) {
      if (e.anchors & akLeft)
        w = area.width() - right_gap - x;
      else
        x = area.width() - right_gap - w;
    }
    if (e.anchors & akBottom) {
      if (e.anchors & akTop)
        h = area.height() - bottom_gap - y;
      else
        y = area.height() - bottom_gap - h;
    }
    // Straight to the widget: the bounds hold whatever its size policy says.
    const QRect placed(x, y, std::max(w, 0), std::max(h, 0));
    if (QWidget* widget = e.item->widget())
      widget->setGeometry(placed);
    else
      e.item->setGeometry(placed);
  }
}

}  // namespace velsor
