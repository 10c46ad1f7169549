// The input window: its defaults, the show button, the About box, the people menu, the keyboard,
// minimising and closing, driven as a user would on the offscreen platform.

#include <stdexcept>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "chart/year_chart.h"
#include "tests/ui/recorded_message_boxes.h"
#include "ui/BIOform.h"
#include "ui/biomain.h"
#include "ui/shell.h"

namespace kolvex {
namespace {

using testing::RecordedMessageBoxes;

constexpr Today FakeToday{2026, 3, 15};

// The today that a press of the show button hands on with its chart: the program's today.
Today TodayHandedOn(TForm1 &form1) {
  Today handedOn{1, 1, 1};
  const QMetaObject::Connection connection =
      QObject::connect(&form1, &TForm1::ChartComputed,
                       [&handedOn](const Forecast &, const Today &today) { handedOn = today; });
  form1.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
  QObject::disconnect(connection);
  return handedOn;
}

const Message InvalidData{QString(), QStringLiteral("Неверные данные"), MessageIcon::None};

Message ConversionError(const QString &text) {
  return {QStringLiteral("Kolvex v2.03"),
          QStringLiteral("'%1' is not a valid integer value.").arg(text), MessageIcon::Error};
}

// The program's two windows as main sets them up, with today fixed at FakeToday.
class InputWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    ConnectWindows(form1, form2);
    form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form1));
  }

  template <typename Widget> Widget *Control(const char *name) {
    auto *widget = form1.findChild<Widget *>(QLatin1String(name));
    EXPECT_NE(nullptr, widget) << name;
    return widget;
  }
  QLineEdit *Edit(const char *name) { return Control<QLineEdit>(name); }
  QComboBox *ComboBox1() { return Control<QComboBox>("ComboBox1"); }
  QPushButton *Button1() { return Control<QPushButton>("Button1"); }

  void Fill(const QString &day, int month, const QString &year, const QString &forecast) {
    Edit("Edit1")->setText(day);
    ComboBox1()->setCurrentIndex(month);
    Edit("Edit3")->setText(year);
    Edit("Edit4")->setText(forecast);
  }

  // A key pressed on the keyboard, delivered to the focused control of the active window.
  void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWindow(), key); }

  int ResultWindows() const {
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
      count += qobject_cast<TForm2 *>(window) != nullptr ? 1 : 0;
    }
    return count;
  }

  RecordedMessageBoxes boxes;
  int clockReadings = 0;
  TForm1 form1{[this] {
    ++clockReadings;
    return FakeToday;
  }};
  TForm2 form2;
};

TEST_F(InputWindowTest, OpensWithTheDefaults) {
  EXPECT_EQ(QStringLiteral("Kolvex - расчет биоритмов"), form1.windowTitle());
  EXPECT_EQ(QStringLiteral("17"), Edit("Edit1")->text());
  EXPECT_EQ(QStringLiteral("1974"), Edit("Edit3")->text());
  EXPECT_EQ(QStringLiteral("2026"), Edit("Edit4")->text());
  EXPECT_EQ(8, ComboBox1()->currentIndex());
  EXPECT_EQ(QStringLiteral("сентября"), ComboBox1()->currentText());
  EXPECT_EQ(Edit("Edit1"), QApplication::focusWidget());
  EXPECT_FALSE(form2.isVisible());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(FakeToday, TodayHandedOn(form1));
  EXPECT_EQ(1, clockReadings);
}

TEST_F(InputWindowTest, TheMonthListHoldsTheTwelveMonthsAndTakesNoTyping) {
  QComboBox *months = ComboBox1();
  EXPECT_FALSE(months->isEditable());
  EXPECT_EQ(12, months->count());
  months->showPopup();
  EXPECT_EQ(13, months->view()->visualRect(months->model()->index(11, 0)).height());
  months->hidePopup();
  months->setFocus();
  QTest::keyClicks(months, QStringLiteral("xyz 12"));
  EXPECT_EQ(8, months->currentIndex());
}

