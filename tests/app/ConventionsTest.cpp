// Desktop conventions of the main window: tooltips, keyboard shortcuts,
// dialogs that open where the user last was, and a question naming the file
// a save would replace.
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QtTest>

#include "app/AboutBox.h"
#include "app/ExchangeFiles.h"
#include "FormFixture.h"
#include "app/LogPane.h"
#include "app/QtMessagePump.h"
#include "model/Random.h"
#include "app/SpinEdit.h"

namespace {

bool InsideOf(const QWidget* widget, const char* class_name) {
  for (const QObject* parent = widget->parent(); parent != nullptr; parent = parent->parent()) {
    if (parent->inherits(class_name)) return true;
  }
  return false;
}

// The widgets a user can act on, without the parts of composite widgets.
QList<QWidget*> Controls(TEQForm& form) {
  QList<QWidget*> controls;
  for (QWidget* widget : form.findChildren<QWidget*>()) {
    const bool control = widget->inherits("QAbstractButton") || widget->inherits("QAbstractSpinBox") ||
                         widget->inherits("QLineEdit") || widget->inherits("QAbstractItemView") ||
                         widget->inherits("QPlainTextEdit");
    if (!control || InsideOf(widget, "QAbstractSpinBox") || InsideOf(widget, "QAbstractItemView") ||
        InsideOf(widget, "QMenuBar")) {
      continue;  // parts of a composite widget (the menu bar's overflow button)
    }
    controls << widget;
  }
  return controls;
}

QString Name(const QWidget* widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  return QString::fromLatin1(widget->metaObject()->className());
}

// The menu command of the given menu and text, "&" marks left out.
QAction* Command(TEQForm& form, const QString& menu, const QString& text) {
  for (QAction* title : form.menuBar()->actions()) {
    if (title->text().remove(u'&') != menu || title->menu() == nullptr) continue;
    for (QAction* action : title->menu()->actions()) {
      if (action->text().remove(u'&') == text) return action;
    }
  }
  return nullptr;
}

}  // namespace

class ConventionsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetPumpInterval(std::chrono::microseconds(0)); }

  void everyControlSaysInOneLineWhatItDoes() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    const QList<QWidget*> controls = Controls(form);
    QVERIFY(controls.size() > 60);
    for (const QWidget* control : controls) {
      QVERIFY2(!control->toolTip().isEmpty(), qPrintable(Name(control)));
      QVERIFY2(!control->toolTip().contains(u'\n'), qPrintable(Name(control)));
    }
  }

  void propertyTooltipsGiveTheLaw_data() {
    QTest::addColumn<QString>("law");
    QTest::addColumn<QString>("box");    // object of the form by field name, or empty
    QTest::addColumn<QString>("label");
    QTest::newRow("Goodness") << "x ~ 1 = x" << "CheckBoxGood" << "LabelGood";
    QTest::newRow("Involutive") << "(x ~ 0) ~ 0 = x" << "CheckBoxInv" << "LabelInv";
    QTest::newRow("Linear") << "x ≤ y or y ≤ x" << "CheckBoxLinear" << "LabelLinear";
    QTest::newRow("Prelinear") << "(x → y) m (y → x) = 1" << "CheckBoxPre" << "LabelPre";
    QTest::newRow("Boundedness") << "x * y ≤ x ~ y" << "" << "LabelBound";
    QTest::newRow("Congruence") << "(x ~ y) * (z ~ t) ≤ (x ~ z) ~ (y ~ t)" << "" << "LabelCon";
  }

  void propertyTooltipsGiveTheLaw() {
    QFETCH(QString, law);
    QFETCH(QString, box);
    QFETCH(QString, label);
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    const std::map<QString, QWidget*> widgets{
        {"CheckBoxGood", form.CheckBoxGood}, {"LabelGood", form.LabelGood},     {"CheckBoxInv", form.CheckBoxInv},
        {"LabelInv", form.LabelInv},         {"CheckBoxLinear", form.CheckBoxLinear},
        {"LabelLinear", form.LabelLinear},   {"CheckBoxPre", form.CheckBoxPre}, {"LabelPre", form.LabelPre},
        {"LabelBound", form.LabelBound},     {"LabelCon", form.LabelCon}};
    QVERIFY2(widgets.at(label)->toolTip().contains(law), qPrintable(widgets.at(label)->toolTip()));
    if (!box.isEmpty()) QVERIFY2(widgets.at(box)->toolTip().contains(law), qPrintable(widgets.at(box)->toolTip()));
  }

  void shortcutsWorkAndTheTooltipsNameThem() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    int opened = 0;
    int saved = 0;
    form.AskOpenFileName = [&] { ++opened; return QString(); };
    form.AskSaveFileName = [&] { ++saved; return QString(); };
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    const std::array<std::pair<QPushButton*, QKeySequence>, 5> bound{{{form.ButtonStep, TEQForm::RunShortcut()},
                                                                       {form.ButtonOpen, TEQForm::OpenShortcut()},
                                                                       {form.ButtonSaveA, TEQForm::SaveShortcut()},
                                                                       {form.ButtonPrev, TEQForm::PreviousShortcut()},
                                                                       {form.ButtonNext, TEQForm::NextShortcut()}}};
    for (const auto& [button, keys] : bound) {
      QVERIFY(!keys.isEmpty());
      QVERIFY2(button->toolTip().endsWith(u'(' + keys.toString(QKeySequence::NativeText) + u')'),
               qPrintable(button->toolTip()));
    }

    QTest::keySequence(&form, TEQForm::NextShortcut());
    QTest::keySequence(&form, TEQForm::NextShortcut());
    QCOMPARE(form.SpinEditMember->Value(), 2);
    QTest::keySequence(&form, TEQForm::PreviousShortcut());
    QCOMPARE(form.SpinEditMember->Value(), 1);
    QTest::keySequence(&form, TEQForm::OpenShortcut());
    QCOMPARE(opened, 1);
    QTest::keySequence(&form, TEQForm::SaveShortcut());
    QCOMPARE(saved, 1);

    // Run twice by keyboard: the caption's change to "Stop" and back keeps the key.
    form.SpinEditElm->SetValue(3);
    form.SpinEditGenLim->SetValue(10);
    form.SpinEditWinLim->SetValue(10000);
    RandSeed(5);
    form.ButtonRandClick();
    QTest::keySequence(&form, TEQForm::RunShortcut());
    QCOMPARE(form.Generations->FGeneration(), 10);
    QTest::keySequence(&form, TEQForm::RunShortcut());
    QCOMPARE(form.Generations->FGeneration(), 20);
  }

  void theMenusHoldTheUsualCommands() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    const std::vector<std::pair<QString, QString>> commands{
        {"File", "Open EQA file…"}, {"File", "Save EQA file…"}, {"File", "Save Population As…"}, {"File", "Export…"},
        {"File", "Quit"},           {"Search", "Run"},          {"Search", "Reset GA"},            {"Search", "Find"},
        {"View", "Show Graph"},     {"View", "Load Found"},     {"Help", "Velmora Manual"},        {"Help", "About Velmora"}};
    for (const auto& [menu, text] : commands) QVERIFY2(Command(form, menu, text) != nullptr, qPrintable(text));
    QCOMPARE(Command(form, "File", "Quit")->shortcut(), TEQForm::QuitShortcut());

    // A command is greyed with its button and does what a click does.
    for (const bool enabled : {false, true}) {
      form.ButtonRand->setEnabled(enabled);
      QCOMPARE(Command(form, "Search", "Reset GA")->isEnabled(), enabled);
    }
    int saved = 0;
    form.AskSaveFileName = [&] { ++saved; return QString(); };
    Command(form, "File", "Save Population As…")->trigger();
    QCOMPARE(saved, 1);

    const QString about = AboutText();
    QVERIFY(about.contains(QStringLiteral("Velmora 1.0")) && about.contains(QStringLiteral("MIT licence")));
    QVERIFY(!ManualPath().isEmpty());  // docs/manual.md beside the sources

    QSignalSpy closed(&form, &TEQForm::Closed);
    Command(form, "File", "Quit")->trigger();
    QCOMPARE(closed.count(), 1);
  }

  // Each dialog shows the files of its type first, then all files; Export
  // opens on the last choices and says what it wrote.
  void fileDialogsFilterByTypeAndExportRemembers() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    QStringList filters;
    form.AskSaveFileName = [&] { filters << form.SaveFilter(); return QString(); };
    form.ButtonSaveAClick();
    form.ButtonSavePopClick();
    form.ButtonSaveLogClick();
    QCOMPARE(filters, QStringList({QStringLiteral("EQA files (*.eqa);;All files (*)"),
                                   QStringLiteral("Population files (*.eqp);;All files (*)"),
                                   QStringLiteral("Reports (*.txt);;All files (*)")}));

    std::vector<ExportRequest> asked;
    form.AskExport = [&](ExportRequest& request) {
      asked.push_back(request);
      request.format = ExportFormat::kJson;
      request.path = fixture.Path(QStringLiteral("shown.json"));
      return true;
    };
    form.ButtonExportClick();
    form.ButtonExportClick();
    QCOMPARE(asked.size(), size_t{2});
    QCOMPARE(asked[1].format, ExportFormat::kJson);
    QCOMPARE(asked[1].path, fixture.Path(QStringLiteral("shown.json")));
    QCOMPARE(form.RichEditLog->Lines().last(), QStringLiteral("Exported 1 algebra to ") + fixture.Path(QStringLiteral("shown.json")));

    // Opening that export again says which files Open reads.
    form.AskOpenFileName = [&] { return fixture.Path(QStringLiteral("shown.json")); };
    form.ButtonOpenClick();
    QCOMPARE(fixture.message_texts.size(), 1);
    QVERIFY2(fixture.message_texts[0].contains(QStringLiteral("Open reads EQA files (.eqa)")), qPrintable(fixture.message_texts[0]));
  }

  void helpAndVersionAnswerWithoutADisplay() {
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
      QProcess program;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(QString::fromLatin1(name));
      program.setProcessEnvironment(environment);
      program.start(QStringLiteral(VELMORA_GUI), {option});
      QVERIFY(program.waitForFinished(10000));
      QCOMPARE(program.exitCode(), 0);
      const QString out = QString::fromUtf8(program.readAllStandardOutput());
      QVERIFY2(out.startsWith(option == QStringLiteral("--help") ? QStringLiteral("Usage: velmora") : QStringLiteral("velmora 1.0")),
               qPrintable(out));
    }
  }

  void dialogsOpenInTheFolderUsedLast() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    QCOMPARE(form.DialogDirectory(), fixture.dir.path());  // the executable's folder at first

    QVERIFY(QDir(fixture.dir.path()).mkpath(QStringLiteral("saved/here")));
    form.AskSaveFileName = [&] { return fixture.Path(QStringLiteral("saved/here/alg.txt")); };
    form.ButtonSaveAClick();
    QVERIFY(QFileInfo::exists(fixture.Path(QStringLiteral("saved/here/alg.eqa"))));
    QCOMPARE(form.DialogDirectory(), fixture.Path(QStringLiteral("saved/here")));

    QVERIFY(QDir(fixture.dir.path()).mkpath(QStringLiteral("opened")));
    const QString source = fixture.Path(QStringLiteral("opened/chain3.eqa"));
    QVERIFY(QFile::copy(QStringLiteral(VELMORA_TEST_DATA "/chain3.eqa"), source));
    form.AskOpenFileName = [&] { return source; };
    form.ButtonOpenClick();
    QCOMPARE(form.DialogDirectory(), fixture.Path(QStringLiteral("opened")));

    form.AskSaveFileName = [] { return QString(); };  // cancelled: the folder stays
    form.ButtonSavePopClick();
    QCOMPARE(form.DialogDirectory(), fixture.Path(QStringLiteral("opened")));
  }

  void replacingAFileAsksAndNamesTheFileWritten() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    const QString target = fixture.Path(QStringLiteral("alg.eqa"));
    form.AskSaveFileName = [&] { return fixture.Path(QStringLiteral("alg.txt")); };

    form.ButtonSaveAClick();  // nothing there yet: no question
    QVERIFY(fixture.replace_questions.isEmpty());
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("keep me");
    file.close();

    form.AskReplace = [&](const QString& question) {
      fixture.replace_questions << question;
      return false;
    };
    form.ButtonSaveAClick();
    QCOMPARE(fixture.replace_questions, QStringList{target + QStringLiteral(" already exists.\nReplace it?")});
    QCOMPARE(FormFixture::ReadAll(target), QStringLiteral("keep me"));

    form.AskReplace = [](const QString&) { return true; };
    form.ButtonSaveAClick();
    QVERIFY(FormFixture::ReadAll(target) != QStringLiteral("keep me"));

    // One question for a whole population, naming a file that would be replaced.
    fixture.replace_questions.clear();
    form.AskReplace = [&](const QString& question) {
      fixture.replace_questions << question;
      return false;
    };
    QVERIFY(QFile::copy(target, fixture.Path(QStringLiteral("run0001.eqa"))));
    QVERIFY(QFile::copy(target, fixture.Path(QStringLiteral("run0003.eqa"))));
    form.AskSaveFileName = [&] { return fixture.Path(QStringLiteral("run.eqa")); };
    form.ButtonSaveDirClick();
    QCOMPARE(fixture.replace_questions,
             QStringList{fixture.Path(QStringLiteral("run0001.eqa")) +
                         QStringLiteral(" and 1 more files already exist.\nReplace them?")});
    QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("run0000.eqa"))));  // declined: nothing written
  }
};

VELMORA_FORM_TEST_MAIN(ConventionsTest)
#include "ConventionsTest.moc"
