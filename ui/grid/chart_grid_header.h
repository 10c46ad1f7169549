#pragma once

// The chart grid's fixed row or column.

#include <QHeaderView>

namespace kolvex {

// A header of fixed thickness whose sections are all one fixed pitch, neither clickable nor
// resizable. A plain QHeaderView measures the text of every section to find its size hint, work
// that a grid of fixed cells never needs.
class ChartGridHeader final : public QHeaderView {
public:
  // `pitch` is a section with its grid line; `thickness` the header's height (or width).
  ChartGridHeader(Qt::Orientation orientation, int pitch, int thickness, QWidget *parent);

  QSize sizeHint() const override;

private:
  int thickness_;
};

} // namespace kolvex
