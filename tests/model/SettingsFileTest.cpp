// The settings file: defaults, the window's reading order with its clamping
// and pair rules, the writing order, and how values reach the settings block.

#include "model/SettingsFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ScratchDirectory.h"

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* home = std::getenv("HOME")) saved_home_ = home;
    if (const char* config = std::getenv("XDG_CONFIG_HOME")) saved_config_ = config;
    setenv("HOME", "/home/tester", 1);
    unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    if (saved_home_) setenv("HOME", saved_home_->c_str(), 1); else unsetenv("HOME");
    if (saved_config_) setenv("XDG_CONFIG_HOME", saved_config_->c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
  }

  // The values read from an INI text, starting from the defaults.
  FormValues Loaded(const std::string& text) {
    ScratchDirectory dir;
    WriteWholeFile(dir.File("Velmora.ini"), text);
    IniFile ini;
    EXPECT_TRUE(ini.Load(dir.File("Velmora.ini")));
    FormValues values = DefaultFormValues();
    LoadFormValues(ini, values);
    return values;
  }

  std::optional<std::string> saved_home_, saved_config_;
};

// The defaults as written; "Threads" holds the number of cores of this machine.
std::string DefaultText() {
  return
    "[Algebra properties]\r\nElements number=5\r\nOptional weight=10\r\nColorfulness=0\r\nColorfulness(*)=0\r\n"
    "Delta=0\r\nMax=0\r\nGoodness=0\r\nInvolutive=0\r\nSemiseparated=0\r\nSeparated=0\r\nResiduated=0\r\n"
    "Commutative=0\r\nNon-Lattice=0\r\nNon-Residuated=0\r\nNon-Commutative=0\r\nNon-Goodness=0\r\n"
    "Non-Involutive=0\r\nNon-Separated=0\r\nNon-Prelinear=0\r\nNon-SemiSeparated=0\r\nNon-Linear=0\r\n"
    "Linear=0\r\nLattice=0\r\nPrelinear=0\r\nSup-product distributivity=0\r\nEquality over EqProd=0\r\n"
    "\r\n[GA properties]\r\nPopulation limit=180\r\nSteps limit=100\r\nMutation rate=10\r\nCrossover rate=90\r\n"
    "Winners limit=100\r\nChild ratio=95\r\nRemove equal=1\r\nThreads=" + std::to_string(EveryCore()) + "\r\nOne per class=0\r\n"
    "\r\n[Log]\r\nDumpProperties=1\r\nQuickDirPath=/home/tester/Velmora/EQ\r\n"
    "\r\n[Log properties]\r\nAutoLoadWinners=1\r\nLog derived=1\r\nLog properties=1\r\nQuicksave=1\r\n"
    "Autosave=1\r\nTada sound=1\r\n";
}

TEST_F(SettingsFileTest, DefaultsAreTheControlsDefaults) {
  const FormValues values = DefaultFormValues();
  EXPECT_EQ(values.Get(Control::ElementsNumber), 5);
  EXPECT_EQ(values.Get(Control::OptionalWeight), 10);
  EXPECT_EQ(values.Get(Control::PopulationLimit), 180);
  EXPECT_EQ(values.Get(Control::StepsLimit), 100);
  EXPECT_EQ(values.Get(Control::ChildRatio), 95);
  EXPECT_EQ(values.Get(Control::RemoveEqual), 1);
  EXPECT_EQ(values.Get(Control::Goodness), 0);
  EXPECT_EQ(values.Get(Control::TadaSound), 1);
  EXPECT_EQ(values.quick_dir_path, "/home/tester/Velmora/EQ");
  EXPECT_EQ(DefaultQuickDirText(), "/home/tester/Velmora/EQ");
}

TEST_F(SettingsFileTest, WritesEveryKeyInOrderWithOneSectionPerName) {
  IniFile ini;
  SaveFormValues(DefaultFormValues(), ini);
  EXPECT_EQ(ini.Text(), DefaultText());
}