TEST_F(InputWindowTest, IsAFixedGrayWindowWithAMinimiseButtonOnly) {
  QWidget *client = form1.centralWidget();
  EXPECT_EQ(QSize(268, 160), client->size());
  EXPECT_EQ(form1.minimumSize(), form1.maximumSize());
  EXPECT_EQ(form1.size(), form1.minimumSize());
  EXPECT_TRUE(form1.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(form1.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  const QImage picture = client->grab().toImage();
  EXPECT_EQ(QColor(128, 128, 128), picture.pixelColor(2, 2));
  EXPECT_EQ(QColor(128, 128, 128), picture.pixelColor(260, 150));
}

TEST_F(InputWindowTest, IsCentredOnTheScreenAtItsFirstShowingOnly) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QSize size = form1.frameGeometry().size();
  EXPECT_EQ(QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2),
            form1.frameGeometry().topLeft());
  form1.move(10, 20);
  form1.hide();
  form1.show();
  EXPECT_EQ(QPoint(10, 20), form1.frameGeometry().topLeft());
}

// What a screen reader names a control: a combo box on Linux is named by its entry, and by the
// label that the labelled-by relation points to.
QString SpokenName(QWidget *widget) {
  QAccessibleInterface *control = QAccessible::queryAccessibleInterface(widget);
  const auto labels = control->relations(QAccessible::Label);
  return labels.isEmpty() ? control->text(QAccessible::Name)
                          : labels.first().first->text(QAccessible::Name);
}

// Each field is named for a screen reader by what it holds; the button by its caption.
TEST_F(InputWindowTest, TabVisitsTheNamedFieldsInReadingOrderThenTheButton) {
  const std::pair<const QWidget *, QString> expected[] = {{ComboBox1(), "Месяц рождения"},
                                                          {Edit("Edit3"), "Год рождения"},
                                                          {Edit("Edit4"), "Прогноз на год"},
                                                          {Button1(), "Вывести биоритмы"},
                                                          {Edit("Edit1"), "День рождения"}};
  for (const auto &[next, name] : expected) {
    Press(Qt::Key_Tab);
    EXPECT_EQ(next, QApplication::focusWidget()) << next->objectName().toStdString();
    EXPECT_EQ(name, SpokenName(QApplication::focusWidget()));
  }
}

// The program speaks Russian only, so Qt's own texts are Russian whatever the locale.
TEST_F(InputWindowTest, QtsOwnTextsAreRussian) {
  std::unique_ptr<QMenu> menu(Edit("Edit4")->createStandardContextMenu());
  QStringList texts;
  for (const QAction *action : menu->actions()) {
    texts << action->text();
  }
  EXPECT_TRUE(texts.join('|').startsWith("&Отменить действие\tCtrl+Z|"))
      << texts.join('|').toStdString();
  QFileDialog dialog(&form1);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  EXPECT_EQ("&Сохранить", dialog.findChild<QDialogButtonBox *>()->buttons()[0]->text());
}

TEST_F(InputWindowTest, ShowButtonPresentsTheChartForTodaysYear) {
  Button1()->click();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(form2.isVisible());
  EXPECT_EQ(YearChart::Compute({17, 9, 1974, 2026}), form2.Chart());
}

TEST_F(InputWindowTest, ASecondPressRefreshesTheSameResultWindow) {
  Button1()->click();
  Fill(QStringLiteral("1"), 0, QStringLiteral("2000"), QStringLiteral("2030"));
  Button1()->click();
  EXPECT_EQ(YearChart::Compute({1, 1, 2000, 2030}), form2.Chart());
  EXPECT_EQ(1, ResultWindows());

  form2.close(); // closing only hides it
  Fill(QStringLiteral("29"), 1, QStringLiteral("1976"), QStringLiteral("2099"));
  Button1()->click();
  EXPECT_TRUE(form2.isVisible());
  EXPECT_EQ(YearChart::Compute({29, 2, 1976, 2099}), form2.Chart());
  EXPECT_EQ(1, ResultWindows());
  EXPECT_EQ(1, clockReadings);
  EXPECT_TRUE(boxes.shown.empty());
}

// The texts of the four fields and the month position.
struct Fields {
  QString day;
  int month;
  QString year;
  QString forecast;
};

