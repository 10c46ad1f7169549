#pragma once

// The people the user remembers: a name and a birth date each, in the user's order, one of them
// perhaps the default that the input window opens with. Standard C++ only: the window and
// kolvex-chart share it.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kolvex {

// A birth date as the chart takes it; `year` is 0 while an imported birthday has no year yet.
struct BirthDate {
  int day = 0;
  int month = 0; // 1 = January ... 12 = December
  int year = 0;

  friend bool operator==(const BirthDate &, const BirthDate &) = default;
};

struct Person {
  std::string name; // UTF-8, trimmed, no control characters, never empty
  BirthDate birth;  // a date the chart can be computed for (IsChartable)

  friend bool operator==(const Person &, const Person &) = default;
};

struct PeopleList {
  std::vector<Person> people;              // the user's order
  std::optional<std::size_t> defaultIndex; // into people

  friend bool operator==(const PeopleList &, const PeopleList &) = default;
};

// True when the chart can be computed for the date: it exists and its year lies in 1..2099.
bool IsChartable(const BirthDate &date) noexcept;

} // namespace kolvex
