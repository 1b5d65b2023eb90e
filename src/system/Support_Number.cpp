// Number texts of text files and INI files.
#include "system/Support_Number.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace px {

std::string TextCursor::readToLineEnd() {
  const std::size_t start = pos;
  while (!atLineEnd()) ++pos;
  return std::string(text.substr(start, pos - start));
}

void TextCursor::skipLine() {
  while (!atLineEnd()) ++pos;
  if (atEnd()) return;
  if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
  ++pos;
}

double ReadTextFileReal(TextCursor& cursor) {
  double v = 0, s = 1, d = 1;
  while (!cursor.atLineEnd()) {
    const char c = cursor.text[cursor.pos++];
    if ((c == ' ' || c == '\t') && v == 0) continue;
    if (c == '-' && v == 0) {
      s = -s;
      continue;
    }
    if (c >= '0' && c <= '9') {
      const int digit = c - '0';
      if (d == 1) {
        v = 10 * v + digit;
      } else {
        v = v + digit / d;
        d = 10 * d;
      }
      continue;
    }
    if (c == '.' || c == ',') {
      d = 10 * d;
      continue;
    }
    break;
  }
  return s * v;
}

std::string TextFileRealText(double x) {
  if (std::isnan(x)) return " 0";
  if (std::isinf(x)) x = std::copysign(std::numeric_limits<double>::max(), x);
  const double a = std::fabs(x);
  const double i = std::floor(a);
  const double f = std::floor((a - i) * 1000000.0);
  std::string out = " ";
  if (x < 0 && (i > 0 || f > 0)) out += '-';
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.0f", i);
  out += buffer;
  if (f != 0) {
    std::snprintf(buffer, sizeof buffer, ".%06d", static_cast<int>(f));
    out += buffer;
  }
  return out;
}

double IniTextToReal(std::string_view text) {
  // The exponent is held as a real and applied in long double, so a long
  // exponent neither wraps nor loses a value that is still representable.
  long double m = 0, w = 1;
  double e = 0, sm = 1, se = 1;
  bool dot = false, exp = false;
  for (const char c : text) {
    if (c == '.' || c == ',') {
      if (dot || exp) break;
      dot = true;
    } else if (c == 'e' || c == 'E') {
      if (exp) break;
      exp = true;
    } else if (c == '-') {
      if (exp)
        se = -se;
      else
        sm = -sm;
    } else if (c >= '0' && c <= '9') {
      const int digit = c - '0';
      if (exp) {
        e = 10 * e + digit;
      } else if (dot) {
        w /= 10;
        m += digit * w;
      } else {
        m = 10 * m + digit;
      }
    } else {
      break;
    }
  }
  // A zero mantissa stays 0 whatever the exponent (0 × 10^400 is not NaN).
  if (m == 0) return sm * 0.0;
  const long double result = sm * m * std::pow(10.0L, static_cast<long double>(se * e));
  return static_cast<double>(result);
}

std::string SystemRealText(double x) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
  if (x == 0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", x);
  std::string text = buffer;
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  // "1.5e+20" becomes "1.5E20", "1e-05" becomes "1E-5".
  std::string mantissa = text.substr(0, e);
  std::size_t at = e + 1;
  std::string sign;
  if (text[at] == '+' || text[at] == '-') {
    if (text[at] == '-') sign = "-";
    ++at;
  }
  while (at + 1 < text.size() && text[at] == '0') ++at;
  return mantissa + "E" + sign + text.substr(at);
}

}  // namespace px
