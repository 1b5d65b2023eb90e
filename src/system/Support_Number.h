// The number texts of text files and INI files: the reader and writer of
// reals in text files, the INI number reader, and the system number format
// INI files are written with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace px {

// A read position in the text of a file opened for reading. The line ends
// are CR LF, a lone CR or a lone LF.
struct TextCursor {
  std::string_view text;
  std::size_t pos = 0;

  bool atEnd() const { return pos >= text.size(); }
  bool atLineEnd() const { return atEnd() || text[pos] == '\r' || text[pos] == '\n'; }
  // The rest of the line; the position stays before the line end.
  std::string readToLineEnd();
  // Skips the rest of the line and its line end.
  void skipLine();
};

// Reads a real from the cursor, up to the line end: blanks and tabs are
// skipped while the value is still 0, each "-" met then flips the sign,
// "." and "," both shrink the weight of the following digits (a second one
// keeps shrinking it), and any other character ends the number after being
// consumed. No exponent. The line end is never consumed.
double ReadTextFileReal(TextCursor& cursor);

// A real as text files hold it: a blank, a "-" when the number is negative
// and not 0 in the digits written, the integer part, and when the first six
// decimals are not all 0, "." and exactly six decimals (truncated, not
// rounded): 2.5 gives " 2.500000", 3 gives " 3". NaN is written as " 0" and
// infinities as the largest real's integer part, so the text always reads
// back as a number.
std::string TextFileRealText(double x);

// Reads a real from an INI value: digits with one "." or "," and one "e"/"E"
// exponent; a "-" anywhere negates the mantissa, or the exponent once the
// exponent has begun; anything else (including "+" and blanks) stops, and
// what was read so far counts. An empty text gives 0.
double IniTextToReal(std::string_view text);

// The system number format: the shortest text of up to 15 significant
// digits, "." as separator, exponent form ("1.5E20", "1E-5") for values of
// 1E15 or more and below 1E-4; "NAN", "INF" and "-INF" for the others.
std::string SystemRealText(double x);

}  // namespace px