TEST_F(SettingsFileTest, WritesTheValuesAsTheControlsShowThem) {
  FormValues values = DefaultFormValues();
  values.Set(Control::MutationRate, 35);
  values.Set(Control::DumpProperties, 0);
  values.Set(Control::Lattice, 1);
  values.quick_dir_path = "  /data/eq ";
  IniFile ini;
  SaveFormValues(values, ini);
  EXPECT_EQ(ini.Value("GA properties", "Mutation rate"), "35");
  EXPECT_EQ(ini.Value("Log", "DumpProperties"), "0");
  EXPECT_EQ(ini.Value("Log properties", "Log properties"), "0");  // the same box
  EXPECT_EQ(ini.Value("Algebra properties", "Lattice"), "1");
  EXPECT_EQ(ini.Value("Log", "QuickDirPath"), "  /data/eq ");
}

TEST_F(SettingsFileTest, ReadingWhatWasWrittenGivesTheSameValues) {
  FormValues values = DefaultFormValues();
  values.Set(Control::ElementsNumber, 9);
  values.Set(Control::Colorfulness, 7);
  values.Set(Control::WinnersLimit, 250);
  values.Set(Control::NonCommutative, 1);
  values.Set(Control::Max, 1);
  values.quick_dir_path = "/data/eq";
  IniFile ini;
  SaveFormValues(values, ini);
  const FormValues read = Loaded(ini.Text());
  EXPECT_EQ(read.values, values.values);
  EXPECT_EQ(read.quick_dir_path, "/data/eq");
}

TEST_F(SettingsFileTest, ThreadsDefaultToEveryCoreAndAreHeldToTheirRange) {
  ASSERT_GE(EveryCore(), 1);
  EXPECT_EQ(DefaultFormValues().Get(Control::Threads), EveryCore());
  // A file written before the key existed reads as every core.
  EXPECT_EQ(Loaded("[GA properties]\nPopulation limit=200\n").Get(Control::Threads), EveryCore());
  EXPECT_EQ(Loaded("[GA properties]\nThreads=3\n").Get(Control::Threads), 3);
  EXPECT_EQ(Loaded("[GA properties]\nThreads=0\n").Get(Control::Threads), 1);
  EXPECT_EQ(Loaded("[GA properties]\nThreads=5000\n").Get(Control::Threads), kMostThreads);
  EXPECT_EQ(Loaded("[GA properties]\nThreads=two\n").Get(Control::Threads), EveryCore());

  FormValues values = DefaultFormValues();
  values.Set(Control::Threads, 6);
  SearchSettings settings;
  ApplyFormValues(values, settings);
  EXPECT_EQ(settings.Threads, 6);
  IniFile ini;
  SaveFormValues(values, ini);
  EXPECT_NE(ini.Text().find("Remove equal=1\r\nThreads=6\r\n"), std::string::npos);
}

TEST_F(SettingsFileTest, MissingFileKeysKeepTheirDefaults) {
  const FormValues values = Loaded("[GA properties]\nMutation rate=20\n");
  FormValues expected = DefaultFormValues();
  expected.Set(Control::MutationRate, 20);
  EXPECT_EQ(values.values, expected.values);
  EXPECT_EQ(values.quick_dir_path, "/home/tester/Velmora/EQ/");  // the key's default ends in '/'
}

