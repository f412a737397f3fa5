#pragma once
// Conversion between the UTF-8 text held in memory and the Windows-1252 bytes stored in the files,
// and the cleaning of UTF-8 text read from files stored in a Unicode encoding.

#include <string>
#include <string_view>

namespace korvalen {

/// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined map to U+0081,
/// U+008D, U+008F, U+0090 and U+009D, as Windows does, so every byte comes back on writing.
std::string windows1252ToUtf8(std::string_view octets);

/// UTF-8 text as Windows-1252 bytes. A character the code page cannot hold, and a byte that is
/// not valid UTF-8, becomes "?" (the replacement Windows uses), so writing never fails.
std::string utf8ToWindows1252(std::string_view texte);

/// `text` with every sequence that is not valid UTF-8 (a stray byte, a cut sequence, an encoded
/// surrogate) replaced by U+FFFD, so that what a file holds is always safe to show.
std::string validUtf8(std::string_view text);

}  // namespace korvalen
