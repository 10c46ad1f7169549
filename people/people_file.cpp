#include "people/people_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "people/people_file_system.h"

namespace kolvex {
namespace {

namespace fs = std::filesystem;
namespace sys = people_file_system;

constexpr std::string_view Header = "kolvex-people ";
constexpr std::string_view DefaultMark = "*";
constexpr std::string_view DateRange = "a date from 0001-01-01 to 2099-12-31";
constexpr std::chrono::milliseconds LockWait(5000);

std::string Utf8(const fs::path &path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

fs::path Beside(const fs::path &file, std::string_view suffix) {
  fs::path path = file;
  path += suffix;
  return path;
}

// True for well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates or code
// points above U+10FFFF.
bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) {
      return false;
    }
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        return false;
      }
      code = code << 6 | (next & 0x3F);
    }
    constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < Least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string NameProblem(std::string_view name) {
  if (name.empty()) {
    return "the name is empty";
  }
  if (!IsUtf8(name)) {
    return "the name is not valid UTF-8";
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    // C1 controls, U+0080 to U+009F, are C2 80 to C2 9F.
    const bool c1 =
        byte == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) < 0xA0;
    if (byte < 0x20 || byte == 0x7F || c1) {
      return "the name holds a tab, a line break or another control character";
    }
  }
  if (name.front() == ' ' || name.back() == ' ') {
    return "the name has spaces at its ends";
  }
  return {};
}

std::string FormatDate(const BirthDate &date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// A date written as YYYY-MM-DD that the chart can take.
std::optional<BirthDate> ParseDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  int numbers[3] = {};
  const std::size_t starts[3] = {0, 5, 8}, ends[3] = {4, 7, 10};
  for (int n = 0; n < 3; ++n) {
    for (std::size_t i = starts[n]; i < ends[n]; ++i) {
      if (text[i] < '0' || text[i] > '9') {
        return std::nullopt;
      }
      numbers[n] = numbers[n] * 10 + (text[i] - '0');
    }
  }
  const BirthDate date{numbers[2], numbers[1], numbers[0]};
  return IsChartable(date) ? std::optional(date) : std::nullopt;
}

// The version in a first line "kolvex-people N", N a number from 1 without leading zeros.
std::optional<int> ParseHeader(std::string_view line) {
  if (!line.starts_with(Header) || line.size() == Header.size() ||
      line.size() > Header.size() + 6 || line[Header.size()] == '0') {
    return std::nullopt;
  }
  int version = 0;
  for (const char c : line.substr(Header.size())) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    version = version * 10 + (c - '0');
  }
  return version;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos;) {
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

PeopleFileContent Failure(const fs::path &file, int line, std::string reason) {
  return {{}, false, PeopleFileError{file, line, std::move(reason)}};
}

// Holds the file's lock for as long as it lives, unless `error` says why it could not take it.
struct HeldLock {
  std::optional<sys::FileLock> lock;
  std::optional<PeopleFileError> error;

  explicit HeldLock(const fs::path &file) {
    if (const std::string reason = sys::MakeFolder(file.parent_path()); !reason.empty()) {
      error = PeopleFileError{file.parent_path(), 0, "cannot create the folder: " + reason};
      return;
    }
    const fs::path lockFile = Beside(file, ".lock");
    lock.emplace(lockFile);
    const bool taken = lock->Error().empty() && lock->Take(LockWait);
    if (!lock->Error().empty()) {
      error = PeopleFileError{lockFile, 0, "cannot lock the list: " + lock->Error()};
    } else if (!taken) {
      error = PeopleFileError{lockFile, 0,
                              "another program is changing the list and has not finished in " +
                                  std::to_string(LockWait.count() / 1000) + " seconds"};
    }
  }
};

// Writes the list beside the file and puts it in the file's place, so the file is whole, old or
// new, whatever happens meanwhile.
std::optional<PeopleFileError> Write(const fs::path &file, const PeopleList &list) {
  const fs::path temporary = Beside(file, ".new");
  std::string reason = sys::WriteNewFile(temporary, FormatPeopleFile(list));
  if (reason.empty()) {
    if (sys::beforeReplace != nullptr) {
      sys::beforeReplace();
    }
    reason = sys::PutInPlace(temporary, file);
  }
  if (reason.empty()) {
    return std::nullopt;
  }
  std::error_code ignored;
  fs::remove(temporary, ignored);
  return PeopleFileError{file, 0, "cannot write the list: " + reason};
}

// "people.txt.damaged-20261210-013000", or with "-2", "-3"... when that name is taken.
fs::path DamagedName(const fs::path &file) {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const year_month_day date(floor<days>(now));
  const hh_mm_ss time(now - floor<days>(now));
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, ".damaged-%04d%02u%02u-%02ld%02ld%02ld", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), long(time.hours().count()),
                long(time.minutes().count()), long(time.seconds().count()));
  fs::path name = Beside(file, stamp);
  std::error_code ignored;
  for (int n = 2; fs::exists(name, ignored); ++n) {
    std::string numbered = stamp;
    numbered += '-';
    numbered += std::to_string(n);
    name = Beside(file, numbered);
  }
  return name;
}

} // namespace

