#pragma once
// The encodings a profile file may be stored in, told by the byte-order mark at its start, and the
// streams that turn its bytes into the text the profile reader works on, and back.
//
// That text is the file's own bytes for Windows-1252 and UTF-8, and UTF-8 for UTF-16. A UTF-16
// unit that pairs with nothing is carried as its three-byte form, so every line read is written
// back unit for unit.

#include <array>
#include <cstddef>
#include <iosfwd>
#include <streambuf>
#include <string>
#include <string_view>

namespace korvalen {

/// How a profile file stores its text; a file without a mark is Windows-1252.
enum class ProfileEncoding { Windows1252, Utf8, Utf16LE, Utf16BE };

/// Input over a profile's bytes: skips the mark it finds and hands out the working text.
class ProfileTextIn : public std::streambuf {
public:
    /// Reads the mark, if any, from `source` (which may be null: an empty file).
    explicit ProfileTextIn(std::streambuf* source);
    ProfileEncoding encoding() const { return encoding_; }

protected:
    int_type underflow() override;

private:
    int readUnit();

    std::streambuf* source_;
    ProfileEncoding encoding_ = ProfileEncoding::Windows1252;
    std::string pending_;  // bytes read while looking for a mark that were text after all
    int heldHigh_ = -1;    // a leading surrogate waiting for the unit after it
    std::array<char, 4096> buffer_{};
};

/// Output of a profile's working text: writes the mark of `encoding`, then the text in it.
class ProfileTextOut : public std::streambuf {
public:
    ProfileTextOut(std::ostream& destination, ProfileEncoding encoding);
    /// Writes out everything still held; call once the whole text is written.
    void finish();

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    void drain(bool final);

    std::ostream& destination_;
    ProfileEncoding encoding_;
    std::array<char, 4096> buffer_{};
};

/// UTF-8 text from memory as working text of a file in `encoding`.
std::string toProfileText(std::string_view utf8, ProfileEncoding encoding);
/// Working text of a file in `encoding` as valid UTF-8.
std::string fromProfileText(std::string_view text, ProfileEncoding encoding);

}  // namespace korvalen