TEST_F(InputWindowTest, ATextThatIsNoNumberStopsAtTheFirstSuchFieldInReadingOrder) {
  struct Case {
    Fields fields;
    QString named; // the text the error repeats
  };
  const Case cases[] = {
      {{"x", 8, "19 74", "y"}, "19 74"}, // the birth year is read first
      {{"17 ", 8, "1974", "y"}, "17 "},  // then the day
      {{"", 8, "1974", "2026"}, ""},       {{"17", 8, "1974", "2026г"}, "2026г"},
      {{"17", 8, "$7B6", "+$11"}, "+$11"}, {{"<b>17</b>", 8, "1974", "2026"}, "<b>17</b>"},
  };
  Button1()->click();
  const YearChart before = form2.Chart();
  const QString caption = form2.windowTitle();
  for (const Case &c : cases) {
    boxes.shown.clear();
    Fill(c.fields.day, c.fields.month, c.fields.year, c.fields.forecast);
    Button1()->click();
    ASSERT_EQ(1u, boxes.shown.size()) << c.named.toStdString();
    EXPECT_EQ(ConversionError(c.named), boxes.shown[0]);
    EXPECT_EQ(before, form2.Chart());
    EXPECT_EQ(caption, form2.windowTitle());
    EXPECT_EQ(c.fields.day, Edit("Edit1")->text());
    EXPECT_EQ(c.fields.month, ComboBox1()->currentIndex());
    EXPECT_EQ(c.fields.year, Edit("Edit3")->text());
    EXPECT_EQ(c.fields.forecast, Edit("Edit4")->text());
  }
}

TEST_F(InputWindowTest, NumbersOutOfRangeShowInvalidDataAndChangeNothing) {
  const Fields cases[] = {
      {"17", 8, "2100", "2100"}, {"17", 8, "0", "2026"},    {"17", 8, "1974", "1973"},
      {"31", 3, "1974", "2026"}, {"29", 1, "1975", "2026"}, {"0", 8, "1974", "2026"},
      {"17", 8, "1974", "2100"}, {"-1", 8, "1974", "2026"},
  };
  Button1()->click();
  const YearChart before = form2.Chart();
  for (const Fields &fields : cases) {
    boxes.shown.clear();
    bool enabled = false;
    boxes.whileOpen = [&](const Message &) { enabled = form1.isEnabled() && form2.isEnabled(); };
    Fill(fields.day, fields.month, fields.year, fields.forecast);
    Button1()->click();
    ASSERT_EQ(1u, boxes.shown.size())
        << fields.day.toStdString() << ' ' << fields.month << ' ' << fields.year.toStdString()
        << ' ' << fields.forecast.toStdString();
    EXPECT_EQ(InvalidData, boxes.shown[0]);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(before, form2.Chart());
  }
}

TEST_F(InputWindowTest, AConversionErrorDisablesBothWindowsUntilItsBoxIsClosed) {
  Button1()->click();
  form1.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form1));
  Button1()->setFocus();
  Edit("Edit3")->setText(QStringLiteral("x"));
  bool anyEnabled = true;
  boxes.whileOpen = [&](const Message &) { anyEnabled = form1.isEnabled() || form2.isEnabled(); };
  Press(Qt::Key_Return);
  ASSERT_EQ(1u, boxes.shown.size());
  EXPECT_FALSE(anyEnabled);
  EXPECT_TRUE(form1.isEnabled());
  EXPECT_TRUE(form2.isEnabled());
  EXPECT_TRUE(QTest::qWaitForWindowActive(&form1));
  EXPECT_EQ(Button1(), QApplication::focusWidget());
}

TEST_F(InputWindowTest, TheMenuBarEntryAboutShowsTheAboutBox) {
  QMenuBar *bar = form1.menuBar();
  QAction *about = Control<QAction>("AboutItem");
  const QMenu *people = Control<QMenu>("PeopleMenu");
  ASSERT_EQ((QList<QAction *>{about, people->menuAction()}), bar->actions());
  EXPECT_EQ(QStringLiteral("Люди"), people->title());
  EXPECT_EQ(nullptr, about->menu());
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(about).center());

  ASSERT_EQ(1u, boxes.shown.size());
  const Message &box = boxes.shown[0];
  EXPECT_EQ(QStringLiteral("About"), box.caption);
  EXPECT_EQ(MessageIcon::None, box.icon);
  const QStringList lines = box.text.split(QStringLiteral("\r\n"));
  ASSERT_EQ(3, lines.size()) << box.text.toStdString();
  EXPECT_TRUE(lines[0].contains(QStringLiteral("Kolvex")));
  EXPECT_TRUE(lines[0].contains(QStringLiteral("2.04")));
  for (const QString &line : lines) {
    EXPECT_FALSE(line.isEmpty());
    EXPECT_FALSE(line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')));
  }
}

