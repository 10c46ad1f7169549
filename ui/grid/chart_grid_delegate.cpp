#include "ui/grid/chart_grid_delegate.h"

#include <QAbstractItemView>
#include <QPainter>

#include "ui/grid/chart_grid_style.h"

namespace kolvex {

void ChartGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const {
  const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
  const bool focused =
      view != nullptr && view->window()->focusWidget() == view && view->currentIndex() == index;
  const bool highlighted = !focused && (option.state & QStyle::State_Selected);
  const QColor background = highlighted
                                ? option.palette.color(QPalette::Active, QPalette::Highlight)
                                : grid_look::CellColor;
  const QColor text = highlighted
                          ? option.palette.color(QPalette::Active, QPalette::HighlightedText)
                          : grid_look::TextColor;
  painter->fillRect(option.rect, background);
  DrawCellText(*painter, option.rect, index.data().toString(), text);
  if (focused) {
    painter->save();
    QPen dots(Qt::white, 0);
    dots.setDashPattern({1.0, 1.0});
    painter->setPen(dots);
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }
}

} // namespace kolvex
