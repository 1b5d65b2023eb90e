// Game text is bytes in the Windows-1252 code page; the desktop speaks
// UTF-8. These convert between the two where text leaves or enters the
// process (the clipboard).
#pragma once

#include <string>
#include <string_view>

namespace px {

// The character of one byte of the code page.
char32_t CharOfByte(unsigned char b);

// Every byte has a character: the five bytes Windows-1252 leaves undefined
// become the control characters of the same number, so the conversion back
// restores them.
std::string CodePageToUtf8(std::string_view bytes);

// Characters the code page lacks, and malformed UTF-8, become '?'.
std::string Utf8ToCodePage(std::string_view utf8);

}  // namespace px
