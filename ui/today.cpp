#include "ui/today.h"

#include <QDate>

namespace kolvex {

Today LocalToday() {
  const QDate date = QDate::currentDate();
  return {static_cast<std::uint16_t>(date.year()), static_cast<std::uint16_t>(date.month()),
          static_cast<std::uint16_t>(date.day())};
}

} // namespace kolvex