TEST_F(InputWindowTest, EnterInAFieldAndEscapeAnywherePressNothing) {
  const std::vector<QWidget *> places = {Edit("Edit1"), ComboBox1(), Edit("Edit3"), Edit("Edit4"),
                                         Button1()};
  for (QWidget *place : places) {
    place->setFocus();
    if (place != Button1()) {
      Press(Qt::Key_Return);
      Press(Qt::Key_Enter);
    }
    Press(Qt::Key_Escape);
    EXPECT_FALSE(form2.isVisible()) << place->objectName().toStdString();
    EXPECT_TRUE(form1.isVisible());
  }
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(InputWindowTest, EnterOnTheFocusedButtonPressesIt) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    form2.hide();
    form1.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form1));
    Button1()->setFocus();
    Press(key);
    EXPECT_TRUE(form2.isVisible()) << key;
  }
  EXPECT_FALSE(Button1()->isDefault());
}

TEST_F(InputWindowTest, MinimisingTheInputWindowTakesTheResultWindowAlong) {
  Button1()->click();
  form1.showMinimized();
  EXPECT_FALSE(form2.isVisible());
  form1.showNormal();
  EXPECT_TRUE(form2.isVisible());

  form2.showMinimized();
  EXPECT_TRUE(form1.isVisible());
  EXPECT_FALSE(form1.isMinimized());

  form2.close();
  form1.showMinimized();
  form1.showNormal();
  EXPECT_FALSE(form2.isVisible());
}

TEST_F(InputWindowTest, ClosingTheInputWindowEndsTheProgram) {
  Button1()->click();
  QTimer::singleShot(0, &form1, [this] { form1.close(); });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  watchdog.start(5000);
  EXPECT_EQ(0, QApplication::exec());
}

// The windows as main opens them, each test with a data folder of its own for the list of people.
class PeopleTest : public ::testing::Test {
protected:
  // The list lies under XDG_DATA_HOME, and on Windows under APPDATA: both point here.
  void SetUp() override {
    ASSERT_TRUE(data.isValid());
    qputenv("XDG_DATA_HOME", QDir::toNativeSeparators(data.path()).toUtf8());
    qputenv("APPDATA", QDir::toNativeSeparators(data.path()).toUtf8());
  }
  void TearDown() override {
    qunsetenv("XDG_DATA_HOME");
    appData ? qputenv("APPDATA", *appData) : qunsetenv("APPDATA");
  }

