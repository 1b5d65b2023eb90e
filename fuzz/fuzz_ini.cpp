// libFuzzer target over the INI reader and the number parsers. The input
// is an INI text: it is parsed, every section and key named in it is
// looked up, a value is written and must read back after the text is
// written out and parsed again; every line also goes through the INI and
// the text-file number readers, and numbers through the writers.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "system/Support_Ini.h"
#include "system/Support_Number.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

// The names an INI line can hold at all: a section name without "]", a
// key without "=" that does not look like a section header, neither empty.
bool Writable(const std::string& section, const std::string& key) {
  const std::string k = Trimmed(key);
  return !Trimmed(section).empty() && !k.empty() && section.find(']') == std::string::npos &&
         key.find('=') == std::string::npos && k.front() != '[';
}

}  // namespace

int FuzzIni(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  px::IniFile ini = px::IniFile::FromText(text);

  // Every line as a section name and as a key of it, and as numbers.
  std::size_t pos = 0;
  std::string lastSection;
  while (pos <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    ini.sectionExists(line);
    ini.read(lastSection, line);
    lastSection = line;
    const double x = px::IniTextToReal(line);
    if (std::isfinite(x) && x != 0) {
      // 15 digits round the largest reals up past the largest double.
      const double back = px::IniTextToReal(px::SystemRealText(x));
      if (std::isfinite(back)) {
        Check(std::fabs(back - x) <= std::fabs(x) * 1e-14);
      } else {
        Check(std::fabs(x) > 1.7976931348623e308);
      }
    }
    pos = end + 1;
  }
  px::TextCursor cursor{text, 0};
  while (!cursor.atEnd()) {
    const std::size_t before = cursor.pos;
    const double v = px::ReadTextFileReal(cursor);
    const std::string written = px::TextFileRealText(v);
    px::TextCursor again{written, 0};
    Check(std::isfinite(px::ReadTextFileReal(again)) || !std::isfinite(v));
    cursor.skipLine();
    Check(cursor.pos > before);
  }

  // A write survives writing the text out and reading it again.
  ini.write("fuzz section", "fuzz key", "value");
  const px::IniFile again = px::IniFile::FromText(ini.text());
  Check(again.read("FUZZ SECTION", "Fuzz Key") == std::optional<std::string>("value"));

  // So does a write of the input's own bytes, line breaks and all: the
  // first third names the section, the second the key, the rest the value.
  const std::string section = text.substr(0, size / 3);
  const std::string key = text.substr(size / 3, size / 3);
  const std::string value = text.substr(2 * (size / 3));
  if (Writable(section, key)) {
    px::IniFile written = px::IniFile::FromText(ini.text());
    written.write(section, key, value);
    const px::IniFile reread = px::IniFile::FromText(written.text());
    Check(reread.read(section, key) == std::optional<std::string>(Trimmed(value)));
  }
  return 0;
}

#ifndef PXRUN_NO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzIni(data, size);
}
#endif
