#pragma once
// Shows a LargeText, wrapped at the view's edge as the memo wraps, laying out
// only the pieces on screen. It scrolls by piece with its scroll bar and by
// line with the wheel and the calls below; it takes no focus and no text: the
// memo it covers keeps both.

#include <QAbstractScrollArea>
#include <QTextLayout>
#include <map>
#include <memory>

namespace velsor {

class LargeText;

class LargeTextView final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // The margin around the text, as the memo's document has it.
  static constexpr int kMargin = 4;

  explicit LargeTextView(QWidget* parent = nullptr);
  ~LargeTextView() override;

  // Shows text from its start; nullptr shows nothing.
  void SetText(std::shared_ptr<const LargeText> text);
  // Shows the whole text as selected, or not.
  void SetSelectedAll(bool selected);
  bool SelectedAll() const { return fSelectedAll; }
  // Positive counts scroll towards the end.
  void ScrollLines(int lines);
  void ScrollPages(int pages);
  void ScrollToStart();
  void ScrollToEnd();
  // The piece at the top of the view.
  qsizetype TopPiece() const;
  // The offset in the text of the character boundary nearest to a point of
  // the viewport, and the top of the line shown there; -1 without a text.
  qsizetype OffsetAt(QPoint point, int* line_top = nullptr);

 signals:
  // A press of the left button at a point of the viewport.
  void Pressed(QPoint point, Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QTextLayout& Layout(qsizetype piece);
  void SetTop(qsizetype piece, int line);
  int VisibleLines() const;

  std::shared_ptr<const LargeText> fText;
  // A piece laid out at fLayoutWidth, and the characters it shows, which
  // are wiped when it goes.
  struct Laid {
    QString text;
    std::unique_ptr<QTextLayout> layout;
    ~Laid();
  };
  std::map<qsizetype, Laid> fLayouts;
  int fLayoutWidth = -1;
  int fTopLine = 0;  // the first line of the top piece that is shown
  bool fMovingTop = false;
  bool fSelectedAll = false;
};

}  // namespace velsor
