#include "ui/people_texts.h"

#include "chart/calendar.h"

namespace kolvex {

QString BirthText(const BirthDate &birth) {
  return QStringLiteral("%1 %2 %3")
      .arg(birth.day)
      .arg(QString::fromUtf8(MonthNamesGenitive.at(birth.month - 1)))
      .arg(birth.year);
}

QString PersonText(const Person &person) {
  return QString::fromStdString(person.name) + QStringLiteral(", ") + BirthText(person.birth);
}

QString AddedText(const Person &person, const PeopleList &list, std::optional<std::size_t> added) {
  if (!added) {
    return QStringLiteral("Уже в списке: ") + PersonText(person);
  }
  const Person &kept = list.people.at(*added);
  return (kept.name == person.name ? QStringLiteral("Запомнено: ")
                                   : QStringLiteral("Имя занято, запомнено под другим: ")) +
         PersonText(kept);
}

QString MenuEntryText(const Person &person) {
  return QString::fromStdString(person.name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString ListProblem(const PeopleFileContent &content, const std::filesystem::path &file) {
  if (content.error) {
    return QStringLiteral("Список людей не читается: ") +
           QString::fromStdString(content.error->Message());
  }
  if (content.newer) {
    return QStringLiteral("Список людей записан более новой версией Kolvex: ") +
           QString::fromStdU16String(file.u16string());
  }
  return {};
}

PeopleFileContent ReadPeopleList(const std::filesystem::path &file) {
  return file.empty() ? PeopleFileContent{} : ReadPeopleFile(file);
}

} // namespace kolvex
