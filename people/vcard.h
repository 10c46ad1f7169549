#pragma once

// vCard 2.1, 3.0 and 4.0 as address books write them, read for names and birthdays; and the list
// written as vCard 4.0 for them (and for Kolvex) to read back.

#include <string>
#include <string_view>

#include "people/people_import.h"
#include "people/person.h"

namespace kolvex {

// Every card of the file: a record for each card with a birthday, a count of those without.
ImportFile ReadVCards(std::string_view bytes);

// The list as vCard 4.0: FN, BDAY and, on the default, X-KOLVEX-DEFAULT:1; CRLF line ends and
// lines folded at 75 octets, never inside a UTF-8 character.
std::string WriteVCards(const PeopleList &list);

} // namespace kolvex
