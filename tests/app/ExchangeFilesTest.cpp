// "Export…" and the Open dialog with a model finder's or UACalc's files, end
// to end in a temporary directory.
#include <QtTest>

#include "app/ExchangeFiles.h"
#include "FilesFixture.h"
#include "HeadlessQtMain.h"
#include "app/SpinEdit.h"

using namespace files_fixture;

namespace {

// Two models: the first has eq not symmetric, the second is the chain
// 0 < a < 1 with a * a = a (the fixture's ChainText).
const QByteArray kTwoModels =
    "% output of a model finder\n"
    "interpretation( 3, [number = 1], [function(meet(_,_), [0,0,0,0,1,2,0,2,2]),\n"
    "  function(prod(_,_), [0,0,0,0,1,2,0,2,2]), function(eq(_,_), [1,0,0,0,1,2,0,0,1])]).\n"
    "interpretation( 3, [number = 2], [function(meet(_,_), [0,0,0,0,1,2,0,2,2]),\n"
    "  function(prod(_,_), [0,0,0,0,1,2,0,2,2]), function(eq(_,_), [1,0,0,0,1,2,0,2,1])]).\n";

std::string Canonical(TEQAlgebra algebra) { return algebra.BuildCanonicalText(); }

}  // namespace

class ExchangeFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void OpenTakesTheFirstFittingModelInPlaceAndNamesTheRejectedOne() {
    Fixture f;
    TEQAlgebra* shown = f.form->ShownAlgebra;
    QVERIFY(shown != nullptr);
    const std::string expected = Canonical(*f.Algebra(ChainText(), 1.0));
    f.open_answer = f.Path(QStringLiteral("models.out"));
    QVERIFY(WriteFile(f.open_answer, kTwoModels));
    f.form->ButtonOpenClick();
    QCOMPARE(f.form->ShownAlgebra, shown);  // the same member, now holding the model
    QCOMPARE(Canonical(*shown), expected);
    QCOMPARE(shown->Fitness, 1.0);  // shown, so evaluated
    QCOMPARE(QString::fromStdString(shown->FileName), f.open_answer);
    QCOMPARE(f.messages.size(), size_t{1});
    QCOMPARE(f.messages[0].second,
             f.open_answer + QStringLiteral(" holds 2 models; model 2 (number = 2, line 4) is shown (velmora-cli "
                                            "import converts them all).\nNot of the program's shape:\nmodel 1 "
                                            "(number = 1, line 2): eq is not symmetric: a ~ 1 differs from 1 ~ a"));
  }

  void OpenOfAFileWithoutFittingModelLeavesTheAlgebraAlone() {
    Fixture f;
    TEQAlgebra* shown = f.form->ShownAlgebra;
    const std::string before = Canonical(*shown);
    f.open_answer = f.Path(QStringLiteral("bad.ua"));
    QVERIFY(WriteFile(f.open_answer, "<?xml version=\"1.0\"?>\n<algebra><basicAlgebra><algName>x</algName>"
                                     "<cardinality>40</cardinality><operations/></basicAlgebra></algebra>\n"));
    f.form->ButtonOpenClick();
    QCOMPARE(Canonical(*shown), before);
    QCOMPARE(f.messages.size(), size_t{1});
    QCOMPARE(f.messages[0].second, f.open_answer + QStringLiteral(": no model fits:\nalgebra 1 (\"x\", line 2): "
                                                                  "its size 40 is outside 2..28"));
    // An EQA file is still read as one.
    f.open_answer = f.Path(QStringLiteral("chain.eqa"));
    QVERIFY(WriteFile(f.open_answer, ChainText("opened")));
    f.form->ButtonOpenClick();
    QCOMPARE(shown->Description, std::string("opened"));
  }

  void ExportedShownAlgebraOpensBackAsTheSameAlgebra_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("extension");
    QTest::newRow("ladr") << static_cast<int>(ExportFormat::kLadr) << ".ladr";
    QTest::newRow("uacalc") << static_cast<int>(ExportFormat::kUacalc) << ".ua";
  }
  void ExportedShownAlgebraOpensBackAsTheSameAlgebra() {
    QFETCH(int, format);
    QFETCH(QString, extension);
    Fixture f;
    TEQAlgebra* shown = f.form->ShownAlgebra;
    const std::string expected = Canonical(*shown);
    f.form->AskExport = [&](ExportRequest& request) {
      request.format = static_cast<ExportFormat>(format);
      request.path = f.Path(QStringLiteral("shown.txt"));
      return true;
    };
    f.form->ButtonExportClick();
    const QString written = f.Path(QStringLiteral("shown") + extension);
    QVERIFY(QFile::exists(written));
    // Another member is shown, then the export is opened over it.
    f.form->SpinEditMember->setValue(1);
    f.form->SelectMember();
    QVERIFY(Canonical(*f.form->ShownAlgebra) != expected);
    f.open_answer = written;
    f.form->ButtonOpenClick();
    QCOMPARE(Canonical(*f.form->ShownAlgebra), expected);
    QVERIFY(f.messages.empty());
  }

  void ExportOfThePopulationWritesEveryMember() {
    Fixture f;
    const PopulationPtr population = f.form->BrowsedPopulation;
    int members = 0;
    for (int i = 0; i < population->Count(); ++i) members += population->Get(i) != nullptr;
    QVERIFY(members > 1);
    ExportRequest wanted;
    wanted.population = true;
    f.form->AskExport = [&](ExportRequest& request) {
      request = wanted;
      return true;
    };
    wanted.format = ExportFormat::kLadr;
    wanted.path = f.Path(QStringLiteral("pop"));
    f.form->ButtonExportClick();
    const QByteArray ladr = ReadFile(f.Path(QStringLiteral("pop.ladr")));
    QCOMPARE(static_cast<int>(ladr.count("interpretation(")), members);
    QVERIFY(ladr.contains("[number = " + QByteArray::number(members) + "]"));

    wanted.format = ExportFormat::kUacalc;
    f.form->ButtonExportClick();
    QCOMPARE(f.Files(f.dir.path()).filter(QStringLiteral(".ua")).size(), members);
    QVERIFY(ReadFile(f.Path(QStringLiteral("pop0000.ua"))).contains("<algName>Algebra_0000</algName>"));
    QVERIFY(population->Get(0)->Description.empty());  // the members keep their descriptions
    QVERIFY(f.messages.empty());
  }

  // The tool's reader and limit: an oversized file is refused at once, a read
  // error part-way is no end of the file, and of many refused models only
  // the first twenty are named.
  void OpenRefusesWhatTheToolRefusesAndKeepsItsMessageShort() {
    Fixture f;
    TEQAlgebra* shown = f.form->ShownAlgebra;
    const std::string before = Canonical(*shown);
    f.open_answer = f.Path(QStringLiteral("huge.ladr"));
    {
      QFile huge(f.open_answer);
      QVERIFY(huge.open(QIODevice::WriteOnly));
      huge.write(kTwoModels);
      QVERIFY(huge.resize(static_cast<qint64>(kMaxExchangeFileBytes) + 1));  // sparse: no disk is filled
    }
    f.form->ButtonOpenClick();
    QCOMPARE(f.messages.size(), size_t{1});
    QCOMPARE(f.messages[0].second,
             QStringLiteral("Error reading file: ") + f.open_answer + QStringLiteral(": larger than 67108864 bytes"));
    QCOMPARE(Canonical(*shown), before);

    // The good model first, the read failing after it (the test runs with the fault shim preloaded).
    const QByteArray good = kTwoModels.mid(kTwoModels.indexOf("interpretation( 3, [number = 2]"));
    if (qgetenv("LD_PRELOAD").contains("velmora_io_fault")) {
      f.open_answer = f.Path(QStringLiteral("failing.ladr"));
      QVERIFY(WriteFile(f.open_answer, good + kTwoModels));
      qputenv("VELMORA_FAIL_READ_PATH", f.open_answer.toLocal8Bit());
      qputenv("VELMORA_FAIL_READ_AFTER", QByteArray::number(good.size() + 10));
      f.form->ButtonOpenClick();
      qunsetenv("VELMORA_FAIL_READ_PATH");
      QCOMPARE(f.messages.size(), size_t{2});
      QCOMPARE(f.messages[1].second,
               QStringLiteral("Error reading file: ") + f.open_answer + QStringLiteral(": Input/output error"));
      QCOMPARE(Canonical(*shown), before);
    }

    // Many broken models: the window handles its events while they are read
    // (a timer ticks), and names only the first twenty.
    f.open_answer = f.Path(QStringLiteral("broken.ladr"));
    QVERIFY(WriteFile(f.open_answer,
                      QByteArray("interpretation(3, [], [function(meet(_,_), ]).\n").repeated(200000) + good));
    f.messages.clear();
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(0);
    f.form->ButtonOpenClick();
    timer.stop();
    QVERIFY(ticks > 0);
    QCOMPARE(f.messages.size(), size_t{1});
    const QStringList lines = f.messages[0].second.split(u'\n');
    QCOMPARE(lines.size(), 23);  // the count, the heading, twenty models and the summary
    QCOMPARE(lines.last(), QStringLiteral("199980 more models were refused; 1 converted"));
  }

  void ExportThatCannotBeWrittenIsReported() {
    Fixture f;
    f.form->AskExport = [&](ExportRequest& request) {
      request.format = ExportFormat::kJson;
      request.path = f.Path(QStringLiteral("missing/dir/a.json"));
      return true;
    };
    f.form->ButtonExportClick();
    QCOMPARE(f.messages.size(), size_t{1});
    QVERIFY2(f.messages[0].second.contains(f.Path(QStringLiteral("missing/dir/a.json"))) &&
                 f.messages[0].second.contains(QStringLiteral("No such file or directory")),
             qPrintable(f.messages[0].second));
  }
};

VELMORA_HEADLESS_TEST_MAIN(ExchangeFilesTest)
#include "ExchangeFilesTest.moc"
