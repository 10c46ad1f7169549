// Measures how fast the curves window answers a double click on a day of the result window: from
// the double click to the curves window painted, the first time (the window is built then), again
// after it was closed, and for another month while it is open. The first opening happens once a
// process, so the bench starts itself once per run; each run measures the later ones 20 times.
//
//   curves_bench [--runs N]      prints the medians over N runs (default 15)
//   curves_bench --once          one run: prints "first <ms>", "again <ms>", "other <ms>" lines
//
// Run it on the platform to measure (QT_QPA_PLATFORM); `make bench-curves` runs it under Xvfb and
// offscreen.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include "ui/BIOform.h"
#include "ui/application.h"
#include "ui/curves_window.h"

namespace {

constexpr int LaterOpenings = 20;
constexpr int SettleMilliseconds = 100; // between a measure and the next, as between two clicks

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0.0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Settle(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// Waits for the next paint of a curves window and tells when it was over: the window and its
// children are painted and flushed within one event, and a zero timer fires once that is done.
class CurvesPainted final : public QObject {
public:
  explicit CurvesPainted(QElapsedTimer &clock) : clock_(clock) { qApp->installEventFilter(this); }

  // Milliseconds from `start` (of `clock_`) to the end of the next paint; -1 after 5 s without.
  double WaitFrom(qint64 start) {
    QEventLoop loop;
    end_ = -1;
    loop_ = &loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    loop_ = nullptr;
    return end_ < 0 ? -1.0 : static_cast<double>(end_ - start) / 1e6;
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    auto *widget = qobject_cast<QWidget *>(watched);
    if (loop_ != nullptr && event->type() == QEvent::Paint && widget != nullptr &&
        qobject_cast<kolvex::CurvesWindow *>(widget->window()) != nullptr && !pending_) {
      pending_ = true;
      QTimer::singleShot(0, this, [this] {
        pending_ = false;
        if (loop_ != nullptr && end_ < 0) {
          end_ = clock_.nsecsElapsed();
          loop_->quit();
        }
      });
    }
    return false;
  }

private:
  QElapsedTimer &clock_;
  QEventLoop *loop_ = nullptr;
  qint64 end_ = -1;
  bool pending_ = false;
};

// Double-clicks the cell `index` of `grid` as the mouse does, and returns the milliseconds to the
// curves window painted. The first click of the pair is not counted: the window opens on the
// second.
double DoubleClick(QAbstractItemView &grid, const QModelIndex &index, CurvesPainted &painted,
                   QElapsedTimer &clock) {
  QWidget &viewport = *grid.viewport();
  const QPointF at = grid.visualRect(index).center();
  const QPointF global = viewport.mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {});
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(&viewport, &press);
  QApplication::sendEvent(&viewport, &release);
  QMouseEvent second(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton, {});
  QMouseEvent secondRelease(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            {});
  const qint64 start = clock.nsecsElapsed();
  QApplication::sendEvent(&viewport, &second);
  QApplication::sendEvent(&viewport, &secondRelease);
  return painted.WaitFrom(start);
}

int RunOnce(int argc, char *argv[]) {
  QApplication application(argc, argv);
  kolvex::InstallQtTranslation();
  kolvex::TForm2 form2;
  form2.PresentChart(kolvex::Forecast::Of({17, 9, 1974, 2026}), {2026, 12, 9});
  auto *grid = form2.findChild<QAbstractItemView *>(QStringLiteral("StringGrid1"));
  if (grid == nullptr) {
    std::fprintf(stderr, "curves_bench: no StringGrid1 in the result window\n");
    return 1;
  }
  Settle(500); // the result window shown and painted, its start-up work done
  QElapsedTimer clock;
  clock.start();
  CurvesPainted painted(clock);
  // Today's cell, 9 December, is in view, and 9 November beside it: each opening again shows
  // December, and November is then another month.
  const QModelIndex december = grid->currentIndex();
  const QModelIndex november = december.sibling(december.row(), december.column() - 1);

  std::printf("first %.3f\n", DoubleClick(*grid, december, painted, clock));
  auto *curves = form2.findChild<kolvex::CurvesWindow *>();
  for (int i = 0; i < LaterOpenings && curves != nullptr; ++i) {
    Settle(SettleMilliseconds);
    curves->close();
    Settle(SettleMilliseconds);
    std::printf("again %.3f\n", DoubleClick(*grid, december, painted, clock));
    Settle(SettleMilliseconds);
    std::printf("other %.3f\n", DoubleClick(*grid, november, painted, clock));
  }
  std::fflush(stdout);
  return curves == nullptr ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[]) {
  if (argc == 2 && std::strcmp(argv[1], "--once") == 0) {
    return RunOnce(argc, argv);
  }
  int runs = 15;
  if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
    runs = std::max(1, std::atoi(argv[2]));
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: curves_bench [--runs N] | --once\n");
    return 64;
  }
  QCoreApplication application(argc, argv);
  std::map<std::string, std::vector<double>> times;
  for (int run = 0; run < runs; ++run) {
    QProcess once;
    once.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--once")});
    if (!once.waitForFinished(60'000) || once.exitCode() != 0) {
      std::fprintf(stderr, "curves_bench: run %d failed: %s\n", run,
                   once.readAllStandardError().constData());
      return 1;
    }
    std::map<std::string, std::vector<double>> own;
    for (const QByteArray &line : once.readAllStandardOutput().split('\n')) {
      const QList<QByteArray> words = line.split(' ');
      if (words.size() == 2) {
        own[words[0].toStdString()].push_back(words[1].toDouble());
      }
    }
    for (const auto &[what, values] : own) {
      times[what].push_back(Median(values));
    }
  }
  const char *platform = std::getenv("QT_QPA_PLATFORM");
  std::printf("curves window, double click to painted window (%s), median of %d runs:\n",
              platform != nullptr ? platform : "default platform", runs);
  const std::pair<const char *, const char *> rows[] = {
      {"first", "first opening (the window is built)"},
      {"again", "opening again after closing"},
      {"other", "another month, the window open"},
  };
  for (const auto &[key, label] : rows) {
    const std::vector<double> &values = times[key];
    std::printf("  %-40s %7.2f ms  (%.2f to %.2f)\n", label, Median(values),
                values.empty() ? 0.0 : *std::min_element(values.begin(), values.end()),
                values.empty() ? 0.0 : *std::max_element(values.begin(), values.end()));
  }
  return 0;
}
