#pragma once

// The file that keeps the list of people: where it lies, how it is read, and how it is changed by
// one writer at a time, whole or not at all. It is written only when the user changes the list.
//
// The text (UTF-8): a first line "kolvex-people 1", then one person a line, "YYYY-MM-DD<TAB>NAME",
// the default person's line starting with a field "*" ("*<TAB>YYYY-MM-DD<TAB>NAME"). Empty lines
// and CR LF line ends are accepted when reading.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "people/person.h"

namespace kolvex {

// The version this program writes; a file of a later one is read but never rewritten.
inline constexpr int PeopleFileVersion = 1;

// What is wrong with the file, for the user: "FILE:LINE: reason", or "FILE: reason" when the
// trouble is not on one line.
struct PeopleFileError {
  std::filesystem::path file;
  int line = 0; // 1 for the first line; 0 when no line is to blame
  std::string reason;

  std::string Message() const;
  friend bool operator==(const PeopleFileError &, const PeopleFileError &) = default;
};

struct PeopleFileContent {
  PeopleList list;
  bool newer = false;                   // written by a later Kolvex: read, but not to be rewritten
  std::optional<PeopleFileError> error; // when set, the list is empty and the file is untouched

  friend bool operator==(const PeopleFileContent &, const PeopleFileContent &) = default;
};

// $XDG_DATA_HOME/kolvex/people.txt (when that variable is an absolute path), else
// ~/.local/share/kolvex/people.txt; on Windows %APPDATA%\kolvex\people.txt. Empty when the system
// names no such folder.
std::filesystem::path PeopleFilePath();

// The list in the file; an empty list when there is no file (nothing is created).
PeopleFileContent ReadPeopleFile(const std::filesystem::path &file);

// Takes the file's lock, reads the file again, applies `change` and writes the list back, so that
// two programs changing it at once lose nothing. Refuses, leaving the file as it is, when the file
// cannot be read, is of a later version, when the lock stays taken for a few seconds, or when the
// changed list holds a person the file cannot keep. Returns the list as written.
PeopleFileContent ChangePeopleFile(const std::filesystem::path &file,
                                   const std::function<void(PeopleList &)> &change);

struct NewListResult {
  std::filesystem::path keptAs; // where the old file now lies; empty when there was none
  std::optional<PeopleFileError> error;
};

// Keeps the file that is there (damaged, most likely) beside it as
// "people.txt.damaged-YYYYMMDD-HHMMSS" (UTC; "-2", "-3"... when taken) and writes an empty list.
NewListResult StartNewList(const std::filesystem::path &file);

// The file's text for a list, and the list in a file's text; `file` names it in errors.
std::string FormatPeopleFile(const PeopleList &list);
PeopleFileContent ParsePeopleFile(std::string_view text, const std::filesystem::path &file);

// Why a person cannot be kept in the file, or an empty text when it can.
std::string PersonProblem(const Person &person);

} // namespace kolvex