TEST_F(SettingsFileTest, BothBoxesOfAPairEndAsTheReadingOrderLeavesThem) {
  const FormValues values = Loaded(
      "[Algebra properties]\n"
      "Goodness=1\nNon-Goodness=1\nInvolutive=1\nNon-Involutive=1\nSemiseparated=1\nNon-SemiSeparated=1\n"
      "Separated=1\nNon-Separated=1\nResiduated=1\nNon-Residuated=1\nCommutative=1\nNon-Commutative=1\n"
      "Linear=1\nNon-Linear=1\nLattice=1\nNon-Lattice=1\nPrelinear=1\nNon-Prelinear=1\n");
  for (Control non : {Control::NonGoodness, Control::NonInvolutive, Control::NonSemiSeparated,
                      Control::NonSeparated, Control::NonResiduated, Control::NonCommutative}) {
    EXPECT_EQ(values.Get(non), 1) << static_cast<int>(non);
    EXPECT_EQ(values.Get(PartnerOf(non)), 0) << static_cast<int>(non);
  }
  for (Control positive : {Control::Linear, Control::Lattice, Control::Prelinear}) {
    EXPECT_EQ(values.Get(positive), 1) << static_cast<int>(positive);
    EXPECT_EQ(values.Get(PartnerOf(positive)), 0) << static_cast<int>(positive);
  }
}

TEST_F(SettingsFileTest, OnePairWithBothKeysOn) {
  FormValues values = Loaded("[Algebra properties]\nCommutative=1\nNon-Commutative=1\n");
  EXPECT_EQ(values.Get(Control::Commutative), 0);
  EXPECT_EQ(values.Get(Control::NonCommutative), 1);
  values = Loaded("[Algebra properties]\nLattice=1\nNon-Lattice=1\n");
  EXPECT_EQ(values.Get(Control::Lattice), 1);
  EXPECT_EQ(values.Get(Control::NonLattice), 0);
  EXPECT_EQ(PartnerOf(Control::SupProdDistributivity), Control::SupProdDistributivity);
  EXPECT_EQ(PartnerOf(Control::Delta), Control::Delta);
}

TEST_F(SettingsFileTest, ValuesAreClampedToTheControlsRanges) {
  FormValues values = Loaded(
      "[Algebra properties]\nElements number=40\nOptional weight=150\nColorfulness=-3\n"
      "[GA properties]\nPopulation limit=5\nSteps limit=20000\nMutation rate=-5\nCrossover rate=101\n"
      "Winners limit=0\nChild ratio=100\n");
  EXPECT_EQ(values.Get(Control::ElementsNumber), 28);
  EXPECT_EQ(values.Get(Control::OptionalWeight), 100);
  EXPECT_EQ(values.Get(Control::Colorfulness), 0);
  EXPECT_EQ(values.Get(Control::PopulationLimit), 10);
  EXPECT_EQ(values.Get(Control::StepsLimit), 10000);
  EXPECT_EQ(values.Get(Control::MutationRate), 0);
  EXPECT_EQ(values.Get(Control::CrossoverRate), 100);
  EXPECT_EQ(values.Get(Control::WinnersLimit), 10);
  EXPECT_EQ(values.Get(Control::ChildRatio), 100);
  values = Loaded("[Algebra properties]\nElements number=1\n[GA properties]\nSteps limit=5\n");
  EXPECT_EQ(values.Get(Control::ElementsNumber), 2);
  EXPECT_EQ(values.Get(Control::StepsLimit), 10);
}

TEST_F(SettingsFileTest, ColourfulnessIsBoundedByTheElementCountReadBeforeIt) {
  FormValues values = Loaded("[Algebra properties]\nElements number=4\nColorfulness=9\nColorfulness(*)=3\n");
  EXPECT_EQ(values.Get(Control::Colorfulness), 4);
  EXPECT_EQ(values.Get(Control::ColorfulnessProd), 3);

}