  QString ListFile() const { return data.filePath(QStringLiteral("kolvex/people.txt")); }
  // The file as the program names it, in the system's separators.
  QString ListFileNamed() const { return QDir::toNativeSeparators(ListFile()); }
  // The list's bytes; nullopt when there is no folder for it, so nothing was ever written.
  std::optional<QByteArray> List() const {
    if (!QDir(data.filePath(QStringLiteral("kolvex"))).exists()) {
      return std::nullopt;
    }
    QFile file(ListFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void WriteList(const char *text) {
    if (text != nullptr) {
      ASSERT_TRUE(QDir().mkpath(data.filePath(QStringLiteral("kolvex"))));
      QFile file(ListFile());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(text);
    }
  }

  // Shows the windows, `beforePaint` done to the input window before it is painted, and waits
  // until the input window has read its list.
  TForm1 &Open(const std::function<void(TForm1 &)> &beforePaint) {
    TForm1 *form1 = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
      form1 = form1 != nullptr ? form1 : qobject_cast<TForm1 *>(window);
    }
    beforePaint(*form1);
    shell->Show();
    EXPECT_TRUE(QTest::qWaitFor([] {
      return std::ranges::any_of(QApplication::topLevelWidgets(),
                                 [](QWidget *w) { return qobject_cast<TForm2 *>(w) != nullptr; });
    }));
    QTest::qWait(100);
    return *form1;
  }

  QLineEdit *Edit(TForm1 &form1, const char *name) {
    return form1.findChild<QLineEdit *>(QLatin1String(name));
  }
  QStringList Fields(TForm1 &form1) {
    return {
        Edit(form1, "Edit1")->text(),
        QString::number(form1.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentIndex()),
        Edit(form1, "Edit3")->text()};
  }

  // Opens the people menu, as a click on it does, and returns its entries' texts.
  QStringList OpenPeopleMenu(TForm1 &form1) {
    auto *menu = form1.findChild<QMenu *>(QStringLiteral("PeopleMenu"));
    menu->popup(form1.mapToGlobal(QPoint(0, 0)));
    QStringList texts;
    for (const QAction *action : menu->actions()) {
      texts << action->text() + (action->isEnabled() ? "" : " (disabled)");
    }
    return texts;
  }
  void Choose(TForm1 &form1, const QString &entry) {
    auto *menu = form1.findChild<QMenu *>(QStringLiteral("PeopleMenu"));
    for (QAction *action : menu->actions()) {
      if (action->text() == entry) {
        action->trigger();
      }
    }
    menu->hide();
  }

  QTemporaryDir data;
  const std::optional<QByteArray> appData =
      qEnvironmentVariableIsSet("APPDATA") ? std::optional(qgetenv("APPDATA")) : std::nullopt;
  RecordedMessageBoxes boxes;
  std::optional<Shell> shell{std::in_place};
};

constexpr auto TwoPeople = "kolvex-people 1\n"
                           "1980-01-02\tАня & Co\n"
                           "*\t1975-12-31\tБорис\n";

TEST_F(PeopleTest, TheListFillsTheBirthFieldsAndIsNeverWrittenByReadingIt) {
  const QString file = ListFileNamed();
  struct Case {
    const char *list; // nullptr: none
    QString typedDay; // typed before the first paint
    QString chosen;   // an entry of the people menu
    QStringList menu;
    QStringList fields; // day, month position, year
  };
  const Case cases[] = {
      {nullptr, "", "", {"", "Запомнить…", "Все люди…"}, {"17", "8", "1974"}},
      {TwoPeople,
       "",
       "",
       {"Борис", "Аня && Co", "", "Запомнить…", "Все люди…"},
       {"31", "11", "1975"}},
      {TwoPeople,
       "5",
       "",
       {"Борис", "Аня && Co", "", "Запомнить…", "Все люди…"},
       {"5", "8", "1974"}},
      {TwoPeople,
       "5",
       "Аня && Co",
       {"Борис", "Аня && Co", "", "Запомнить…", "Все люди…"},
       {"2", "0", "1980"}},
      {"kolvex-people 1\n1980-01-02 Аня\n",
       "",
       "",
       {"Список людей не читается: " + file + ":2: not a date, a tab and a name (disabled)", "",
        "Запомнить…", "Все люди…"},
       {"17", "8", "1974"}},
      {"kolvex-people 2\n*\t1980-01-02\tАня\n",
       "",
       "",
       {"Список людей записан более новой версией Kolvex: " + file + " (disabled)", "",
        "Запомнить…", "Все люди…"},
       {"2", "0", "1980"}}, // read, though never rewritten
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.list == nullptr ? "no list" : c.list);
    shell.emplace();
    WriteList(c.list);
    const std::optional<QByteArray> before = List();
    TForm1 &form1 = Open([&](TForm1 &form) {
      if (!c.typedDay.isEmpty()) {
        Edit(form, "Edit1")->selectAll();
        QTest::keyClicks(Edit(form, "Edit1"), c.typedDay);
      }
    });
    EXPECT_EQ(c.menu, OpenPeopleMenu(form1));
    Choose(form1, c.chosen);
    // Waits as long as a slow read takes, as under sanitizers.
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.fields == Fields(form1); }))
        << Fields(form1).join(' ').toStdString();
    form1.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    form1.close();
    EXPECT_EQ(before, List());
    EXPECT_TRUE(boxes.shown.empty());
  }
}

TEST_F(PeopleTest, RememberKeepsAChartableDateUnderAName) {
  struct Case {
    const char *list;
    QStringList fields;          // day, month position, year
    std::optional<QString> name; // typed when the program asks for one
    Message box;
    std::optional<QByteArray> after; // the list's text; nullopt: never written
  };
  const auto plain = [](const QString &text) { return Message{QString(), text}; };
  const Case cases[] = {
      {nullptr, {"31", "1", "1974"}, {}, InvalidData, {}},
      {nullptr, {"17", "8", "0"}, {}, InvalidData, {}},
      {nullptr, {"x", "8", "1974"}, {}, ConversionError("x"), {}},
      {nullptr, {"17", "8", "y"}, {}, ConversionError("y"), {}},
      {nullptr, {"17", "8", "1974"}, " ", plain("Никто не запомнен: no name"), {}},
      {nullptr,
       {"17", "8", "1974"},
       " Аня ",
       plain("Запомнено: Аня, 17 сентября 1974"),
       "kolvex-people 1\n1974-09-17\tАня\n"},
      {"kolvex-people 1\n1974-09-17\tАня\n",
       {"17", "8", "1974"},
       "Аня",
       plain("Уже в списке: Аня, 17 сентября 1974"),
       "kolvex-people 1\n1974-09-17\tАня\n"},
      {"kolvex-people 1\n1980-01-02\tАня\n",
       {"1", "0", "1974"},
       "Аня",
       plain("Имя занято, запомнено под другим: Аня (2), 1 января 1974"),
       "kolvex-people 1\n1980-01-02\tАня\n1974-01-01\tАня (2)\n"},
      {"kolvex-people 1\nАня\n",
       {"17", "8", "1974"},
       {},
       plain("Список людей не читается: " + ListFileNamed() + ":2: not a date, a tab and a name"),
       "kolvex-people 1\nАня\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.fields.join(' ').toStdString());
    shell.emplace();
    boxes.shown.clear();
    WriteList(c.list);
    TForm1 &form1 = Open([](TForm1 &) {});
    Edit(form1, "Edit1")->setText(c.fields[0]);
    form1.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->setCurrentIndex(c.fields[1].toInt());
    Edit(form1, "Edit3")->setText(c.fields[2]);
    if (c.name) {
      QTimer::singleShot(0, [name = *c.name] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dialog);
        dialog->setTextValue(name);
        dialog->accept();
      });
    }
    OpenPeopleMenu(form1);
    Choose(form1, QStringLiteral("Запомнить…"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }));
    EXPECT_EQ((std::vector<Message>{c.box}), boxes.shown);
    EXPECT_EQ(c.after, List());
  }
}

