#pragma once

// The year chart as a read-only table for the chart grid: the day cells are the items, the month
// abbreviations (chart row 0) and the day numbers (chart column 0) are the header data.

#include <QAbstractTableModel>

#include "chart/year_chart.h"

namespace kolvex {

class ChartModel : public QAbstractTableModel {
  Q_OBJECT

public:
  using QAbstractTableModel::QAbstractTableModel;

  // Item (r, c) is chart cell (c + 1, r + 1).
  static constexpr int DayRows = YearChart::Rows - 1;
  static constexpr int MonthColumns = YearChart::Columns - 1;

  const YearChart &Chart() const { return chart_; }

  // Replaces every text. The table keeps its shape, so the views keep their current cell,
  // selection and scroll position.
  void SetChart(const YearChart &chart);

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
  YearChart chart_;
};

} // namespace kolvex
