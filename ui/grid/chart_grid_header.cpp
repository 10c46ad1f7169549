#include "ui/grid/chart_grid_header.h"

namespace kolvex {

ChartGridHeader::ChartGridHeader(Qt::Orientation orientation, int pitch, int thickness,
                                 QWidget *parent)
    : QHeaderView(orientation, parent), thickness_(thickness) {
  setMinimumSectionSize(pitch);
  setMaximumSectionSize(pitch);
  setDefaultSectionSize(pitch);
  setSectionResizeMode(QHeaderView::Fixed);
  setSectionsClickable(false);
  setHighlightSections(false);
  setTextElideMode(Qt::ElideNone);
  if (orientation == Qt::Horizontal) {
    setFixedHeight(thickness);
  } else {
    setFixedWidth(thickness);
  }
}

QSize ChartGridHeader::sizeHint() const {
  return orientation() == Qt::Horizontal ? QSize(length(), thickness_)
                                         : QSize(thickness_, length());
}

} // namespace kolvex
