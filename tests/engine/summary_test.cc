#include "engine/summary.h"

#include <gtest/gtest.h>

#include "shell/text.h"

namespace vorn {
namespace {

SummaryContext English() {
  SummaryContext context;
  context.language = kEnglish;
  context.long_date = "Wednesday, May 01, 2024";
  context.time = "10:15:02";
  context.elapsed_seconds = 4;
  return context;
}

TEST(SummaryTest, TheEnglishExample) {
  MirrorCounters c;
  c.FilesSeen = 12;
  c.SourceFolders = 1;
  c.FilesCreated = 3;
  c.FilesModified = 1;
  c.FoldersCreated = 1;
  const SummaryLines lines = BuildSummaryLines(c, English());
  EXPECT_EQ(lines.first,
            "Wednesday, May 01, 2024 - 10:15:02; 12 files in 1 source folder (0 invalid source "
            "folder; 0 invalid target folder)");
  EXPECT_EQ(lines.second,
            "Files: 3 created, 1 modified, 0 removed, 0 locked; Folders: 1 created, 0 removed; "
            "elapsed time 4 s");
  EXPECT_EQ(lines.Joined(), lines.first + "\r\n" + lines.second);
}

TEST(SummaryTest, OptionalPartsFollowTheSettings) {
  MirrorCounters c;
  c.SecuritiesCopied = 2;
  c.AttributesChanged = 5;
  SummaryContext context = English();
  context.sub_folders = false;
  context.elapsed_seconds = 0;
  EXPECT_EQ(BuildSummaryLines(c, context).second,
            "Files: 0 created, 0 modified, 0 removed, 0 locked; elapsed time 0 s");
  context.security_shown = true;
  context.attributes = true;
  EXPECT_EQ(BuildSummaryLines(c, context).second,
            "Files: 0 created, 0 modified, 0 removed, 0 locked; Securities: 2 copied, 0 not "
            "copied; Attributes: 5; elapsed time 0 s");
}

TEST(SummaryTest, FrenchTakesThePluralAboveOne) {
  MirrorCounters c;
  c.FilesSeen = 2;
  c.SourceFolders = 1;
  c.InvalidSourceFolders = 2;
  c.FilesCreated = 1;
  c.FilesModified = 2;
  c.FilesLocked = 3;
  c.FoldersRemoved = 2;
  c.SecuritiesNotCopied = 1;
  SummaryContext context = English();
  context.language = kFrench;
  context.long_date = "mercredi 01 mai 2024";
  context.security_shown = true;
  const SummaryLines lines = BuildSummaryLines(c, context);
  EXPECT_EQ(lines.first,
            "mercredi 01 mai 2024 à 10:15:02; 2 fichiers dans 1 dossier source (2 dossiers "
            "sources invalides; 0 dossier cible invalide)");
  EXPECT_EQ(lines.second,
            "Fichiers: 1 créé, 2 modifiés, 0 supprimé, 3 verrouillés; Dossiers: 0 créé, 2 "
            "supprimés; Sécurités: 0 copiée, 1 non copiée; durée 4 s");
}

TEST(SummaryTest, PortugueseChoosesNaOrNasByTheFolderCount) {
  MirrorCounters c;
  c.FilesSeen = 1;
  c.SourceFolders = 2;
  c.InvalidTargetFolders = 3;
  c.FilesLocked = 2;
  c.FoldersCreated = 2;
  SummaryContext context = English();
  context.language = kPortuguese;
  context.long_date = "quarta-feira";
  const SummaryLines lines = BuildSummaryLines(c, context);
  EXPECT_EQ(lines.first,
            "quarta-feira às 10:15:02; 1 ficheiro nas 2 pastas de entrada (0 pasta de entrada "
            "desconhecida; 3 pastas de saída desconhecidas)");
  EXPECT_EQ(lines.second,
            "Ficheiros: 0 criado, 0 modificado, 0 suprimido, 2 locked; Pastas: 2 criadas, 0 "
            "suprimida; duração 4 s");
  c.SourceFolders = 1;
  EXPECT_NE(BuildSummaryLines(c, context).first.find("1 ficheiro na 1 pasta de entrada ("),
            std::string::npos);
}

TEST(SummaryTest, TimesOfDayHaveTwoDigitsEach) {
  EXPECT_EQ(FormatTimeOfDay(9, 5, 0), "09:05:00");
  EXPECT_EQ(FormatTimeOfDay(23, 59, 59), "23:59:59");
}

}  // namespace
}  // namespace vorn
