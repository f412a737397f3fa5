#include "config/ProfileStream.h"

#include <algorithm>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string_view>

#include "config/ProfileEncoding.h"
#include "config/Windows1252.h"

namespace korvalen {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Blank lines held back at the end of the section being written, at most this many bytes.
constexpr std::size_t kHeldBlankMax = 64 * 1024;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

// Reads a profile one line at a time: the start of each line is kept, the rest is handed out byte
// by byte, so that a line of any length costs bounded memory.
class LineReader {
public:
    explicit LineReader(std::streambuf* buffer) : buffer_(buffer) {}

    // Reads the start of the next line (without its line end); false at the end of the input.
    bool next() {
        skipRest();
        head_.clear();
        terminated_ = false;
        if (buffer_ == nullptr) return false;
        int c = buffer_->sbumpc();
        if (c == std::char_traits<char>::eof()) return false;
        for (;;) {
            if (c == std::char_traits<char>::eof()) break;
            if (c == '\n') {
                terminated_ = true;
                break;
            }
            head_ += static_cast<char>(c);
            if (head_.size() == kProfileLineHead) {
                const int following = buffer_->sgetc();
                if (following == '\n') {
                    buffer_->sbumpc();
                    terminated_ = true;
                } else if (following != std::char_traits<char>::eof()) {
                    whole_ = false;
                    return true;
                }
                break;
            }
            c = buffer_->sbumpc();
        }
        whole_ = true;
        return true;
    }

    const std::string& head() const { return head_; }
    // The whole line is in head() (no rest to come).
    bool whole() const { return whole_; }
    // The line, once read to its end, was closed by a line feed.
    bool terminated() const { return terminated_; }

    // Next byte of the line after its head, or -1 at the end of the line.
    int restByte() {
        if (whole_) return -1;
        const int c = buffer_->sbumpc();
        if (c == std::char_traits<char>::eof() || c == '\n') {
            whole_ = true;
            terminated_ = c == '\n';
            return -1;
        }
        return c;
    }

    void skipRest() {
        while (restByte() >= 0) {
        }
    }

private:
    std::streambuf* buffer_;
    std::string head_;
    bool whole_ = true;
    bool terminated_ = false;
};

// What a line of a profile is, judged from its start.
struct Line {
    // A bare key is a line of text alone, without "=": a key without a value.
    enum class Kind { Section, Key, BareKey, Blank, Other } kind = Kind::Other;
    std::string_view name;    // section name or key, trimmed
    std::size_t equals = 0;   // position of "=" in the head, for a key
};

Line classify(const LineReader& lines) {
    const std::string_view head = lines.head();
    const std::string_view text = trim(head);
    if (text.empty()) return lines.whole() ? Line{Line::Kind::Blank, {}, 0} : Line{};
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close != std::string_view::npos) return Line{Line::Kind::Section, trim(text.substr(1, close - 1)), 0};
    } else if (text.front() == ';') {
        return Line{};
    }
    const std::size_t equals = head.find('=');
    if (equals == std::string_view::npos) return lines.whole() ? Line{Line::Kind::BareKey, text, 0} : Line{};
    return Line{Line::Kind::Key, trim(head.substr(0, equals)), equals};
}

// The start of the value of a key line whose "=" is at `equals`: blanks around it dropped, one pair
// of matching quotes removed, and enough bytes kept for `maxCharacters` (an opening quote and that
// many characters of up to four bytes each). Reads the line to its end.
std::string readValue(LineReader& lines, std::size_t equals, std::size_t maxCharacters) {
    const std::size_t bytesKept = 4 * (maxCharacters + 1);
    std::string kept;           // the first bytes of the value, from its first non-blank
    std::size_t counted = 0;    // bytes seen from the first non-blank
    std::size_t length = 0;     // bytes up to the last non-blank
    char last = 0;
    auto take = [&](char c) {
        if (counted == 0 && isBlank(c)) return;
        ++counted;
        if (kept.size() < bytesKept) kept += c;
        if (!isBlank(c)) {
            length = counted;
            last = c;
        }
    };
    for (char c : std::string_view(lines.head()).substr(equals + 1)) take(c);
    for (int c = lines.restByte(); c >= 0; c = lines.restByte()) take(static_cast<char>(c));

    const bool quoted = length >= 2 && (kept[0] == '"' || kept[0] == '\'') && last == kept[0];
    return quoted ? kept.substr(1, length - 2) : kept.substr(0, length);
}

