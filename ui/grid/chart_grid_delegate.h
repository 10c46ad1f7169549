#pragma once

// How the chart grid paints a day cell.

#include <QStyledItemDelegate>

namespace kolvex {

// The day cells: black with lime texts; the selection in the highlight colours, except the
// current cell while the grid is its window's active control, which stays black and carries a
// dotted focus rectangle.
class ChartGridDelegate final : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter *painter, const QStyleOptionViewItem &option,
             const QModelIndex &index) const override;
};

} // namespace kolvex
