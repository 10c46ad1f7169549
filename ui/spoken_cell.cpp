#include "ui/spoken_cell.h"

#include <QAbstractItemView>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QEvent>
#include <QWindow>

#include "ui/on_event.h"

namespace kolvex {

namespace {

int standIns = 0; // of every owner, for Count

// What the pane and the stand-ins share: they belong to a widget of the program, have no object
// of their own, and stand in its window.
class OwnedInterface : public QAccessibleInterface {
public:
  explicit OwnedInterface(QWidget &owner) : owner_(&owner) {}

  bool isValid() const override { return owner_ != nullptr; }
  QObject *object() const override { return nullptr; }
  QWindow *window() const override {
    return owner_ != nullptr ? owner_->window()->windowHandle() : nullptr;
  }
  QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
  relations(QAccessible::Relation) const override {
    return {};
  }
  QAccessibleInterface *childAt(int, int) const override { return nullptr; }
  void setText(QAccessible::Text, const QString &) override {}

protected:
  QPointer<QWidget> owner_;
};

// The screen reader's way to the stand-ins: a pane without a name beside the owner, whose one
// child is the stand-in that has the focus. The owner is no ancestor of it, so the screen reader
// finds no table and no row to read along with the cell.
class StandInPane : public OwnedInterface {
public:
  explicit StandInPane(QWidget &owner) : OwnedInterface(owner) {}

  QAccessibleInterface *current = nullptr; // the stand-in with the focus

  QAccessibleInterface *focusChild() const override { return current; }
  QAccessibleInterface *parent() const override {
    return owner_ != nullptr ? QAccessible::queryAccessibleInterface(owner_->parentWidget())
                             : nullptr;
  }
  QAccessibleInterface *child(int index) const override { return index == 0 ? current : nullptr; }
  int childCount() const override { return current != nullptr ? 1 : 0; }
  int indexOfChild(const QAccessibleInterface *child) const override {
    return child != nullptr && child == current ? 0 : -1;
  }
  QString text(QAccessible::Text) const override { return {}; }
  QRect rect() const override {
    return owner_ != nullptr ? QRect(owner_->mapToGlobal(QPoint()), owner_->size()) : QRect();
  }
  QAccessible::Role role() const override { return QAccessible::Pane; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = owner_ == nullptr || !owner_->isVisible();
    return state;
  }
};

// An item of the model as the screen reader sees it, a child of the pane.
class StandInCell : public OwnedInterface {
public:
  StandInCell(QWidget &owner, StandInPane &pane, QAccessible::Role role)
      : OwnedInterface(owner), pane_(&pane), role_(role) {
    ++standIns;
  }
  ~StandInCell() override { --standIns; }
  StandInCell(const StandInCell &) = delete;
  StandInCell &operator=(const StandInCell &) = delete;

  QString name;
  QString description;
  QRect place; // in the owner

  QAccessibleInterface *focusChild() const override { return nullptr; }
  QAccessibleInterface *parent() const override { return pane_; }
  QAccessibleInterface *child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface *) const override { return -1; }

  QString text(QAccessible::Text t) const override {
    switch (t) {
    case QAccessible::Name:
      return name;
    case QAccessible::Description:
      return description;
    default:
      return {};
    }
  }

  QRect rect() const override {
    return owner_ != nullptr ? QRect(owner_->mapToGlobal(place.topLeft()), place.size()) : QRect();
  }
  QAccessible::Role role() const override { return role_; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.focusable = true;
    state.selectable = true;
    state.selected = true;
    state.focused = owner_ != nullptr && owner_->hasFocus() && pane_->current == this;
    state.invisible = owner_ == nullptr || !owner_->isVisible();
    return state;
  }

private:
  StandInPane *pane_; // lives as long as the cell
  QAccessible::Role role_;
};

// The current item of a list, told on focus and on change; a child of the list.
class CurrentItemSpeech : public QObject {
public:
  explicit CurrentItemSpeech(QComboBox &list)
      : QObject(&list), list_(list), spoken_(list, QAccessible::ListItem) {
    OnEveryEvent(list, QEvent::FocusIn,
                 [this] { spoken_.AfterOwnerFocus([this] { Tell(true); }); });
    connect(&list, &QComboBox::currentIndexChanged, this, [this] {
      if (list_.hasFocus()) {
        Tell(false);
      }
    });
  }

private:
  void Tell(bool entering) {
    spoken_.Focus(list_.model()->index(list_.currentIndex(), list_.modelColumn()), entering);
  }

