// Reading and rewriting profile text on streams: the lookup rules and the byte-exact rewrite.

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "config/ProfileStream.h"

namespace korvalen {
namespace {

using namespace std::string_literals;

std::optional<std::string> lookup(const std::string& text, const std::string& section, const std::string& key) {
    std::istringstream in(text);
    return readProfileValues(in, section, {key}).front();
}

std::string rewrite(const std::string& text, const std::string& section, const std::vector<ProfileEntry>& entries) {
    std::istringstream in(text);
    std::ostringstream out;
    writeProfileValues(in, out, section, entries);
    return out.str();
}

const std::string kUtf8Mark = "\xEF\xBB\xBF";

// `text` (UTF-8) stored as an editor saves it in `code`, behind its byte-order mark.
std::string marked(const std::string& code, const std::string& text) {
    if (code == "UTF-8") return kUtf8Mark + text;
    const iconv_t converter = iconv_open(code.c_str(), "UTF-8");
    std::string out(text.size() * 4, '\0');
    char* in = const_cast<char*>(text.data());
    char* outPtr = out.data();
    std::size_t inLeft = text.size();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    EXPECT_EQ(result, 0u);
    out.resize(out.size() - outLeft);
    return (code == "UTF-16LE" ? "\xFF\xFE" : "\xFE\xFF") + out;
}

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

struct LookupCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
    friend void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ProfileLookup, FindsTheValueByTheRules) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(lookup(c.text, c.section, c.key), c.expected);
}

const std::string kLong300 = std::string(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileLookup,
    ::testing::Values(
        LookupCase{"plain", "[Sorties]\r\nA 0=Lampe\r\n", "Sorties", "A 0", "Lampe"},
        LookupCase{"sectionAndKeyInOtherCase", "[OPTIONS]\r\nTEMPS_TIMER=150\r\n", "Options", "Temps_timer", "150"},
        LookupCase{"lowerCaseKey", "[sorties]\r\na 0=x\r\n", "Sorties", "A 0", "x"},
        LookupCase{"presentEmptyValue", "[Sorties]\r\nA 3=\r\n", "Sorties", "A 3", ""},
        LookupCase{"blankOnlyValueIsEmpty", "[Sorties]\r\nA 3=   \r\n", "Sorties", "A 3", ""},
        LookupCase{"blanksAroundKeyAndValue", "[Sorties]\r\n  A 0 \t=  Spot gauche  \r\n", "Sorties", "A 0", "Spot gauche"},
        LookupCase{"blanksInsideKeyCount", "[Sorties]\r\nA  0=x\r\n", "Sorties", "A 0", std::nullopt},
        LookupCase{"doubleQuotes", "[Sorties]\r\nA 0=\"  Spot  \"\r\n", "Sorties", "A 0", "  Spot  "},
        LookupCase{"singleQuotes", "[Sorties]\r\nA 0='Spot'\r\n", "Sorties", "A 0", "Spot"},
        LookupCase{"quotesThatDoNotMatch", "[Sorties]\r\nA 0=\"Spot'\r\n", "Sorties", "A 0", "\"Spot'"},
        LookupCase{"oneQuoteAlone", "[Sorties]\r\nA 0=\"\r\n", "Sorties", "A 0", "\""},
        LookupCase{"onlyOnePairRemoved", "[Sorties]\r\nA 0=\"\"x\"\"\r\n", "Sorties", "A 0", "\"x\""},
        LookupCase{"valueKeepsItsEquals", "[Sorties]\r\nA 0=a=b\r\n", "Sorties", "A 0", "a=b"},
        LookupCase{"lineFeedOnlyFile", "[Options]\nrepertoire=/srv/lum\nfichierLUM=a.lum\n", "Options", "fichierLUM", "a.lum"},
        LookupCase{"noFinalLineEnd", "[Options]\r\nfichierLUM=a.lum", "Options", "fichierLUM", "a.lum"},
        LookupCase{"keyOfAnotherSection", "[Options]\r\nA 0=x\r\n[Sorties]\r\n", "Sorties", "A 0", std::nullopt},
        LookupCase{"keyBeforeAnySection", "A 0=x\r\n[Sorties]\r\n", "Sorties", "A 0", std::nullopt},
        LookupCase{"missingSection", "[Options]\r\nTemps_timer=1\r\n", "Sorties", "A 0", std::nullopt},
        LookupCase{"emptyInput", "", "Sorties", "A 0", std::nullopt},
        LookupCase{"firstOfTwoKeys", "[Sorties]\r\nA 0=un\r\nA 0=deux\r\n", "Sorties", "A 0", "un"},
        LookupCase{"commentIsNoKey", "[Sorties]\r\n;A 0=x\r\n", "Sorties", "A 0", std::nullopt},
        LookupCase{"blanksInsideBrackets", "  [ Sorties ]  \r\nA 0=x\r\n", "Sorties", "A 0", "x"},
        LookupCase{"cutTo255", "[S]\r\nk=" + kLong300 + "\r\n", "S", "k", std::string(255, 'x')},
        LookupCase{"quotedCutTo255", "[S]\r\nk=\"" + kLong300 + "\"\r\n", "S", "k", std::string(255, 'x')},
        LookupCase{"utf8FileCutTo255Characters", marked("UTF-8", "[S]\r\nk=" + repeated("\xC3\xA9", 300)), "S", "k",
                   repeated("\xC3\xA9", 255)},
        LookupCase{"utf8FileStrayBytesReplacedThenCut", marked("UTF-8", "[S]\r\nk=" + repeated("\x9E", 300)), "S", "k",
                   repeated("\xEF\xBF\xBD", 255)},
        LookupCase{"windows1252Name", "[Sorties]\r\nA 0=Projecteur \xE9t\xE9 \x80\r\n", "Sorties", "A 0",
                   "Projecteur \xC3\xA9t\xC3\xA9 \xE2\x82\xAC"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileLookup, ReadsManyKeysInOnePassInTheirOrder) {
    std::istringstream in("[Boutons]\r\nBouton3=7\r\nBouton1=-1\r\n");
    const auto values = readProfileValues(in, "Boutons", {"Bouton1", "Bouton2", "Bouton3"});
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0], "-1");
    EXPECT_EQ(values[1], std::nullopt);
    EXPECT_EQ(values[2], "7");
}

