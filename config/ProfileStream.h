#pragma once
// Reading and rewriting the Windows profile-file layout (sections, keys, values) on streams.
//
// Streams carry the bytes of the file: Windows-1252, or UTF-8 or UTF-16 (either byte order) when
// the file starts with that byte-order mark. A rewrite keeps the file's encoding and mark. Names
// and values given and returned are UTF-8.
// Input is read line by line with a bounded amount kept per line, so any content is safe to read.

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvalen {

/// One key and the text that goes with it (a default when reading, a value when writing).
using ProfileEntry = std::pair<std::string, std::string>;

/// Longest value returned, in characters.
inline constexpr std::size_t kProfileValueMax = 255;
/// A section name or key is recognised only within the first this many bytes of its line.
inline constexpr std::size_t kProfileLineHead = 4096;

/// Values of `keys` in the first section named `section` (letter case ignored), in the order of
/// `keys`; nothing for a key that is absent. Each value is cut to its first `maxCharacters`.
std::vector<std::optional<std::string>> readProfileValues(std::istream& in, const std::string& section,
                                                          const std::vector<std::string>& keys,
                                                          std::size_t maxCharacters = kProfileValueMax);

/// Copies the profile `in` to `out` with every entry of `entries` set in `section`: an existing key
/// is replaced in place (so is a line that holds the key alone, without "="), a new key goes at
/// the end of its section, a new section at the end.
/// Every other line is copied byte for byte.
void writeProfileValues(std::istream& in, std::ostream& out, const std::string& section,
                        const std::vector<ProfileEntry>& entries);

}  // namespace korvalen