  QComboBox &list_;
  SpokenCells spoken_;
};

// Whether the screen reader can still come to `item` while the owner shows `focused`: every cell of
// the model, and the days of the month shown.
bool InReach(const ItemKey &item, const ItemKey &focused) {
  if (const auto *day = std::get_if<MonthDay>(&item)) {
    const auto *shown = std::get_if<MonthDay>(&focused);
    return shown != nullptr && day->year == shown->year && day->month == shown->month;
  }
  return std::holds_alternative<ModelCell>(focused);
}

} // namespace

void SpeakCurrentItem(QComboBox &list) {
  new CurrentItemSpeech(list);
}

SpokenCells::SpokenCells(QWidget &owner, QAccessible::Role role) : owner_(&owner), role_(role) {}

SpokenCells::~SpokenCells() {
  for (const auto &[cell, id] : cells_) {
    QAccessible::deleteAccessibleInterface(id);
  }
  if (pane_ != 0) {
    QAccessible::deleteAccessibleInterface(pane_);
  }
}

int SpokenCells::Count() {
  return standIns;
}

void SpokenCells::AfterOwnerFocus(std::function<void()> tell) {
  // Qt tells of the focus once the focus-in event has been handled.
  QMetaObject::invokeMethod(
      owner_.data(),
      [owner = owner_, tell = std::move(tell)] {
        if (owner != nullptr && owner->hasFocus()) {
          tell();
        }
      },
      Qt::QueuedConnection);
}

void SpokenCells::Focus(const QModelIndex &index, bool entering) {
  if (!index.isValid()) {
    return;
  }
  const QString name = index.data(Qt::AccessibleTextRole).toString();
  QRect place(QPoint(), owner_ != nullptr ? owner_->size() : QSize());
  if (const auto *table = qobject_cast<const QAbstractItemView *>(owner_.data())) {
    const QRect cell = table->visualRect(index);
    place = {table->viewport()->mapTo(table, cell.topLeft()), cell.size()};
  }
  Focus(ModelCell{index.row(), index.column()}, name.isEmpty() ? index.data().toString() : name,
        index.data(Qt::AccessibleDescriptionRole).toString(), place, entering);
}

void SpokenCells::Focus(ItemKey item, QString name, const QString &description, QRect place,
                        bool entering) {
  if (!QAccessible::isActive() || owner_ == nullptr || !owner_->isVisible()) {
    return;
  }
  if (pane_ == 0) {
    pane_ = QAccessible::registerAccessibleInterface(new StandInPane(*owner_));
  }
  auto &pane = static_cast<StandInPane &>(*QAccessible::accessibleInterface(pane_));
  // The stand-in that had the focus stays, for the screen reader may still ask it about the move.
  for (auto it = cells_.begin(); it != cells_.end();) {
    if (InReach(it->first, item) || QAccessible::accessibleInterface(it->second) == pane.current) {
      ++it;
    } else {
      QAccessible::deleteAccessibleInterface(it->second);
      it = cells_.erase(it);
    }
  }
  auto found = cells_.find(item);
  if (found == cells_.end()) {
    found = cells_
                .emplace(item, QAccessible::registerAccessibleInterface(
                                   new StandInCell(*owner_, pane, role_)))
                .first;
  }
  auto &cell = static_cast<StandInCell &>(*QAccessible::accessibleInterface(found->second));
  if (entering && !owner_->accessibleName().isEmpty()) {
    name = owner_->accessibleName() + QStringLiteral(", ") + name;
  }
  cell.name = name;
  cell.description = description;
  cell.place = place;
  pane.current = &cell;
  QAccessibleEvent event(&cell, QAccessible::Focus);
  QAccessible::updateAccessibility(&event);
}

} // namespace kolvex