TEST(ProfileLookup, FindsAValueAfterAMillionCharacterLine) {
    const std::string text = "[Sorties]\r\nA 1=" + std::string(1'000'000, 'y') + "\r\n" + std::string(1'000'000, '\0') +
                             "\r\nA 0=fin\r\n";
    EXPECT_EQ(lookup(text, "Sorties", "A 0"), "fin");
    EXPECT_EQ(lookup(text, "Sorties", "A 1"), std::string(255, 'y'));
}

TEST(ProfileLookup, KeyFarIntoItsLineIsNotRecognised) {
    // Only the start of a line is kept; a key past it is ignored by the reader and the writer alike.
    const std::string text = "[S]\r\n" + std::string(kProfileLineHead, ' ') + "k=loin\r\n";
    EXPECT_EQ(lookup(text, "S", "k"), std::nullopt);
    EXPECT_EQ(rewrite(text, "S", {{"k", "v"}}), text + "k=v\r\n");
}

struct RewriteCase {
    const char* name;
    std::string before;
    const char* section;
    std::vector<ProfileEntry> entries;
    std::string after;
    friend void PrintTo(const RewriteCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileRewrite : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(ProfileRewrite, ChangesOnlyWhatItMust) {
    const RewriteCase& c = GetParam();
    EXPECT_EQ(rewrite(c.before, c.section, c.entries), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileRewrite,
    ::testing::Values(
        RewriteCase{"newFile", "", "Boutons", {{"Bouton1", "0"}, {"Bouton2", "-1"}},
                    "[Boutons]\r\nBouton1=0\r\nBouton2=-1\r\n"},
        RewriteCase{"replacedInPlaceKeepingTheKeyAsWritten", "[sorties]\r\n a 0 =Vieux\r\nA 1=b\r\n", "Sorties",
                    {{"A 0", "Neuf"}}, "[sorties]\r\n a 0 =Neuf\r\nA 1=b\r\n"},
        RewriteCase{"newKeyAtTheEndOfItsSection", "[Options]\r\nTemps_timer=200\r\n[Boutons]\r\nBouton1=0\r\n",
                    "Options", {{"fichierLUM", "a.lum"}},
                    "[Options]\r\nTemps_timer=200\r\nfichierLUM=a.lum\r\n[Boutons]\r\nBouton1=0\r\n"},
        RewriteCase{"newKeyBeforeTheBlankLinesThatCloseTheSection", "[Options]\nx=1\n\n  \n[Boutons]\n", "Options",
                    {{"y", "2"}}, "[Options]\nx=1\ny=2\r\n\n  \n[Boutons]\n"},
        RewriteCase{"newSectionAfterOnlySorties", "[Sorties]\r\nA 0=Spot A0\r\n", "Boutons", {{"Bouton1", "3"}},
                    "[Sorties]\r\nA 0=Spot A0\r\n[Boutons]\r\nBouton1=3\r\n"},
        RewriteCase{"lastLineWithoutLineEndIsClosedFirst", "[Sorties]\r\nA 0=x", "Boutons", {{"Bouton1", "3"}},
                    "[Sorties]\r\nA 0=x\r\n[Boutons]\r\nBouton1=3\r\n"},
        RewriteCase{"lastLineWithoutLineEndUntouchedWhenNothingIsAdded", "[S]\r\nk=1\r\n[T]\r\nz", "S", {{"k", "2"}},
                    "[S]\r\nk=2\r\n[T]\r\nz"},
        RewriteCase{"otherLinesByteForByte", "; note\n[X]\r\n\tweird line \x01\x02\r\n[S]\r\nk=1\r\nother = 5  \n", "S",
                    {{"k", "2"}}, "; note\n[X]\r\n\tweird line \x01\x02\r\n[S]\r\nk=2\r\nother = 5  \n"},
        RewriteCase{"onlyTheFirstSectionOfThatName", "[S]\r\na=1\r\n[S]\r\nk=old\r\n", "S", {{"k", "new"}},
                    "[S]\r\na=1\r\nk=new\r\n[S]\r\nk=old\r\n"},
        RewriteCase{"lineEndsInAValueCannotSplitIt", "", "S", {{"k", "a\r\n[Options]\nb"}}, "[S]\r\nk=a  [Options] b\r\n"},
        RewriteCase{"utf8StoredAsWindows1252", "", "Sorties", {{"A 0", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"}},
                    "[Sorties]\r\nA 0=\xE9t\xE9 \x80\r\n"},
        RewriteCase{"bytesThatStartLikeAMarkAreText", "\xEF\xBB\r\n[S]\r\nk=1\r\n", "S", {{"k", "2"}},
                    "\xEF\xBB\r\n[S]\r\nk=2\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileRewrite, CopiesAMillionCharacterLineWhole) {
    const std::string junk = "[S]" + std::string(1'000'000, 'z') + "\n";
    const std::string before = junk + "[Sorties]\r\nA 0=x\r\n" + junk;
    const std::string after = rewrite(before, "Sorties", {{"A 0", "y"}});
    EXPECT_EQ(after, junk + "[Sorties]\r\nA 0=y\r\n" + junk);
}

TEST(ProfileRewrite, WhatIsWrittenIsReadBack) {
    const std::string name = "\xC3\x89" "clairage sc\xC3\xA8ne";  // "Éclairage scène"
    const std::string after = rewrite("[sorties]\nA 0=a\n", "Sorties", {{"A 0", name}, {"B 7", ""}});
    EXPECT_EQ(lookup(after, "Sorties", "A 0"), name);
    EXPECT_EQ(lookup(after, "Sorties", "B 7"), "");
}

// A file as bytes, one read and one write on it, and the bytes written.
struct FileBytesCase {
    std::string name;
    std::string before;
    const char* readSection;
    const char* readKey;
    std::optional<std::string> read;
    const char* section;
    std::vector<ProfileEntry> entries;
    std::string after;
    friend void PrintTo(const FileBytesCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileFileBytes : public ::testing::TestWithParam<FileBytesCase> {};

TEST_P(ProfileFileBytes, ReadsAndWritesTheFileInItsOwnEncoding) {
    const FileBytesCase& c = GetParam();
    EXPECT_EQ(lookup(c.before, c.readSection, c.readKey), c.read);
    EXPECT_EQ(rewrite(c.before, c.section, c.entries), c.after);
}

std::vector<FileBytesCase> fileBytesCases() {
    const std::string spot = "Spot \xC3\xA9t\xC3\xA9 \xF0\x9F\x92\xA1";  // "Spot été" and a bulb, outside 16 bits
    const std::string lampe = "Lampe \xCE\xA9";                               // Ω, outside Windows-1252
    const std::string file = "[Sorties]\r\nA 0=" + spot + "\r\nA 1=x\r\n";
    std::vector<FileBytesCase> cases;
    for (const std::string code : {"UTF-8", "UTF-16LE", "UTF-16BE"}) {
        std::string label = code;
        label.erase(std::remove(label.begin(), label.end(), '-'), label.end());
        const auto in = [&](const std::string& text) { return marked(code, text); };
        cases.push_back({label + "ReplacesAKey", in(file), "sorties", "A 0", spot, "Sorties", {{"A 1", lampe}},
                         in("[Sorties]\r\nA 0=" + spot + "\r\nA 1=" + lampe + "\r\n")});
        cases.push_back({label + "AddsAKey", in(file), "Sorties", "a 0", spot, "Sorties", {{"A 2", lampe}},
                         in(file + "A 2=" + lampe + "\r\n")});
        cases.push_back({label + "AddsASection", in(file), "Sorties", "A 0", spot, "Boutons", {{"Bouton1", "-1"}},
                         in(file + "[Boutons]\r\nBouton1=-1\r\n")});
    }
    // A file without a mark stays Windows-1252 while every value fits; one name the code page
    // cannot hold turns the whole file into UTF-16LE with its mark, old lines included.
    const std::string ete1252 = "[Sorties]\r\nA 0=\xE9t\xE9\r\n";
    cases.push_back({"Windows1252KeptWhenEveryValueFits", ete1252, "Sorties", "A 0", "\xC3\xA9t\xC3\xA9", "Sorties",
                     {{"A 1", "Caf\xC3\xA9"}}, ete1252 + "A 1=Caf\xE9\r\n"});
    cases.push_back({"Windows1252BecomesUTF16LEForANameOutsideIt", ete1252, "Sorties", "A 0", "\xC3\xA9t\xC3\xA9",
                     "Sorties", {{"A 1", lampe}},
                     marked("UTF-16LE", "[Sorties]\r\nA 0=\xC3\xA9t\xC3\xA9\r\nA 1=" + lampe + "\r\n")});
    cases.push_back({"NewFileWithANameOutsideWindows1252IsUTF16LE", "", "Sorties", "A 0", std::nullopt, "Sorties",
                     {{"A 0", "\xC5\x81\xC3\xB3" "d\xC5\xBA \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1"}},
                     marked("UTF-16LE", "[Sorties]\r\nA 0=\xC5\x81\xC3\xB3" "d\xC5\xBA \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1\r\n")});
    // A unit that pairs with nothing is copied as it stands; a last odd byte keeps its place.
    const std::string unpaired = "\xFF\xFE[\0S\0]\0\r\0\n\0n\0=\0\x00\xDC\r\0\n\0"s;
    cases.push_back({"UTF16LEUnpairedUnitCopied", unpaired + "k\0=\0" "1\0"s, "S", "n", "\xEF\xBF\xBD", "S",
                     {{"k", "2"}}, unpaired + "k\0=\0" "2\0\r\0\n\0"s});
    cases.push_back({"UTF16BEOddLastByte", "\xFE\xFF\0[\0S\0]k"s, "S", "k", std::nullopt, "T", {{"k", "v"}},
                     marked("UTF-16BE", "[S]\xEF\xBF\xBD\r\n[T]\r\nk=v\r\n")});
    // A key alone on its line, without "=", has no value to read but is the line that gets it.
    cases.push_back({"bareKeyReplacedInPlace", "[S]\r\n  Lonely \r\nk=1\r\n", "S", "lonely", std::nullopt, "S",
                     {{"lonely", "v"}}, "[S]\r\n  Lonely=v\r\nk=1\r\n"});
    cases.push_back({"bareKeyOfAnotherSectionUntouched", "[T]\r\nlonely\r\n[S]\r\n", "T", "lonely", std::nullopt, "S",
                     {{"lonely", "v"}}, "[T]\r\nlonely\r\n[S]\r\nlonely=v\r\n"});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Encodings, ProfileFileBytes, ::testing::ValuesIn(fileBytesCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace korvalen