// The first `maxCharacters` characters of valid UTF-8 text.
std::string firstCharacters(std::string text, std::size_t maxCharacters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > maxCharacters) {
            text.resize(i);
            break;
        }
    }
    return text;
}

// A value as stored: no line end may enter the file, and the profile API stops at a NUL.
std::string storableValue(const std::string& value, ProfileEncoding encoding) {
    std::string out = toProfileText(value, encoding);
    out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

// Output that remembers whether what it has written so far ends with a line end.
class Output {
public:
    explicit Output(std::ostream& out) : out_(out) {}
    void write(std::string_view text) {
        if (text.empty()) return;
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        lineOpen_ = text.back() != '\n';
    }
    void put(char c) {
        out_.put(c);
        lineOpen_ = c != '\n';
    }
    // Closes an unterminated last line before something is added after it.
    void endOpenLine() {
        if (lineOpen_) write(kLineEnd);
    }
    void copyLine(LineReader& lines) {
        write(lines.head());
        for (int c = lines.restByte(); c >= 0; c = lines.restByte()) put(static_cast<char>(c));
        if (lines.terminated()) put('\n');
    }

private:
    std::ostream& out_;
    bool lineOpen_ = false;
};

}  // namespace

std::vector<std::optional<std::string>> readProfileValues(std::istream& in, const std::string& section,
                                                          const std::vector<std::string>& keys,
                                                          std::size_t maxCharacters) {
    ProfileTextIn text(in.rdbuf());
    const ProfileEncoding encoding = text.encoding();
    const std::string wantedSection = toProfileText(section, encoding);
    std::vector<std::string> wantedKeys;
    for (const std::string& key : keys) wantedKeys.push_back(toProfileText(key, encoding));

    std::vector<std::optional<std::string>> values(keys.size());
    std::size_t missing = keys.size();
    bool inside = false;
    LineReader lines(&text);
    while (missing > 0 && lines.next()) {
        const Line line = classify(lines);
        if (line.kind == Line::Kind::Section) {
            if (inside) break;  // only the first section of that name counts, as when writing
            inside = sameName(line.name, wantedSection);
        } else if (inside && line.kind == Line::Kind::Key) {
            for (std::size_t i = 0; i < wantedKeys.size(); ++i) {
                if (!values[i] && sameName(line.name, wantedKeys[i])) {
                    values[i] = firstCharacters(fromProfileText(readValue(lines, line.equals, maxCharacters), encoding),
                                                maxCharacters);
                    --missing;
                    break;
                }
            }
        }
    }
    return values;
}

namespace {

bool fitsWindows1252(const std::string& utf8) { return windows1252ToUtf8(utf8ToWindows1252(utf8)) == utf8; }

// The rewrite of `text` (read in its own encoding) into `out`, stored in `storedAs`.
void rewriteProfile(ProfileTextIn& text, std::ostream& out, const std::string& section,
                    const std::vector<ProfileEntry>& entries, ProfileEncoding storedAs);

}  // namespace