TEST_F(SettingsFileTest, NonIntegerValuesGiveTheDefault) {
  for (const char* bad : {"abc", "12abc", "", "1.5", "0x10", "99999999999"}) {
    SCOPED_TRACE(bad);
    const FormValues values = Loaded(std::string("[Algebra properties]\nElements number=") + bad +
                                     "\nGoodness=" + bad + "\nDelta=7\n[GA properties]\nChild ratio=" + bad +
                                     "\nRemove equal=" + bad + "\n");
    EXPECT_EQ(values.Get(Control::ElementsNumber), 5);
    EXPECT_EQ(values.Get(Control::ChildRatio), 95);
    EXPECT_EQ(values.Get(Control::RemoveEqual), 1);
    EXPECT_EQ(values.Get(Control::Goodness), 0);
    EXPECT_EQ(values.Get(Control::Delta), 1);  // any non-zero integer is true
  }
  const FormValues values = Loaded("[Algebra properties]\nElements number= +7 \nMax=-1\n");
  EXPECT_EQ(values.Get(Control::ElementsNumber), 7);
  EXPECT_EQ(values.Get(Control::Max), 1);
}

// Files written before the key existed read as off; the key reaches the
// search settings and survives a write and a read.
TEST_F(SettingsFileTest, OnePerClassIsOffUnlessTheFileSaysSo) {
  EXPECT_EQ(Loaded("[GA properties]\nRemove equal=1\n").Get(Control::OnePerClass), 0);
  EXPECT_EQ(Loaded("[GA properties]\nOne per class=junk\n").Get(Control::OnePerClass), 0);
  FormValues values = Loaded("[GA properties]\nOne per class=1\n");
  EXPECT_EQ(values.Get(Control::OnePerClass), 1);
  SearchSettings settings;
  ApplyFormValues(values, settings);
  EXPECT_TRUE(settings.OnePerClass);
  values.Set(Control::OnePerClass, 0);
  ApplyFormValues(values, settings);
  EXPECT_FALSE(settings.OnePerClass);

  IniFile ini;
  values.Set(Control::OnePerClass, 1);
  SaveFormValues(values, ini);
  EXPECT_EQ(ini.Value("GA properties", "One per class"), std::optional<std::string>("1"));
  FormValues reread = DefaultFormValues();
  LoadFormValues(ini, reread);
  EXPECT_EQ(reread.Get(Control::OnePerClass), 1);
}

TEST_F(SettingsFileTest, LogPropertiesDecidesTheDumpPropertiesBox) {
  FormValues values = Loaded("[Log]\nDumpProperties=0\n[Log properties]\nLog properties=1\n");
  EXPECT_EQ(values.Get(Control::DumpProperties), 1);
  values = Loaded("[Log]\nDumpProperties=1\n[Log properties]\nLog properties=0\n");
  EXPECT_EQ(values.Get(Control::DumpProperties), 0);
  EXPECT_EQ(values.Get(Control::LogProperties), 0);
  values = Loaded("[Log]\nDumpProperties=0\n");
  EXPECT_EQ(values.Get(Control::DumpProperties), 1);  // "Log properties" missing reads as its default
}

TEST_F(SettingsFileTest, ReadIntegerKeyDoesNotClamp) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("a.ini"), "[GA properties]\nPopulation limit=3\n");
  IniFile ini;
  ASSERT_TRUE(ini.Load(dir.File("a.ini")));
  EXPECT_EQ(ReadIntegerKey(ini, kReadOrder[4]), 3);
  EXPECT_EQ(ReadIntegerKey(ini, kReadOrder[5]), 100);  // "Steps limit" missing
  EXPECT_EQ(ReadTextKey(ini, kReadOrder[11]), "/home/tester/Velmora/EQ/");
}

