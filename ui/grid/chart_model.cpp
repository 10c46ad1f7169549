#include "ui/grid/chart_model.h"

#include "chart/legend.h"

namespace kolvex {

void ChartModel::SetChart(const YearChart &chart) {
  chart_ = chart;
  emit dataChanged(index(0, 0), index(DayRows - 1, MonthColumns - 1),
                   {Qt::DisplayRole, Qt::AccessibleTextRole, Qt::AccessibleDescriptionRole});
  emit headerDataChanged(Qt::Horizontal, 0, MonthColumns - 1);
  emit headerDataChanged(Qt::Vertical, 0, DayRows - 1);
}

int ChartModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : DayRows;
}

int ChartModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : MonthColumns;
}

QVariant ChartModel::data(const QModelIndex &index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return {};
  }
  const int month = index.column() + 1;
  const int day = index.row() + 1;
  if (chart_.Year() == 0 && role != Qt::DisplayRole) {
    return {}; // no chart yet: no days of year 0 for a screen reader
  }
  switch (role) {
  case Qt::DisplayRole:
    return QString::fromUtf8(chart_.Text(month, day));
  // What a screen reader says: the code alone would be "+-*" without a date.
  case Qt::AccessibleTextRole:
    return QString::fromUtf8(SpeakDay(chart_, month, day).name);
  case Qt::AccessibleDescriptionRole:
    return QString::fromUtf8(SpeakDay(chart_, month, day).description);
  default:
    return {};
  }
}

QVariant ChartModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) {
    return {};
  }
  return orientation == Qt::Horizontal ? QString::fromUtf8(chart_.Text(section + 1, 0))
                                       : QString::fromUtf8(chart_.Text(0, section + 1));
}

Qt::ItemFlags ChartModel::flags(const QModelIndex &index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace kolvex
