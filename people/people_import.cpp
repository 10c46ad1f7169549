#include "people/people_import.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>
#include <unordered_set>

#include "chart/calendar.h"
#include "people/csv.h"
#include "people/vcard.h"

namespace kolvex {

namespace {

// The length of the UTF-8 sequence at `pos`, or 0 when it is malformed (overlong forms,
// surrogates and code points past U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) {
    return pos + i < text.size() ? static_cast<unsigned char>(text[pos + i]) : 0u;
  };
  const unsigned lead = byte(0);
  const auto tail = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
    return byte(i) >= low && byte(i) <= high;
  };
  if (lead < 0x80)
    return 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    return tail(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const bool second = lead == 0xE0 ? tail(1, 0xA0) : lead == 0xED ? tail(1, 0x80, 0x9F) : tail(1);
    return second && tail(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const bool second = lead == 0xF0 ? tail(1, 0x90) : lead == 0xF4 ? tail(1, 0x80, 0x8F) : tail(1);
    return second && tail(2) && tail(3) ? 4 : 0;
  }
  return 0;
}

// Control characters (C0, DEL, C1) and the Unicode line and paragraph separators.
bool IsBlankOrControl(std::string_view sequence) {
  if (sequence.size() == 1)
    return static_cast<unsigned char>(sequence[0]) <= 0x20 || sequence[0] == 0x7F;
  return (sequence.size() == 2 && sequence[0] == '\xC2' &&
          static_cast<unsigned char>(sequence[1]) <= 0x9F) ||
         sequence == "\u2028" || sequence == "\u2029";
}

// The name with blanks and control characters folded into single spaces and trimmed; nothing
// when it is not UTF-8.
std::optional<std::string> CleanName(std::string_view name) {
  std::string clean;
  bool blank = false;
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t length = Utf8SequenceLength(name, pos);
    if (length == 0)
      return std::nullopt;
    const std::string_view sequence = name.substr(pos, length);
    pos += length;
    if (IsBlankOrControl(sequence)) {
      blank = !clean.empty();
      continue;
    }
    if (blank)
      clean += ' ';
    blank = false;
    clean += sequence;
  }
  return clean;
}

// What a problem's detail may show: at most 40 characters, "?" for control characters and
// bytes that are not UTF-8.
std::string Shown(std::string_view detail) {
  std::string shown;
  std::size_t pos = 0;
  for (int count = 0; pos < detail.size() && count < 40; ++count) {
    const std::size_t length = std::max<std::size_t>(1, Utf8SequenceLength(detail, pos));
    const std::string_view sequence = detail.substr(pos, length);
    const bool shows = (length > 1 || detail[pos] > 0x20) && !IsBlankOrControl(sequence);
    shown += shows ? sequence : detail[pos] == ' ' ? " " : "?";
    pos += length;
  }
  return pos < detail.size() ? shown + "..." : shown;
}

std::string IsoDate(BirthDate birth) {
  const auto two = [](int n) { return std::string{char('0' + n / 10 % 10), char('0' + n % 10)}; };
  const std::string monthDay = two(birth.month) + "-" + two(birth.day);
  return birth.year == 0 ? "--" + monthDay
                         : two(birth.year / 100) + two(birth.year % 100) + "-" + monthDay;
}

// Reads `count` digits (or 1 to `count` when `exact` is false) at the front of `text`.
std::optional<int> TakeNumber(std::string_view &text, std::size_t count, bool exact = true) {
  std::size_t length = 0;
  while (length < count && length < text.size() && text[length] >= '0' && text[length] <= '9')
    ++length;
  if (length == 0 || (exact && length != count))
    return std::nullopt;
  int value = 0;
  std::from_chars(text.data(), text.data() + length, value);
  text.remove_prefix(length);
  return value;
}