TEST_F(SettingsFileTest, ApplyCopiesIntoTheSettingsBlock) {
  FormValues values = DefaultFormValues();
  values.Set(Control::ChildRatio, 95);
  values.Set(Control::MutationRate, 7);
  values.Set(Control::CrossoverRate, 100);
  values.Set(Control::OptionalWeight, 0);
  values.Set(Control::ElementsNumber, 6);
  values.Set(Control::Colorfulness, 6);
  values.Set(Control::ColorfulnessProd, 2);
  values.Set(Control::PopulationLimit, 500);
  values.Set(Control::RemoveEqual, 0);
  values.Set(Control::LogDerived, 0);
  values.Set(Control::NonGoodness, 1);
  values.Set(Control::Prelinear, 1);
  values.Set(Control::EqualityOverEqProd, 1);
  SearchSettings settings;
  ApplyFormValues(values, settings);
  EXPECT_EQ(settings.ChildRatio, 95 / 100.0);
  EXPECT_LT(static_cast<long double>(settings.ChildRatio), 0.95L);  // the nearest double lies below
  EXPECT_EQ(settings.MutationRate, 0.07);
  EXPECT_EQ(settings.CrossoverRate, 1.0);
  EXPECT_EQ(settings.OptionalWeight, 0.0);
  EXPECT_EQ(settings.ElementCount, 6);
  EXPECT_EQ(settings.ColorfulnessFEq, 6);
  EXPECT_EQ(settings.ColorfulnessProd, 2);
  EXPECT_EQ(settings.PopulationLimit, 500);
  EXPECT_FALSE(settings.RemoveEqualMembers);
  EXPECT_FALSE(settings.ShowDerived);
  EXPECT_TRUE(settings.WantNonGoodness);
  EXPECT_FALSE(settings.WantGoodness);
  EXPECT_TRUE(settings.WantPrelinear);
  EXPECT_TRUE(settings.WantEqualityOverEqProd);
  EXPECT_FALSE(settings.WantSupProdDistributivity);
  EXPECT_EQ(settings.QuickDir, "/home/tester/Velmora/EQ/");
}

TEST_F(SettingsFileTest, ApplyDerivesTheGeneCount) {
  SearchSettings settings;
  FormValues values = DefaultFormValues();
  const int expected[2][2] = {{3, 4}, {4, 5}};
  for (int delta : {0, 1}) {
    for (int maximum : {0, 1}) {
      values.Set(Control::Delta, delta);
      values.Set(Control::Max, maximum);
      ApplyFormValues(values, settings);
      EXPECT_EQ(settings.GeneCount, expected[delta][maximum]);
      EXPECT_EQ(settings.DeltaEnabled, delta == 1);
      EXPECT_EQ(settings.MaximumEnabled, maximum == 1);
    }
  }
}

TEST_F(SettingsFileTest, ApplyTrimsTheQuickSaveDirectory) {
  SearchSettings settings;
  FormValues values = DefaultFormValues();
  for (const auto& [text, expected] : {std::pair<std::string, std::string>{"  /data/eq  ", "/data/eq/"},
                                       {"/data/eq/", "/data/eq/"},
                                       {"", ""},
                                       {"   ", ""},
                                       {"relative", "relative/"}}) {
    values.quick_dir_path = text;
    ApplyFormValues(values, settings);
    EXPECT_EQ(settings.QuickDir, expected) << "\"" << text << "\"";
  }
}

// Beside the executable only when a file is already there (a portable copy,
// the build tree): an installed program never writes into ~/.local/bin.
TEST_F(SettingsFileTest, SettingsFileLivesBesideTheExecutableOnlyWhenOneIsThere) {
  ScratchDirectory dir;
  EXPECT_EQ(SettingsFilePath(dir.Path()), "/home/tester/.config/Velmora/Velmora.ini");  // writable, but empty
  WriteWholeFile(dir.File("Velmora.ini"), "");
  EXPECT_EQ(SettingsFilePath(dir.Path()), dir.Path() + "/Velmora.ini");
  EXPECT_EQ(SettingsFilePath(dir.Path() + "/"), dir.Path() + "/Velmora.ini");
  const std::string absent = dir.File("no/such/dir");
  EXPECT_EQ(SettingsFilePath(absent), "/home/tester/.config/Velmora/Velmora.ini");
  setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(SettingsFilePath(absent), "/xdg/Velmora/Velmora.ini");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_EQ(SettingsFilePath(absent), "/home/tester/.config/Velmora/Velmora.ini");
}

}  // namespace
