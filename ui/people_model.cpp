#include "ui/people_model.h"

#include <utility>

#include <QFont>

#include "ui/people_texts.h"

namespace kolvex {

void PeopleModel::SetList(PeopleList list) {
  beginResetModel();
  list_ = std::move(list);
  endResetModel();
}

int PeopleModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.people.size());
}

int PeopleModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant PeopleModel::data(const QModelIndex &index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return {};
  }
  const auto row = static_cast<std::size_t>(index.row());
  const Person &person = list_.people[row];
  const bool isDefault = list_.defaultIndex == row;
  switch (role) {
  case Qt::DisplayRole:
    return index.column() == NameColumn ? QString::fromStdString(person.name)
                                        : BirthText(person.birth);
  case SortRole:
    return index.column() == NameColumn
               ? QVariant(QString::fromStdString(person.name))
               : QVariant(person.birth.year * 10000 + person.birth.month * 100 + person.birth.day);
  case Qt::AccessibleTextRole:
    return PersonText(person);
  case Qt::AccessibleDescriptionRole:
    return isDefault ? QStringLiteral("открывается в окне ввода") : QString();
  case Qt::FontRole: {
    if (!isDefault) {
      return {};
    }
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  default:
    return {};
  }
}

QVariant PeopleModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return section == NameColumn ? QStringLiteral("Имя") : QStringLiteral("Дата рождения");
}

} // namespace kolvex
