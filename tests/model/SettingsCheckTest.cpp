// The settings file's lines that the reading ignores are told, and the
// documented table of keys agrees with the program's own.

#include "model/SettingsCheck.h"

#include <gtest/gtest.h>

#include <string>

#include "ScratchDirectory.h"

namespace {

TEST(SettingsCheckTest, TellsEveryIgnoredLineWithItsNumberAndANearMiss) {
  const std::string text =
      "; a comment\r\n"
      "[Algebra properties]\r\n"
      "Elements number=4\r\n"
      "Goodnes=1\r\n"
      "goodness=yes\r\n"
      "Colorfulness=+3\r\n"
      "[GA Properties]\r\n"
      "Zzzzzz=1\r\n"
      "[Algebra propertys]\r\n"
      "Lattice=1\r\n"
      "[Log]\r\n"
      "QuickDirPath=not a number is fine\r\n"
      "no equals sign\r\n";
  const std::vector<SettingsWarning> warnings = CheckSettingsText(text, "Velmora.ini");
  ASSERT_EQ(warnings.size(), 5u);
  EXPECT_EQ(warnings[0].message,
            "Velmora.ini:4: unknown key \"Goodnes\" in [Algebra properties] (ignored; did you mean \"Goodness\"?)");
  EXPECT_EQ(warnings[1].message,
            "Velmora.ini:5: value \"yes\" of \"Goodness\" in [Algebra properties] is not an integer "
            "(the default 0 is used)");
  EXPECT_EQ(warnings[2].message, "Velmora.ini:8: unknown key \"Zzzzzz\" in [GA Properties] (ignored)");
  EXPECT_EQ(warnings[3].message, "Velmora.ini:9: unknown section [Algebra propertys] (ignored)");
  EXPECT_EQ(warnings[4].line, 13);
}

TEST(SettingsCheckTest, TheProgramsOwnFileHasNothingToTell) {
  IniFile ini;
  SaveFormValues(DefaultFormValues(), ini);
  ini.Set("Find", "Keep at most", "1000");  // the window's own keys
  ini.Set("Find", "First only", "1");
  EXPECT_TRUE(CheckSettingsText(ini.Text(), "Velmora.ini").empty());
  EXPECT_EQ(NearestKey("Mix"), nullptr);  // too short to guess at
  ASSERT_NE(NearestKey("Non-Linaer"), nullptr);
  EXPECT_STREQ(NearestKey("Non-Linaer")->key, "Non-Linear");
}

TEST(SettingsCheckTest, ChangedSettingsNameOnlyWhatDiffersFromTheDefaults) {
  FormValues values = DefaultFormValues();
  EXPECT_EQ(ChangedSettingsJson(values), "{}");
  values.Set(Control::ElementsNumber, 4);
  values.Set(Control::Goodness, 1);
  values.Set(Control::RemoveEqual, 0);
  EXPECT_EQ(ChangedSettingsJson(values),
            "{\"Algebra properties\": {\"Elements number\": 4, \"Goodness\": 1}, \"GA properties\": "
            "{\"Remove equal\": 0}}");
}

// docs/settings.md holds one row per key: section, key, range and default as
// the program has them.
TEST(SettingsCheckTest, TheDocumentedTableIsTheProgramsTable) {
  const std::string doc = ReadWholeFile(std::string(VELMORA_TEST_DATA) + "/../../docs/settings.md");
  ASSERT_FALSE(doc.empty());
  size_t rows = 0;
  for (size_t at = doc.find("\n| "); at != std::string::npos; at = doc.find("\n| ", at + 1)) ++rows;
  EXPECT_EQ(rows, kWriteOrder.size() + kWindowKeys.size() + 1);  // and the heading
  for (const WindowKey& key : kWindowKeys) {
    const std::string range = key.kind == ValueKind::Boolean
                                  ? std::string("0 or 1")
                                  : std::to_string(key.minimum) + " … " + std::to_string(key.maximum);
    const std::string row = std::string("\n| ") + key.section + " | " + key.key + " | " + range + " | " +
                            std::to_string(key.default_value) + " | ";
    EXPECT_NE(doc.find(row), std::string::npos) << "docs/settings.md lacks the row" << row;
  }
  for (const SettingsKey& key : kWriteOrder) {
    std::string range, default_text;
    if (key.kind == ValueKind::Text) {
      range = "text";
      default_text = "~/Velmora/EQ/";
    } else if (key.kind == ValueKind::Boolean) {
      range = "0 or 1";
      default_text = std::to_string(key.default_value);
    } else {
      const bool colourful = key.control == Control::Colorfulness || key.control == Control::ColorfulnessProd;
      range = std::to_string(key.minimum) + " … " + (colourful ? "Elements number" : std::to_string(key.maximum));
      default_text = key.control == Control::Threads ? "every core" : std::to_string(key.default_value);
    }
    const std::string row = std::string("\n| ") + key.section + " | " + key.key + " | " + range + " | " + default_text + " | ";
    EXPECT_NE(doc.find(row), std::string::npos) << "docs/settings.md lacks the row" << row;
  }
}

}  // namespace
