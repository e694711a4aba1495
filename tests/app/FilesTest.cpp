// The file buttons of the main window, end to end in a temporary directory:
// names, descriptions, contents byte for byte, and the failures the user is
// told about.
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <sys/stat.h>

#include "FilesFixture.h"
#include "HeadlessQtMain.h"
#include "app/LogPane.h"
#include "app/SpinEdit.h"

using namespace files_fixture;

namespace {

// A population of the given algebras; a null entry leaves an empty slot.
PopulationPtr MakePopulation(std::vector<std::unique_ptr<TEQAlgebra>> members) {
  auto population = std::make_shared<TEQPopulation>();
  for (auto& member : members) {
    const bool empty_slot = member == nullptr;
    population->Add(empty_slot ? std::make_unique<TEQAlgebra>() : std::move(member));
    if (empty_slot) population->Free(population->Count() - 1);
  }
  return population;
}

std::vector<std::unique_ptr<TEQAlgebra>> Members(const Fixture& f, int count) {
  std::vector<std::unique_ptr<TEQAlgebra>> members;
  for (int i = 0; i < count; ++i) {
    members.push_back(f.Algebra(ChainText("member " + QByteArray::number(i), i % 2 ? '0' : 'a'), 0.5));
  }
  return members;
}

QByteArray PopulationBytes(const TEQPopulation& population) {
  QByteArray bytes;
  for (int i = 0; i < population.Count(); ++i) {
    if (const TEQAlgebra* member = population.Get(i)) bytes += Dump(*member) + "\r\n";
  }
  return bytes;
}

const QString kNotWritten = QStringLiteral("These files were not written:");

}  // namespace

class FilesTest : public QObject {
  Q_OBJECT

