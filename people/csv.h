#pragma once

// Address books' CSV exports (Google's, Outlook's) and plain "name;date" files, read for names
// and birthdays.

#include <string_view>

#include "people/people_import.h"

namespace kolvex {

// Every row of the file: a record for each row with a birthday, a count of those without. The
// separator (comma or semicolon) is the one the first line uses most; a first line that names
// known columns (Name, Given Name, First Name, Birthday, ...) is the header.
ImportFile ReadCsv(std::string_view bytes);

} // namespace kolvex