void writeProfileValues(std::istream& in, std::ostream& out, const std::string& section,
                        const std::vector<ProfileEntry>& entries) {
    ProfileTextIn text(in.rdbuf());
    bool fits = fitsWindows1252(section);
    for (const auto& [key, value] : entries) fits = fits && fitsWindows1252(key) && fitsWindows1252(value);
    fits = fits || text.encoding() != ProfileEncoding::Windows1252;
    if (fits) {
        rewriteProfile(text, out, section, entries, text.encoding());
        return;
    }
    // A name the code page cannot hold would come back as "?": from now on the file is kept in
    // UTF-16 with its mark, as Windows' profile functions keep Unicode files.
    std::string old{std::istreambuf_iterator<char>(&text), std::istreambuf_iterator<char>()};
    std::istringstream asUtf8("\xEF\xBB\xBF" + windows1252ToUtf8(old));
    ProfileTextIn converted(asUtf8.rdbuf());
    rewriteProfile(converted, out, section, entries, ProfileEncoding::Utf16LE);
}

namespace {

void rewriteProfile(ProfileTextIn& text, std::ostream& out, const std::string& section,
                    const std::vector<ProfileEntry>& entries, ProfileEncoding storedAs) {
    const ProfileEncoding encoding = text.encoding();
    const std::string wantedSection = toProfileText(section, encoding);
    std::vector<ProfileEntry> stored;
    for (const auto& [key, value] : entries)
        stored.emplace_back(toProfileText(key, encoding), storableValue(value, encoding));
    std::vector<bool> written(stored.size(), false);

    ProfileTextOut encoded(out, storedAs);
    std::ostream textOut(&encoded);
    Output output(textOut);
    auto writeMissing = [&] {
        if (std::find(written.begin(), written.end(), false) == written.end()) return;
        output.endOpenLine();
        for (std::size_t i = 0; i < stored.size(); ++i) {
            if (written[i]) continue;
            output.write(stored[i].first);
            output.write("=");
            output.write(stored[i].second);
            output.write(kLineEnd);
            written[i] = true;
        }
    };

    enum class Where { Before, Inside, After } where = Where::Before;
    std::string heldBlank;  // blank lines that may close the section: new keys go before them
    LineReader lines(&text);
    while (lines.next()) {
        const Line line = classify(lines);
        if (where == Where::Inside && line.kind == Line::Kind::Blank) {
            heldBlank += lines.head();
            if (lines.terminated()) heldBlank += '\n';
            if (heldBlank.size() > kHeldBlankMax) {
                output.write(heldBlank);
                heldBlank.clear();
            }
            continue;
        }
        if (where == Where::Inside && line.kind == Line::Kind::Section) {
            writeMissing();
            where = Where::After;
        }
        output.write(heldBlank);
        heldBlank.clear();

        if (line.kind == Line::Kind::Section && where == Where::Before && sameName(line.name, wantedSection))
            where = Where::Inside;

        if (where == Where::Inside && (line.kind == Line::Kind::Key || line.kind == Line::Kind::BareKey)) {
            const auto match = std::find_if(stored.begin(), stored.end(), [&](const ProfileEntry& entry) {
                return !written[static_cast<std::size_t>(&entry - stored.data())] && sameName(line.name, entry.first);
            });
            if (match != stored.end()) {
                // The key stays as the line wrote it; a bare key gains its "=".
                const std::string_view head = lines.head();
                if (line.kind == Line::Kind::Key) {
                    output.write(head.substr(0, line.equals + 1));
                } else {
                    output.write(head.substr(0, static_cast<std::size_t>(line.name.data() - head.data()) + line.name.size()));
                    output.write("=");
                }
                output.write(match->second);
                output.write(kLineEnd);
                written[static_cast<std::size_t>(match - stored.begin())] = true;
                lines.skipRest();
                continue;
            }
        }
        output.copyLine(lines);
    }

    if (where == Where::Before) {
        output.endOpenLine();
        output.write("[");
        output.write(wantedSection);
        output.write("]");
        output.write(kLineEnd);
    }
    writeMissing();
    output.write(heldBlank);
    textOut.flush();
    encoded.finish();
}

}  // namespace

}  // namespace korvalen
