// The program's texts: every catalogue's forms, where help is looked for,
// and how a pass's events read in the log's words and as JSON.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_texts.h"
#include "logs/log_texts.h"
#include "macintosh/macintosh_texts.h"
#include "runtime/service_texts.h"
#include "config/settings_texts.h"
#include "runtime/main_window_texts.h"
#include "runtime/pass_report.h"
#include "runtime/runtime_texts.h"
#include "base/text.h"

namespace vorn {
namespace {

// Every catalogue of the program, walked by the checks below.
template <typename Catalogue>
void CheckForms(const char* name, const Catalogue& catalogue) {
  for (const auto& entry : catalogue.entries()) {
    const Text& t = entry.text;
    const std::string where = std::string(name) + " #" + std::to_string(static_cast<int>(entry.id));
    EXPECT_FALSE(t.portuguese.empty()) << where;
    if (t.forms == TextForms::kPortugueseOnly) {
      EXPECT_TRUE(t.french.empty()) << where;
      EXPECT_TRUE(t.english.empty()) << where;
      continue;
    }
    EXPECT_FALSE(t.french.empty()) << where;
    EXPECT_FALSE(t.english.empty()) << where;
    if (t.forms == TextForms::kFrenchEnglish || t.forms == TextForms::kInvariant) {
      EXPECT_EQ(t.portuguese, t.english) << where;
    }
    if (t.forms == TextForms::kFrenchForPortuguese || t.forms == TextForms::kInvariant) {
      EXPECT_EQ(t.portuguese, t.french) << where;
    }
  }
}

TEST(CatalogueTest, EveryEntryHasTheFormsItMustHave) {
  CheckForms("settings", SettingsTexts());
  CheckForms("engine", EngineTexts());
  CheckForms("logs", LogTexts());
  CheckForms("macintosh", MacintoshTexts());
  CheckForms("service", ServiceTexts());
  CheckForms("shell", ShellTexts());
  CheckForms("main window", MainWindowTexts());
}

TEST(CatalogueTest, HelpIsLookedForInTheAppFolderTheBuildAndTheInstall) {
  EXPECT_EQ(HelpFileLocations("/home/u/.local/share/vorn", "/usr/local/bin", kFrench),
            (std::vector<std::string>{"/home/u/.local/share/vorn/VornHelpFRE.htm",
                                      "/usr/local/bin/VornHelpFRE.htm",
                                      "/usr/local/share/vorn/VornHelpFRE.htm"}));
  EXPECT_EQ(HelpFileLocations("/a", "/b", Language{9}).back(), "/share/vorn/VornHelpENG.htm");
}

TEST(PassReportTest, EventsReadAsTheLogWordsThemAndFailuresGoToTheirOwnLine) {
  const PassEvent failed{PassEventKind::kFailed, PassEntry::kFile, 2, "/t/a", "open /s/a: denied"};
  EXPECT_EQ(JsonEventLine(failed),
            R"({"type":"failed","entry":"file","pair":2,"path":"/t/a","error":"open /s/a: denied"})");
  EXPECT_EQ(EventText(failed, kEnglish), "");
  EXPECT_EQ(FailureText(failed), "/t/a: open /s/a: denied");
  const PassEvent removed{PassEventKind::kRemoved, PassEntry::kFolder, 1, "/t/old", ""};
  EXPECT_EQ(JsonEventLine(removed), R"({"type":"removed","entry":"folder","pair":1,"path":"/t/old"})");
  EXPECT_EQ(EventText(removed, kEnglish), "Delete folder - /t/old");
  EXPECT_EQ(EventText({PassEventKind::kLocked, PassEntry::kFile, 1, "/s/x", ""}, kFrench),
            "Verrouillé (non copié) - /s/x");
  EXPECT_EQ(ByteCount(1023), "1023 B");
  EXPECT_EQ(ByteCount(uint64_t{3} << 29), "1.5 GiB");
}

}  // namespace
}  // namespace vorn