 private slots:
  void SavePopulationAsWritesDumpsSeparatedByAnEmptyLine_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("extension replaced") << "pop.txt" << "pop.eqp";
    QTest::newRow("extension added") << "pop" << "pop.eqp";
    QTest::newRow("dotted directory") << "a.b/pop" << "a.b/pop.eqp";
  }
  void SavePopulationAsWritesDumpsSeparatedByAnEmptyLine() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    Fixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("a.b")));
    const PopulationPtr population = MakePopulation(Members(f, 2));
    f.form->BrowsedPopulation = population;
    f.save_answer = f.Path(chosen);
    f.form->ButtonSavePopClick();

    const QByteArray first = Dump(*population->Get(0));
    const QByteArray second = Dump(*population->Get(1));
    QVERIFY(first.endsWith("\r\n"));
    QVERIFY(first != second);
    QCOMPARE(ReadFile(f.Path(written)), first + "\r\n" + second + "\r\n");
    QVERIFY(!QFile::exists(f.Path(QStringLiteral("a.eqp"))));
    QVERIFY(f.messages.empty());
  }

  void SavePopulationAsSkipsEmptySlotsAndWritesNothingForNoMembers() {
    Fixture f;
    std::vector<std::unique_ptr<TEQAlgebra>> members = Members(f, 2);
    members.insert(members.begin() + 1, nullptr);
    const PopulationPtr gapped = MakePopulation(std::move(members));
    f.form->BrowsedPopulation = gapped;
    f.save_answer = f.Path(QStringLiteral("gapped.eqp"));
    f.form->ButtonSavePopClick();
    QCOMPARE(ReadFile(f.Path(QStringLiteral("gapped.eqp"))),
             Dump(*gapped->Get(0)) + "\r\n" + Dump(*gapped->Get(2)) + "\r\n");

    f.form->BrowsedPopulation = std::make_shared<TEQPopulation>();
    f.save_answer = f.Path(QStringLiteral("empty.txt"));
    f.form->ButtonSavePopClick();
    QVERIFY(!QFile::exists(f.Path(QStringLiteral("empty.eqp"))));

    f.form->BrowsedPopulation = MakePopulation({});
    f.form->BrowsedPopulation->Add(std::make_unique<TEQAlgebra>());
    f.form->BrowsedPopulation->Free(0);  // one slot, no member
    f.form->ButtonSavePopClick();
    QVERIFY(!QFile::exists(f.Path(QStringLiteral("empty.eqp"))));

    f.form->BrowsedPopulation = nullptr;
    f.form->ButtonSavePopClick();
    QVERIFY(!QFile::exists(f.Path(QStringLiteral("empty.eqp"))));
    QVERIFY(f.messages.empty());
  }

  void SaveEqaFileWritesTheShownAlgebraKeepingItsDescription() {
    Fixture f;
    const PopulationPtr population = MakePopulation({});
    population->Add(f.Algebra(ChainText(), 1.0));
    f.form->BrowsedPopulation = population;
    f.form->ShownAlgebra = population->Get(0);
    f.save_answer = f.Path(QStringLiteral("single.txt"));
    f.form->ButtonSaveAClick();
    QCOMPARE(ReadFile(f.Path(QStringLiteral("single.eqa"))), ChainText());
    QCOMPARE(population->Get(0)->Description, std::string("Algebra_0000"));
    QCOMPARE(QString::fromStdString(population->Get(0)->FileName), f.Path(QStringLiteral("single.eqa")));

    population->Get(0)->Description.clear();  // as every member of a first population
    f.save_answer = f.Path(QStringLiteral("blank"));
    f.form->ButtonSaveAClick();
    QCOMPARE(ReadFile(f.Path(QStringLiteral("blank.eqa"))), "\r\n" + WithoutFirstLine(ChainText()));
    QVERIFY(f.messages.empty());
  }

  // A step can move the shown member out of the browsed population and free
  // it; the file buttons then leave it alone instead of touching freed memory.
  void FileButtonsIgnoreAShownMemberThatLeftThePopulation() {
    Fixture f;
    const PopulationPtr population = MakePopulation({});
    population->Add(f.Algebra(ChainText(), 1.0));
    f.form->BrowsedPopulation = population;
    f.form->ShownAlgebra = population->Get(0);
    std::unique_ptr<TEQAlgebra> moved = population->Take(0);  // as the carry-over does
    moved.reset();

    f.save_answer = f.Path(QStringLiteral("gone.eqa"));
    f.form->ButtonSaveAClick();
    QVERIFY(!QFile::exists(f.Path(QStringLiteral("gone.eqa"))));
    QCOMPARE(f.form->ShownAlgebra, nullptr);

    TEQAlgebra outsider;  // alive, but no member of the browsed population
    outsider.Description = "outsider";
    f.form->ShownAlgebra = &outsider;
    const QString file = f.Path(QStringLiteral("good.eqa"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(ChainText());
    out.close();
    f.open_answer = file;
    f.form->ButtonOpenClick();
    QCOMPARE(f.form->ShownAlgebra, nullptr);
    QCOMPARE(outsider.Description, std::string("outsider"));
    QVERIFY(f.messages.empty());
  }

  void SavePopAsEqasNumbersFilesAndDescriptions() {
    Fixture f;
    const PopulationPtr population = MakePopulation(Members(f, 3));
    f.form->BrowsedPopulation = population;
    f.save_answer = f.Path(QStringLiteral("run.eqa"));
    f.form->ButtonSaveDirClick();
    QCOMPARE(f.Files(f.dir.path()).filter(QStringLiteral("run")),
             QStringList({"run0000.eqa", "run0001.eqa", "run0002.eqa"}));
    for (int i = 0; i < 3; ++i) {
      const QByteArray index = QByteArray::number(i).rightJustified(4, '0');
      const QString path = f.Path(QStringLiteral("run") + QString::fromLatin1(index) + QStringLiteral(".eqa"));
      QCOMPARE(ReadFile(path), ChainText("Algebra_" + index, i % 2 ? '0' : 'a'));
      QCOMPARE(population->Get(i)->Description, "Algebra_" + index.toStdString());
      QCOMPARE(QString::fromStdString(population->Get(i)->FileName), path);
    }
    QVERIFY(f.messages.empty());

    // A later "Save EQA file" keeps the description the batch gave.
    f.form->ShownAlgebra = population->Get(2);
    f.save_answer = f.Path(QStringLiteral("again"));
    f.form->ButtonSaveAClick();
    QCOMPARE(ReadFile(f.Path(QStringLiteral("again.eqa"))), ChainText("Algebra_0002", 'a'));
  }

  void SavePopAsEqasSkipsEmptySlots() {
    Fixture f;
    std::vector<std::unique_ptr<TEQAlgebra>> members = Members(f, 2);
    members.insert(members.begin(), nullptr);
    f.form->BrowsedPopulation = MakePopulation(std::move(members));
    f.save_answer = f.Path(QStringLiteral("gap"));
    f.form->ButtonSaveDirClick();
    QCOMPARE(f.Files(f.dir.path()).filter(QStringLiteral("gap")), QStringList({"gap0001.eqa", "gap0002.eqa"}));
    QCOMPARE(ReadFile(f.Path(QStringLiteral("gap0001.eqa"))), ChainText("Algebra_0001", 'a'));
  }

  void AFileThatCannotBeWrittenIsReportedOnceAfterTheOthers() {
    Fixture f;
    const PopulationPtr population = MakePopulation(Members(f, 3));
    f.form->BrowsedPopulation = population;
    // A directory where the second file should go.
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("run0001.eqa")));
    f.save_answer = f.Path(QStringLiteral("run.eqa"));
    f.form->ButtonSaveDirClick();
    QCOMPARE(ReadFile(f.Path(QStringLiteral("run0000.eqa"))), ChainText("Algebra_0000", 'a'));
    QCOMPARE(ReadFile(f.Path(QStringLiteral("run0002.eqa"))), ChainText("Algebra_0002", 'a'));
    QCOMPARE(f.messages.size(), size_t{1});
    QCOMPARE(f.messages[0].first, QStringLiteral("Velmora"));
    QCOMPARE(f.messages[0].second, kNotWritten + u'\n' + f.Path(QStringLiteral("run0001.eqa")) + QStringLiteral(": Is a directory"));
    // The values set stay set.
    QCOMPARE(population->Get(1)->Description, std::string("Algebra_0001"));
  }

  void UnreachableTargetsAreListedInOneMessage() {
    Fixture f;
    const QString blocker = f.Path(QStringLiteral("plain-file"));
    QVERIFY(WriteFile(blocker, "x"));
    const PopulationPtr population = MakePopulation(Members(f, 2));
    f.form->BrowsedPopulation = population;
    f.form->ShownAlgebra = population->Get(0);
    f.form->RichEditLog->AppendLine(QStringLiteral("a line"));
    f.save_answer = blocker + QStringLiteral("/out.txt");

    f.form->ButtonSaveDirClick();
    f.form->ButtonSavePopClick();
    f.form->ButtonSaveAClick();
    f.form->ButtonSaveLogClick();
    const QString base = blocker + QStringLiteral("/out");
    QCOMPARE(f.messages.size(), size_t{4});
    QCOMPARE(f.messages[0].second, kNotWritten + u'\n' + base + QStringLiteral("0000.eqa: Not a directory\n") + base +
                                       QStringLiteral("0001.eqa: Not a directory"));
    QVERIFY2(f.messages[1].second.startsWith(kNotWritten + u'\n' + base + QStringLiteral(".eqp: ")),
             qPrintable(f.messages[1].second));
    QCOMPARE(f.messages[2].second, kNotWritten + u'\n' + base + QStringLiteral(".eqa: Not a directory"));
    QVERIFY2(f.messages[3].second.startsWith(kNotWritten + u'\n' + base + QStringLiteral(".txt: ")),
             qPrintable(f.messages[3].second));
    for (const auto& message : f.messages) QCOMPARE(message.second.count(u'\n'), message == f.messages[0] ? 2 : 1);
    QCOMPARE(ReadFile(blocker), QByteArray("x"));
  }

  void CancelledDialogsDoNothing() {
    Fixture f;
    f.form->BrowsedPopulation = MakePopulation(Members(f, 2));
    f.form->ShownAlgebra = f.form->BrowsedPopulation->Get(0);
    const QStringList before = f.Files(f.dir.path());
    const std::string description = f.form->ShownAlgebra->Description;
    f.save_answer.clear();
    f.open_answer.clear();
    f.form->ButtonSaveAClick();
    f.form->ButtonSavePopClick();
    f.form->ButtonSaveLogClick();
    f.form->ButtonSaveDirClick();
    f.form->ButtonOpenClick();
    QCOMPARE(f.Files(f.dir.path()), before);
    QCOMPARE(f.form->ShownAlgebra->Description, description);
    QCOMPARE(f.form->BrowsedPopulation->Get(1)->Description, std::string("member 1"));
    QVERIFY(f.messages.empty());
  }

  void SaveReportWritesTheLogLinesWithCrLf() {
    Fixture f;
    f.form->RichEditLog->ClearLog();
    f.form->RichEditLog->AppendLine(QStringLiteral("0000: 1\r\n  ^ 0 1 \r\n"));
    f.form->RichEditLog->AppendLine(QStringLiteral("last"));
    f.save_answer = f.Path(QStringLiteral("report.eqa"));
    f.form->ButtonSaveLogClick();
    QCOMPARE(ReadFile(f.Path(QStringLiteral("report.txt"))), QByteArray("0000: 1\r\n  ^ 0 1 \r\nlast"));
    QVERIFY(f.messages.empty());
  }

  void QuickSavesGoToTheTrimmedDirectoryUnderTimeStamps() {
    Fixture f;
    const PopulationPtr population = MakePopulation(Members(f, 2));
    f.form->BrowsedPopulation = population;
    const QString quick = f.Path(QStringLiteral("q/EQ"));
    f.form->EditQuickDir->setText(QStringLiteral("  ") + quick + QStringLiteral("\t "));
    f.form->CheckBoxQuickDir->setChecked(false);
    f.form->ButtonQSavePopClick();
    f.form->ButtonQuickEClick();
    QVERIFY(!QFileInfo::exists(quick));  // unchecked: nothing happens

    f.form->CheckBoxQuickDir->setChecked(true);
    f.form->ButtonQSavePopClick();
    QStringList files = f.Files(quick);
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{6}-\\d{9}\\.eqp$")).match(files[0]).hasMatch(), qPrintable(files[0]));
    QCOMPARE(ReadFile(quick + u'/' + files[0]), PopulationBytes(*population));

    f.form->ButtonQuickEClick();
    files = f.Files(quick).filter(QStringLiteral(".eqa"));
    QCOMPARE(files.size(), 2);
    for (int i = 0; i < 2; ++i) {
      const QByteArray index = QByteArray::number(i).rightJustified(4, '0');
      QVERIFY2(QRegularExpression(QStringLiteral("^\\d{6}-\\d{9}_") + QString::fromLatin1(index) + QStringLiteral("\\.eqa$"))
                   .match(files[i]).hasMatch(), qPrintable(files[i]));
      QCOMPARE(ReadFile(quick + u'/' + files[i]), ChainText("Algebra_" + index, i % 2 ? '0' : 'a'));
      QCOMPARE(population->Get(i)->Description, "Algebra_" + index.toStdString());
    }
    QVERIFY(f.messages.empty());
  }

  void QuickSavesWithoutADirectoryTellTheUser() {
    Fixture f;
    f.form->BrowsedPopulation = MakePopulation(Members(f, 1));
    f.form->CheckBoxQuickDir->setChecked(true);
    f.form->EditQuickDir->setText(QStringLiteral("   "));
    const QStringList before = f.Files(f.dir.path());
    f.form->ButtonQSavePopClick();
    f.form->ButtonQuickEClick();
    QCOMPARE(f.Files(f.dir.path()), before);  // never into the current directory
    QCOMPARE(f.messages.size(), size_t{2});
    const QRegularExpression population(QStringLiteral("^These files were not written:\n\\d{6}-\\d{9}\\.eqp: Unable to create directory$"));
    QVERIFY2(population.match(f.messages[0].second).hasMatch(), qPrintable(f.messages[0].second));
    const QRegularExpression algebras(QStringLiteral("^These files were not written:\n\\d{6}-\\d{9}_0000\\.eqa: Unable to create directory$"));
    QVERIFY2(algebras.match(f.messages[1].second).hasMatch(), qPrintable(f.messages[1].second));
    QCOMPARE(f.form->BrowsedPopulation->Get(0)->Description, std::string("member 0"));

    // An empty population writes nothing, so it needs no directory either.
    f.messages.clear();
    f.form->BrowsedPopulation = std::make_shared<TEQPopulation>();
    f.form->ButtonQSavePopClick();
    f.form->ButtonQuickEClick();
    QVERIFY(f.messages.empty());
  }

  void OpenEqaFileReplacesTheShownMemberInPlace() {
    Fixture f;
    // The file another run wrote for one of its winners.
    std::unique_ptr<TEQAlgebra> written = f.Algebra(ChainText("Algebra_0007"), 0.0);
    QVERIFY(written);
    const QString path = f.Path(QStringLiteral("winner.eqa"));
    written->FileName = QFile::encodeName(path).toStdString();
    QVERIFY(written->WriteEQA());
    const double fitness = written->Evaluate();

    const PopulationPtr population = MakePopulation(Members(f, 3));
    f.form->BrowsePopulation(population);
    f.form->SpinEditMember->setValue(1);
    f.form->SelectMember();
    TEQAlgebra* shown = f.form->ShownAlgebra;
    QCOMPARE(shown, population->Get(1));
    f.open_answer = path;
    f.form->ButtonOpenClick();
    QCOMPARE(f.form->ShownAlgebra, shown);  // the same member, now holding the file's algebra
    QCOMPARE(shown->Description, std::string("Algebra_0007"));
    QCOMPARE(shown->Fitness, fitness);
    QCOMPARE(Dump(*shown), Dump(*written));
    QVERIFY(f.form->DisplayReady);
    QVERIFY(f.messages.empty());

    // Saving the population afterwards has it at the same index.
    f.save_answer = f.Path(QStringLiteral("after"));
    f.form->ButtonSaveDirClick();
    QCOMPARE(ReadFile(f.Path(QStringLiteral("after0001.eqa"))), ChainText("Algebra_0001"));
  }

  void OpenEqaFileWrittenByTheCommandLineToolShowsItsWinner() {
    // The tool is built beside the tests: <build>/tests/<test> and <build>/velmora-cli.
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../velmora-cli");
    if (!QFileInfo(tool).isExecutable()) QSKIP("velmora-cli is not built");
    Fixture f;
    const QString out = f.Path(QStringLiteral("cli"));
    QProcess search;
    search.start(tool, {QStringLiteral("search"), QStringLiteral("--seed"), QStringLiteral("1"), QStringLiteral("--steps"),
                        QStringLiteral("40"), QStringLiteral("--out"), out});
    QVERIFY(search.waitForFinished(60000));
    QCOMPARE(search.exitCode(), 0);
    const QString eqa = out + QStringLiteral("/winner_0000.eqa");
    if (!QFileInfo::exists(eqa)) QSKIP("the search found no winner with this seed");

    f.open_answer = eqa;
    TEQAlgebra* shown = f.form->ShownAlgebra;
    f.form->ButtonOpenClick();
    QVERIFY(f.messages.empty());
    QCOMPARE(f.form->ShownAlgebra, shown);
    QCOMPARE(shown->Description, std::string("Algebra_0000"));
    QCOMPARE(shown->Fitness, 1.0);
    QCOMPARE(Dump(*shown) + "\r\n", ReadFile(out + QStringLiteral("/winner_0000.eqp")));
    QCOMPARE(f.form->LabelFitness->text(), QStringLiteral("Fitness :100%"));
  }

  void OpenEqaFileOfAMalformedFileShowsTheReasonAndChangesNothing() {
    Fixture f;
    const PopulationPtr population = MakePopulation(Members(f, 2));
    f.form->BrowsePopulation(population);
    TEQAlgebra* shown = f.form->ShownAlgebra;
    QVERIFY(shown != nullptr);
    shown->FileName = "kept.eqa";
    const QByteArray dump_before = Dump(*shown);
    const std::string description_before = shown->Description;

    const QString bad = f.Path(QStringLiteral("bad.eqa"));
    QVERIFY(WriteFile(bad, "a description\r\n999\r\nnot an element line\r\n"));
    std::string expected_error;
    TEQAlgebra probe;
    probe.FileName = QFile::encodeName(bad).toStdString();
    QVERIFY(!probe.ReadEQA(&expected_error));
    QVERIFY(!expected_error.empty());

    f.open_answer = bad;
    f.form->ButtonOpenClick();
    QCOMPARE(f.messages.size(), size_t{1});
    QCOMPARE(f.messages[0].second, QString::fromStdString(expected_error));
    QCOMPARE(f.form->ShownAlgebra, shown);
    QCOMPARE(Dump(*shown), dump_before);
    QCOMPARE(shown->Description, description_before);
    QCOMPARE(shown->FileName, std::string("kept.eqa"));

    // A name that does not exist does nothing at all.
    f.messages.clear();
    f.open_answer = f.Path(QStringLiteral("missing.eqa"));
    f.form->ButtonOpenClick();
    QVERIFY(f.messages.empty());
    QCOMPARE(shown->FileName, std::string("kept.eqa"));
  }

  void OpenEqaFileThatCannotBeReadShowsTheReasonAndChangesNothing() {
    Fixture f;
    const PopulationPtr population = MakePopulation(Members(f, 2));
    f.form->BrowsePopulation(population);
    TEQAlgebra* shown = f.form->ShownAlgebra;
    QVERIFY(shown != nullptr);
    const QByteArray dump_before = Dump(*shown);
    const QString fifo = f.Path(QStringLiteral("pipe.eqa"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString failing = f.Path(QStringLiteral("failing.eqa"));
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), failing));  // its reading fails

    // A FIFO would wait for a writer for ever; it is refused at once.
    f.open_answer = fifo;
    f.form->ButtonOpenClick();
    f.open_answer = failing;
    f.form->ButtonOpenClick();
    QCOMPARE(f.messages.size(), size_t{2});
    QCOMPARE(f.messages[0].second, QStringLiteral("Error reading file: ") + fifo + QStringLiteral(": not a regular file"));
    QCOMPARE(f.messages[1].second,
             QStringLiteral("Error reading file: ") + failing + QStringLiteral(": Input/output error"));
    QCOMPARE(f.form->ShownAlgebra, shown);
    QCOMPARE(Dump(*shown), dump_before);
  }
};

VELMORA_HEADLESS_TEST_MAIN(FilesTest)
#include "FilesTest.moc"
