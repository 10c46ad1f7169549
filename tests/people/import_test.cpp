#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "people/csv.h"
#include "people/people_import.h"
#include "people/vcard.h"

namespace kolvex {
namespace {

std::string Date(BirthDate birth) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", birth.year, birth.month, birth.day);
  return text;
}

// One line a record: "line: name date", or "line: reason"; then the cards or rows without a
// birthday.
std::string Shown(const ImportFile &file) {
  std::string text;
  for (const ImportRecord &record : file.records)
    text += std::to_string(record.line) + ": " +
            (record.problem == RecordProblem::None
                 ? record.person.name + " " + Date(record.person.birth) +
                       (record.isDefault ? " default" : "")
                 : DescribeProblem(record.problem, record.detail)) +
            "\n";
  return text + "no birthday: " + std::to_string(file.withoutBirthday);
}

std::string Names(const PeopleList &list) {
  std::string text;
  for (std::size_t i = 0; i < list.people.size(); ++i)
    text += list.people[i].name + " " + Date(list.people[i].birth) +
            (list.defaultIndex == i ? " default" : "") + "\n";
  return text;
}

TEST(ReadBirthday, TakesTheFormsAddressBooksWrite) {
  const std::vector<std::pair<std::string_view, std::optional<BirthDate>>> cases{
      {"19740917", BirthDate{17, 9, 1974}},
      {"1974-09-17", BirthDate{17, 9, 1974}},
      {" 1974-09-17T00:00:00Z ", BirthDate{17, 9, 1974}},
      {"19740917T120000", BirthDate{17, 9, 1974}},
      {"--0917", BirthDate{17, 9, 0}},
      {"--09-17", BirthDate{17, 9, 0}},
      {"17.09.1974", BirthDate{17, 9, 1974}},
      {"8.3.1970", BirthDate{8, 3, 1970}},
      {"9/17/1974", BirthDate{17, 9, 1974}},
      {"12/31/2001", BirthDate{31, 12, 2001}},
      {"1974-02-31", BirthDate{31, 2, 1974}}, // checked later, with its line
      {"0000-01-01", BirthDate{1, 1, 0}},
      {"1974-0917", std::nullopt},
      {"197409-17", std::nullopt},
      {"1974-9-17", std::nullopt},
      {"17.09.74", std::nullopt},
      {"9/17", std::nullopt},
      {"-0917", std::nullopt},
      {"19740917x", std::nullopt},
      {"", std::nullopt},
      {"вчера", std::nullopt},
  };
  for (const auto &[text, expected] : cases)
    EXPECT_EQ(expected, ReadBirthday(text)) << text;
}

TEST(CheckRecord, CleansNamesAndRefusesWhatTheChartCannotTake) {
  const std::vector<std::tuple<std::string, BirthDate, std::string>> cases{
      {"  Анна\t Иванова\r\n", {17, 9, 1974}, "7: Анна Иванова 1974-09-17"},
      {"a\x01\x7F\xC2\x85\u2028b", {29, 2, 0}, "7: a b 0000-02-29"},
      {"\xD0", {1, 1, 2000}, "7: the name is not valid UTF-8"},
      {"\xC0\xAF", {1, 1, 2000}, "7: the name is not valid UTF-8"},
      {"\xED\xA0\x80", {1, 1, 2000}, "7: the name is not valid UTF-8"},
      {" \t", {1, 1, 2000}, "7: no name"},
      {std::string(1001, 'x'), {1, 1, 2000}, "7: the name is longer than 1000 bytes"},
      {"Ann", {31, 2, 1974}, "7: the birthday 1974-02-31 is not a real date from year 1 to 2099"},
      {"Ann", {1, 1, 2100}, "7: the birthday 2100-01-01 is not a real date from year 1 to 2099"},
      {"Ann", {30, 2, 0}, "7: the birthday --02-30 is not a real date from year 1 to 2099"},
      {"Ann", {1, 13, 0}, "7: the birthday --13-01 is not a real date from year 1 to 2099"},
      {"Ann", {1, 1, 1}, "7: Ann 0001-01-01"},
  };
  for (const auto &[name, birth, expected] : cases)
    EXPECT_EQ(expected + "\nno birthday: 0", Shown({{CheckRecord(7, name, birth)}, 0}));
}

TEST(ReadVCards, ReadsWhatAddressBooksWriteAndRefusesTheRest) {
  const std::vector<std::pair<std::string_view, std::string>> cases{
      // Folding by CRLF or LF and a space or tab; group prefixes; names case-insensitive.
      {"begin:vcard\r\nfn:Ann\r\n  Lee\r\nitem1.bday:1974\n\t0917\nend:vcard\n",
       "4: Ann Lee 1974-09-17\n"},
      {"BEGIN:VCARD\nN:Lee;Ann;Maria;Dr.;\nBDAY:1974-09-17\nEND:VCARD", "3: Ann Lee 1974-09-17\n"},
      {"BEGIN:VCARD\nFN:\nN:Lee\\;Kim;;;\nBDAY:1974-09-17\nEND:VCARD", "4: Lee;Kim 1974-09-17\n"},
      {"BEGIN:VCARD\nFN:A\\, B\\nC\\\\D\nBDAY:19740917\nX-KOLVEX-DEFAULT:1\nEND:VCARD",
       "3: A, B C\\D 1974-09-17 default\n"},
      {"BEGIN:VCARD\nFN;CHARSET=KOI8-R;ENCODING=QUOTED-PRINTABLE:=E1=CE=CE=C1=\n =F1\nBDAY:--0917\n"
       "END:VCARD",
       "4: Анна Я 0000-09-17\n"},
      {"BEGIN:VCARD\nFN;CHARSET=CP1251:\xC0\xED\xED\xE0\nBDAY:19740917\nEND:VCARD",
       "3: Анна 1974-09-17\n"},
      {"\xEF\xBB\xBF"
       "BEGIN:VCARD\nFN:Ann\nBDAY;X-APPLE-OMIT-YEAR=1604:16040917\nEND:VCARD",
       "3: Ann 0000-09-17\n"},
      {"BEGIN:VCARD\nFN:Ann\nBDAY;X-APPLE-OMIT-YEAR=1604:1974-09-17\nEND:VCARD",
       "3: Ann 1974-09-17\n"},
      // Refusals, each on its own line; the next card is read.
      {"BEGIN:VCARD\nFN;CHARSET=ISO-8859-5:Ann\nBDAY:19740917\nEND:VCARD\n"
       "BEGIN:VCARD\nFN;ENCODING=BASE64:QW5u\nBDAY:19740917\nEND:VCARD\n"
       "BEGIN:VCARD\nFN:\xFF\nBDAY:19740917\nEND:VCARD\n"
       "BEGIN:VCARD\nBDAY:19740917\nEND:VCARD\n"
       "BEGIN:VCARD\nFN:Ann\nBDAY:1974-02-29\nEND:VCARD\n"
       "BEGIN:VCARD\nFN:Ann\nBDAY:soon\nEND:VCARD\n"
       "BEGIN:VCARD\nFN:Ann\nBDAY:1974-09-17\n"
       "BEGIN:VCARD\nFN:Bob\nEND:VCARD\n",
       "2: the charset ISO-8859-5 is not supported (UTF-8, Windows-1251 and KOI8-R are)\n"
       "6: the encoding BASE64 is not supported\n10: the name is not valid UTF-8\n13: no name\n"
       "18: the birthday 1974-02-29 is not a real date from year 1 to 2099\n"
       "22: the birthday \"soon\" is not a date\n24: the card has no END:VCARD\n"},
      // The first BDAY counts; lines outside cards, and unknown properties, are ignored.
      {"junk\nBEGIN:VCARD\nFN:Ann\nBDAY:19740917\nBDAY:19750101\nPHOTO:xyz\nEND:VCARD\nBDAY:1",
       "4: Ann 1974-09-17\n"},
      {"BEGIN:VCARD\nFN:Ann\nBDAY:19740917\nBEGIN:VCARD\nFN:Bob\nBDAY:19750101\nEND:VCARD",
       "1: the card has no END:VCARD\n6: Bob 1975-01-01\n"},
  };
  for (const auto &[bytes, expected] : cases) {
    const ImportFile file = ReadVCards(bytes);
    EXPECT_EQ(expected, Shown(file).substr(0, expected.size())) << bytes;
  }
}

TEST(ReadCsv, ReadsQuotedFieldsAndFindsTheSeparator) {
  const std::vector<std::pair<std::string_view, std::string>> cases{
      {"Lee, Ann;17.09.1974\r\nBob,Lee;--09-17\r\n",
       "1: Lee, Ann 1974-09-17\n2: Bob,Lee 0000-09-17\n"},
      {"\"Lee; Ann\",1974-09-17\n\"A \"\"B\"\"\nC\",1.2.1999\nD,\"\n17.09.1974\"",
       "1: Lee; Ann 1974-09-17\n3: A \"B\" C 1999-02-01\n4: D 1974-09-17\n"},
      {"First Name,Last Name,Birthday\n,Lee,9/17/1974\nAnn,,\n,,\nBob,X,31.02.2000\n",
       "2: Lee 1974-09-17\n5: the birthday 2000-02-31 is not a real date from year 1 to 2099\n"
       "no birthday: 1"},
      {"Name\nAnn\n", "no birthday: 1"},
      {"\"Имя\";\"Отчество\";\"Фамилия\";\"День рождения\"\n\"Анна\";\"\";\"Ли\";\"17.09.1974\"",
       "2: Анна Ли 1974-09-17\n"},
      {"Ann\n", "no birthday: 1"},
  };
  for (const auto &[bytes, expected] : cases) {
    const ImportFile file = ReadCsv(bytes);
    EXPECT_EQ(expected, Shown(file).substr(0, expected.size())) << bytes;
  }
}

TEST(Add, KeepsNamesUniqueAndSkipsWhoIsAlreadyThere) {
  PeopleList list{{{"Ann", {1, 1, 2000}}, {"Bob (2)", {2, 2, 2000}}}, std::nullopt};
  const std::vector<std::pair<Person, std::string>> steps{
      {{"Ann", {1, 1, 2000}}, "already there"},
      {{"Ann", {3, 3, 2000}}, "Ann (2)"},
      {{"Ann", {4, 4, 2000}}, "Ann (3)"},
      {{"Ann", {3, 3, 2000}}, "already there"},
      {{"Ann (2)", {3, 3, 2000}}, "already there"},
      {{"Bob", {2, 2, 2000}}, "already there"},
      {{"Bob", {5, 5, 2000}}, "Bob"},
      {{"Bob", {6, 6, 2000}}, "Bob (3)"},
      {{"Ann (3)", {7, 7, 2000}}, "Ann (3) (2)"},
  };
  for (const auto &[person, expected] : steps) {
    const std::optional<std::size_t> added = Add(list, person);
    EXPECT_EQ(expected, added ? list.people[*added].name : "already there") << person.name;
  }
}

TEST(Import, ManyCardsOfOneNameInWellUnderASecond) {
  std::string cards;
  for (int i = 0; i < 10000; ++i)
    cards += "BEGIN:VCARD\nFN:Ann\nBDAY:" +
             std::to_string((1900 + i / 336) * 10000 + (i / 28 % 12 + 1) * 100 + i % 28 + 1) +
             "\nEND:VCARD\n";
  PeopleList list;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(10000u, Import(list, "f", cards).added);
  EXPECT_EQ(10000u, Import(list, "f", cards).alreadyThere);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ("Ann (10000)", list.people.back().name);
}

TEST(Import, SurvivesHostileFiles) {
  const std::string longLine(10'000'000, 'x');
  const auto times = [](std::string_view text, std::size_t count) {
    std::string repeated;
    while (count-- > 0)
      repeated += text;
    return repeated;
  };
  const std::vector<std::pair<std::string, std::string>> cases{
      {"BEGIN:VCARD\nFN:" + longLine + "\nBDAY:19740917\nEND:VCARD",
       "refused: 1\nf:2: the name is longer than 1000 bytes\n"},
      {"BEGIN:VCARD\nFN:Ann\nBDAY:" + longLine, "refused: 1\nf:1: the card has no END:VCARD\n"},
      {"BEGIN:VCARD\nFN;QUOTED-PRINTABLE:" + std::string(1'000'000, '=') + "\n" + longLine,
       "refused: 1\nf:1: the card has no END:VCARD\n"},
      {"\"" + longLine + ";" + longLine, "refused: 0\n"},
      {std::string(10'000'000, ';'), "refused: 0\n"},
      {times("A;17.09.1974\n", MaxRecords + 1),
       "refused: 1\nf:100001: more than 100000 people: the rest of the file is not read\n"},
      {times("BEGIN:VCARD\nFN:A\nBDAY:19740917\nEND:VCARD\n", MaxRecords + 1),
       "refused: 1\nf:400001: more than 100000 people: the rest of the file is not read\n"},
      {"\xFF\xFE"
       "A\0;\0",
       "refused: 1\nf:1: the file is in UTF-16 or UTF-32; save it as UTF-8\n"},
  };
  for (const auto &[bytes, expected] : cases) {
    PeopleList list;
    const std::string text = SummaryText(Import(list, "f", bytes));
    EXPECT_EQ(expected, text.substr(text.find("refused"))) << bytes.substr(0, 40);
  }
}

std::string Sample(const std::string &name) {
  std::ifstream in(KOLVEX_PEOPLE_SAMPLES "/" + name, std::ios::binary);
  return (std::stringstream() << in.rdbuf()).str();
}

// Each sample as its program writes it: what importing it says, and the list it gives.
TEST(Import, SamplesOfAddressBooksAddOnceAndExportUnchanged) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases{
      {"android-2.1.vcf",
       "added: 2\nalready there: 0\nwithout a birthday: 1\nwithout a year: 1 (Мария Сидорова)\n"
       "refused: 1\nandroid-2.1.vcf:27: the charset ISO-8859-5 is not supported (UTF-8, "
       "Windows-1251 and KOI8-R are)\n",
       "Иван Петров 1974-09-17\nЁлка Новогодняя 2025-12-31\n"},
      {"apple-3.0.vcf",
       "added: 2\nalready there: 0\nwithout a birthday: 0\nwithout a year: 1 (Ada Lovelace)\n"
       "refused: 0\n",
       "Grace Hopper 1906-12-09\nLinus Torvalds 1969-12-28\n"},
      {"evolution-3.0.vcf",
       "added: 2\nalready there: 0\nwithout a birthday: 0\nwithout a year: 0\nrefused: 0\n",
       "Анна-Мария Константинопольская-Заде, младшая 1992-02-29\nАнна Иванова 1985-07-04\n"},
      {"thunderbird-4.0.vcf",
       "added: 1\nalready there: 0\nwithout a birthday: 0\nwithout a year: 1 (Kid)\nrefused: 0\n",
       "Анна Иванова 1985-07-04\n"},
      {"google.csv",
       "added: 1\nalready there: 0\nwithout a birthday: 1\nwithout a year: 1 (Пётр Ильич)\n"
       "refused: 2\ngoogle.csv:6: the birthday 1999-13-01 is not a real date from year 1 to 2099\n"
       "google.csv:7: the birthday 2100-01-01 is not a real date from year 1 to 2099\n",
       "Анна Иванова 1985-07-04\n"},
      {"outlook.csv",
       "added: 2\nalready there: 0\nwithout a birthday: 1\nwithout a year: 0\nrefused: 1\n"
       "outlook.csv:5: the birthday 1990-02-30 is not a real date from year 1 to 2099\n",
       "Grace Brewster Hopper 1906-12-09\nLinus Torvalds 1969-12-28\n"},
      {"plain.txt",
       "added: 4\nalready there: 0\nwithout a birthday: 0\nwithout a year: 1 (Мария)\nrefused: 2\n"
       "plain.txt:3: the birthday 1552-02-31 is not a real date from year 1 to 2099\n"
       "plain.txt:7: the birthday \"вчера\" is not a date\n",
       "Иван Петров 1974-09-17\nАнна Иванова 1985-07-04\nВера Павловна 1970-03-08\n"
       "Иван Петров (2) 1980-01-01\n"},
  };
  PeopleList all;
  for (const auto &[file, summary, people] : cases) {
    PeopleList list;
    EXPECT_EQ(summary, SummaryText(Import(list, file, Sample(file)))) << file;
    EXPECT_EQ(people, Names(list)) << file;
    const ImportSummary again = Import(list, file, Sample(file));
    EXPECT_EQ(0u, again.added) << file;
    EXPECT_EQ(list.people.size(), again.alreadyThere) << file;
    Import(all, file, Sample(file));
  }
  EXPECT_EQ("Иван Петров 1974-09-17\nЁлка Новогодняя 2025-12-31\nGrace Hopper 1906-12-09\n"
            "Linus Torvalds 1969-12-28\nАнна-Мария Константинопольская-Заде, младшая 1992-02-29\n"
            "Анна Иванова 1985-07-04\nGrace Brewster Hopper 1906-12-09\nВера Павловна 1970-03-08\n"
            "Иван Петров (2) 1980-01-01\n",
            Names(all));
  all.defaultIndex = 4;
  PeopleList back;
  Import(back, "f", WriteVCards(all));
  EXPECT_EQ(all, back);
}

TEST(WriteVCards, ImportsBackUnchanged) {
  PeopleList list{
      {{"Ann", {17, 9, 1974}},
       {"Ann (2)", {1, 1, 1}},
       {"A; B, C\\D", {31, 12, 2099}},
       {std::string(40, 'x') + "Ёлка Новогодняя Ёлка Новогодняя Ёлка Новогодняя", {29, 2, 2000}}},
      2};
  const std::string cards = WriteVCards(list);
  const std::string_view first =
      "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann\r\nBDAY:19740917\r\nEND:VCARD\r\n";
  EXPECT_EQ(first, cards.substr(0, first.size()));
  EXPECT_NE(std::string::npos,
            cards.find("FN:A\\; B\\, C\\\\D\r\nBDAY:20991231\r\nX-KOLVEX-DEFAULT:1\r\n"));
  EXPECT_NE(std::string::npos, cards.find("BDAY:00010101\r\n"));
  std::istringstream lines(cards);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 76u) << line; // with its CR
    EXPECT_NE(0x80, line[1] & 0xC0) << line;
  }
  PeopleList back;
  Import(back, "f", cards);
  EXPECT_EQ(list, back);
}

} // namespace
} // namespace kolvex
