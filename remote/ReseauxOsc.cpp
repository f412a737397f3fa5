#include "remote/ReseauxOsc.h"

#include <charconv>

namespace korvalen {
namespace {

std::string_view sansEspaces(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

// The entries between commas; an empty text has none, but an empty entry between two commas is one.
std::vector<std::string_view> entrees(std::string_view texte) {
    std::vector<std::string_view> liste;
    if (sansEspaces(texte).empty()) return liste;
    for (;;) {
        const std::size_t virgule = texte.find(',');
        liste.push_back(sansEspaces(texte.substr(0, virgule)));
        if (virgule == std::string_view::npos) return liste;
        texte.remove_prefix(virgule + 1);
    }
}

// A decimal number of at most `chiffres` digits within 0..maximum, the whole text.
std::optional<unsigned> nombre(std::string_view t, unsigned maximum, std::size_t chiffres) {
    if (t.empty() || t.size() > chiffres) return std::nullopt;
    unsigned valeur = 0;
    const auto [fin, ec] = std::from_chars(t.data(), t.data() + t.size(), valeur);
    if (ec != std::errc() || fin != t.data() + t.size() || valeur > maximum) return std::nullopt;
    return valeur;
}

void dire(ErreurListe* erreur, Texte texte) {
    if (erreur != nullptr && erreur->texte.vide()) erreur->texte = std::move(texte);
}

// A list longer than any read whole was cut: what is left of it may name another network or port.
bool coupee(std::string_view texte, ErreurListe* erreur) {
    if (texte.size() <= LONGUEUR_TELECOMMANDE_MAX) return false;
    dire(erreur, Texte(TRADUISIBLE("Korvalen", "La liste dépasse %1 caractères : elle est écartée en entier."),
                       {Texte::tel(std::to_string(LONGUEUR_TELECOMMANDE_MAX))}));
    return true;
}

std::uint32_t masque(int prefixe) { return prefixe == 0 ? 0 : ~std::uint32_t{0} << (32 - prefixe); }

}  // namespace

bool ReseauIPv4::contient(std::uint32_t hote) const { return (hote & masque(prefixe)) == (adresse & masque(prefixe)); }

std::optional<std::uint32_t> lireIPv4(std::string_view texte) {
    std::uint32_t adresse = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t point = i < 3 ? texte.find('.') : texte.size();
        if (point == std::string_view::npos) return std::nullopt;
        const std::optional<unsigned> octet = nombre(texte.substr(0, point), 255, 3);
        if (!octet) return std::nullopt;
        adresse = adresse << 8 | *octet;
        texte.remove_prefix(i < 3 ? point + 1 : point);
    }
    return adresse;
}

std::string texteIPv4(std::uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." + std::to_string((a >> 8) & 0xFF) +
           "." + std::to_string(a & 0xFF);
}

std::vector<AdresseUdp> lireRetour(std::string_view texte, ErreurListe* erreur) {
    std::vector<AdresseUdp> liste;
    if (coupee(texte, erreur)) return liste;
    for (const std::string_view e : entrees(texte)) {
        const std::size_t deuxPoints = e.rfind(':');
        const std::optional<std::uint32_t> hote =
            deuxPoints == std::string_view::npos ? std::nullopt : lireIPv4(e.substr(0, deuxPoints));
        const std::optional<unsigned> port =
            deuxPoints == std::string_view::npos ? std::nullopt : nombre(e.substr(deuxPoints + 1), 65535, 5);
        if (!hote || !port || *port == 0) {
            dire(erreur, Texte(TRADUISIBLE("Korvalen", "« %1 » n'est pas une adresse de retour : écrivez l'adresse IPv4 "
                                                       "et le port, par exemple 192.168.1.20:9000."),
                               {Texte::tel(std::string(e))}));
            continue;
        }
        liste.push_back({*hote, static_cast<std::uint16_t>(*port)});
    }
    return liste;
}

std::vector<ReseauIPv4> lireClients(std::string_view texte, ErreurListe* erreur) {
    std::vector<ReseauIPv4> liste;
    if (coupee(texte, erreur)) return liste;
    for (const std::string_view e : entrees(texte)) {
        const std::size_t barre = e.find('/');
        const std::optional<std::uint32_t> adresse = lireIPv4(e.substr(0, barre));
        const std::optional<unsigned> prefixe =
            barre == std::string_view::npos ? std::optional<unsigned>(32) : nombre(e.substr(barre + 1), 32, 2);
        if (!adresse || !prefixe) {
            dire(erreur, Texte(TRADUISIBLE("Korvalen", "« %1 » n'est pas un réseau : écrivez une adresse IPv4 suivie de "
                                                       "la longueur du préfixe, par exemple 192.168.1.0/24, ou une seule "
                                                       "adresse."),
                               {Texte::tel(std::string(e))}));
            continue;
        }
        const int p = static_cast<int>(*prefixe);
        if ((*adresse & ~masque(p)) != 0) {
            // Taken as its network, a slip in the prefix would let in far more than was meant.
            dire(erreur, Texte(TRADUISIBLE("Korvalen", "« %1 » n'est pas un réseau : l'adresse a des bits à 1 au-delà "
                                                       "des %2 premiers. Corrigez la longueur du préfixe "
                                                       "(192.168.1.0/24, par exemple) ou écrivez le réseau lui-même, "
                                                       "%3/%2."),
                               {Texte::tel(std::string(e)), Texte::tel(std::to_string(p)),
                                Texte::tel(texteIPv4(*adresse & masque(p)))}));
            continue;
        }
        liste.push_back({*adresse, p});
    }
    return liste;
}

FiltreClients::FiltreClients(std::string_view texte, ErreurListe* erreur)
    : tous_(entrees(texte).empty()), reseaux_(lireClients(texte, erreur)) {}

bool FiltreClients::autorise(std::uint32_t hote) const {
    if (tous_) return true;
    for (const ReseauIPv4& r : reseaux_) {
        if (r.contient(hote)) return true;
    }
    return false;
}

}  // namespace korvalen
