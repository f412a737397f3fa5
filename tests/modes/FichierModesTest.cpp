// The .lum mode file: exact layout on writing, field-by-field reading that stops at the first fault.

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "doubles/TemporaryFolder.h"
#include "modes/FichierModes.h"
#include "doubles/EnFrancais.h"

namespace korvalen {
namespace {

using test::TemporaryFolder;

// The 776-byte file of a mode with every flag clear and every number 0.
std::string allZeroFile() {
    const std::string flags = "#FALSE#,#FALSE#\r\n";
    std::string numbers;
    for (int i = 0; i < 40; ++i) numbers += "0,";
    std::string file = flags;
    for (int g = 0; g < 7; ++g) file += numbers + flags;
    return file + numbers;
}

// Every mode field in file order, as pointers into the records.
std::vector<Entier*> fieldsInFileOrder(Variables& v) {
    std::vector<Entier*> fields;
    for (std::size_t g = 0; g < 8; ++g) {
        fields.push_back(&v.SortieA[g].active);
        fields.push_back(&v.SortieB[g].active);
        for (std::size_t j = 0; j < 10; ++j) {
            fields.push_back(&v.SortieA[g].sens[j]);
            fields.push_back(&v.SortieA[g].seuil[j]);
            fields.push_back(&v.SortieB[g].sens[j]);
            fields.push_back(&v.SortieB[g].seuil[j]);
        }
    }
    return fields;
}

bool isFlag(std::size_t index) { return index % 42 < 2; }

// A mode where every number differs and none is 7: flags alternate, numbers are 97 times their
// index, negative at odd indexes, so that negatives and numbers above 100 are among them.
Variables distinctMode() {
    Variables v;
    const std::vector<Entier*> fields = fieldsInFileOrder(v);
    for (std::size_t i = 0; i < fields.size(); ++i)
        *fields[i] = isFlag(i) ? (i % 2 == 0 ? VRAI : FAUX) : static_cast<Entier>((i % 2 ? -97 : 97) * static_cast<int>(i));
    return v;
}

// The texts of the 336 fields of a mode.
std::vector<std::string> fieldTexts(Variables v) {
    std::vector<std::string> texts;
    const std::vector<Entier*> fields = fieldsInFileOrder(v);
    for (std::size_t i = 0; i < fields.size(); ++i)
        texts.push_back(isFlag(i) ? (*fields[i] ? "#TRUE#" : "#FALSE#") : std::to_string(*fields[i]));
    return texts;
}

std::string joined(const std::vector<std::string>& texts, const std::string& separator) {
    std::string out;
    for (const std::string& t : texts) out += t + separator;
    return out;
}

std::string written(const Variables& v) {
    std::ostringstream out;
    ecrireModes(v, out);
    return out.str();
}

// Records with a recognisable mode, names and numbers, to show what a read leaves alone.
Variables before() {
    Variables v;
    for (Entier* field : fieldsInFileOrder(v)) *field = 7;
    v.SortieA[1].nom = "Gauche";
    v.SortieB[2].coche = VRAI;
    NumeroterSorties(v);
    return v;
}

Variables readFrom(const std::string& bytes, Variables v = before()) {
    std::istringstream in(bytes);
    lireModes(v, in);
    return v;
}

// How many fields, in file order, hold what `expected` holds.
std::size_t fieldsEqual(Variables actual, Variables expected) {
    const auto a = fieldsInFileOrder(actual);
    const auto e = fieldsInFileOrder(expected);
    std::size_t same = 0;
    for (std::size_t i = 0; i < a.size(); ++i) same += *a[i] == *e[i];
    return same;
}

TEST(EcrireModes, AllZeroModeIsThe776ByteFile) {
    const std::string file = written(Variables{});
    EXPECT_EQ(file.size(), 776u);
    EXPECT_EQ(file, allZeroFile());
}

TEST(EcrireModes, WritesEveryFieldInOrderWithTheFixedLineLayout) {
    const Variables mode = distinctMode();
    const std::vector<std::string> texts = fieldTexts(mode);
    std::string expected;
    for (std::size_t g = 0; g < 8; ++g) {
        expected += texts[g * 42] + "," + texts[g * 42 + 1] + "\r\n";
        for (std::size_t k = 2; k < 42; ++k) expected += texts[g * 42 + k] + ",";
    }
    EXPECT_EQ(written(mode), expected);
    EXPECT_NE(expected.find("#TRUE#"), std::string::npos);
    EXPECT_EQ(expected.substr(0, 34), "#TRUE#,#FALSE#\r\n194,-291,388,-485,");
}

TEST(LireModes, The776ByteFileReadsAsAnAllZeroMode) {
    const Variables v = readFrom(allZeroFile());
    EXPECT_EQ(fieldsEqual(v, Variables{}), 336u);
}

TEST(LireModes, WriteThenReadRestoresEveryFieldOnlyTheMode) {
    const Variables mode = distinctMode();
    const Variables v = readFrom(written(mode));
    EXPECT_EQ(fieldsEqual(v, mode), 336u);
    EXPECT_EQ(v.SortieA[1].nom, "Gauche");
    EXPECT_EQ(v.SortieB[2].coche, VRAI);
    EXPECT_EQ(v.SortieB[3].numero, 11);
}

struct LayoutCase {
    const char* name;
    std::string separator;
    friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }
};

class Layouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, ReadTheSameAsTheWrittenLayout) {
    const Variables mode = distinctMode();
    const Variables v = readFrom(joined(fieldTexts(mode), GetParam().separator));
    EXPECT_EQ(fieldsEqual(v, mode), 336u);
}

