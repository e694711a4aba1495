#include "app/AboutBox.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "VelmoraVersion.h"

QString AboutText() {
  return QStringLiteral(
             "<h3>Velmora %1</h3>"
             "<p>Finite EQ-algebras of 2 to 28 elements: a genetic search and an exact finder.</p>"
             "<p>Built %2.<br>MIT licence (the file LICENSE beside the sources).</p>"
             "<p>Documentation: the manual (Help &gt; Velmora Manual, docs/manual.md), <tt>man velmora</tt> and "
             "<tt>man velmora-cli</tt>; installed in <tt>/usr/share/doc/velmora/</tt>.</p>")
      .arg(QString::fromLatin1(kVelmoraVersion), QString::fromLatin1(kVelmoraBuildDate));
}

void ShowAbout(QWidget* parent) { QMessageBox::about(parent, QStringLiteral("About Velmora"), AboutText()); }

QString ManualPath() {
  const QString executable_dir = QCoreApplication::applicationDirPath();
  const QStringList candidates{
      executable_dir + QStringLiteral("/../share/doc/velmora/docs/manual.md"),
      QStringLiteral(VELMORA_SOURCE_DIR "/docs/manual.md"),
  };
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
  }
  return QString();
}

void ShowManual(QWidget* parent) {
  const QString path = ManualPath();
  if (path.isEmpty()) {
    QMessageBox::information(parent, QStringLiteral("Velmora Manual"),
                             QStringLiteral("No copy of the manual was found. It is docs/manual.md of Velmora's "
                                            "sources; the command line is described by man velmora-cli."));
    return;
  }
  auto* dialog = new QDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("Velmora Manual"));
  auto* browser = new QTextBrowser;
  browser->setOpenExternalLinks(true);
  browser->setSearchPaths({QFileInfo(path).absolutePath()});  // the screenshots beside it
  browser->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  auto* column = new QVBoxLayout(dialog);
  column->addWidget(browser);
  column->addWidget(buttons);
  dialog->resize(900, 700);
  dialog->show();
}
