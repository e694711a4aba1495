#include "app/FailedWritesBox.h"

#include <QMessageBox>

QString FailedWritesSummary(const FailedWrites& failures) {
  const auto count = static_cast<int>(failures.size());
  QString text = count == 1 ? QStringLiteral("1 file was not written:")
                            : QStringLiteral("%1 files were not written:").arg(count);
  const int named = std::min(count, kFailuresInSummary);
  for (int i = 0; i < named; ++i) {
    const FailedWrite& failure = failures[static_cast<size_t>(i)];
    text += u'\n' + failure.path + QStringLiteral(": ") + failure.reason;
  }
  if (count > named) text += QStringLiteral("\n… and %1 more: see the details.").arg(count - named);
  return text;
}

std::unique_ptr<QMessageBox> MakeFailedWritesBox(QWidget* parent, const QString& title, const FailedWrites& failures) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, title, FailedWritesSummary(failures), QMessageBox::Ok,
                                           parent);
  // The summary names a few files; the details hold all of them in a
  // scrolling text of fixed height.
  if (failures.size() > static_cast<size_t>(kFailuresInSummary)) box->setDetailedText(FailedWritesMessage(failures));
  return box;
}

void ShowFailedWritesBox(QWidget* parent, const QString& title, const FailedWrites& failures) {
  if (failures.empty()) return;
  MakeFailedWritesBox(parent, title, failures)->exec();
}
