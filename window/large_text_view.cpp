#include "window/large_text_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextOption>
#include <QWheelEvent>
#include <algorithm>

#include "window/large_text.h"
#include "window/memo_text.h"

namespace velsor {

namespace {

// Enough for every piece of two screens; past it the cache starts again.
constexpr std::size_t kCachedLayouts = 512;

}  // namespace

LargeTextView::LargeTextView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::NoFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
}

LargeTextView::~LargeTextView() = default;

LargeTextView::Laid::~Laid() {
  layout.reset();  // its share of the characters first
  WipeOwnedText(text);
}

void LargeTextView::SetText(std::shared_ptr<const LargeText> text) {
  fLayouts.clear();  // before the text their characters belong to
  fText = std::move(text);
  fSelectedAll = false;
  const qsizetype pieces = fText ? fText->PieceCount() : 0;
  verticalScrollBar()->setRange(0, static_cast<int>(std::max<qsizetype>(pieces - 1, 0)));
  verticalScrollBar()->setPageStep(std::max(VisibleLines(), 1));
  SetTop(0, 0);
  viewport()->update();
}

void LargeTextView::SetSelectedAll(bool selected) {
  if (fSelectedAll == selected) return;
  fSelectedAll = selected;
  viewport()->update();
}

qsizetype LargeTextView::TopPiece() const { return verticalScrollBar()->value(); }

int LargeTextView::VisibleLines() const { return std::max(1, viewport()->height() / fontMetrics().lineSpacing()); }

QTextLayout& LargeTextView::Layout(qsizetype piece) {
  const int width = viewport()->width() - 2 * kMargin;
  if (width != fLayoutWidth || fLayouts.size() > kCachedLayouts) {
    fLayouts.clear();
    fLayoutWidth = width;
  }
  Laid& laid = fLayouts[piece];
  if (laid.layout) return *laid.layout;
  laid.text = fText->PieceText(piece);
  laid.layout = std::make_unique<QTextLayout>(laid.text, font());
  QTextLayout* layout = laid.layout.get();
  // A piece without spaces (a hex text) breaks anywhere at once, rather
  // than after a search for word boundaries it does not have.
  const bool words = laid.text.contains(u' ') || laid.text.contains(u'\t');
  QTextOption option;
  option.setWrapMode(words ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WrapAnywhere);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  qreal y = 0;
  for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
    line.setLineWidth(std::max(width, 1));
    line.setPosition(QPointF(0, y));
    y += line.height();
  }
  layout->endLayout();
  return *layout;
}

void LargeTextView::SetTop(qsizetype piece, int line) {
  fMovingTop = true;
  verticalScrollBar()->setValue(static_cast<int>(piece));
  fMovingTop = false;
  fTopLine = line;
  viewport()->update();
}

void LargeTextView::ScrollLines(int lines) {
  if (!fText) return;
  qsizetype piece = TopPiece();
  int line = fTopLine + lines;
  while (line < 0 && piece > 0) {
    --piece;
    line += Layout(piece).lineCount();
  }
  line = std::max(line, 0);
  while (true) {
    const int count = Layout(piece).lineCount();
    if (line < count) break;
    if (piece + 1 >= fText->PieceCount()) {
      line = std::max(count - 1, 0);
      break;
    }
    line -= count;
    ++piece;
  }
  SetTop(piece, line);
}

void LargeTextView::ScrollPages(int pages) { ScrollLines(pages * std::max(VisibleLines() - 1, 1)); }

void LargeTextView::ScrollToStart() { SetTop(0, 0); }

void LargeTextView::ScrollToEnd() {
  if (!fText) return;
  SetTop(fText->PieceCount() - 1, 0);
  ScrollLines(Layout(TopPiece()).lineCount());  // the last line at the top
  ScrollLines(-(VisibleLines() - 1));           // and then at the bottom
}

void LargeTextView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect area = event->rect();
  if (!fText) return;
  QTextLayout::FormatRange all;
  all.start = 0;
  all.format.setBackground(palette().brush(QPalette::Highlight));
  all.format.setForeground(palette().brush(QPalette::HighlightedText));
  painter.setPen(palette().color(QPalette::Text));
  // The lines above the top one stay out of the margin.
  painter.setClipRect(QRect(0, kMargin, viewport()->width(), viewport()->height()));
  qreal y = kMargin;
  for (qsizetype piece = TopPiece(); piece < fText->PieceCount() && y < area.bottom() + 1; ++piece) {
    QTextLayout& layout = Layout(piece);
    const qreal skipped = piece == TopPiece() && fTopLine < layout.lineCount() ? layout.lineAt(fTopLine).y() : 0;
    all.length = static_cast<int>(layout.text().size());
    const QList<QTextLayout::FormatRange> selection = fSelectedAll ? QList{all} : QList<QTextLayout::FormatRange>();
    layout.draw(&painter, QPointF(kMargin, y - skipped), selection, QRectF(area));
    y += layout.boundingRect().height() - skipped;
  }
}

void LargeTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  verticalScrollBar()->setPageStep(std::max(VisibleLines(), 1));
  fTopLine = 0;  // lines move when the width changes: the top piece stays
}

void LargeTextView::scrollContentsBy(int dx, int dy) {
  (void)dx;
  (void)dy;
  if (!fMovingTop) fTopLine = 0;  // the scroll bar moves by whole pieces
  viewport()->update();
}

void LargeTextView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 40;  // 3 lines for each notch of 120
  if (steps != 0) ScrollLines(-steps);
  event->accept();
}

qsizetype LargeTextView::OffsetAt(QPoint point, int* line_top) {
  if (!fText) return -1;
  // The pieces from the top down, as paintEvent places them.
  qreal y = kMargin;
  for (qsizetype piece = TopPiece(); piece < fText->PieceCount(); ++piece) {
    QTextLayout& layout = Layout(piece);
    const int first = piece == TopPiece() ? std::min(fTopLine, std::max(layout.lineCount() - 1, 0)) : 0;
    const qreal skipped = layout.lineCount() > 0 ? layout.lineAt(first).y() : 0;
    const bool last_piece = piece + 1 == fText->PieceCount();
    for (int i = first; i < layout.lineCount(); ++i) {
      const QTextLine line = layout.lineAt(i);
      const qreal top = y + line.y() - skipped;
      const bool last_line = last_piece && i + 1 == layout.lineCount();
      if (point.y() >= top + line.height() && !last_line) continue;
      if (line_top) *line_top = static_cast<int>(top);
      return fText->TextOffset(piece, line.xToCursor(point.x() - kMargin));
    }
    if (layout.lineCount() == 0 && last_piece) {
      if (line_top) *line_top = static_cast<int>(y);
      return fText->TextOffset(piece, 0);
    }
    y += layout.boundingRect().height() - skipped;
  }
  return fText->Size();
}

void LargeTextView::mousePressEvent(QMouseEvent* event) {
  // The memo underneath has the focus and the keys; a click ends the selection.
  parentWidget()->setFocus(Qt::MouseFocusReason);
  SetSelectedAll(false);
  event->accept();
  if (event->button() == Qt::LeftButton) emit Pressed(event->position().toPoint(), event->modifiers());
}

}  // namespace velsor
