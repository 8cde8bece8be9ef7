// The signatures reader on any bytes: no crash, and what the writer makes
// of the records reads back as the same records (for fields the format can
// hold: no quote and no line break inside).

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "macintosh/signatures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const SignatureFileContents contents = ParseSignatureFile(text);
  std::vector<MacSignature> writable;
  for (const MacSignature& r : contents.records) {
    const std::string fields = r.type_creator + r.extension + r.description;
    if (fields.find_first_of("\"\r\n") == std::string::npos) writable.push_back(r);
  }
  const SignatureFileContents back = ParseSignatureFile(FormatSignatureFile(writable));
  fuzz::Require(!back.damaged);
  fuzz::Require(back.records.size() == writable.size());
  // The first record of a key answers its lookups, whatever the case.
  SignatureTable table;
  for (const MacSignature& r : back.records) {
    if (table.Add(r)) fuzz::Require(table.ExtensionForSignature(r.type_creator) == r.extension);
  }
  return 0;
}
