#include "Cp949.h"

#include <iconv.h>

#include <cerrno>

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible; stops at the first invalid sequence and
  // returns how many input bytes were consumed.
  size_t convert(const char* in, size_t inLen, std::string& out) {
    char buffer[1024];
    char* inPtr = const_cast<char*>(in);
    size_t inLeft = inLen;
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      out.append(buffer, outPtr - buffer);
      if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return inLen - inLeft;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<std::string> Utf8ToCp949(const std::string& utf8) {
  Converter conv("CP949", "UTF-8");
  if (!conv.ok()) return std::nullopt;
  std::string out;
  if (conv.convert(utf8.data(), utf8.size(), out) != utf8.size()) return std::nullopt;
  return out;
}

std::string Cp949ToUtf8(const std::string& cp949, bool* exact) {
  if (exact) *exact = true;
  Converter conv("UTF-8", "CP949");
  std::string out;
  if (!conv.ok()) {
    if (exact) *exact = false;
    return out;
  }
  size_t pos = 0;
  while (pos < cp949.size()) {
    pos += conv.convert(cp949.data() + pos, cp949.size() - pos, out);
    if (pos < cp949.size()) {
      out += "\xEF\xBF\xBD";
      if (exact) *exact = false;
      ++pos;
    }
  }
  return out;
}
