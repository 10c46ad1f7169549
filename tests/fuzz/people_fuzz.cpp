// libFuzzer target for an address book reader (KOLVEX_FUZZ_READER: ReadVCards or ReadCsv): on any
// bytes, every person it accepts has a clean name and a date the list takes, and the list merged
// from them is written as vCards that read back unchanged.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "people/csv.h"
#include "people/people_import.h"
#include "people/vcard.h"

namespace {

[[noreturn]] void Fail(const char *what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  using namespace kolvex;
  const ImportFile file =
      KOLVEX_FUZZ_READER(std::string_view(reinterpret_cast<const char *>(data), size));
  PeopleList list;
  PeopleMerger merger(list);
  for (const ImportRecord &record : file.records) {
    if (record.problem != RecordProblem::None)
      continue;
    // A clean name comes out of the check unchanged.
    const ImportRecord again = CheckRecord(record.line, record.person.name, record.person.birth);
    if (again.problem != RecordProblem::None || again.person != record.person)
      Fail("an accepted record does not pass the check again");
    if (record.person.birth.year != 0)
      merger.Add(record.person);
  }
  const std::string cards = WriteVCards(list);
  PeopleList back;
  Import(back, "f", cards);
  if (back != list)
    Fail("the list written as vCards reads back otherwise");
  return 0;
}
