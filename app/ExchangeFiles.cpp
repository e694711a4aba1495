// Exchange files in the window.

#include "app/ExchangeFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QFormLayout>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <memory>

#include "formats/ExportFile.h"
#include "app/FileNames.h"
#include "formats/ImportMessages.h"
#include "model/RegularFile.h"
#include "model/Formatting.h"

namespace {

struct FormatEntry {
  const char* caption;
  ExportFormat format;
  bool theory;
  bool tables = false;  // svg: the tables beside the diagram
};

const FormatEntry kFormats[] = {
    {"LaTeX tables and Hasse diagram (.tex)", ExportFormat::kLatex, false},
    {"LADR interpretation for model finders (.ladr)", ExportFormat::kLadr, false},
    {"LADR theory: axioms, properties, cells (.in)", ExportFormat::kLadr, true},
    {"UACalc algebra (.ua)", ExportFormat::kUacalc, false},
    {"JSON (.json)", ExportFormat::kJson, false},
    {"SVG picture: Hasse diagram (.svg)", ExportFormat::kSvg, false},
    {"SVG picture: Hasse diagram and tables (.svg)", ExportFormat::kSvg, false, true},
    {"Graphviz graph: Hasse diagram (.dot)", ExportFormat::kDot, false},
};

QString Local(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool AskExportRequest(QWidget* parent, const QString& directory, ExportRequest& request) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Export"));
  auto* shown = new QRadioButton(QStringLiteral("Shown algebra"));
  auto* population = new QRadioButton(QStringLiteral("Browsed population"));
  // The dialog opens on the choices of the last export.
  shown->setChecked(!request.population);
  population->setChecked(request.population);
  auto* formats = new QComboBox;
  for (const FormatEntry& entry : kFormats) {
    formats->addItem(QString::fromLatin1(entry.caption));
    if (entry.format == request.format && entry.theory == request.options.Theory) {
      formats->setCurrentIndex(formats->count() - 1);
    }
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("What:"), shown);
  form->addRow(QString(), population);
  form->addRow(QStringLiteral("Format:"), formats);
  auto* column = new QVBoxLayout(&dialog);
  column->addLayout(form);
  column->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;

  const FormatEntry& entry = kFormats[formats->currentIndex()];
  ExportRequest chosen;
  chosen.population = population->isChecked();
  chosen.format = entry.format;
  chosen.options.Theory = entry.theory;
  chosen.options.Tables = entry.tables;
  const QString extension = QString::fromStdString(ExportExtension(chosen.format, chosen.options));
  const QString caption = QString::fromLatin1(entry.caption);
  const QString filter = caption.left(caption.indexOf(QStringLiteral(" ("))) + QStringLiteral(" (*") + extension +
                         QStringLiteral(");;All files (*)");
  const QString start = request.path.isEmpty() ? directory : StripExtension(request.path) + extension;
  chosen.path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), start, filter);
  if (chosen.path.isEmpty()) return false;
  request = chosen;
  return true;
}

