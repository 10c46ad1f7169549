#pragma once

// The list of people as a table for a view: a name column and a birth date column, the default
// person in bold.

#include <QAbstractTableModel>

#include "people/person.h"

namespace kolvex {

class PeopleModel final : public QAbstractTableModel {
public:
  enum Column { NameColumn, DateColumn, ColumnCount };
  // The key a proxy sorts by: the name, or the date as YYYYMMDD.
  static constexpr int SortRole = Qt::UserRole;

  using QAbstractTableModel::QAbstractTableModel;

  void SetList(PeopleList list);
  const PeopleList &List() const noexcept { return list_; }

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
  PeopleList list_;
};

} // namespace kolvex
