#include "config/ProfileEncoding.h"

#include <cstring>
#include <ostream>

#include "config/Windows1252.h"

// UTF-16 is converted here rather than through iconv: iconv refuses a unit that pairs with
// nothing, and such a unit must still be written back as it was read.

namespace korvalen {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;
constexpr int kEnd = -1;      // no unit left
constexpr int kOddByte = -2;  // a last byte without its partner

bool isUtf16(ProfileEncoding encoding) {
    return encoding == ProfileEncoding::Utf16LE || encoding == ProfileEncoding::Utf16BE;
}

bool isLeadingSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isTrailingSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Appends the UTF-8 form of `code` (a lone surrogate included) at `out`; returns its length.
std::size_t encodeUtf8(char32_t code, char* out) {
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

// Decodes the sequence at the start of `text` into `code`; returns its length, or 0 when `text`
// ends inside it. A byte that starts no sequence decodes as U+FFFD, one byte long.
std::size_t decodeUtf8(std::string_view text, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    else {
        code = lead < 0x80 ? lead : kReplacement;
        return 1;
    }
    code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (i == text.size()) return 0;
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            code = kReplacement;
            return 1;
        }
        code = (code << 6) | (next & 0x3F);
    }
    return length;
}

void putUnit(std::ostream& out, char32_t unit, ProfileEncoding encoding) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    if (encoding == ProfileEncoding::Utf16LE) {
        out.put(low);
        out.put(high);
    } else {
        out.put(high);
        out.put(low);
    }
}

}  // namespace

ProfileTextIn::ProfileTextIn(std::streambuf* source) : source_(source) {
    if (source_ == nullptr) return;
    const auto take = [&] {
        const int c = source_->sbumpc();
        if (c != traits_type::eof()) pending_ += static_cast<char>(c);
        return c;
    };
    const int first = take();
    if (first == 0xEF) {
        if (take() == 0xBB && take() == 0xBF) encoding_ = ProfileEncoding::Utf8;
    } else if (first == 0xFF) {
        if (take() == 0xFE) encoding_ = ProfileEncoding::Utf16LE;
    } else if (first == 0xFE) {
        if (take() == 0xFF) encoding_ = ProfileEncoding::Utf16BE;
    }
    if (encoding_ != ProfileEncoding::Windows1252) pending_.clear();
}

int ProfileTextIn::readUnit() {
    const int first = source_->sbumpc();
    if (first == traits_type::eof()) return kEnd;
    const int second = source_->sbumpc();
    if (second == traits_type::eof()) return kOddByte;
    return encoding_ == ProfileEncoding::Utf16LE ? (second << 8) | first : (first << 8) | second;
}

ProfileTextIn::int_type ProfileTextIn::underflow() {
    if (source_ == nullptr) return traits_type::eof();
    char* const start = buffer_.data();
    std::size_t size = pending_.size();
    std::memcpy(start, pending_.data(), size);
    pending_.clear();

    if (!isUtf16(encoding_)) {
        size += static_cast<std::size_t>(source_->sgetn(start + size, static_cast<std::streamsize>(buffer_.size() - size)));
    } else {
        // Room is left for a held surrogate and the longest sequence after it.
        while (size + 7 <= buffer_.size()) {
            const int unit = readUnit();
            if (heldHigh_ >= 0) {
                const int high = heldHigh_;
                heldHigh_ = -1;
                if (unit >= 0 && isTrailingSurrogate(static_cast<char32_t>(unit))) {
                    size += encodeUtf8(0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
                                           (static_cast<char32_t>(unit) - 0xDC00),
                                       start + size);
                    continue;
                }
                size += encodeUtf8(static_cast<char32_t>(high), start + size);
            }
            if (unit == kEnd) break;
            if (unit == kOddByte) {
                // Kept as a character so that what is written after it stays on unit boundaries.
                size += encodeUtf8(kReplacement, start + size);
                break;
            }
            if (isLeadingSurrogate(static_cast<char32_t>(unit))) {
                heldHigh_ = unit;
                continue;
            }
            size += encodeUtf8(static_cast<char32_t>(unit), start + size);
        }
    }
    if (size == 0) return traits_type::eof();
    setg(start, start, start + size);
    return traits_type::to_int_type(*start);
}

ProfileTextOut::ProfileTextOut(std::ostream& destination, ProfileEncoding encoding)
    : destination_(destination), encoding_(encoding) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (encoding_ == ProfileEncoding::Utf8) destination_.write(kUtf8Mark.data(), kUtf8Mark.size());
    if (isUtf16(encoding_)) putUnit(destination_, 0xFEFF, encoding_);
}

void ProfileTextOut::drain(bool final) {
    std::string_view text(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    if (!isUtf16(encoding_)) {
        destination_.write(text.data(), static_cast<std::streamsize>(text.size()));
        text = {};
    }
    while (!text.empty()) {
        char32_t code = 0;
        std::size_t length = decodeUtf8(text, code);
        if (length == 0) {
            if (!final) break;  // the rest of the sequence comes with the next characters
            code = kReplacement;
            length = text.size();
        }
        if (code > 0x10FFFF) code = kReplacement;
        if (code >= 0x10000) {
            putUnit(destination_, 0xD800 + ((code - 0x10000) >> 10), encoding_);
            putUnit(destination_, 0xDC00 + ((code - 0x10000) & 0x3FF), encoding_);
        } else {
            putUnit(destination_, code, encoding_);
        }
        text.remove_prefix(length);
    }
    if (!text.empty()) std::memmove(buffer_.data(), text.data(), text.size());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    pbump(static_cast<int>(text.size()));
}

ProfileTextOut::int_type ProfileTextOut::overflow(int_type c) {
    drain(false);
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return sputc(traits_type::to_char_type(c));
}

int ProfileTextOut::sync() {
    drain(false);
    return destination_ ? 0 : -1;
}

void ProfileTextOut::finish() { drain(true); }

std::string toProfileText(std::string_view utf8, ProfileEncoding encoding) {
    return encoding == ProfileEncoding::Windows1252 ? utf8ToWindows1252(utf8) : validUtf8(utf8);
}

std::string fromProfileText(std::string_view text, ProfileEncoding encoding) {
    return encoding == ProfileEncoding::Windows1252 ? windows1252ToUtf8(text) : validUtf8(text);
}

}  // namespace korvalen