bool IsExchangeFile(const QString& path, ImportFormat& format) {
  // Only a regular file is looked into: opening a FIFO would wait for a
  // writer. Anything else goes to the EQA reader, which names the reason.
  if (!QFileInfo(path).isFile()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QString head = QString::fromLatin1(file.read(1 << 16));
  static const QRegularExpression interpretation(QStringLiteral("(^|[^A-Za-z0-9_$])interpretation\\s*\\("));
  if (head.contains(QStringLiteral("<basicAlgebra")) ||
      (head.trimmed().startsWith(QLatin1Char('<')) && head.contains(QStringLiteral("<algebra")))) {
    format = ImportFormat::kUacalc;
    return true;
  }
  if (head.contains(interpretation)) {
    format = ImportFormat::kLadr;
    return true;
  }
  return false;
}

bool OpenExchangeFile(const QString& path, ImportFormat format, TEQAlgebra& target, QString& message) {
  // The tool's reader and limit: a read error part-way is no end of file.
  std::string bytes, reason;
  if (ReadRegularFile(ToFilePath(path), kMaxExchangeFileBytes, bytes, reason) != ReadStatus::kRead) {
    message = QStringLiteral("Error reading file: ") + path + QStringLiteral(": ") + Local(reason);
    return false;
  }
  // Every model is read (for the count); only the first fitting one is kept.
  std::unique_ptr<TEQAlgebra> first;
  QString first_label;
  int64_t models = 0;
  RefusalReport refusals;
  QStringList rejected;
  const std::string file_fault = ImportModels(format, bytes, {}, [&](ImportedModel& model) {
    ++models;
    if (!model.Algebra) {
      const std::string line = refusals.Refused(model.Label, model.Fault);
      if (!line.empty()) rejected << Local(line);
      return;
    }
    refusals.Converted();
    if (!first) {
      first = std::move(model.Algebra);
      first_label = Local(model.Label);
    }
  });
  if (!file_fault.empty()) {
    message = path + QStringLiteral(": ") + Local(file_fault);
    return false;
  }
  if (const std::string summary = refusals.Summary(); !summary.empty()) rejected << Local(summary);
  QStringList lines;
  if (first && models > 1) {
    lines << path + QStringLiteral(" holds %1 models; %2 is shown (velmora-cli import converts them all).")
                        .arg(models)
                        .arg(first_label);
  }
  if (!first) lines << path + QStringLiteral(": no model fits:");
  else if (!rejected.isEmpty()) lines << QStringLiteral("Not of the program's shape:");
  lines << rejected;
  message = lines.join(QLatin1Char('\n'));
  if (!first) return false;

  first->FileName = ToFilePath(path);
  TakeOpenedAlgebra(*first, target);
  return true;
}

void TakeOpenedAlgebra(const TEQAlgebra& opened, TEQAlgebra& target) {
  // What reading an EQA file changes, no more.
  target.Description = opened.Description;
  target.Size = opened.Size;
  target.ElementList = opened.ElementList;
  target.InfimumGene = opened.InfimumGene;
  target.ProductGene = opened.ProductGene;
  target.FEqualityGene = opened.FEqualityGene;
  target.DeltaGene = opened.DeltaGene;
  target.MaximumGene = opened.MaximumGene;
  target.FileName = opened.FileName;
}

void WriteExport(const std::vector<std::pair<int, const TEQAlgebra*>>& algebras, const ExportRequest& request,
                 FailedWrites& failures, QStringList* written) {
  // Copies, so an empty description can be given a name without touching the members.
  std::vector<std::unique_ptr<TEQAlgebra>> copies;
  std::vector<const TEQAlgebra*> pointers;
  for (const auto& [index, algebra] : algebras) {
    copies.push_back(std::make_unique<TEQAlgebra>(*algebra));
    if (copies.back()->Description.empty()) copies.back()->Description = "Algebra_" + FormatIndex(index);
    pointers.push_back(copies.back().get());
  }
  const QString base = StripExtension(request.path);
  const QString extension = QString::fromStdString(ExportExtension(request.format, request.options));
  // The one file of an export is the file chosen in the dialog; names made
  // up for the members of a population never follow a link.
  const auto write = [&](const std::vector<const TEQAlgebra*>& group, const QString& path, LinkPolicy links) {
    std::string text, error;
    if (!ExportAlgebras(request.format, group, request.options, text, error) ||
        !WriteExportFile(path.toLocal8Bit().toStdString(), text, error, links)) {
      const std::string prefix = "Cannot write " + path.toLocal8Bit().toStdString() + ": ";
      if (error.rfind(prefix, 0) == 0) error.erase(0, prefix.size());
      failures.push_back({path, Local(error)});
    } else if (written != nullptr) {
      written->push_back(path);
    }
  };
  if (HoldsSeveral(request.format, request.options) || pointers.size() == 1) {
    write(pointers, base + extension, LinkPolicy::kFollow);
    return;
  }
  for (size_t k = 0; k < pointers.size(); ++k) {
    write({pointers[k]}, base + QString::fromStdString(FormatIndex(algebras[k].first)) + extension,
          LinkPolicy::kReplace);
  }
}
