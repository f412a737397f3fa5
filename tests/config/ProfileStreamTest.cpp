// Reading and rewriting profile text on streams: the lookup rules and the byte-exact rewrite.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "config/ProfileStream.h"

namespace korvalen {
namespace {

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
        RewriteCase{"characterOutsideTheCodePage", "", "Sorties", {{"A 0", "\xCE\xA9 \xE4\xB8\xAD"}},
                    "[Sorties]\r\nA 0=? ?\r\n"}),
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

}  // namespace
}  // namespace korvalen