INSTANTIATE_TEST_SUITE_P(Separators, Layouts,
                         ::testing::Values(LayoutCase{"oneLine", ","}, LayoutCase{"oneFieldPerLineCrLf", "\r\n"},
                                           LayoutCase{"oneFieldPerLineLf", "\n"}, LayoutCase{"oneFieldPerLineCr", "\r"},
                                           LayoutCase{"trailingCommaAndLineEnd", ",\r\n"},
                                           LayoutCase{"blankLinesBetween", "\r\n\r\n\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LireModes, AFileCutAfterItsHundredthFieldChangesExactlyThoseFields) {
    const Variables mode = distinctMode();
    std::vector<std::string> texts = fieldTexts(mode);
    texts.resize(100);
    const Variables v = readFrom(joined(texts, ","));

    // Groups 0 and 1 whole, then group 2's flags, its bars 0 to 2, and A2's bar 3.
    EXPECT_EQ(v.SortieA[1].seuil[9], mode.SortieA[1].seuil[9]);
    EXPECT_EQ(v.SortieB[1].seuil[9], mode.SortieB[1].seuil[9]);
    EXPECT_EQ(v.SortieA[2].active, mode.SortieA[2].active);
    EXPECT_EQ(v.SortieB[2].active, mode.SortieB[2].active);
    EXPECT_EQ(v.SortieB[2].seuil[2], mode.SortieB[2].seuil[2]);
    EXPECT_EQ(v.SortieA[2].sens[3], mode.SortieA[2].sens[3]);
    EXPECT_EQ(v.SortieA[2].seuil[3], mode.SortieA[2].seuil[3]);
    EXPECT_EQ(v.SortieB[2].sens[3], 7);
    EXPECT_EQ(v.SortieB[2].seuil[3], 7);
    EXPECT_EQ(v.SortieA[7].seuil[9], 7);
    EXPECT_EQ(fieldsEqual(v, mode), 100u);
    EXPECT_EQ(fieldsEqual(v, before()), 236u);
}

TEST(LireModes, WhatFollowsThe336thFieldIsIgnored) {
    const Variables mode = distinctMode();
    const Variables v = readFrom(written(mode) + "#TRUE#,99,\r\n" + std::string(10'000, 'x'));
    EXPECT_EQ(fieldsEqual(v, mode), 336u);
}

struct FaultCase {
    const char* name;
    std::string field;  // put in place of field 5 (a number) of an otherwise valid file
    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

class Faults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(Faults, StopTheReadingAndKeepWhatWasRead) {
    const Variables mode = distinctMode();
    std::vector<std::string> texts = fieldTexts(mode);
    texts[5] = GetParam().field;
    const Variables v = readFrom(joined(texts, ","));
    EXPECT_EQ(fieldsEqual(v, mode), 5u);
    EXPECT_EQ(v.SortieB[0].seuil[0], 7) << "field 5 keeps its previous value";
    EXPECT_EQ(fieldsEqual(v, before()), 331u);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Faults,
    ::testing::Values(FaultCase{"letters", "abc"}, FaultCase{"empty", ""}, FaultCase{"aboveRange", "32768"},
                      FaultCase{"belowRange", "-32769"}, FaultCase{"plusSign", "+5"}, FaultCase{"blank", " 5"},
                      FaultCase{"fraction", "5.5"}, FaultCase{"flagWhereANumberGoes", "#TRUE#"},
                      FaultCase{"nul", std::string("5\0", 2)}, FaultCase{"veryLong", std::string(1'000'000, '1')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LireModes, AFlagMustBeExactlyTrueOrFalse) {
    for (const char* flag : {"#true#", "TRUE", "-1", "#TRUE", "\"vide\""}) {
        const Variables v = readFrom(std::string(flag) + ",#FALSE#,1,2");
        EXPECT_EQ(fieldsEqual(v, before()), 336u) << flag;
    }
}

TEST(LireModes, LimitsOfSixteenBitsAreRead) {
    const Variables v = readFrom("#TRUE#,#FALSE#,-32768,32767,-0,007,");
    EXPECT_EQ(v.SortieA[0].active, VRAI);
    EXPECT_EQ(v.SortieA[0].sens[0], -32768);
    EXPECT_EQ(v.SortieA[0].seuil[0], 32767);
    EXPECT_EQ(v.SortieB[0].sens[0], 0);
    EXPECT_EQ(v.SortieB[0].seuil[0], 7);
    EXPECT_EQ(v.SortieA[0].sens[1], 7) << "the file ends here";
}

TEST(LireModes, ThePlaceholderChangesNothing) {
    EXPECT_EQ(fieldsEqual(readFrom("\"vide\"\r\n"), before()), 336u);
    EXPECT_EQ(fieldsEqual(readFrom(""), before()), 336u);
}

// An input that never ends: one pattern over and over, produced as it is read.
class EndlessInput : public std::streambuf {
public:
    explicit EndlessInput(const std::string& pattern) {
        while (block_.size() < 4096) block_ += pattern;
    }

protected:
    int_type underflow() override {
        setg(block_.data(), block_.data(), block_.data() + block_.size());
        return traits_type::to_int_type(block_[0]);
    }

private:
    std::string block_;
};

TEST(LireModes, EndlessInputIsReadOnlyAsFarAsAModeGoes) {
    const Variables mode = distinctMode();
    EndlessInput files(written(mode));  // mode files one after the other: a valid endless field list
    std::istream in(&files);
    Variables v = before();
    lireModes(v, in);
    EXPECT_EQ(fieldsEqual(v, mode), 336u);

    EndlessInput lineEnds("\r\n");
    std::istream blank(&lineEnds);
    v = before();
    lireModes(v, blank);
    EXPECT_EQ(fieldsEqual(v, before()), 336u);
}

TEST(NumeroterSorties, GivesAThePositionAndBEightMore) {
    Variables v;
    NumeroterSorties(v);
    EXPECT_EQ(v.SortieA[0].numero, 0);
    EXPECT_EQ(v.SortieA[3].numero, 3);
    EXPECT_EQ(v.SortieB[0].numero, 8);
    EXPECT_EQ(v.SortieB[7].numero, 15);
}

class ModeFile : public ::testing::Test {
protected:
    ModeFile() {
        v = before();
        v.repertoire = folder.path();
        v.fichierLUM = "soir.lum";
    }
    TemporaryFolder folder;
    Variables v;
};

TEST_F(ModeFile, PathIsTheFolderAndTheFileName) { EXPECT_EQ(cheminModes(v), folder.path() + "/soir.lum"); }

TEST_F(ModeFile, SaveThenLoadRestoresTheMode) {
    const Variables mode = distinctMode();
    Variables saved = mode;
    saved.repertoire = v.repertoire;
    saved.fichierLUM = v.fichierLUM;
    ASSERT_EQ(SauverModes(saved), std::nullopt);
    EXPECT_EQ(TemporaryFolder::read(cheminModes(v)), written(mode));
    ChargerModes(v);
    EXPECT_EQ(fieldsEqual(v, mode), 336u);
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file may be left";
}

TEST_F(ModeFile, MissingFileOrEmptyNameChangesNothing) {
    ChargerModes(v);
    EXPECT_EQ(fieldsEqual(v, before()), 336u);

    TemporaryFolder::write(folder.file("autre.lum"), allZeroFile());
    v.fichierLUM = "";
    ChargerModes(v);
    EXPECT_EQ(fieldsEqual(v, before()), 336u);

    v.fichierLUM = "autre.lum";
    v.repertoire = folder.file("absent");
    ChargerModes(v);
    EXPECT_EQ(fieldsEqual(v, before()), 336u);
}

TEST_F(ModeFile, AFolderNamedLikeTheFileIsNotRead) {
    std::filesystem::create_directory(cheminModes(v));
    ChargerModes(v);
    EXPECT_EQ(fieldsEqual(v, before()), 336u);
}

TEST_F(ModeFile, TheLongestLegalNameSaves) {
    v.fichierLUM = std::string(251, 'n') + ".lum";  // 255 bytes, the most a name may have
    ASSERT_EQ(SauverModes(v), std::nullopt);
    EXPECT_EQ(TemporaryFolder::read(cheminModes(v)), written(v));
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file may be left";
}

TEST_F(ModeFile, SavingOverThePlaceholderGivesItTheMode) {
    TemporaryFolder::write(cheminModes(v), "\"vide\"\r\n");
    ASSERT_EQ(SauverModes(v), std::nullopt);
    EXPECT_EQ(TemporaryFolder::read(cheminModes(v)), written(v));
}

// Root ignores permission bits, so failures come from paths the system cannot write at all.
TEST_F(ModeFile, AFailedSaveReportsTheFileAndLeavesTheOldOneWhole) {
    const std::string blocker = folder.file("pas-un-dossier");
    TemporaryFolder::write(blocker, allZeroFile());
    v.repertoire = blocker;
    EXPECT_EQ(test::enFrancais(SauverModes(v)), "Impossible d'enregistrer " + blocker + "/soir.lum : un élément du chemin n'est pas un dossier");
    EXPECT_EQ(TemporaryFolder::read(blocker), allZeroFile());

    v.repertoire = folder.file("absent");
    EXPECT_EQ(test::enFrancais(SauverModes(v)), "Impossible d'enregistrer " + v.repertoire + "/soir.lum : fichier ou dossier introuvable");

    v.repertoire = folder.path();
    v.fichierLUM = "";
    EXPECT_EQ(test::enFrancais(SauverModes(v)), "Impossible d'enregistrer " + folder.path() + "/ : c'est un dossier");
    EXPECT_EQ(folder.entryCount(), 1u);
}

}  // namespace
}  // namespace korvalen
