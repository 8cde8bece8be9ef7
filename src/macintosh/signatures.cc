#include "macintosh/signatures.h"

#include <algorithm>
#include <cerrno>

#include "base/strings.h"
#include "macintosh/macintosh_texts.h"

namespace vorn {
namespace {

std::string CorruptedMessage(const std::string& path, int count, Language language) {
  return std::string(Tr(MacintoshText::kCorruptedFile, language)) + "\r\n" + path + "\r\n" +
         std::string(Tr(MacintoshText::kLine, language)) + std::to_string(count);
}

}  // namespace

void SignatureTable::Clear() {
  records_.clear();
  by_key_.clear();
}

bool SignatureTable::Add(MacSignature signature) {
  const auto [it, added] = by_key_.try_emplace(AsciiUpper(signature.type_creator), records_.size());
  if (!added) return false;
  records_.push_back(std::move(signature));
  return true;
}

std::string SignatureTable::ExtensionForSignature(std::string_view type_creator) const {
  const auto found = by_key_.find(AsciiUpper(type_creator));
  return found == by_key_.end() ? std::string() : records_[found->second].extension;
}

SignatureFileContents ParseSignatureFile(std::string_view text) {
  SignatureFileContents contents;
  QuotedFieldReader reader(text, ",\r\n");
  for (;;) {
    const std::optional<std::string_view> type_creator = reader.Next();
    if (!type_creator) return contents;  // the end falls between two records
    const std::optional<std::string_view> extension = reader.Next();
    const std::optional<std::string_view> description = extension ? reader.Next() : std::nullopt;
    if (!description) {
      contents.damaged = true;
      return contents;
    }
    contents.records.push_back(MacSignature{std::string(*type_creator), std::string(*extension),
                                            std::string(*description)});
  }
}

std::string FormatSignatureFile(std::vector<MacSignature> records) {
  std::stable_sort(records.begin(), records.end(),
                   [](const MacSignature& a, const MacSignature& b) {
                     return AsciiUpper(a.type_creator) < AsciiUpper(b.type_creator);
                   });
  std::string text;
  for (const MacSignature& r : records) {
    text += "\"" + r.type_creator + "\",\"" + r.extension + "\",\"" + r.description + "\"\r\n";
  }
  return text;
}

void LoadDefaultSignatures(SignatureTable& table) {
  table.Clear();
  table.Add({"W6BNMSWD", "doc", "Word 6 Document"});
  table.Add({"WDBNMSWD", "doc", "Word 3/4/5 Macintosh Document"});
  table.Add({"XDOCXPR3", "qxd", "Quark XPress Document"});
}

void LoadSignatures(SignatureTable& table, platform::FileSystem& fs, const std::string& path,
                    Dialogs& dialogs, Language language) {
  table.record_count = 0;
  table.Clear();
  const auto text = fs.ReadFile(path);
  if (!text.ok() && text.error().code == ENOENT) {
    LoadDefaultSignatures(table);
    return;
  }
  // A file that exists but cannot be read counts as damaged.
  const SignatureFileContents contents =
      text.ok() ? ParseSignatureFile(*text) : SignatureFileContents{{}, true};
  for (const MacSignature& record : contents.records) {
    if (record.type_creator.empty() || record.description.empty()) continue;
    if (!table.Add(record)) {
      dialogs.ShowMessage(
          MessageIcon::kExclamation,
          std::string(Tr(MacintoshText::kDuplicateKey, language)) + record.type_creator);
      continue;
    }
    ++table.record_count;
  }
  if (contents.damaged) {
    dialogs.ShowMessage(MessageIcon::kCritical,
                        CorruptedMessage(path, table.record_count, language));
    LoadDefaultSignatures(table);
  }
}

}  // namespace vorn
