// The shown algebra: its six tables, the property labels, the fitness, and
// browsing the members of a population.
#include <QLineEdit>
#include <QtTest>

#include "app/Colours.h"
#include "FormFixture.h"
#include "app/NumberText.h"
#include "app/SpinEdit.h"

namespace {

// The two-element algebra: every lookup is fixed but 0 ~ 1.
std::unique_ptr<TEQAlgebra> TwoElements(char zero_equals_one) {
  auto algebra = std::make_unique<TEQAlgebra>();
  algebra->Init(2);
  algebra->InfimumGene.Entries[0] = {'0', '1', '0'};
  algebra->FEqualityGene.Entries[0] = {'0', '1', zero_equals_one};
  algebra->DeltaGene.Entries[0] = {'0', '0'};
  algebra->DeltaGene.Entries[1] = {'1', '1'};
  const std::array<char, 2> e{'0', '1'};
  int k = 0;
  for (char x : e) {
    for (char y : e) algebra->MaximumGene.Entries[static_cast<size_t>(k++)] = {x, y, x == '1' || y == '1' ? '1' : '0'};
  }
  return algebra;
}

// Four elements 0, a, b, 1 with a * b = a but b * a = b, and no entry for a * a.
std::unique_ptr<TEQAlgebra> FourElementsWithOneSidedProduct() {
  auto algebra = std::make_unique<TEQAlgebra>();
  algebra->Init(4);
  algebra->ProductGene.Entries[0] = {'a', 'b', 'a'};
  algebra->ProductGene.Entries[1] = {'b', 'a', 'b'};
  algebra->ProductGene.Entries[2] = {'b', 'b', 'b'};
  algebra->InfimumGene.Entries[0] = {'0', 'a', '0'};
  algebra->InfimumGene.Entries[1] = {'0', 'b', '0'};
  algebra->InfimumGene.Entries[2] = {'a', 'b', 'a'};
  return algebra;
}

// Three elements whose fuzzy equality takes every value on distinct pairs.
std::unique_ptr<TEQAlgebra> ThreeColourful() {
  auto algebra = std::make_unique<TEQAlgebra>();
  algebra->Init(3);
  algebra->InfimumGene.Entries[0] = {'0', 'a', '0'};
  algebra->FEqualityGene.Entries[0] = {'0', 'a', '0'};
  algebra->FEqualityGene.Entries[1] = {'0', '1', 'a'};
  algebra->FEqualityGene.Entries[2] = {'a', '1', '1'};
  algebra->ProductGene.Entries[0] = {'a', 'a', 'a'};
  return algebra;
}

PopulationPtr PopulationOf(std::vector<std::unique_ptr<TEQAlgebra>> members) {
  auto population = std::make_shared<TEQPopulation>();
  for (auto& member : members) population->Add(std::move(member));
  return population;
}

PopulationPtr PopulationOf(std::unique_ptr<TEQAlgebra> member) {
  std::vector<std::unique_ptr<TEQAlgebra>> members;
  members.push_back(std::move(member));
  return PopulationOf(std::move(members));
}

// The grid's rows, cells joined, rows separated by "|"; an empty cell is "_".
QString GridText(const QTableWidget* grid) {
  QStringList rows;
  for (int r = 0; r < grid->rowCount(); ++r) {
    QString row;
    for (int c = 0; c < grid->columnCount(); ++c) {
      const QTableWidgetItem* item = grid->item(r, c);
      const QString text = item != nullptr ? item->text() : QString();
      row += text.isEmpty() ? QStringLiteral("_") : text;
    }
    rows << row;
  }
  return rows.join(u'|');
}

QColor TextColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

}  // namespace

class FormDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale::c()); }
  void cleanup() { QLocale::setDefault(QLocale::c()); }

  void twoElementTables() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.BrowsePopulation(PopulationOf(TwoElements('0')));
    QCOMPARE(form.StringGridEditInf->rowCount(), 3);
    QCOMPARE(form.StringGridEditInf->columnCount(), 3);
    QCOMPARE(GridText(form.StringGridEditInf), QStringLiteral("^01|000|101"));
    QCOMPARE(GridText(form.StringGridProd), QStringLiteral("*01|000|101"));
    QCOMPARE(GridText(form.StringGridFEq), QStringLiteral("~01|010|101"));
    QCOMPARE(GridText(form.StringGridImp), QStringLiteral(">01|011|101"));
  }

  void rowElementIsTheLeftOperandAndMissingEntriesAreEmpty() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.BrowsePopulation(PopulationOf(FourElementsWithOneSidedProduct()));
    QCOMPARE(form.StringGridProd->rowCount(), 5);
    // Row a: a*0 = 0, a*a has no entry, a*b = a, a*1 = a.  Row b: b*a = b.
    QCOMPARE(GridText(form.StringGridProd), QStringLiteral("*0ab1|00000|a0_aa|b0bbb|10ab1"));
    QCOMPARE(GridText(form.StringGridEditInf), QStringLiteral("^0ab1|00000|a0aaa|b0abb|10ab1"));
  }

  void tablesFollowTheShownAlgebrasSize() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    QCOMPARE(form.StringGridFEq->rowCount(), 6);  // the first population: five elements
    form.BrowsePopulation(PopulationOf(TwoElements('1')));
    QCOMPARE(form.StringGridFEq->rowCount(), 3);
    QCOMPARE(form.StringGridFEq->columnCount(), 3);
    QCOMPARE(GridText(form.StringGridFEq), QStringLiteral("~01|011|111"));
  }

  void deltaAndMaximumTablesAreHiddenWhileOff() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.BrowsePopulation(PopulationOf(TwoElements('0')));
    QVERIFY(form.StringGridDelta->isHidden());
    QVERIFY(form.LabelDeltaCaption->isHidden());
    QVERIFY(form.StringGridMax->isHidden());
    QVERIFY(form.LabelMaximumCaption->isHidden());
    QVERIFY(form.LabelDeltaProp->isHidden());
    QVERIFY(!form.LabelDeltaProp->isEnabled());
    QVERIFY(form.LabelLat->isHidden());
    QVERIFY(form.LabelPre->isHidden());
    QVERIFY(form.LabelSupProd->isHidden());

    form.CheckBoxDeltaProp->click();
    form.ShowAlgebra();
    QVERIFY(!form.StringGridDelta->isHidden());
    QVERIFY(!form.LabelDeltaCaption->isHidden());
    QCOMPARE(form.StringGridDelta->rowCount(), 3);
    QCOMPARE(form.StringGridDelta->columnCount(), 2);
    QCOMPARE(GridText(form.StringGridDelta), QStringLiteral("d_|00|11"));
    QVERIFY(!form.LabelDeltaProp->isHidden());
    QVERIFY(form.LabelDeltaProp->isEnabled());
    QVERIFY(form.LabelDeltaProp->text().startsWith(QStringLiteral("Delta properties: ")));

    form.CheckBoxMax->click();
    form.ShowAlgebra();
    QVERIFY(!form.StringGridMax->isHidden());
    QVERIFY(!form.LabelMaximumCaption->isHidden());
    QCOMPARE(GridText(form.StringGridMax), QStringLiteral("m01|001|111"));
    QVERIFY(!form.LabelLat->isHidden());
    QVERIFY(!form.LabelPre->isHidden());
    QVERIFY(!form.LabelSupProd->isHidden());
    QVERIFY(form.LabelLat->text().startsWith(QStringLiteral("Lattice: ")));

    form.CheckBoxDeltaProp->click();
    form.CheckBoxMax->click();
    form.ShowAlgebra();
    QVERIFY(form.StringGridDelta->isHidden());
    QVERIFY(form.StringGridMax->isHidden());
    QVERIFY(form.LabelMaximumCaption->isHidden());
    QVERIFY(form.LabelDeltaProp->isHidden());
    QVERIFY(form.LabelLat->isHidden());
  }

  void propertyResultTexts() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.ShowPropertyResult(form.LabelAssocInf, QStringLiteral("Associative Infimum"), 120, 125);
    QCOMPARE(form.LabelAssocInf->text(), QStringLiteral("Non-Associative Infimum: 120/125, Errors: 5"));
    QCOMPARE(TextColour(form.LabelAssocInf), kRed);
    form.ShowPropertyResult(form.LabelGood, QStringLiteral("Goodness"), 5, 5);
    QCOMPARE(form.LabelGood->text(), QStringLiteral("Goodness: 5/5 OK"));
    QCOMPARE(TextColour(form.LabelGood), kGreen);
    form.ShowPropertyResult(form.LabelGood, QStringLiteral("Goodness"), 4, 5);
    QCOMPARE(form.LabelGood->text(), QStringLiteral("Non-Goodness: 4/5, Errors: 1"));
    QCOMPARE(TextColour(form.LabelGood), kRed);
  }

  void labelsOfAnAlgebraThatHoldsEverywhere() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.BrowsePopulation(PopulationOf(TwoElements('0')));
    TEQAlgebra& shown = *form.ShownAlgebra;
    // Each label shows its own check under the window's name.
    const std::array<std::tuple<QLabel*, const char*, int>, 12> axioms{{
        {form.LabelAssocInf, "Associative Infimum", kAssociativeInfimumSlot},
        {form.LabelCommInf, "Commutative Infimum", kCommutativeInfimumSlot},
        {form.LabelNeuInf, "Neutral Infimum", kNeutralInfimumSlot},
        {form.LabelIdInf, "Idempotent Infimum", kIdempotentInfimumSlot},
        {form.LabelIsoProd, "Isotone product", kIsotoneProductSlot},
        {form.LabelAssocProd, "Associative product", kAssociativeProductSlot},
        {form.LabelNeuProd, "Neutral product", kNeutralProductSlot},
        {form.LabelRefE, "Reflexive FEquality", kReflexiveFEqualitySlot},
        {form.LabelSubst, "Substitution", kSubstitutionSlot},
        {form.LabelCon, "Congruence", kCongruenceSlot},
        {form.LabelMonoImp, "Monotone Implication", kMonotoneImplicationSlot},
        {form.LabelBound, "Boundedness", kBoundednessSlot},
    }};
    for (const auto& [label, name, slot] : axioms) {
      const PropertyResult& result = shown.PropertyResults[static_cast<size_t>(slot)];
      QVERIFY(result.Total > 0);
      QCOMPARE(label->text(), QStringLiteral("%1: %2/%2 OK").arg(QString::fromLatin1(name)).arg(result.Total));
      QCOMPARE(TextColour(label), kGreen);
    }
    QCOMPARE(form.LabelAssocInf->text(), QStringLiteral("Associative Infimum: 8/8 OK"));
    QCOMPARE(form.LabelCommInf->text(), QStringLiteral("Commutative Infimum: 4/4 OK"));
    QCOMPARE(form.LabelColorful->text(), QStringLiteral("Colorfulness: 1/0 OK"));
    QCOMPARE(form.LabelColProd->text(), QStringLiteral("Colorfulness(*): 0/0 OK"));
    QCOMPARE(form.LabelFitness->text(), QStringLiteral("Fitness :100%"));
    QCOMPARE(shown.Fitness, 1.0);
  }

  void failingOptionalPropertiesAreRed() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.BrowsePopulation(PopulationOf(TwoElements('1')));
    QCOMPARE(form.LabelGood->text(), QStringLiteral("Non-Goodness: 1/2, Errors: 1"));
    QCOMPARE(TextColour(form.LabelGood), kRed);
    QCOMPARE(form.LabelInv->text(), QStringLiteral("Non-Involutive: 1/2, Errors: 1"));
    QCOMPARE(form.LabelSemi->text(), QStringLiteral("Non-Semiseparated: 1/2, Errors: 1"));
    QCOMPARE(form.LabelSepar->text(), QStringLiteral("Non-Separated: 2/4, Errors: 2"));
    QCOMPARE(form.LabelResid->text(), QStringLiteral("Non-Residuated: 7/8, Errors: 1"));
    QCOMPARE(TextColour(form.LabelResid), kRed);
    QVERIFY(form.LabelComm->text().endsWith(QStringLiteral(" OK")));
    QCOMPARE(TextColour(form.LabelComm), kGreen);
    QCOMPARE(form.LabelFitness->text(), QStringLiteral("Fitness :100%"));  // nothing required
  }

  void fitnessInTheShortestFormWithTheUsersSeparator() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.CheckBoxResid->click();  // required, holds on 7 of 8: 0.9 + 0.1 * 0.875
    form.BrowsePopulation(PopulationOf(TwoElements('1')));
    QCOMPARE(form.LabelFitness->text(), QStringLiteral("Fitness :98.75%"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    form.ShowAlgebra();
    QCOMPARE(form.LabelFitness->text(), QStringLiteral("Fitness :98,75%"));
    form.CheckBoxResid->click();
    form.CheckBoxGood->click();  // 0.9 + 0.1 * 0.5 is 0.9500000000000001
    form.ShowAlgebra();
    QCOMPARE(form.LabelFitness->text(), QStringLiteral("Fitness :95%"));
  }

  void numberTexts() {
    QCOMPARE(GeneralNumber(95.00000000000001), QStringLiteral("95"));
    QCOMPARE(GeneralNumber(87.5), QStringLiteral("87.5"));
    QCOMPARE(GeneralNumber(100.0 / 3.0), QStringLiteral("33.3333333333333"));
    QCOMPARE(FixedNumber(0.91666666666, 7, 7), QStringLiteral("0.9166667"));
    QCOMPARE(FixedNumber(1.0, 7, 7), QStringLiteral("1.0000000"));
    QCOMPARE(FixedNumber(87.5, 3, 5), QStringLiteral("87.500"));
    QCOMPARE(FixedNumber(100.0, 3, 5), QStringLiteral("100.000"));
    QCOMPARE(FixedNumber(12.34567, 3, 5), QStringLiteral("12.346"));
    QCOMPARE(FixedNumber(0.0123456789, 7, 7), QStringLiteral("0.0123457"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(GeneralNumber(87.5), QStringLiteral("87,5"));
    QCOMPARE(FixedNumber(0.75, 7, 7), QStringLiteral("0,7500000"));
  }

  void colourfulnessAgainstItsTarget() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.BrowsePopulation(PopulationOf(ThreeColourful()));
    QCOMPARE(form.LabelColorful->text(), QStringLiteral("Colorfulness: 3/0 OK"));
    QCOMPARE(TextColour(form.LabelColorful), kGreen);
    form.SpinEditColor->SetValue(4);
    form.ShowAlgebra();
    QCOMPARE(form.LabelColorful->text(), QStringLiteral("Non-Colorfulness: 3/4, Errors: 1"));
    QCOMPARE(TextColour(form.LabelColorful), kRed);
  }

  void lettersInTheMemberEditShowMemberZero() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    std::vector<std::unique_ptr<TEQAlgebra>> members;
    members.push_back(TwoElements('0'));
    members.push_back(ThreeColourful());
    members.push_back(FourElementsWithOneSidedProduct());
    const PopulationPtr population = PopulationOf(std::move(members));
    form.BrowsePopulation(population);
    QCOMPARE(form.LabelPop->text(), QStringLiteral("3"));
    QCOMPARE(form.SpinEditMember->maximum(), 2);
    form.SpinEditMember->SetValue(2);
    QCOMPARE(form.ShownAlgebra, population->Get(2));
    QCOMPARE(form.StringGridEditInf->rowCount(), 5);

    form.SpinEditMember->Editor()->selectAll();
    QTest::keyClicks(form.SpinEditMember, QStringLiteral("xy"));
    QCOMPARE(form.ShownAlgebra, population->Get(0));
    QCOMPARE(form.StringGridEditInf->rowCount(), 3);

    // A number beyond the last member selects nothing until it is committed (clamped).
    form.SpinEditMember->Editor()->selectAll();
    QTest::keyClicks(form.SpinEditMember, QStringLiteral("1"));
    QCOMPARE(form.ShownAlgebra, population->Get(1));
    QTest::keyClicks(form.SpinEditMember, QStringLiteral("7"));
    QCOMPARE(form.ShownAlgebra, population->Get(1));
    QTest::keyClick(form.SpinEditMember, Qt::Key_Return);
    QCOMPARE(form.SpinEditMember->Value(), 2);
    QCOMPARE(form.ShownAlgebra, population->Get(2));
  }

  void previousAndNext() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    const PopulationPtr single = PopulationOf(TwoElements('0'));
    form.BrowsePopulation(single);
    QCOMPARE(form.SpinEditMember->minimum(), 0);
    QCOMPARE(form.SpinEditMember->maximum(), 0);
    form.ButtonNext->click();
    form.ButtonPrev->click();
    QCOMPARE(form.SpinEditMember->Value(), 0);
    QCOMPARE(form.ShownAlgebra, single->Get(0));

    std::vector<std::unique_ptr<TEQAlgebra>> members;
    members.push_back(TwoElements('0'));
    members.push_back(TwoElements('1'));
    members.push_back(ThreeColourful());
    const PopulationPtr three = PopulationOf(std::move(members));
    form.BrowsePopulation(three);
    form.ButtonNext->click();
    QCOMPARE(form.ShownAlgebra, three->Get(1));
    form.ButtonNext->click();
    form.ButtonNext->click();
    QCOMPARE(form.SpinEditMember->Value(), 2);
    QCOMPARE(form.ShownAlgebra, three->Get(2));
    form.ButtonPrev->click();
    QCOMPARE(form.ShownAlgebra, three->Get(1));
  }

  void switchingBetweenWinnersAndTheLastPopulation() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines() << QStringLiteral("[Algebra properties]")
                                             << QStringLiteral("Elements number=4"));
    TEQForm& form = fixture.Create();
    const PopulationPtr first = form.BrowsedPopulation;
    QCOMPARE(first, form.Generations->FFirst());
    QCOMPARE(form.LabelPopInd->text(), QStringLiteral("0"));
    QCOMPARE(TextColour(form.LabelPopInd), kRed);

    // The first population may already hold winners; start without any.
    TEQPopulation& winners = *form.Generations->FWinners();
    for (int i = 0; i < winners.Count(); ++i) winners.Free(i);
    winners.Pack();
    form.ButtonLoadWin->click();  // no winners: nothing happens
    QCOMPARE(form.BrowsedPopulation, first);
    form.ButtonLoadPop->click();  // no step yet: nothing happens
    QCOMPARE(form.BrowsedPopulation, first);

    auto winner = std::make_unique<TEQAlgebra>(*TwoElements('0'));
    form.Generations->FWinners()->Add(std::move(winner));
    form.ButtonLoadWin->click();
    QCOMPARE(form.BrowsedPopulation, form.Generations->FWinners());
    QCOMPARE(form.LabelPopInd->text(), QStringLiteral("Winners"));
    QCOMPARE(TextColour(form.LabelPopInd), kGreen);
    QCOMPARE(form.ShownAlgebra, form.Generations->FWinners()->Get(0));

    form.Generations->Step();
    form.Generations->Step();
    form.ButtonLoadPop->click();
    QCOMPARE(form.BrowsedPopulation, form.Generations->FLatest());
    QCOMPARE(form.LabelPopInd->text(), QStringLiteral("2"));
    QCOMPARE(TextColour(form.LabelPopInd), kRed);
    QCOMPARE(form.ShownAlgebra, form.Generations->FLatest()->Get(0));

    form.ButtonLoadWin->click();
    QCOMPARE(form.LabelPopInd->text(), QStringLiteral("Winners"));
    QCOMPARE(TextColour(form.LabelPopInd), kGreen);
  }

  void aMemberMovedOutOfTheBrowsedPopulationIsNotDrawn() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    const PopulationPtr population = PopulationOf(TwoElements('0'));
    form.BrowsePopulation(population);
    QCOMPARE(form.StringGridEditInf->rowCount(), 3);
    // As a step's carry-over does: the member leaves (and may be freed).
    std::unique_ptr<TEQAlgebra> moved = population->Take(0);
    moved.reset();
    form.ShowAlgebra();
    QCOMPARE(form.ShownAlgebra, nullptr);
    form.ButtonNext->click();
    form.SelectMember();
    QCOMPARE(form.ShownAlgebra, nullptr);
    QCOMPARE(form.StringGridEditInf->rowCount(), 3);  // the last drawing stays
  }
};

VELMORA_FORM_TEST_MAIN(FormDisplayTest)
#include "FormDisplayTest.moc"
