#include "modes/FichierModes.h"

#include <charconv>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>

#include "config/SafeFile.h"

namespace korvalen {
namespace {

constexpr const char* kVrai = "#TRUE#";
constexpr const char* kFaux = "#FALSE#";
constexpr const char* kFinDeLigne = "\r\n";
// Longer than any valid field; a longer one is invalid and its bytes are not kept.
constexpr std::size_t kFieldMax = 32;
// A written mode is under 3 KB; past this many bytes the input is no mode file and reading stops,
// however many line ends it holds.
constexpr std::size_t kInputMax = 1024 * 1024;

// Takes the fields of a mode file one after another. A comma ends a field; line ends (CR, LF)
// end one too and may stand in any number between fields, so where the lines break does not matter.
class FieldReader {
public:
    explicit FieldReader(std::istream& in) : buffer_(in.rdbuf()) {}

    // The next field, or false at the end of the input or for a field too long to be valid.
    bool next(std::string& field) {
        field.clear();
        if (buffer_ == nullptr) return false;
        int c = take();
        while (c == '\r' || c == '\n') c = take();
        if (c == std::char_traits<char>::eof()) return false;
        while (c != ',' && c != '\r' && c != '\n' && c != std::char_traits<char>::eof()) {
            if (field.size() == kFieldMax) return false;
            field += static_cast<char>(c);
            c = take();
        }
        return true;
    }

private:
    int take() {
        if (consumed_ == kInputMax) return std::char_traits<char>::eof();
        ++consumed_;
        return buffer_->sbumpc();
    }

    std::streambuf* buffer_;
    std::size_t consumed_ = 0;
};

bool readFlag(FieldReader& fields, Booleen& target) {
    std::string field;
    if (!fields.next(field)) return false;
    if (field == kVrai) target = VRAI;
    else if (field == kFaux) target = FAUX;
    else return false;
    return true;
}

bool readNumber(FieldReader& fields, Entier& target) {
    std::string field;
    if (!fields.next(field)) return false;
    Entier value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (field.empty() || error != std::errc{} || stop != end) return false;
    target = value;
    return true;
}

// Fills the records in file order and stops at the first field that is missing or malformed;
// each value is stored as soon as it is read.
bool readGroups(Variables& v, FieldReader& fields) {
    for (std::size_t g = 0; g < NB_SORTIES_GROUPE; ++g) {
        Sortie& a = v.SortieA[g];
        Sortie& b = v.SortieB[g];
        if (!readFlag(fields, a.active) || !readFlag(fields, b.active)) return false;
        for (std::size_t j = 0; j < NB_BARRES; ++j) {
            if (!readNumber(fields, a.sens[j]) || !readNumber(fields, a.seuil[j]) || !readNumber(fields, b.sens[j]) ||
                !readNumber(fields, b.seuil[j]))
                return false;
        }
    }
    return true;
}

const char* flagText(Booleen flag) { return flag != FAUX ? kVrai : kFaux; }

// A number as the file holds it, whatever locale the stream carries.
void writeNumber(std::ostream& out, Entier value) {
    char text[8];
    const auto result = std::to_chars(std::begin(text), std::end(text), value);
    out.write(text, result.ptr - text);
    out.put(',');
}

}  // namespace

std::string cheminModes(const Variables& v) { return v.repertoire + "/" + v.fichierLUM; }

void lireModes(Variables& v, std::istream& entree) {
    FieldReader fields(entree);
    readGroups(v, fields);
}

void ecrireModes(const Variables& v, std::ostream& sortie) {
    for (std::size_t g = 0; g < NB_SORTIES_GROUPE; ++g) {
        const Sortie& a = v.SortieA[g];
        const Sortie& b = v.SortieB[g];
        sortie << flagText(a.active) << ',' << flagText(b.active) << kFinDeLigne;
        for (std::size_t j = 0; j < NB_BARRES; ++j) {
            writeNumber(sortie, a.sens[j]);
            writeNumber(sortie, a.seuil[j]);
            writeNumber(sortie, b.sens[j]);
            writeNumber(sortie, b.seuil[j]);
        }
    }
}

void ChargerModes(Variables& v) {
    if (v.fichierLUM.empty()) return;
    const std::string chemin = cheminModes(v);
    if (!isRegularFile(chemin)) return;
    std::ifstream entree(chemin, std::ios::binary);
    if (!entree) return;
    v.modeLu = chemin;
    lireModes(v, entree);
}

std::optional<Texte> SauverModes(const Variables& v) {
    return replaceFile(cheminModes(v), [&](std::ostream& sortie) {
        ecrireModes(v, sortie);
        return 0;
    });
}

std::optional<Texte> creerModeVide(const std::string& chemin) {
    return replaceFile(chemin, [](std::ostream& sortie) {
        sortie << "\"vide\"" << kFinDeLigne;
        return 0;
    });
}

void NumeroterSorties(Variables& v) {
    for (std::size_t i = 0; i < NB_SORTIES_GROUPE; ++i) {
        v.SortieA[i].numero = static_cast<Entier>(i);
        v.SortieB[i].numero = static_cast<Entier>(NB_SORTIES_GROUPE + i);
    }
}

}  // namespace korvalen
