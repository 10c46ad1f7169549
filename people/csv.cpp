#include "people/csv.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kolvex {

namespace {

// Beyond these a field's text and a row's fields are dropped unread: address books write about a
// hundred columns and no name or date is that long. They bound the memory a line of any length
// takes.
constexpr std::size_t MaxFieldBytes = 64 * 1024;
constexpr std::size_t MaxFields = 1024;

struct Field {
  std::size_t line = 0; // where it begins
  std::string text;
};

// The rows of the file, fields unquoted ("a ""b""" -> a "b"), line breaks inside quotes kept.
class RowReader {
public:
  RowReader(std::string_view bytes, char separator) : bytes_(bytes), separator_(separator) {}

  bool AtEnd() const { return pos_ >= bytes_.size(); }

  std::vector<Field> Next() {
    std::vector<Field> row;
    Field field{line_, {}};
    bool quoted = false;
    const auto add = [&](char c) {
      if (field.text.size() < MaxFieldBytes)
        field.text += c;
    };
    for (; pos_ < bytes_.size(); ++pos_) {
      const char c = bytes_[pos_];
      if (c == '\n')
        ++line_;
      if (quoted) {
        if (c != '"')
          add(c);
        else if (pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '"')
          add(bytes_[pos_++]);
        else
          quoted = false;
      } else if (c == '"') {
        quoted = true;
      } else if (c == separator_ || c == '\n') {
        if (row.size() < MaxFields)
          row.push_back(std::move(field));
        field = {line_, {}};
        if (c == '\n') {
          ++pos_;
          return row;
        }
      } else if (c != '\r') {
        add(c);
      }
    }
    row.push_back(std::move(field));
    return row;
  }

private:
  std::string_view bytes_;
  char separator_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

// The separator the first line (outside quotes) holds most of: semicolon or comma; semicolon
// when they tie, since names hold commas ("Lee, Ann;17.09.1974") and dates neither.
char DetectSeparator(std::string_view bytes) {
  std::size_t commas = 0, semicolons = 0;
  bool quoted = false;
  for (const char c : bytes) {
    if (c == '"')
      quoted = !quoted;
    else if (quoted)
      continue;
    else if (c == '\n')
      break;
    commas += c == ',';
    semicolons += c == ';';
  }
  return semicolons > 0 && semicolons >= commas ? ';' : ',';
}

std::string Lower(std::string_view text) {
  std::string lower;
  for (const char c : text)
    lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return lower;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The columns of a header row: a whole name, or its parts, and the birthday.
struct Columns {
  std::optional<std::size_t> name, birthday;
  std::vector<std::size_t> parts; // given, additional, family

  static std::optional<Columns> FromHeader(const std::vector<Field> &row) {
    Columns columns;
    std::optional<std::size_t> given, additional, family;
    for (std::size_t i = 0; i < row.size(); ++i) {
      // Outlook names its columns in the language of Windows: English and Russian are read.
      const std::string title = Lower(row[i].text);
      if (title == "name")
        columns.name = i;
      else if (title == "given name" || title == "first name" || title == "Имя")
        given = i;
      else if (title == "additional name" || title == "middle name" || title == "Отчество")
        additional = i;
      else if (title == "family name" || title == "last name" || title == "Фамилия")
        family = i;
      else if (title == "birthday" || title == "День рождения")
        columns.birthday = i;
    }
    for (const auto part : {given, additional, family})
      if (part)
        columns.parts.push_back(*part);
    if (!columns.name && columns.parts.empty() && !columns.birthday)
      return std::nullopt;
    return columns;
  }

  std::string Name(const std::vector<Field> &row) const {
    if (name && *name < row.size() && !IsBlank(row[*name].text))
      return row[*name].text;
    std::string joined;
    for (const std::size_t part : parts)
      if (part < row.size())
        joined += row[part].text + " ";
    return joined;
  }
};

} // namespace

ImportFile ReadCsv(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    bytes.remove_prefix(3);
  ImportFile file;
  RowReader rows(bytes, DetectSeparator(bytes));
  std::optional<Columns> columns;
  bool first = true;
  while (!rows.AtEnd()) {
    const std::vector<Field> row = rows.Next();
    if (std::exchange(first, false) && (columns = Columns::FromHeader(row)))
      continue;
    // A plain file: the name, then the date.
    const Columns plain{0, 1, {}};
    const Columns &use = columns ? *columns : plain;
    const std::string name = use.Name(row);
    const std::size_t dateColumn = use.birthday.value_or(row.size());
    const Field date = dateColumn < row.size() ? row[dateColumn] : Field{row[0].line, {}};
    // Outlook writes 0/0/00 for no birthday.
    if (IsBlank(date.text) || date.text == "0/0/00") {
      file.withoutBirthday += !IsBlank(name);
      continue;
    }
    if (file.records.size() >= MaxRecords) {
      file.records.push_back(Refused(date.line, RecordProblem::TooManyRecords));
      break;
    }
    if (const std::optional<BirthDate> birth = ReadBirthday(date.text))
      file.records.push_back(CheckRecord(date.line, name, *birth));
    else
      file.records.push_back(Refused(date.line, RecordProblem::NotADate, date.text));
  }
  return file;
}

} // namespace kolvex
