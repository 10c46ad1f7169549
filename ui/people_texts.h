#pragma once

// How the windows name a remembered person, in menus, in messages and to a screen reader, and
// what they share about the list's file.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>

#include <QString>

#include "people/people_file.h"
#include "people/person.h"

namespace kolvex {

// "17 сентября 1974".
QString BirthText(const BirthDate &birth);

// "NAME, 17 сентября 1974".
QString PersonText(const Person &person);

// What adding `person` to a list came to, `added` being what Add returned: "Запомнено: ...",
// or under which name, or that they were there already.
QString AddedText(const Person &person, const PeopleList &list, std::optional<std::size_t> added);

// A name as a menu entry's text: an ampersand stays an ampersand instead of marking a shortcut.
QString MenuEntryText(const Person &person);

// Why the list cannot be used, for the user; empty when it can. A newer list is read but never
// rewritten, so it counts as one that cannot be changed.
QString ListProblem(const PeopleFileContent &content, const std::filesystem::path &file);

// The list in the file; an empty list when the system names no folder for it.
PeopleFileContent ReadPeopleList(const std::filesystem::path &file);

// How long a read or a change of the file may take before the disk is said to hang: longer than
// the file's own wait for its lock, after which a change gives up by itself.
inline constexpr std::chrono::seconds PeopleFileBound{8};

inline const QString ListBusyText =
    QStringLiteral("Список людей ещё читается или пишется; попробуйте позже");
inline const QString DiskHangsText =
    QStringLiteral("Список людей пока не записан: диск не отвечает");

} // namespace kolvex
