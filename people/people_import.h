#pragma once

// Bringing people in from address books: the records a reader finds in a file, the checks every
// record passes, and their merge into the list. Bytes in, values out: the caller reads the file.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "people/person.h"

namespace kolvex {

// Why a record of a file was not taken. The detail names what was wrong (a charset, a date).
enum class RecordProblem {
  None,
  NoName,          // no FN, N or name column, or one of spaces only
  NameTooLong,     // longer than MaxNameBytes: no address book writes such a name
  InvalidUtf8,     // the name is not UTF-8 (nor in the charset its card names)
  UnknownCharset,  // a vCard 2.1 CHARSET other than UTF-8, Windows-1251 and KOI8-R
  UnknownEncoding, // a vCard ENCODING other than quoted-printable or 8-bit
  NotADate,        // the birthday is in none of the forms address books write
  NotChartable,    // a real-looking date the chart cannot take: 31 February, year 0, after 2099
  UnendedCard,     // BEGIN:VCARD without END:VCARD before the next card or the end of the file
  Utf16File,       // a byte-order mark of UTF-16 or UTF-32: the file is not UTF-8
  TooManyRecords,  // MaxRecords read already: the rest of the file is left unread
};

inline constexpr std::size_t MaxNameBytes = 1000;
// No address book holds this many people; the limit bounds the time and memory any file takes.
inline constexpr std::size_t MaxRecords = 100'000;

// One person found in a file, or why the record there was refused. A birthday without a year
// (year 0) is returned as such, for the caller to complete.
struct ImportRecord {
  std::size_t line = 0; // 1-based, where the date stands (else where the record starts)
  Person person;
  bool isDefault = false; // marked as the default by Kolvex's own export
  RecordProblem problem = RecordProblem::None;
  std::string detail;

  friend bool operator==(const ImportRecord &, const ImportRecord &) = default;
};

struct ImportFile {
  std::vector<ImportRecord> records; // in the file's order
  std::size_t withoutBirthday = 0;   // cards or rows with a name but no birthday, skipped
};

// A record refused for the problem; a long detail is cut short.
ImportRecord Refused(std::size_t line, RecordProblem problem, std::string detail = {});

// The reason in words, for a summary: "no name", "the charset ISO-8859-5 is not supported".
std::string DescribeProblem(RecordProblem problem, std::string_view detail);

// A birthday in any form address books write: 19740917, 1974-09-17, 1974-09-17T00:00:00Z,
// --0917, --09-17 (no year: year 0), 17.09.1974 and 9/17/1974 (month first). Not checked against
// the calendar: 31.02.1974 comes back as it is.
std::optional<BirthDate> ReadBirthday(std::string_view text);

// The record for a name (UTF-8 bytes, not yet checked) and a date, with the checks every reader
// makes: the name valid UTF-8, cleaned (trimmed, control characters and runs of blanks turned into
// one space), not empty; the date chartable, or a real day of the year when it has no year.
ImportRecord CheckRecord(std::size_t line, std::string_view name, BirthDate birth);

// Adds people to a list under the rules that keep its names unique and make a second import of
// the same file add nothing: someone with the same date named NAME or "NAME (n)" is already
// there; the same name with another date comes in as "NAME (2)", "NAME (3)", ... Keeps an index
// of the list, so it must be the only one changing the list while it lives.
class PeopleMerger {
public:
  explicit PeopleMerger(PeopleList &list);
  ~PeopleMerger();
  PeopleMerger(const PeopleMerger &) = delete;
  PeopleMerger &operator=(const PeopleMerger &) = delete;

  // The index of the person added, or nothing when they were already there.
  std::optional<std::size_t> Add(Person person);

private:
  struct Index;
  PeopleList &list_;
  std::unique_ptr<Index> index_;
};

// One person added to a list under the same rules, for the window's single additions.
std::optional<std::size_t> Add(PeopleList &list, Person person);

struct ImportSummary {
  std::size_t added = 0;
  std::size_t alreadyThere = 0;
  std::vector<Person> withoutYear;  // not added: the caller completes their years
  std::vector<std::string> refused; // "file:line: reason"
  std::size_t withoutBirthday = 0;
};

// Reads a vCard or CSV file (told apart by their contents) and merges what it finds into the
// list. The first person marked as the default becomes the default of a list that has none.
ImportSummary Import(PeopleList &list, std::string_view fileName, std::string_view bytes);

// The summary in lines for the terminal, the refusals last, one a line.
std::string SummaryText(const ImportSummary &summary);

} // namespace kolvex
