// The CP949 text helpers every parser is built on (common/Cp949Text.h):
// FindChar, FindLastChar, TakeField, TakeSeparatedField, AfterLast, LeadingInteger and
// CutAtCharBoundary, compared with a model of CP949 characters: a byte
// 0x81-0xFE and the byte after it are one character, every other byte is one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Cp949Text.h"
#include "FuzzSupport.h"

namespace {

using fuzz_model::Boundaries;

void CheckFind(const std::string& text, char sep, std::size_t from) {
  const std::vector<std::size_t> found = fuzz_model::Separators(text, sep);
  std::size_t expectedFirst = std::string::npos;
  for (std::size_t at : found) {
    if (at >= from) {
      expectedFirst = at;
      break;
    }
  }
  FUZZ_CHECK(cp949::FindChar(text, sep, from) == expectedFirst);
  FUZZ_CHECK(cp949::FindLastChar(text, sep) == (found.empty() ? std::string::npos : found.back()));
}

// The head ends before the first separator character and never inside a
// double-byte character; head, separator and rest rejoin to the text.
void CheckTakeField(const std::string& text, char sep) {
  std::string rest = text;
  const std::string head = cp949::TakeField(rest, sep);
  const std::vector<bool> starts = Boundaries(text);
  FUZZ_CHECK(fuzz_model::HasNoSeparator(head, sep));
  if (head.size() == text.size()) {
    FUZZ_CHECK(head == text && rest.empty());
    return;
  }
  FUZZ_CHECK(starts[head.size()] && text[head.size()] == sep);
  FUZZ_CHECK(head + sep + rest == text);

  // Taking every field: none holds the separator; the fields rejoin.
  std::string all = text;
  std::string joined;
  std::size_t fields = 0;
  while (!all.empty() && fields <= text.size()) {
    const std::size_t before = all.size();
    const std::string field = cp949::TakeField(all, sep);
    FUZZ_CHECK(fuzz_model::HasNoSeparator(field, sep));
    FUZZ_CHECK(starts[joined.size()]);
    joined += field;
    if (all.size() + field.size() < before) joined += sep;
    ++fields;
  }
  FUZZ_CHECK(joined == text);
  const bool endsWithSeparator = text.back() == sep && starts[text.size() - 1];
  FUZZ_CHECK(fields == fuzz_model::Separators(text, sep).size() + (endsWithSeparator ? 0 : 1));
}

// A separated field ends at the first separator character, removed with it;
// without one the field is empty and the text is left whole.
void CheckTakeSeparatedField(const std::string& text, char sep) {
  std::string rest = text;
  const std::string field = cp949::TakeSeparatedField(rest, sep);
  const std::vector<std::size_t> found = fuzz_model::Separators(text, sep);
  if (found.empty()) {
    FUZZ_CHECK(field.empty() && rest == text);
  } else {
    FUZZ_CHECK(field == text.substr(0, found.front()));
    FUZZ_CHECK(field + sep + rest == text);
  }
}

void CheckAfterLast(const std::string& text, char sep) {
  const std::string after = cp949::AfterLast(text, sep);
  const std::vector<std::size_t> found = fuzz_model::Separators(text, sep);
  FUZZ_CHECK(after == (found.empty() ? text : text.substr(found.back() + 1)));
  FUZZ_CHECK(fuzz_model::HasNoSeparator(after, sep));
}

// The longest prefix of at most `maxBytes` bytes that ends on a character
// boundary.
void CheckCut(const std::string& text, std::size_t maxBytes) {
  const std::string cut = cp949::CutAtCharBoundary(text, maxBytes);
  const std::vector<bool> starts = Boundaries(text);
  std::size_t expected = 0;
  for (std::size_t i = 0; i <= text.size() && i <= maxBytes; ++i) {
    if (starts[i]) expected = i;
  }
  FUZZ_CHECK(cut == text.substr(0, expected));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // First byte: the separator (one of the system's, or any ASCII byte);
  // second byte: the start of the search and the cut length; then the text.
  static const char kSeparators[] = {'|', '?', '\\', '.', '/', ':', ' '};
  const unsigned char pick = data[0];
  const char sep = pick < 0x80 ? static_cast<char>(pick)
                               : kSeparators[pick % (sizeof kSeparators)];
  const std::string text = fuzz_model::Text(data + 2, size - 2);
  const std::size_t from = data[1] % (text.size() + 2);

  CheckFind(text, sep, from);
  CheckTakeField(text, sep);
  CheckTakeSeparatedField(text, sep);
  CheckAfterLast(text, sep);
  CheckCut(text, from);
  CheckCut(text, text.size());
  FUZZ_CHECK(cp949::LeadingInteger(text) == fuzz_model::LeadingInteger(text));
  return 0;
}
