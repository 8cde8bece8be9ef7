// Every kind of log line the walks write, in the words of each language.

#include <sys/stat.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "shell/text.h"
#include "support/engine_fixture.h"

namespace vorn {
namespace {

using testing::EngineTest;

class LogLinesTest : public EngineTest {
 protected:
  LogLinesTest() {
    settings_.Logs = settings_.FichiersLogs = true;
    log_.FixDay(clock_.Now());
    log_.OpenDailyLog();
  }
  std::string T(const std::string& relative) { return dir_.Path(Dst(relative)); }
};

TEST_F(LogLinesTest, ModificationsAttributesAndSecurityInFrench) {
  settings_.Langue = kFrench;
  settings_.CopierAttributs = true;
  dir_.Write(Src("changed"), "new!");
  dir_.Write(Dst("changed"), "old");
  dir_.SetTime(Src("changed"), 1714550000, 0);
  dir_.SetTime(Dst("changed"), 1714549998, 0);
  dir_.Write(Src("mode"), "m", 0600);
  dir_.Write(Dst("mode"), "m", 0644);
  dir_.SetTime(Src("mode"), 1714550000, 0);
  dir_.SetTime(Dst("mode"), 1714550000, 0);
  dir_.MakeFolder(Src("folder"), 0700);
  dir_.MakeFolder(Dst("folder"), 0755);
  PairContext context;
  context.NoMilliseconds = true;
  MirrorSrcToDst(context);
  const std::vector<std::string> body = LogBody();
  EXPECT_EQ(body,
            (std::vector<std::string>{
                "<small>Modification - " + T("changed") + "</small><br>",
                "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<small>Time delta between source and target "
                "files=20000000 [in 100-nanosecond intervals; MaxTimeInterval=10000000]"
                "</small><br>",
                "<small>Modification attributs - " + T("mode") + "</small><br>",
                "<small><i>Modification attributs dossier</i> - " + T("folder") + "</small><br>",
            }));

  settings_.CopierAttributs = false;
  settings_.CopierSecurite = settings_.CopierSecuriteTout = true;
  ASSERT_EQ(::chmod(dir_.Path(Dst("mode")).c_str(), 0640), 0);
  ASSERT_EQ(::chmod(dir_.Path(Dst("folder")).c_str(), 0750), 0);
  MirrorSrcToDst({});
  const std::vector<std::string> more = LogBody();
  ASSERT_GE(more.size(), 2u);
  EXPECT_EQ(more[more.size() - 2], "<small>Sécurité modifiée - " + T("mode") + "</small><br>");
  EXPECT_EQ(more.back(),
            "<small><i>Sécurité modifiée dossier</i> - " + T("folder") + "</small><br>");
}

// Names that look like markup are written escaped, so a browser shows them.
TEST_F(LogLinesTest, MovesAndRemovalsInPortuguese) {
  settings_.Langue = kPortuguese;
  dir_.MakeFolder(Src("<sub>"));
  dir_.Write(Src("<sub>/a&b \"f\""), "f");
  PairContext move;
  move.Deplacer = true;
  MirrorSrcToDst(move);
  EXPECT_EQ(LogBody(),
            (std::vector<std::string>{
                "<small><i>Criação pasta</i> - " + T("&lt;sub&gt;") + "</small><br>",
                "<small>Criação - " + T("&lt;sub&gt;/a&amp;b &quot;f&quot;") + "</small><br>",
                "<small><i>Supressão pasta vazia</i> - " + dir_.Path(Src("&lt;sub&gt;")) +
                    "/</small><br>",
            }));

  ASSERT_TRUE(real_fs_->DeleteFile(log_.current_file()).ok());
  log_.OpenDailyLog();
  dir_.MakeFolder(Dst("old"));
  dir_.Write(Dst("old/x"), "x");
  PairContext remove;
  remove.Effacer = true;
  MirrorSrcToDst(remove);
  // What the move left in the target is obsolete now too.
  std::vector<std::string> body = LogBody();
  std::sort(body.begin(), body.end());
  EXPECT_EQ(body,
            (std::vector<std::string>{
                "<small><i>Supressão pasta</i> - " + T("&lt;sub&gt;") + "</small><br>",
                "<small><i>Supressão pasta</i> - " + T("old") + "</small><br>",
                "<small>Supressão - " + T("&lt;sub&gt;/a&amp;b &quot;f&quot;") + "</small><br>",
                "<small>Supressão - " + T("old/x") + "</small><br>",
            }));
}

TEST_F(LogLinesTest, NothingIsWrittenWhenFileNamesAreNotLogged) {
  settings_.FichiersLogs = false;
  dir_.Write(Src("f"), "f");
  MirrorSrcToDst({});
  EXPECT_TRUE(LogBody().empty());
}

}  // namespace
}  // namespace vorn
