#include "macintosh/signatures.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "macintosh/macintosh_texts.h"

namespace vorn {
namespace {

std::string UpperKey(std::string_view key) {
  std::string upper(key);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Reads the fields of a signatures file one by one.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  /// The next field, or nothing at the end of the text.
  std::optional<std::string> Next() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    std::string value;
    if (text_[pos_] == '"') {
      const size_t close = text_.find('"', pos_ + 1);
      const size_t end = close == std::string_view::npos ? text_.size() : close;
      value.assign(text_.substr(pos_ + 1, end - pos_ - 1));
      pos_ = end == text_.size() ? end : end + 1;
      while (pos_ < text_.size() && !AtDelimiter()) ++pos_;  // ignored up to the delimiter
    } else {
      const size_t start = pos_;
      while (pos_ < text_.size() && !AtDelimiter()) ++pos_;
      std::string_view raw = text_.substr(start, pos_ - start);
      while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) raw.remove_suffix(1);
      value.assign(raw);
    }
    SkipDelimiter();
    return value;
  }

 private:
  bool AtDelimiter() const {
    const char c = text_[pos_];
    return c == ',' || c == '\r' || c == '\n';
  }
  void SkipDelimiter() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

std::string CorruptedMessage(const std::string& path, int count, int16_t language) {
  return std::string(Tr(MacintoshText::kCorruptedFile, language)) + "\r\n" + path + "\r\n" +
         std::string(Tr(MacintoshText::kLine, language)) + std::to_string(count);
}

}  // namespace

void SignatureTable::Clear() {
  records_.clear();
  by_key_.clear();
}

bool SignatureTable::Add(MacSignature signature) {
  const auto [it, added] = by_key_.try_emplace(UpperKey(signature.type_creator), records_.size());
  if (!added) return false;
  records_.push_back(std::move(signature));
  return true;
}

std::string SignatureTable::ExtensionForSignature(std::string_view type_creator) const {
  const auto found = by_key_.find(UpperKey(type_creator));
  return found == by_key_.end() ? std::string() : records_[found->second].extension;
}

SignatureFileContents ParseSignatureFile(std::string_view text) {
  SignatureFileContents contents;
  FieldReader reader(text);
  for (;;) {
    std::optional<std::string> type_creator = reader.Next();
    if (!type_creator) return contents;  // the end falls between two records
    std::optional<std::string> extension = reader.Next();
    std::optional<std::string> description = extension ? reader.Next() : std::nullopt;
    if (!description) {
      contents.damaged = true;
      return contents;
    }
    contents.records.push_back(
        MacSignature{std::move(*type_creator), std::move(*extension), std::move(*description)});
  }
}

std::string FormatSignatureFile(std::vector<MacSignature> records) {
  std::stable_sort(records.begin(), records.end(),
                   [](const MacSignature& a, const MacSignature& b) {
                     return UpperKey(a.type_creator) < UpperKey(b.type_creator);
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
                    Dialogs& dialogs, int16_t language) {
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