std::string PeopleFileError::Message() const {
  // Appended piece by piece: MinGW's GCC 12 warns falsely (-Wrestrict) on a chain of + here.
  std::string text = Utf8(file);
  if (line > 0) {
    text += ':';
    text += std::to_string(line);
  }
  text += ": ";
  text += reason;
  return text;
}

fs::path PeopleFilePath() {
  const fs::path folder = sys::DataFolder();
  return folder.empty() ? folder : folder / "kolvex" / "people.txt";
}

std::string PersonProblem(const Person &person) {
  if (std::string problem = NameProblem(person.name); !problem.empty()) {
    return problem;
  }
  return IsChartable(person.birth) ? "" : "the birth date is not " + std::string(DateRange);
}

std::string FormatPeopleFile(const PeopleList &list) {
  std::string text = std::string(Header) + std::to_string(PeopleFileVersion) + '\n';
  for (std::size_t i = 0; i < list.people.size(); ++i) {
    if (list.defaultIndex == i) {
      text += std::string(DefaultMark) + '\t';
    }
    text += FormatDate(list.people[i].birth) + '\t' + list.people[i].name + '\n';
  }
  return text;
}

PeopleFileContent ParsePeopleFile(std::string_view text, const fs::path &file) {
  if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);
  }
  PeopleFileContent content;
  int defaultLine = 0;
  int number = 0;
  while (!text.empty() || number == 0) {
    ++number;
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    if (!IsUtf8(line)) {
      return Failure(file, number, "invalid UTF-8");
    }
    if (number == 1) {
      const std::optional<int> version = ParseHeader(line);
      if (!version) {
        return Failure(file, 1,
                       "the first line is not \"" + std::string(Header) +
                           std::to_string(PeopleFileVersion) + "\"");
      }
      content.newer = *version > PeopleFileVersion;
      continue;
    }
    if (line.empty()) {
      continue;
    }
    std::vector<std::string_view> fields = Fields(line);
    const bool isDefault = fields.front() == DefaultMark;
    if (isDefault) {
      fields.erase(fields.begin());
    }
    // A later version may add fields after the name; this one knows of none.
    if (fields.size() < 2 || (fields.size() > 2 && !content.newer)) {
      return Failure(file, number, "not a date, a tab and a name");
    }
    const std::optional<BirthDate> date = ParseDate(fields[0]);
    if (!date) {
      std::string reason = "\"";
      reason += fields[0];
      reason += "\" is not ";
      reason += DateRange;
      return Failure(file, number, reason);
    }
    if (std::string problem = NameProblem(fields[1]); !problem.empty()) {
      return Failure(file, number, std::move(problem));
    }
    if (isDefault && defaultLine > 0) {
      return Failure(file, number,
                     "a second default person (the first is on line " +
                         std::to_string(defaultLine) + ")");
    }
    if (isDefault) {
      defaultLine = number;
      content.list.defaultIndex = content.list.people.size();
    }
    content.list.people.push_back({std::string(fields[1]), *date});
  }
  return content;
}

PeopleFileContent ReadPeopleFile(const fs::path &file) {
  std::string reason;
  const std::optional<std::string> bytes = sys::ReadBytes(file, reason);
  if (!reason.empty()) {
    return Failure(file, 0, "cannot read the list: " + reason);
  }
  return bytes ? ParsePeopleFile(*bytes, file) : PeopleFileContent{};
}

PeopleFileContent ChangePeopleFile(const fs::path &file,
                                   const std::function<void(PeopleList &)> &change) {
  const HeldLock lock(file);
  if (lock.error) {
    return {{}, false, lock.error};
  }
  PeopleFileContent content = ReadPeopleFile(file);
  if (content.error) {
    return content;
  }
  if (content.newer) {
    return Failure(file, 0,
                   "written by a later version of Kolvex, which this one does not rewrite");
  }
  change(content.list);
  for (std::size_t i = 0; i < content.list.people.size(); ++i) {
    if (std::string problem = PersonProblem(content.list.people[i]); !problem.empty()) {
      return Failure(file, 0, "cannot keep person " + std::to_string(i + 1) + ": " + problem);
    }
  }
  if (content.list.defaultIndex >= content.list.people.size()) {
    return Failure(file, 0, "the default person is not in the list");
  }
  if (std::optional<PeopleFileError> error = Write(file, content.list)) {
    return {{}, false, std::move(error)};
  }
  return content;
}

NewListResult StartNewList(const fs::path &file) {
  const HeldLock lock(file);
  if (lock.error) {
    return {{}, lock.error};
  }
  NewListResult result;
  std::error_code error;
  const bool there = fs::exists(file, error);
  if (error) {
    return {{}, PeopleFileError{file, 0, "cannot look for the list: " + error.message()}};
  }
  if (there) {
    result.keptAs = DamagedName(file);
    fs::rename(file, result.keptAs, error);
    if (error) {
      return {{}, PeopleFileError{file, 0, "cannot rename the list: " + error.message()}};
    }
  }
  result.error = Write(file, {});
  return result;
}

} // namespace kolvex
