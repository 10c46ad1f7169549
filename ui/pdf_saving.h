#pragma once

// Saving the printed page of a chart as a PDF file from a window. The page is drawn at once; the
// file is written in the background, since a disk can take its time or not answer at all, and what
// went wrong reaches the common error display when the write ends.

#include <QObject>
#include <QString>

#include "chart/year_chart.h"
#include "printer/background_job.h"

class QWidget;

namespace kolvex {

class PdfSaving : public QObject {
  Q_OBJECT

public:
  // Saves for `window`, over which the file dialog opens.
  explicit PdfSaving(QWidget *window);

  // Asks for the file in the standard dialog, then saves the page of `chart` there.
  void SaveWithDialog(const YearChart &chart);

  // Saves the page of `chart` as the file `path`, on the system's paper. Throws
  // "Сохранение уже идёт" while an earlier write has not ended: one write at a time.
  void Save(const YearChart &chart, const QString &path);

  // From Save until the end of the write has been reported.
  bool Writing() const { return write_.Busy(); }

signals:
  // A write has ended, written or not.
  void Ended();

private:
  void WriteEnded(const QString &error);

  QWidget *window_;
  QString path_;
  BackgroundJob write_; // last: a write under way ends before the rest goes
};

} // namespace kolvex