bool TakeChar(std::string_view &text, char c) {
  if (text.empty() || text.front() != c)
    return false;
  text.remove_prefix(1);
  return true;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

// "NAME (n)" -> "NAME"; any other name stays as it is.
std::string_view BaseName(std::string_view name) {
  if (name.size() < 4 || name.back() != ')')
    return name;
  std::size_t open = name.size() - 2;
  while (open > 0 && name[open] >= '0' && name[open] <= '9')
    --open;
  if (open + 2 == name.size() || name[open] != '(' || open < 2 || name[open - 1] != ' ')
    return name;
  return name.substr(0, open - 1);
}

std::string DateKey(std::string_view name, BirthDate birth) {
  std::string key{name};
  key += '\n';
  key += IsoDate(birth);
  return key;
}

bool StartsWithCaseless(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if ((text[i] | 0x20) != (prefix[i] | 0x20))
      return false;
  return true;
}

} // namespace

ImportRecord Refused(std::size_t line, RecordProblem problem, std::string detail) {
  ImportRecord record;
  record.line = line;
  record.problem = problem;
  record.detail = std::move(detail);
  record.detail.resize(std::min<std::size_t>(record.detail.size(), 256));
  return record;
}

std::string DescribeProblem(RecordProblem problem, std::string_view detail) {
  switch (problem) {
  case RecordProblem::None:
    return {};
  case RecordProblem::NoName:
    return "no name";
  case RecordProblem::NameTooLong:
    return "the name is longer than " + std::to_string(MaxNameBytes) + " bytes";
  case RecordProblem::InvalidUtf8:
    return "the name is not valid UTF-8";
  case RecordProblem::UnknownCharset:
    return "the charset " + Shown(detail) +
           " is not supported (UTF-8, Windows-1251 and KOI8-R are)";
  case RecordProblem::UnknownEncoding:
    return "the encoding " + Shown(detail) + " is not supported";
  case RecordProblem::NotADate:
    return "the birthday \"" + Shown(detail) + "\" is not a date";
  case RecordProblem::NotChartable:
    return "the birthday " + Shown(detail) + " is not a real date from year 1 to 2099";
  case RecordProblem::UnendedCard:
    return "the card has no END:VCARD";
  case RecordProblem::Utf16File:
    return "the file is in UTF-16 or UTF-32; save it as UTF-8";
  case RecordProblem::TooManyRecords:
    return "more than " + std::to_string(MaxRecords) + " people: the rest of the file is not read";
  }
  return {};
}

std::optional<BirthDate> ReadBirthday(std::string_view text) {
  text = Trimmed(text);
  std::optional<int> day, month, year;
  if (TakeChar(text, '-')) { // --0917, --09-17
    if (!TakeChar(text, '-'))
      return std::nullopt;
    month = TakeNumber(text, 2);
    TakeChar(text, '-');
    day = TakeNumber(text, 2);
    year = 0;
  } else if (text.size() >= 3 && (text[1] == '/' || text[2] == '/')) { // 9/17/1974
    month = TakeNumber(text, 2, false);
    day = TakeChar(text, '/') ? TakeNumber(text, 2, false) : std::nullopt;
    year = TakeChar(text, '/') ? TakeNumber(text, 4) : std::nullopt;
  } else if (text.size() >= 3 && (text[1] == '.' || text[2] == '.')) { // 17.09.1974
    day = TakeNumber(text, 2, false);
    month = TakeChar(text, '.') ? TakeNumber(text, 2, false) : std::nullopt;
    year = TakeChar(text, '.') ? TakeNumber(text, 4) : std::nullopt;
  } else { // 19740917, 1974-09-17, either with a time after "T"
    year = TakeNumber(text, 4);
    const bool dashes = TakeChar(text, '-');
    month = TakeNumber(text, 2);
    if (dashes && !TakeChar(text, '-'))
      return std::nullopt;
    day = TakeNumber(text, 2);
    if (TakeChar(text, 'T'))
      text = {};
  }
  if (!day || !month || !year || !text.empty())
    return std::nullopt;
  return BirthDate{*day, *month, *year};
}

