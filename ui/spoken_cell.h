#pragma once

// What a screen reader says as the current item of a list or table moves. Qt's chart grid tells
// the screen reader that a table cell took the focus, and Orca then reads every cell of the row on
// a move up or down, twelve dates where one is meant; Qt's month list tells it nothing of the month
// chosen. So the widget gives the accessible focus to a stand-in of its current item instead: an
// item of its own, with the model item's accessible name (or its text) and description, outside
// Qt's table and list, which the screen reader reads alone.

#include <compare>
#include <functional>
#include <map>
#include <variant>

#include <QAccessible>
#include <QPointer>
#include <QRect>

class QComboBox;
class QModelIndex;
class QWidget;

namespace kolvex {

// A cell of the owner's model, by the model's row and column.
struct ModelCell {
  int row = 0;
  int column = 0;
  auto operator<=>(const ModelCell &) const = default;
};

// A day of a month the owner shows, as the owner's own item.
struct MonthDay {
  int year = 0;
  int month = 0;
  int day = 0;
  auto operator<=>(const MonthDay &) const = default;
};

// The item a stand-in stands for: the same item keeps its stand-in.
using ItemKey = std::variant<ModelCell, MonthDay>;

class SpokenCells {
public:
  // `owner` is the widget that has the keyboard focus while its items are read; the stand-ins
  // take `role`.
  SpokenCells(QWidget &owner, QAccessible::Role role);
  ~SpokenCells();
  SpokenCells(const SpokenCells &) = delete;
  SpokenCells &operator=(const SpokenCells &) = delete;

  // Runs `tell` once Qt has told the screen reader of the owner's own focus, and only if the
  // owner still has the focus then, so that the stand-in's focus comes after the owner's. Call it
  // when the owner takes the focus.
  void AfterOwnerFocus(std::function<void()> tell);

  // Gives the accessible focus to the stand-in of `index`. Call it once the owner's own focus has
  // been told, so that the stand-in's comes last. `entering`: the focus has just come to the
  // owner, and the stand-in's name begins with the owner's ("Месяц рождения, сентября").
  void Focus(const QModelIndex &index, bool entering);
  // The same for an item known by `item`; `place` is where it shows in the owner. Only the
  // stand-ins of the items still in reach stay: every cell of the model, the days of the month
  // of `item`, and the stand-in that had the focus until now.
  void Focus(ItemKey item, QString name, const QString &description, QRect place, bool entering);

  // The stand-ins that exist, of every owner.
  static int Count();

private:
  QPointer<QWidget> owner_;
  QAccessible::Role role_;
  QAccessible::Id pane_ = 0;                 // made on the first focus
  std::map<ItemKey, QAccessible::Id> cells_; // made on first focus
};

// Makes a screen reader say the current item of `list` when the list takes the focus and when the
// item changes.
void SpeakCurrentItem(QComboBox &list);

} // namespace kolvex
