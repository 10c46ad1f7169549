#include "ui/pdf_saving.h"

#include <stdexcept>

#include <QDir>
#include <QFileDialog>

#include "printer/output_file.h"
#include "printer/page_painting.h"
#include "ui/application.h"

namespace kolvex {
namespace {

// How long a write may take before the user hears that the disk does not answer; the write
// itself cannot be called off and goes on.
constexpr std::chrono::seconds SlowDisk{20};

constexpr auto SavingInProgress = "Сохранение уже идёт";

std::runtime_error SaveError(const QString &path, const QString &reason) {
  return std::runtime_error(
      QStringLiteral("Не удалось сохранить %1: %2").arg(path, reason).toStdString());
}

} // namespace

PdfSaving::PdfSaving(QWidget *window) : QObject(window), window_(window), write_(SlowDisk) {
  connect(&write_, &BackgroundJob::Overdue, this, [this] {
    ShowError(SaveError(path_, QStringLiteral("диск не отвечает уже %1 с").arg(SlowDisk.count())));
  });
}

void PdfSaving::SaveWithDialog(const YearChart &chart) {
  if (Writing()) {
    throw std::runtime_error(SavingInProgress);
  }
  const QString path = QFileDialog::getSaveFileName(
      window_, QStringLiteral("Сохранить в PDF"),
      QDir::home().filePath(QStringLiteral("биоритмы-%1.pdf").arg(chart.Year())),
      QStringLiteral("PDF (*.pdf)"));
  if (!path.isEmpty()) {
    Save(chart, path);
  }
}

void PdfSaving::Save(const YearChart &chart, const QString &path) {
  if (Writing()) {
    throw std::runtime_error(SavingInProgress);
  }
  path_ = path;
  write_.Start([path, document = ChartPdf(chart, SystemPaperSize())](
                   std::stop_token) { return WriteOutput(path, document); },
               [this](const QString &error) { WriteEnded(error); });
}

void PdfSaving::WriteEnded(const QString &error) {
  if (!error.isEmpty()) {
    ShowError(SaveError(path_, error));
  }
  emit Ended();
}

} // namespace kolvex
