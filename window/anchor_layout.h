#pragma once
// Anchored placement: each child keeps the bounds it was designed with,
// relative to its parent's top-left corner, and the anchored edges keep their
// distance to the parent's edges when the parent is resized.

#include <QLayout>
#include <QRect>
#include <QSize>
#include <memory>
#include <vector>

namespace velsor {

enum Anchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
inline constexpr unsigned akTopLeft = akLeft | akTop;
inline constexpr unsigned akTopRight = akTop | akRight;
inline constexpr unsigned akAll = akLeft | akTop | akRight | akBottom;

class AnchorLayout final : public QLayout {
 public:
  // designed: the parent's size that the bounds were laid out for.
  AnchorLayout(QWidget* parent, QSize designed);

  // An empty size in bounds means the widget's own size hint (an auto-sized label).
  void Place(QWidget* widget, QRect bounds, unsigned anchors);

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  QSize sizeHint() const override { return fDesigned; }
  QSize minimumSize() const override { return {0, 0}; }
  void setGeometry(const QRect& rect) override;

 private:
  struct Entry {
    std::unique_ptr<QLayoutItem> item;
    QRect bounds;
    unsigned anchors;
  };
  QSize fDesigned;
  std::vector<Entry> fItems;
};

}  // namespace velsor
