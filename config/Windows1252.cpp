#include "config/Windows1252.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace korvalen {
namespace {

// The code points of the bytes Windows-1252 leaves undefined; iconv rejects them both ways.
bool isUndefinedByte(unsigned value) {
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

// One conversion descriptor for the length of one conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of `input` as it can into `out`; returns false at an unconvertible sequence,
    // `input` then starting at that sequence.
    bool convert(std::string_view& input, std::string& out) {
        std::array<char, 256> buffer{};
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        bool ok = true;
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t result = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                ok = false;
                break;
            }
        }
        input = std::string_view(in, inLeft);
        return ok;
    }

private:
    iconv_t handle_;
};

// Length of the UTF-8 sequence that starts `text`, or 1 for a byte that starts no valid sequence.
std::size_t sequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
    return length;
}

}  // namespace

std::string windows1252ToUtf8(std::string_view octets) {
    Converter converter("UTF-8", "WINDOWS-1252");
    std::string out;
    out.reserve(octets.size());
    while (!converter.convert(octets, out)) {
        const auto value = static_cast<unsigned char>(octets[0]);
        // Only the undefined bytes stop the decoder; they stand for the C1 control of that value.
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
        octets.remove_prefix(1);
    }
    return out;
}

std::string utf8ToWindows1252(std::string_view texte) {
    Converter converter("WINDOWS-1252", "UTF-8");
    std::string out;
    out.reserve(texte.size());
    while (!converter.convert(texte, out)) {
        const std::size_t length = sequenceLength(texte);
        const auto lead = static_cast<unsigned char>(texte[0]);
        if (length == 2 && lead == 0xC2 && isUndefinedByte(0x80 | (static_cast<unsigned char>(texte[1]) & 0x3F)))
            out += static_cast<char>(0x80 | (static_cast<unsigned char>(texte[1]) & 0x3F));
        else
            out += '?';
        texte.remove_prefix(length);
    }
    return out;
}

std::string validUtf8(std::string_view text) {
    Converter converter("UTF-8", "UTF-8");
    std::string out;
    out.reserve(text.size());
    while (!converter.convert(text, out)) {
        out += "\xEF\xBF\xBD";
        text.remove_prefix(sequenceLength(text));
    }
    return out;
}

}  // namespace korvalen