ImportRecord CheckRecord(std::size_t line, std::string_view name, BirthDate birth) {
  ImportRecord record;
  record.line = line;
  record.person.birth = birth;
  const std::optional<std::string> clean = CleanName(name);
  const bool realDay = birth.year == 0 ? birth.month >= 1 && birth.month <= 12 && birth.day >= 1 &&
                                             birth.day <= MonthLength(birth.month, 2000)
                                       : IsChartable(birth);
  if (!clean)
    record.problem = RecordProblem::InvalidUtf8;
  else if (clean->empty())
    record.problem = RecordProblem::NoName;
  else if (clean->size() > MaxNameBytes)
    record.problem = RecordProblem::NameTooLong;
  else if (!realDay) {
    record.problem = RecordProblem::NotChartable;
    record.detail = IsoDate(birth);
  } else
    record.person.name = *clean;
  return record;
}

struct PeopleMerger::Index {
  std::unordered_set<std::string> names;
  std::unordered_set<std::string> known;                   // DateKey of each name and base name
  std::unordered_map<std::string, std::size_t> nextSuffix; // the n to try first for a name

  void Enter(const Person &person) {
    names.insert(person.name);
    known.insert(DateKey(person.name, person.birth));
    known.insert(DateKey(BaseName(person.name), person.birth));
  }
};

PeopleMerger::PeopleMerger(PeopleList &list) : list_(list), index_(std::make_unique<Index>()) {
  for (const Person &person : list_.people)
    index_->Enter(person);
}

PeopleMerger::~PeopleMerger() = default;

std::optional<std::size_t> PeopleMerger::Add(Person person) {
  if (index_->known.contains(DateKey(person.name, person.birth)))
    return std::nullopt;
  if (index_->names.contains(person.name)) {
    std::size_t &n = index_->nextSuffix.try_emplace(person.name, 2).first->second;
    std::string name;
    do
      name = person.name + " (" + std::to_string(n++) + ")";
    while (index_->names.contains(name));
    person.name = std::move(name);
  }
  index_->Enter(person);
  list_.people.push_back(std::move(person));
  return list_.people.size() - 1;
}

std::optional<std::size_t> Add(PeopleList &list, Person person) {
  return PeopleMerger(list).Add(std::move(person));
}

ImportSummary Import(PeopleList &list, std::string_view fileName, std::string_view bytes) {
  ImportSummary summary;
  const auto refuse = [&](std::size_t line, RecordProblem problem, std::string_view detail) {
    summary.refused.push_back(std::string(fileName) + ":" + std::to_string(line) + ": " +
                              DescribeProblem(problem, detail));
  };
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
      bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
    refuse(1, RecordProblem::Utf16File, {});
    return summary;
  }
  std::string_view start = bytes;
  if (start.starts_with("\xEF\xBB\xBF"))
    start.remove_prefix(3);
  const ImportFile file =
      StartsWithCaseless(Trimmed(start), "BEGIN:VCARD") ? ReadVCards(bytes) : ReadCsv(bytes);
  summary.withoutBirthday = file.withoutBirthday;
  PeopleMerger merger(list);
  for (const ImportRecord &record : file.records) {
    if (record.problem != RecordProblem::None) {
      refuse(record.line, record.problem, record.detail);
    } else if (record.person.birth.year == 0) {
      summary.withoutYear.push_back(record.person);
    } else if (const auto added = merger.Add(record.person)) {
      ++summary.added;
      if (record.isDefault && !list.defaultIndex)
        list.defaultIndex = *added;
    } else {
      ++summary.alreadyThere;
    }
  }
  return summary;
}

std::string SummaryText(const ImportSummary &summary) {
  std::string text = "added: " + std::to_string(summary.added) +
                     "\nalready there: " + std::to_string(summary.alreadyThere) +
                     "\nwithout a birthday: " + std::to_string(summary.withoutBirthday) +
                     "\nwithout a year: " + std::to_string(summary.withoutYear.size());
  for (std::size_t i = 0; i < summary.withoutYear.size(); ++i)
    text += (i == 0 ? " (" : ", ") + summary.withoutYear[i].name;
  text += summary.withoutYear.empty() ? "\n" : ")\n";
  text += "refused: " + std::to_string(summary.refused.size()) + "\n";
  for (const std::string &refusal : summary.refused)
    text += refusal + "\n";
  return text;
}

} // namespace kolvex