// The window of all people finds a person again in the list re-read from the file, so a filter or a
// sort that moves the rows never changes another person.
TEST_F(PeopleTest, TheWindowOfAllPeopleFiltersAndChangesTheSelectedPerson) {
  struct Case {
    QString filter;
    int row;
    const char *button; // nullptr: none pressed
    QStringList spoken; // the rows shown, as a screen reader reads them
    const char *after;  // the list's text afterwards
  };
  const QString anya = "Аня & Co, 2 января 1980", boris = "Борис, 31 декабря 1975";
  const Case cases[] = {
      {"", 0, nullptr, {anya, boris}, TwoPeople},
      {"бОр", 0, "RemoveButton", {boris}, "kolvex-people 1\n1980-01-02\tАня & Co\n"},
      {"", 0, "RemoveButton", {anya, boris}, "kolvex-people 1\n*\t1975-12-31\tБорис\n"},
      {"1980",
       0,
       "DefaultButton",
       {anya},
       "kolvex-people 1\n*\t1980-01-02\tАня & Co\n1975-12-31\tБорис\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.button == nullptr ? "none" : c.button);
    shell.emplace();
    WriteList(TwoPeople);
    TForm1 &form1 = Open([](TForm1 &) {});
    OpenPeopleMenu(form1);
    Choose(form1, QStringLiteral("Все люди…"));
    QWidget *people = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
      people = w->objectName() == "PeopleWindow" && w->isVisible() ? w : people;
    }
    ASSERT_NE(nullptr, people);
    auto *view = people->findChild<QTableView *>(QStringLiteral("PeopleView"));
    QAbstractItemModelTester tester(view->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount() == 2; }));
    people->findChild<QLineEdit *>(QStringLiteral("FilterEdit"))->setText(c.filter);
    QStringList spoken;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
      spoken << view->model()->index(row, 1).data(Qt::AccessibleTextRole).toString();
    }
    EXPECT_EQ(c.spoken, spoken);
    if (c.button != nullptr) {
      view->selectRow(c.row);
      people->findChild<QPushButton *>(QLatin1String(c.button))->click();
      EXPECT_TRUE(QTest::qWaitFor([&] { return List() != QByteArray(TwoPeople); }));
    }
    EXPECT_EQ(QByteArray(c.after), List());
    people->close();
  }
}

TEST(InputWindowStartUp, AnErrorInFormCreateIsShownAndStartUpGoesOn) {
  RecordedMessageBoxes boxes;
  TForm1 form1{[]() -> Today { throw std::runtime_error("no clock"); }};
  ASSERT_EQ(1u, boxes.shown.size());
  EXPECT_EQ(
      (Message{QStringLiteral("Kolvex v2.03"), QStringLiteral("no clock."), MessageIcon::Error}),
      boxes.shown[0]);
  EXPECT_EQ(8, form1.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentIndex());
  EXPECT_EQ(QStringLiteral("1999"), form1.findChild<QLineEdit *>(QStringLiteral("Edit4"))->text());
  EXPECT_EQ(Today{}, TodayHandedOn(form1));
}

} // namespace
} // namespace kolvex
