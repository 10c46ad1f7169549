#include "people/people_file.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "people/people_file_system.h"

namespace kolvex {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path &file) {
  std::ostringstream bytes;
  bytes << std::ifstream(file, std::ios::binary).rdbuf();
  return bytes.str();
}

unsigned Mode(const fs::path &path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 0777;
}

PeopleFileContent Read(PeopleList list, bool newer = false) {
  return {std::move(list), newer, std::nullopt};
}

PeopleFileContent Add(const fs::path &file, const Person &person) {
  return ChangePeopleFile(file, [&](PeopleList &list) { list.people.push_back(person); });
}

// A test's own folder, its list file in a "kolvex" folder not made yet.
class PeopleFile : public ::testing::Test {
protected:
  const fs::path folder =
      fs::temp_directory_path() / ("kolvex-people-" + std::to_string(getpid()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  const fs::path file = folder / "kolvex" / "people.txt";

  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { fs::remove_all(folder); }
  void Put(std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
};

TEST_F(PeopleFile, KeepsEveryListAsItWasGiven) {
  EXPECT_EQ(PeopleFileContent{}, ReadPeopleFile(file));
  EXPECT_FALSE(fs::exists(file.parent_path())); // reading makes nothing
  PeopleList thousand;
  for (int i = 0; i < 1000; ++i) {
    thousand.people.push_back({"Человек " + std::to_string(i), {1 + i % 28, 1 + i % 12, 1 + i}});
  }
  thousand.defaultIndex = 999;
  const PeopleList lists[] = {
      {{{"Иван Петров", {17, 9, 1974}}}, 0},
      {{{"*", {1, 1, 1}},
        {"* Звёздочка", {31, 12, 2099}},
        {"\"O'Brien\" \\n «Ёлка»", {29, 2, 2000}},
        {"李小龍 🎂", {27, 11, 1940}}},
       1},
      thousand,
      {},
  };
  for (const PeopleList &list : lists) {
    EXPECT_EQ(Read(list), ChangePeopleFile(file, [&](PeopleList &l) { l = list; }));
    EXPECT_EQ(Read(list), ReadPeopleFile(file));
    EXPECT_EQ(0600u, Mode(file));
    EXPECT_EQ(0700u, Mode(file.parent_path()));
    EXPECT_FALSE(fs::exists(file.string() + ".new"));
  }
}

TEST_F(PeopleFile, ReadsWhatAHandOrALaterVersionWrote) {
  const struct Case {
    const char *text;
    PeopleFileContent content;
  } cases[] = {
      {"kolvex-people 1", Read({})},
      {"\xEF\xBB\xBFkolvex-people 1\r\n1974-09-17\tИван\r\n\r\n*\t2000-02-29\tМария",
       Read({{{"Иван", {17, 9, 1974}}, {"Мария", {29, 2, 2000}}}, 1})},
      {"kolvex-people 12\n*\t1974-09-17\tИван\tон же Ваня\n",
       Read({{{"Иван", {17, 9, 1974}}}, 0}, true)},
  };
  for (const Case &c : cases) {
    Put(c.text);
    EXPECT_EQ(c.content, ReadPeopleFile(file)) << c.text;
    if (c.content.newer) {
      EXPECT_EQ("written by a later version of Kolvex, which this one does not rewrite",
                Add(file, {"Пётр", {1, 1, 2000}}).error->reason);
      EXPECT_EQ(c.text, Bytes(file));
    }
  }
}

TEST_F(PeopleFile, KeepsADamagedFileAndNamesItsFault) {
  const std::string range = " is not a date from 0001-01-01 to 2099-12-31";
  const std::string control = "the name holds a tab, a line break or another control character";
  const struct Case {
    std::string text;
    int line;
    std::string reason;
  } cases[] = {
      {"", 1, "the first line is not \"kolvex-people 1\""},
      {"kolvex-people 0\n", 1, "the first line is not \"kolvex-people 1\""},
      {"kolvex-people 01\n", 1, "the first line is not \"kolvex-people 1\""},
      {"Kolvex-people 1\n", 1, "the first line is not \"kolvex-people 1\""},
      {"kolvex-people 1\n1974-09-17 Иван\n", 2, "not a date, a tab and a name"},
      {"kolvex-people 1\n1974-09-17\tИван\tВаня\n", 2, "not a date, a tab and a name"},
      {"kolvex-people 1\n+\t1974-09-17\tИван\n", 2, "not a date, a tab and a name"},
      {"kolvex-people 1\n1974-02-30\tИван\n", 2, "\"1974-02-30\"" + range},
      {"kolvex-people 1\n0000-01-01\tИван\n", 2, "\"0000-01-01\"" + range},
      {"kolvex-people 1\n2100-01-01\tИван\n", 2, "\"2100-01-01\"" + range},
      {"kolvex-people 1\n17.09.1974\tИван\n", 2, "\"17.09.1974\"" + range},
      {"kolvex-people 1\n1974-09-17\t\n", 2, "the name is empty"},
      {"kolvex-people 1\n1974-09-17\t Иван\n", 2, "the name has spaces at its ends"},
      {"kolvex-people 1\n1974-09-17\tИван\x01\n", 2, control},
      {"kolvex-people 1\n1974-09-17\tИван\rПётр\n", 2, control},
      {"kolvex-people 1\n1974-09-17\tИван\xC2\x85\n", 2, control},
      {"kolvex-people 1\n1974-09-17\tИв\xFF\n", 2, "invalid UTF-8"},
      {"kolvex-people 1\n1974-09-17\t\xC0\xAF\n", 2, "invalid UTF-8"},
      {"kolvex-people 1\n1974-09-17\t\xED\xA0\x80\n", 2, "invalid UTF-8"},
      {"kolvex-people 1\n1974-09-17\t\xD0\n", 2, "invalid UTF-8"},
      {"kolvex-people 1\n*\t1974-09-17\tА\n\n*\t1975-09-17\tБ\n", 4,
       "a second default person (the first is on line 2)"},
      {"kolvex-people 7\nчто-то новое\n", 2, "not a date, a tab and a name"},
  };
  for (const Case &c : cases) {
    Put(c.text);
    const PeopleFileError error{file, c.line, c.reason};
    EXPECT_EQ(error, ReadPeopleFile(file).error) << c.text;
    EXPECT_EQ(error, Add(file, {"Пётр", {1, 1, 2000}}).error) << c.text;
    EXPECT_EQ(c.text, Bytes(file));
    const NewListResult fresh = StartNewList(file);
    EXPECT_FALSE(fresh.error);
    EXPECT_EQ(c.text, Bytes(fresh.keptAs));
    EXPECT_EQ(PeopleFileContent{}, ReadPeopleFile(file));
  }
  EXPECT_EQ(std::ssize(cases) + 2, std::distance(fs::directory_iterator(file.parent_path()), {}));
  EXPECT_EQ(file.string() + ":3: the name is empty",
            (PeopleFileError{file, 3, "the name is empty"}.Message()));
}

TEST_F(PeopleFile, RefusesToWriteAPersonItCouldNotReadBack) {
  const struct Case {
    PeopleList list;
    std::string reason;
  } cases[] = {
      {{{{"Иван\tПетров", {17, 9, 1974}}}, {}},
       "cannot keep person 1: " +
           std::string("the name holds a tab, a line break or another control character")},
      {{{{"Иван", {17, 9, 1974}}, {"", {17, 9, 1974}}}, {}},
       "cannot keep person 2: the name is empty"},
      {{{{"Иван", {29, 2, 1974}}}, {}},
       "cannot keep person 1: the birth date is not a date from 0001-01-01 to 2099-12-31"},
      {{{{"Иван", {17, 9, 1974}}}, 1}, "the default person is not in the list"},
  };
  Add(file, {"Пётр", {1, 1, 2000}});
  const std::string before = Bytes(file);
  for (const Case &c : cases) {
    EXPECT_EQ(c.reason, ChangePeopleFile(file, [&](PeopleList &l) { l = c.list; }).error->reason);
    EXPECT_EQ(before, Bytes(file));
  }
}

TEST(PeopleFilePath, FollowsXdgDataHomeWhenAbsolute) {
  const struct Case {
    const char *xdg;
    const char *path;
  } cases[] = {
      {"/x/data", "/x/data/kolvex/people.txt"},
      {"x/data", "/home/u/.local/share/kolvex/people.txt"},
      {"", "/home/u/.local/share/kolvex/people.txt"},
      {nullptr, "/home/u/.local/share/kolvex/people.txt"},
  };
  const std::string home = std::getenv("HOME");
  setenv("HOME", "/home/u", 1);
  for (const Case &c : cases) {
    c.xdg != nullptr ? setenv("XDG_DATA_HOME", c.xdg, 1) : unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(fs::path(c.path), PeopleFilePath());
  }
  setenv("HOME", home.c_str(), 1);
}

// Two processes adding at once: each change is made on the other's last list.
TEST_F(PeopleFile, TwoWritersLoseNoChange) {
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    if ((children[c] = fork()) == 0) {
      for (int i = 0; i < 200; ++i) {
        if (Add(file, {std::to_string(c) + " " + std::to_string(i), {1, 1, 2000}}).error) {
          _exit(1);
        }
      }
      _exit(0);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const PeopleList list = ReadPeopleFile(file).list;
  ASSERT_EQ(400u, list.people.size());
  int next[2] = {0, 0};
  for (const Person &person : list.people) {
    const int c = person.name[0] - '0';
    EXPECT_EQ(std::to_string(c) + " " + std::to_string(next[c]++), person.name);
  }
}

// A writer that cannot write, or is killed before its list takes the file's place, leaves the
// old list, and its lock free.
TEST_F(PeopleFile, AWriterKilledLeavesTheListWhole) {
  const PeopleFileContent before = Add(file, {"Иван", {17, 9, 1974}});
  fs::create_directories(file.string() + ".new/in-the-way");
  EXPECT_EQ(file.string() + ": cannot write the list: Is a directory",
            Add(file, {"Пётр", {1, 1, 2000}}).error->Message());
  EXPECT_EQ(before, ReadPeopleFile(file));
  fs::remove_all(file.string() + ".new");
  const pid_t child = fork();
  if (child == 0) {
    people_file_system::beforeReplace = [] { raise(SIGKILL); };
    Add(file, {"Пётр", {1, 1, 2000}});
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(before, ReadPeopleFile(file));
  EXPECT_EQ(2u, Add(file, {"Мария", {1, 1, 2000}}).list.people.size());
}

} // namespace
} // namespace kolvex
