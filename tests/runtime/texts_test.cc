// The program's texts: trimming, case, quoted fields and names of any bytes
// as JSON or terminal text; every catalogue's forms, where help is looked
// for, and how a pass's events read in the log's words and as JSON.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/strings.h"
#include "base/text.h"
#include "base/utf8.h"
#include "config/settings_texts.h"
#include "engine/engine_texts.h"
#include "logs/log_texts.h"
#include "macintosh/macintosh_texts.h"
#include "runtime/main_window_texts.h"
#include "runtime/pass_report.h"
#include "runtime/runtime_texts.h"
#include "runtime/service_texts.h"

namespace vorn {
namespace {

// Bytes of UTF-8 sequences must never change: a locale's case table would
// turn some of them into other characters or break the sequence.
TEST(StringsTest, TrimmingTakesOnlyBlanksAtTheEndsAndCaseFoldingOnlyAsciiLetters) {
  EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks("\ta ", " "), "\ta");
  EXPECT_EQ(AsciiUpper("abz[_`{@AZ 09 \xC3\xA9\xC3\x89"), "ABZ[_`{@AZ 09 \xC3\xA9\xC3\x89");
  EXPECT_EQ(AsciiLower("ABZ[_`{@az \xC3\x89"), "abz[_`{@az \xC3\x89");
  EXPECT_TRUE(EqualIgnoringAsciiCase("TEXTttxt", "textTTXT"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("abc", "abcd"));
}

std::vector<std::string> AllFields(std::string_view text, std::string_view delimiters) {
  QuotedFieldReader reader(text, delimiters);
  std::vector<std::string> fields;
  while (const auto field = reader.Next()) fields.emplace_back(*field);
  return fields;
}

TEST(StringsTest, QuotedFieldsKeepTheirContentAndBareFieldsAreTrimmed) {
  struct Case {
    std::string_view text;
    std::string_view delimiters;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {" a b , \"c, d\" ,e", ",", {"a b", "c, d", "e"}},
      {"\"x\" ignored,y", ",", {"x", "y"}},
      {",,", ",", {"", ""}},
      {"\"unclosed, to the end", ",", {"unclosed, to the end"}},
      {"a\r\nb\rc\n\n", ",\r\n", {"a", "b", "c", ""}},
      {"\"two\r\nlines\",z", ",\r\n", {"two\r\nlines", "z"}},
      {"a\rb", ",", {"a\rb"}},
      {" \t", ",", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(AllFields(c.text, c.delimiters), c.fields) << c.text;
}

// Every byte a name can hold must come out as valid JSON, nothing lost, and
// harmless on a terminal.
TEST(StringsTest, NamesOfAnyBytesBecomeValidJsonAndSafeTerminalText) {
  struct Case {
    std::string text;
    std::string json;       // the field `"p":...`
    std::string printable;  // what a terminal is given
  };
  const Case cases[] = {
      {"/a b", R"("p":"/a b")", "/a b"},
      {"q\"b\\s", R"("p":"q\"b\\s")", "q\"b\\s"},
      {"n\nt\t\x1b[2J", R"("p":"n\nt\t\u001b[2J")", "n?t??[2J"},
      {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\"p\":\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\"",
       "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"},
      {"\xc2\x9b"
       "1m",
       "\"p\":\"\xc2\x9b"
       "1m\"",
       "?1m"},  // a C1 control: valid, not shown
      {"a\xff", R"("p":"a\ufffd","p_hex":"61ff")", "a?"},
      {"\xc0\xaf", R"("p":"\ufffd\ufffd","p_hex":"c0af")", "??"},               // overlong "/"
      {"\xed\xa0\x80", R"("p":"\ufffd\ufffd\ufffd","p_hex":"eda080")", "???"},  // a surrogate
      {"\xf4\x90\x80\x80", R"("p":"\ufffd\ufffd\ufffd\ufffd","p_hex":"f4908080")", "????"},
      {"\xe2\x82", R"("p":"\ufffd\ufffd","p_hex":"e282")", "??"},  // cut short
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(JsonField("p", c.text), c.json);
    EXPECT_EQ(PrintableText(c.text), c.printable);
    EXPECT_EQ(IsValidUtf8(c.text), c.json.find("_hex") == std::string::npos);
  }
}

// Every catalogue of the program, walked by the checks below.
template <typename Catalogue>
void CheckForms(const char* name, const Catalogue& catalogue) {
  for (const auto& entry : catalogue.entries()) {
    const Text& t = entry.text;
    const std::string where = std::string(name) + " #" + std::to_string(static_cast<int>(entry.id));
    EXPECT_FALSE(t.portuguese.empty()) << where;
    if (t.forms == TextForms::kPortugueseOnly) {
      EXPECT_TRUE(t.french.empty() && t.english.empty()) << where;
      continue;
    }
    EXPECT_FALSE(t.french.empty() || t.english.empty()) << where;
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

// The captions' variants by the sub-folder setting and the system family (how
// the window applies them is its own tests'), and where help is looked for.
TEST(CatalogueTest, MainWindowCaptionsTakeTheirVariantsAndHelpIsLookedForInThreePlaces) {
  const auto caption = [](bool sub_folders, SystemFamily family, const std::string& control) {
    for (const ControlText& c : MainWindowCaptions(kEnglish, sub_folders, family)) {
      if (c.control == control) return c.text;
    }
    return std::string("<none>");
  };
  using enum SystemFamily;
  EXPECT_EQ(caption(true, kNt, "lblDossiersSources"), "Source folders (including sub-folders)");
  EXPECT_EQ(caption(true, k95, "mnuService"), "Install/remove Vorn Service [NT]");
  for (const char* varied : {"mnuEffacement", "lblDossiersSources", "lblDossiersCibles"}) {
    EXPECT_NE(caption(true, kNt, varied), caption(false, kNt, varied)) << varied;
  }
  EXPECT_NE(caption(true, kNt, "lblDossierMac"), caption(true, k95, "lblDossierMac"));
  EXPECT_NE(caption(true, kNt, "PictureMac"), caption(true, k95, "PictureMac"));
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
