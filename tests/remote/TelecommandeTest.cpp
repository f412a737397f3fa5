// The main window played from a MIDI pad and from OSC surfaces: the real OSC server on the loopback
// with a liblo client, a MIDI double, and RtMidi's own backends (a private JACK server; ALSA's
// sequencer where the machine has one).
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <lo/lo.h>
#include <netinet/in.h>
#include <rtmidi/RtMidi.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

#include "doubles/DoublesPrincipale.h"
#include "doubles/MidiEnregistre.h"
#include "mainwindow/FPrincipale.h"
#include "run/Marche.h"
#include "modes/FichierModes.h"
#include "settings/FenetreTelecommande.h"
#include "remote/MidiRtMidi.h"
#include "remote/OscLiblo.h"
#include "remote/Telecommande.h"
#include "ui/Controles.h"
#include "doubles/EnFrancais.h"

using namespace korvalen;
using namespace korvalen::test;

namespace {

using Octets = std::vector<std::uint8_t>;

// A UDP port free on the loopback at the time of asking.
std::uint16_t portLibre() {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    close(s);
    return ntohs(a.sin_port);
}

// The main window over test doubles, three mode files a.lum, b.lum, c.lum told apart by the first
// threshold of output A0 (10, 20, 30), and the remote control wired as the program wires it.
struct Banc : DoublesPrincipale {
    Banc() {
        int seuil = 10;
        for (const char* nom : {"a.lum", "b.lum", "c.lum"}) {
            Variables m;
            m.repertoire = dossier.path().toStdString();
            m.fichierLUM = nom;
            m.SortieA[0].seuil[0] = static_cast<Entier>(seuil);
            seuil += 10;
            if (SauverModes(m)) qFatal("cannot write the mode files");
        }
        marche = std::make_unique<Marche>(v, cartes, entree, port, messages,
                                          Emplacements::ensemble(dossier.path().toStdString()));
        fenetre = std::make_unique<FPrincipale>(*marche, messages);
        if (!fenetre->Form_Load()) qFatal("start-up failed");
        telecommande = std::make_unique<Telecommande>(*marche, messages);
        QObject::connect(marche.get(), &Marche::boutonDirectChange, telecommande.get(),
                         &Telecommande::boutonDirectChange);
        QObject::connect(marche.get(), &Marche::sortiesChangees, telecommande.get(),
                         &Telecommande::sortiesChangees);
    }
    BoutonDirect* direct(int k) { return fenetre->findChild<BoutonDirect*>(QString("Check2[%1]").arg(k)); }
    std::array<int, 5> boutons() {
        std::array<int, 5> b{};
        for (int k = 0; k < 5; ++k) b[k] = direct(k)->valeur();
        return b;
    }
    std::string mode() const { return v.fichierLUM; }
    int seuilLu() const { return v.SortieA[0].seuil[0]; }
    bool enMarche() const { return v.enMarche != FAUX; }
    // Outputs lit as a tick of a run would show them: the comparison or a chaser step set their states.
    void montrer(std::initializer_list<Booleen Variables::*> allumees) {
        v.enMarche = VRAI;
        for (Booleen Variables::*etat : allumees) v.*etat = VRAI;
        marche->afficherSorties();
    }

    QTemporaryDir dossier;
    std::unique_ptr<Marche> marche;
    std::unique_ptr<FPrincipale> fenetre;
    std::unique_ptr<Telecommande> telecommande;
};

// An OSC surface on the loopback: sends from its own port and keeps the lamps' states sent back.
class Surface {
public:
    explicit Surface(std::uint16_t versPort, const std::string& versHote = "127.0.0.1")
        : serveur_(lo_server_new_with_proto(nullptr, LO_UDP, nullptr)),
          vers_(lo_address_new(versHote.c_str(), std::to_string(versPort).c_str())) {
        lo_server_add_method(serveur_, "/korvalen/sortie", nullptr, &Surface::sortie, this);
        versAdresse_.sin_family = AF_INET;
        versAdresse_.sin_port = htons(versPort);
        inet_pton(AF_INET, versHote.c_str(), &versAdresse_.sin_addr);
    }
    ~Surface() {
        lo_address_free(vers_);
        lo_server_free(serveur_);
    }
    /// Sends `message` to `adresse` and frees it.
    void envoyer(const char* adresse, lo_message message) {
        lo_send_message_from(vers_, serveur_, adresse, message);
        lo_message_free(message);
    }
    /// The UDP port this surface sends from and listens on.
    int port() const { return lo_server_get_port(serveur_); }
    /// Sends bytes that need not be an OSC message.
    void brut(const std::string& octets) {
        sendto(lo_server_get_socket_fd(serveur_), octets.data(), octets.size(), 0,
               reinterpret_cast<const sockaddr*>(&versAdresse_), sizeof versAdresse_);
    }
    /// The lamps' states received so far, oldest first.
    const std::vector<std::vector<int>>& lampes() {
        while (lo_server_recv_noblock(serveur_, 0) > 0) {
        }
        return lampes_;
    }

private:
    static int sortie(const char*, const char* types, lo_arg** argv, int argc, lo_message, void* moi) {
        std::vector<int> etats;
        for (int i = 0; i < argc; ++i) {
            // 4-byte aligned in the packet: read as bytes, not through liblo's union.
            std::int32_t v = -1;
            if (types[i] == 'i') std::memcpy(&v, argv[i], sizeof v);
            etats.push_back(v);
        }
        static_cast<Surface*>(moi)->lampes_.push_back(etats);
        return 0;
    }
    lo_server serveur_;
    lo_address vers_;
    sockaddr_in versAdresse_{};
    std::vector<std::vector<int>> lampes_;
};

lo_message entier(int v) {
    lo_message m = lo_message_new();
    lo_message_add_int32(m, v);
    return m;
}
lo_message reel(float v) {
    lo_message m = lo_message_new();
    lo_message_add_float(m, v);
    return m;
}
lo_message texte(const std::string& v) {
    lo_message m = lo_message_new();
    lo_message_add_string(m, v.c_str());
    return m;
}
lo_message vide() { return lo_message_new(); }

// An IPv4 address of this machine other than the loopback, or nothing.
std::optional<std::string> adresseReseau() {
    ifaddrs* liste = nullptr;
    if (getifaddrs(&liste) != 0) return std::nullopt;
    std::optional<std::string> trouvee;
    for (ifaddrs* i = liste; i != nullptr && !trouvee; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET || (i->ifa_flags & IFF_LOOPBACK)) continue;
        char texte[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr, texte, sizeof texte);
        trouvee = texte;
    }
    freeifaddrs(liste);
    return trouvee;
}

// A private JACK server, stopped by its own process id.
class JackPrive {
public:
    JackPrive() : nom_("korvalen-test-" + std::to_string(getpid())) {
        pid_ = fork();
        if (pid_ == 0) {
            execlp("jackd", "jackd", "-n", nom_.c_str(), "--no-realtime", "-d", "dummy", "-r", "48000",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        qputenv("JACK_DEFAULT_SERVER", QByteArray::fromStdString(nom_));
        QProcess attente;
        attente.start("jack_wait", {"-s", QString::fromStdString(nom_), "-w", "-t", "20"});
        pret_ = attente.waitForFinished(30000) && attente.exitCode() == 0;
    }
    ~JackPrive() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        qunsetenv("JACK_DEFAULT_SERVER");
    }
    bool pret() const { return pret_; }

private:
    std::string nom_;
    pid_t pid_ = -1;
    bool pret_ = false;
};

// The port whose name ends with `nom`, or -1.
template <class R>
int portNomme(R& rtmidi, const std::string& nom) {
    for (unsigned p = 0; p < rtmidi.getPortCount(); ++p) {
        const std::string n = rtmidi.getPortName(p);
        if (n.size() >= nom.size() && n.compare(n.size() - nom.size(), nom.size(), nom) == 0) return static_cast<int>(p);
    }
    return -1;
}

}  // namespace

class TelecommandeTest : public QObject {
    Q_OBJECT
private slots:
    void oscPlaysButtonsModesAndRunAsClicks();
    void oscSendsTheLampsToTheSurfacesHeard();
    void malformedOscChangesNothing();
    void listensOnTheLoopbackUnlessReseau();
    void midiTogglesButtonsChoosesModesAndLightsThePad();
    void aFloodIsBoundedAndDropsTheExcess();
    void portsThatCannotOpenAreToldOnceAndTheProgramGoesOn();
    void midiThroughJack();
    void midiThroughAlsaSequencer();
    void onTheNetworkOnlyTheListedAddressesGetTheLamps();
    void sendersOutsideClientsAreIgnoredAndApplyingReopensAtOnce();
    void aStrangersBundleIsRefusedWholeBeforeAnyReading();
    void listsBadInConfigIniAreToldOnceAndNeverWidened();
    void aRemoteModeLeavesTheListAndItsSelectionAlone();
    void learningTakesTheNextNoteOnInsteadOfActing();
    void theWindowLearnsAPadNoteAndAppliesItAtOnce();
    void theWindowReopensOscOnANewPortAndRefusesBadValues();

private:
    void midiReel(const std::string& pilote);
};

void TelecommandeTest::oscPlaysButtonsModesAndRunAsClicks() {
    Banc b;
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    b.telecommande->brancherOsc(osc, {port, false});
    QVERIFY(b.messages.boxes.isEmpty());
    Surface s(port);

    s.envoyer("/korvalen/bouton/2", entier(1));
    QTRY_COMPARE(b.boutons(), (std::array<int, 5>{0, 1, 0, 0, 0}));
    s.envoyer("/korvalen/bouton/5", reel(1.0f));
    s.envoyer("/korvalen/bouton/2", reel(0.0f));
    QTRY_COMPARE(b.boutons(), (std::array<int, 5>{0, 0, 0, 0, 1}));
    // "Down" on a button already down leaves it down.
    s.envoyer("/korvalen/bouton/5", entier(7));
    s.envoyer("/korvalen/bouton/1", entier(1));
    QTRY_COMPARE(b.boutons(), (std::array<int, 5>{1, 0, 0, 0, 1}));

    s.envoyer("/korvalen/mode", texte("b.lum"));
    QTRY_COMPARE(b.mode(), std::string("b.lum"));
    QCOMPARE(b.seuilLu(), 20);
    QCOMPARE(b.fenetre->findChild<QLabel*>("Label1")->text(), QString("b"));
    s.envoyer("/korvalen/mode", texte("c"));
    QTRY_COMPARE(b.mode(), std::string("c.lum"));
    QCOMPARE(b.seuilLu(), 30);
    // Names are matched as the file system does, with case; a position past the list's end finds nothing.
    s.envoyer("/korvalen/mode", texte("A.LUM"));
    s.envoyer("/korvalen/mode", entier(3));
    QTRY_COMPARE(b.telecommande->ignores(), std::uint64_t(2));
    QCOMPARE(b.mode(), std::string("c.lum"));
    s.envoyer("/korvalen/mode", entier(0));
    QTRY_COMPARE(b.mode(), std::string("a.lum"));
    QCOMPARE(b.seuilLu(), 10);

    s.envoyer("/korvalen/lancement", entier(1));
    QTRY_VERIFY(b.enMarche());
    QCOMPARE(b.fenetre->findChild<QPushButton*>("Command3")->text(), QString("Arret"));
    // While running "Initialisation" is disabled: refused from afar as under the mouse.
    b.v.SortieB[1].coche = VRAI;
    s.envoyer("/korvalen/initialisation", vide());
    QTRY_COMPARE(b.telecommande->ignores(), std::uint64_t(3));
    QCOMPARE(b.v.SortieB[1].coche, VRAI);
    // The mode list stays usable during a run.
    s.envoyer("/korvalen/mode", entier(1));
    QTRY_COMPARE(b.mode(), std::string("b.lum"));
    s.envoyer("/korvalen/lancement", reel(0));
    QTRY_VERIFY(!b.enMarche());
    QCOMPARE(b.entree.closes, 1);
    s.envoyer("/korvalen/initialisation", reel(1));
    QTRY_COMPARE(b.v.SortieB[1].coche, FAUX);
    QCOMPARE(b.telecommande->ignores(), std::uint64_t(3));

    // While a question waits for its answer the mouse cannot reach the window, and neither can a surface.
    QMessageBox question(QMessageBox::NoIcon, "Quitter", "Voulez-vous vraiment Quitter!",
                         QMessageBox::Yes | QMessageBox::No, b.fenetre.get());
    question.setModal(true);
    question.show();
    s.envoyer("/korvalen/lancement", entier(1));
    s.envoyer("/korvalen/bouton/3", entier(1));
    QTRY_COMPARE(b.telecommande->ignores(), std::uint64_t(5));
    QVERIFY(!b.enMarche());
    question.close();
    s.envoyer("/korvalen/bouton/3", entier(1));
    QTRY_COMPARE(b.direct(2)->valeur(), 1);
}

void TelecommandeTest::oscSendsTheLampsToTheSurfacesHeard() {
    Banc b;
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    b.telecommande->brancherOsc(osc, {port, false});
    Surface ecoute(port), muette(port);
    // A change before anyone was heard goes nowhere.
    b.montrer({&Variables::etatA0});
    QTest::qWait(50);
    QVERIFY(ecoute.lampes().empty());

    // A surface heard for the first time gets the lamps as they are.
    ecoute.envoyer("/korvalen/bouton/4", entier(1));
    QTRY_COMPARE(ecoute.lampes().size(), std::size_t(1));
    std::vector<int> attendu(16, 0);
    attendu[0] = 1;
    QCOMPARE(ecoute.lampes().back(), attendu);

    // Each change, once per pass of the event loop, whatever number of indicators it touched.
    b.montrer({&Variables::etatA1, &Variables::etatB3});
    QTRY_COMPARE(ecoute.lampes().size(), std::size_t(2));
    attendu[1] = 1;
    attendu[11] = 1;
    QCOMPARE(ecoute.lampes().back(), attendu);
    b.marche->afficherSorties();  // nothing changed: nothing sent
    QTest::qWait(50);
    QCOMPARE(ecoute.lampes().size(), std::size_t(2));
    // Stopped, "Initialisation" clears them all.
    b.v.enMarche = FAUX;
    b.fenetre->findChild<QPushButton*>("Command8")->click();
    QTRY_COMPARE(ecoute.lampes().size(), std::size_t(3));
    QCOMPARE(ecoute.lampes().back(), std::vector<int>(16, 0));
    // A surface that never spoke gets nothing.
    QVERIFY(muette.lampes().empty());
}

void TelecommandeTest::malformedOscChangesNothing() {
    Banc b;
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    b.telecommande->brancherOsc(osc, {port, false});
    Surface s(port);
    // A file outside the save folder, that "../x.lum" would reach.
    {
        Variables m;
        QDir(b.dossier.path()).mkdir("sous");
        m.repertoire = b.dossier.path().toStdString() + "/sous";
        m.fichierLUM = "x.lum";
        QVERIFY(!SauverModes(m));
    }
    const std::array<int, 5> avant = b.boutons();

    struct Cas {
        const char* adresse;
        lo_message message;
    };
    const std::vector<Cas> messages = {
        {"/korvalen/bouton/1", texte("1")},
        {"/korvalen/bouton/1", vide()},
        {"/korvalen/bouton/6", entier(1)},
        {"/korvalen/bouton/1/x", entier(1)},
        {"/korvalen/mode", texte("../x.lum")},
        {"/korvalen/mode", texte("sous/x.lum")},
        {"/korvalen/mode", texte(b.dossier.path().toStdString() + "/sous/x.lum")},
        // As long a string as a UDP packet can carry.
        {"/korvalen/mode", texte(std::string(65000, 'a'))},
        {"/korvalen/mode", reel(1)},
        {"/korvalen/mode", vide()},
        {"/korvalen/lancement", entier(2)},
        {"/korvalen/lancement", texte("1")},
        {"/korvalen/initialisation", texte("oui")},
        {"/korvalen/quitter", vide()},
        {"/autre", entier(1)},
    };
    for (const Cas& c : messages) s.envoyer(c.adresse, c.message);
    const std::vector<std::string> paquets = {
        std::string("/korvalen/bouton/1\0\0", 20),                          // no type tags
        std::string("/korvalen/bouton/1\0\0,i\0\0\0\0", 26),                // truncated argument
        std::string("/korvalen/bouton/1\0,i\0\0\0\0\0\1", 28),              // misaligned
        std::string("#bundle\0\0\0\0\0\0\0\0\1\0\0\0\x40", 20),           // a bundle whose element overruns it
        std::string(1500, '\xff'),                                          // noise
    };
    for (const std::string& p : paquets) s.brut(p);
    // A valid message last: once it has acted, everything before it has been read.
    s.envoyer("/korvalen/bouton/4", entier(1));
    QTRY_COMPARE(b.direct(3)->valeur(), 1);

    QCOMPARE(b.telecommande->ignores(), std::uint64_t(messages.size() + paquets.size()));
    std::array<int, 5> attendu = avant;
    attendu[3] = 1;
    QCOMPARE(b.boutons(), attendu);
    QCOMPARE(b.mode(), std::string());
    QCOMPARE(b.seuilLu(), 0);
    QVERIFY(!b.enMarche());
    QVERIFY(b.messages.boxes.isEmpty());
}

void TelecommandeTest::listensOnTheLoopbackUnlessReseau() {
    const std::optional<std::string> reseau = adresseReseau();
    if (!reseau) QSKIP("this machine has no network address besides the loopback");
    for (const bool ecouteReseau : {false, true}) {
        Banc b;
        OscLiblo osc;
        const std::uint16_t port = portLibre();
        b.telecommande->brancherOsc(osc, {port, ecouteReseau});
        Surface distante(port, *reseau), locale(port);
        distante.envoyer("/korvalen/bouton/1", entier(1));
        // The loopback always answers: once its message has acted, the other one had its chance.
        locale.envoyer("/korvalen/bouton/2", entier(1));
        QTRY_COMPARE(b.direct(1)->valeur(), 1);
        if (ecouteReseau) {
            QTRY_COMPARE(b.direct(0)->valeur(), 1);
        } else {
            QTest::qWait(50);
            QCOMPARE(b.direct(0)->valeur(), 0);
        }
    }
}

void TelecommandeTest::midiTogglesButtonsChoosesModesAndLightsThePad() {
    Banc b;
    MidiEnregistre midi;
    ReglagesMidi r;
    r.actif = true;
    r.canal = 2;
    r.notesBoutons[4] = 50;
    b.telecommande->brancherMidi(midi, r);
    // The pad's lights start from the buttons as they are: all five off.
    QCOMPARE(midi.recus().size(), std::size_t(5));
    QCOMPARE(midi.recus()[4], (Octets{0x91, 50, 0}));

    midi.jouer({{0x91, 36, 100}, {0x81, 36, 0}, {0x91, 50, 1}, {0x90, 37, 100}});
    QTRY_COMPARE(b.boutons(), (std::array<int, 5>{1, 0, 0, 0, 1}));
    QCOMPARE(midi.recus().size(), std::size_t(7));
    QCOMPARE(midi.recus()[5], (Octets{0x91, 36, 127}));
    QCOMPARE(midi.recus()[6], (Octets{0x91, 50, 127}));
    // A second note-on releases; the echo follows whatever hand moved the button.
    midi.jouer({{0x91, 36, 90}});
    QTRY_COMPARE(b.direct(0)->valeur(), 0);
    b.direct(1)->click();
    QCOMPARE(midi.recus().back(), (Octets{0x91, 37, 127}));

    midi.jouer({{0xC1, 2}});
    QTRY_COMPARE(b.mode(), std::string("c.lum"));
    QCOMPARE(b.seuilLu(), 30);
    midi.jouer({{0xC1, 3}});  // no fourth file
    QTRY_COMPARE(b.telecommande->ignores(), std::uint64_t(1));
    QCOMPARE(b.mode(), std::string("c.lum"));

    midi.jouer({{0x91, 41, 100}});
    QTRY_VERIFY(b.enMarche());
    b.v.SortieA[2].coche = VRAI;
    midi.jouer({{0x91, 42, 100}});
    QTRY_COMPARE(b.telecommande->ignores(), std::uint64_t(2));
    QCOMPARE(b.v.SortieA[2].coche, VRAI);
    midi.jouer({{0x91, 41, 100}, {0x91, 42, 100}});
    QTRY_COMPARE(b.v.SortieA[2].coche, FAUX);
    QVERIFY(!b.enMarche());
}

void TelecommandeTest::aFloodIsBoundedAndDropsTheExcess() {
    Banc b;
    MidiEnregistre midi;
    ReglagesMidi r;
    r.actif = true;
    b.telecommande->brancherMidi(midi, r);
    const std::size_t echosAvant = midi.recus().size();
    // 10,000 presses of "Bouton 4" before the window's thread looks: the queue keeps its bound.
    std::vector<Octets> flot(10000, Octets{0x90, 39, 100});
    midi.jouer(flot);
    QCOMPARE(b.telecommande->perdues(), std::uint64_t(10000 - Telecommande::CAPACITE));
    QTRY_COMPARE(midi.recus().size(), echosAvant + Telecommande::CAPACITE);
    QTest::qWait(20);
    QCOMPARE(midi.recus().size(), echosAvant + Telecommande::CAPACITE);
    // An even number of toggles: up again. The queue takes new actions once drained.
    QCOMPARE(b.direct(3)->valeur(), 0);
    midi.jouer({{0x90, 39, 100}});
    QTRY_COMPARE(b.direct(3)->valeur(), 1);
}

void TelecommandeTest::portsThatCannotOpenAreToldOnceAndTheProgramGoesOn() {
    Banc b;
    // Another program holds the OSC port.
    const int occupe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(bind(occupe, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t n = sizeof a;
    getsockname(occupe, reinterpret_cast<sockaddr*>(&a), &n);
    const std::uint16_t port = ntohs(a.sin_port);
    OscLiblo osc;
    b.telecommande->brancherOsc(osc, {port, false});
    QCOMPARE(b.messages.boxes.size(), 1);
    QCOMPARE(b.messages.boxes[0].genre, QString("signaler"));
    QCOMPARE(b.messages.boxes[0].titre, QString("OSC"));
    QVERIFY2(b.messages.boxes[0].texte.contains(QString::number(port)) &&
                 b.messages.boxes[0].texte.contains("déjà utilisé"),
             qPrintable(b.messages.boxes[0].texte));
    close(occupe);

    // A MIDI backend that does not open.
    MidiEnregistre midi;
    midi.erreur = Texte::tel("Korvalen n'a pas pu ouvrir son port MIDI");
    ReglagesMidi r;
    r.actif = true;
    b.telecommande->brancherMidi(midi, r);
    QCOMPARE(b.messages.boxes.size(), 2);
    QCOMPARE(b.messages.boxes[1].genre, QString("signaler"));
    QCOMPARE(b.messages.boxes[1].titre, QString("MIDI"));
    // ...and its echo goes nowhere.
    b.direct(0)->click();
    QVERIFY(midi.recus().empty());

    // Off unless asked for: nothing opened, nothing said.
    MidiEnregistre eteint;
    b.telecommande->brancherMidi(eteint, ReglagesMidi{});
    b.telecommande->brancherOsc(osc, ReglagesOsc{});
    QCOMPARE(b.messages.boxes.size(), 2);

    // The real driver where ALSA's sequencer is missing says why, in French.
    if (!QFile::exists("/dev/snd/seq")) {
        MidiRtMidi reel("korvalen-test");
        ReglagesMidi alsa;
        alsa.actif = true;
        alsa.pilote = "alsa";
        const std::optional<std::string> erreur = test::enFrancais(reel.ouvrir(alsa, [](std::span<const std::uint8_t>) {}));
        QVERIFY(erreur);
        QVERIFY2(QString::fromStdString(*erreur).startsWith("Korvalen n'a pas pu ouvrir son port MIDI"),
                 erreur->c_str());
    }
    QVERIFY(b.fenetre->findChild<QPushButton*>("Command3")->isEnabled());
}

void TelecommandeTest::midiReel(const std::string& pilote) {
    Banc b;
    const std::string nom = "korvalen-" + std::to_string(getpid());
    MidiRtMidi midi(nom);
    ReglagesMidi r;
    r.actif = true;
    r.pilote = pilote;
    b.telecommande->brancherMidi(midi, r);
    QVERIFY2(b.messages.boxes.isEmpty(), qPrintable(b.messages.boxes.value(0).texte));
    QCOMPARE(midi.pilote(), pilote);

    const RtMidi::Api api = RtMidi::getCompiledApiByName(pilote);
    RtMidiOut pad(api, "pad");
    RtMidiIn lumieres(api, "lumieres");
    const int entree = portNomme(pad, nom);
    const int retour = portNomme(lumieres, MidiRtMidi::nomRetour(nom));
    QVERIFY(entree >= 0 && retour >= 0);
    pad.openPort(static_cast<unsigned>(entree));
    lumieres.openPort(static_cast<unsigned>(retour));

    const auto envoyer = [&](Octets m) { pad.sendMessage(m.data(), m.size()); };
    // What the pad's lights received so far (read without losing any, however often asked).
    std::vector<Octets> lampes;
    const auto lampesRecues = [&] {
        for (std::vector<unsigned char> m; lumieres.getMessage(&m), !m.empty();) lampes.emplace_back(m.begin(), m.end());
        return lampes;
    };

    envoyer({0x90, 37, 100});
    QTRY_COMPARE(b.boutons(), (std::array<int, 5>{0, 1, 0, 0, 0}));
    QTRY_COMPARE(lampesRecues(), (std::vector<Octets>{{0x90, 37, 127}}));
    envoyer({0xC0, 1});
    QTRY_COMPARE(b.mode(), std::string("b.lum"));
    QCOMPARE(b.seuilLu(), 20);
    envoyer({0x90, 41, 100});
    QTRY_VERIFY(b.enMarche());
    envoyer({0x80, 37, 0});  // a note-off leaves the button down
    envoyer({0x90, 37, 1});
    QTRY_COMPARE(b.boutons(), (std::array<int, 5>{0, 0, 0, 0, 0}));
    QTRY_COMPARE(lampesRecues(), (std::vector<Octets>{{0x90, 37, 127}, {0x90, 37, 0}}));
}

void TelecommandeTest::midiThroughJack() {
    if (QStandardPaths::findExecutable("jackd").isEmpty()) QSKIP("jackd is not installed (package jackd2)");
    JackPrive jack;
    QVERIFY(jack.pret());
    midiReel("jack");
}

void TelecommandeTest::midiThroughAlsaSequencer() {
    if (!QFile::exists("/dev/snd/seq")) QSKIP("no ALSA sequencer on this machine (/dev/snd/seq)");
    midiReel("alsa");
}

void TelecommandeTest::onTheNetworkOnlyTheListedAddressesGetTheLamps() {
    Banc b;
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    Surface tablette(port), intrus(port), muette(port);
    // "tablette" and "muette" are listed; "muette" never sends (a display-only surface).
    b.telecommande->brancherOsc(osc, {port, true,
                                      "127.0.0.1:" + std::to_string(tablette.port()) +
                                          ", 127.0.0.1:" + std::to_string(muette.port())});
    QVERIFY(b.messages.boxes.isEmpty());
    // Listening starts: the whole state to each listed address.
    QTRY_COMPARE(tablette.lampes().size(), std::size_t(1));
    QTRY_COMPARE(muette.lampes().size(), std::size_t(1));
    QCOMPARE(tablette.lampes().back(), std::vector<int>(16, 0));

    // A stranger's packets (no "Clients" here) make nothing leave towards it, nor anywhere else,
    // whatever they are: one that changes nothing, one the window refuses, unknown, unreadable.
    intrus.envoyer("/korvalen/initialisation", entier(0));
    intrus.envoyer("/korvalen/mode", entier(7));
    intrus.envoyer("/korvalen/quitter", vide());
    intrus.brut(std::string(36, '\xff'));
    QTRY_COMPARE(b.telecommande->ignores(), std::uint64_t(3));
    QTest::qWait(50);
    QVERIFY(intrus.lampes().empty());
    QCOMPARE(tablette.lampes().size(), std::size_t(1));
    QCOMPARE(muette.lampes().size(), std::size_t(1));

    // Every change reaches every listed address, heard or not; changes in quick succession end on the last state.
    std::vector<int> attendu(16, 0);
    attendu[0] = 1;
    b.montrer({&Variables::etatA0});
    QTRY_COMPARE(tablette.lampes().back(), attendu);
    QTRY_COMPARE(muette.lampes().back(), attendu);
    // 31 changes within one pass of the event loop: one packet, with the last state.
    const std::size_t avantRafale = tablette.lampes().size();
    for (int k = 0; k < 31; ++k) {
        b.v.etatB5 = k % 2 == 0 ? VRAI : FAUX;
        b.marche->afficherSorties();
    }
    attendu[13] = 1;
    QTRY_COMPARE(tablette.lampes().size(), avantRafale + 1);
    QCOMPARE(tablette.lampes().back(), attendu);
    QTest::qWait(50);
    QCOMPARE(tablette.lampes().size(), avantRafale + 1);
    // A listed address first heard gets the whole state again, at its listed port.
    const std::size_t avant = tablette.lampes().size();
    tablette.envoyer("/korvalen/initialisation", entier(0));  // changes nothing
    QTRY_COMPARE(tablette.lampes().size(), avant + 1);
    QCOMPARE(tablette.lampes().back(), attendu);
    QVERIFY(intrus.lampes().empty());
}

void TelecommandeTest::sendersOutsideClientsAreIgnoredAndApplyingReopensAtOnce() {
    Banc b;
    OscLiblo osc;
    MidiEnregistre midi;
    const std::uint16_t port = portLibre();
    b.telecommande->brancherMidi(midi, ReglagesMidi{});
    b.telecommande->brancherOsc(osc, {port, false, "", "10.0.0.0/8"});
    Surface s(port);
    s.envoyer("/korvalen/bouton/1", entier(1));
    s.envoyer("/korvalen/lancement", entier(1));
    QTRY_COMPARE(b.telecommande->etrangers(), std::uint64_t(2));
    QCOMPARE(b.telecommande->ignores(), std::uint64_t(2));
    QTest::qWait(20);
    QCOMPARE(b.direct(0)->valeur(), 0);
    QVERIFY(!b.enMarche());
    QVERIFY(s.lampes().empty());  // not taken as a surface heard either

    // "Appliquer" while running: a new port and the loopback allowed, at once; the old port is free again.
    const std::uint16_t nouveau = portLibre();
    ReglagesMidi midiActif;
    midiActif.actif = true;
    b.telecommande->appliquer(midiActif, {nouveau, false, "", "127.0.0.0/8"});
    QVERIFY(b.messages.boxes.isEmpty());
    QCOMPARE(midi.ouvertures, 1);
    Surface t(nouveau);
    t.envoyer("/korvalen/bouton/1", entier(1));
    QTRY_COMPARE(b.direct(0)->valeur(), 1);
    QTRY_COMPARE(t.lampes().size(), std::size_t(1));
    midi.jouer({{0x90, 37, 100}});
    QTRY_COMPARE(b.direct(1)->valeur(), 1);
    OscLiblo autre;
    QVERIFY(!autre.ouvrir({port, false}, [](std::span<const std::uint8_t>, const ClientOsc&) {}));
}

void TelecommandeTest::aStrangersBundleIsRefusedWholeBeforeAnyReading() {
    // A bundle of a button press, the blob that once made the OSC library read past its block, and
    // a run order.
    const auto element = [](const std::string& m) {
        const std::uint32_t n = htonl(static_cast<std::uint32_t>(m.size()));
        return std::string(reinterpret_cast<const char*>(&n), 4) + m;
    };
    const std::string paquet = std::string("#bundle\0\0\0\0\0\0\0\0\1", 16) +
                               element(std::string("/korvalen/bouton/1\0\0,i\0\0\0\0\0\1", 28)) +
                               element(std::string("/korvalen/mode\0\0,b\0\0", 20)) +
                               element(std::string("/korvalen/lancement\0,i\0\0\0\0\0\1", 28));
    Banc b;
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    b.telecommande->brancherOsc(osc, {port, false, "", "10.0.0.0/8"});
    Surface s(port);
    // Refused as one packet, on its sender alone: not one of its three messages is counted, or played.
    s.brut(paquet);
    QTRY_COMPARE(b.telecommande->etrangers(), std::uint64_t(1));
    QCOMPARE(b.telecommande->ignores(), std::uint64_t(1));
    // The same bundle from an allowed sender is read message by message: the blob is refused alone.
    b.telecommande->appliquer(ReglagesMidi{}, {port, false, "", "127.0.0.1"});
    s.brut(paquet);
    QTRY_COMPARE(b.direct(0)->valeur(), 1);
    QTRY_VERIFY(b.enMarche());
    QTRY_COMPARE(b.telecommande->ignores(), std::uint64_t(2));
    QCOMPARE(b.telecommande->etrangers(), std::uint64_t(1));
    QVERIFY(b.messages.boxes.isEmpty());

    // Listening on the loopback, another address of this machine is a stranger, "Clients" or not.
    const std::optional<std::string> reseau = adresseReseau();
    if (!reseau) QSKIP("no IPv4 address on this machine besides the loopback");
    b.telecommande->appliquer(ReglagesMidi{}, {port, false});
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in de{}, vers{};
    de.sin_family = vers.sin_family = AF_INET;
    inet_pton(AF_INET, reseau->c_str(), &de.sin_addr);
    vers.sin_port = htons(port);
    vers.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(bind(fd, reinterpret_cast<sockaddr*>(&de), sizeof de), 0);
    QVERIFY(sendto(fd, paquet.data(), paquet.size(), 0, reinterpret_cast<sockaddr*>(&vers), sizeof vers) > 0);
    close(fd);
    QTRY_COMPARE(b.telecommande->etrangers(), std::uint64_t(2));
    QCOMPARE(b.telecommande->ignores(), std::uint64_t(3));
}

void TelecommandeTest::listsBadInConfigIniAreToldOnceAndNeverWidened() {
    Banc b;
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    Surface s(port);
    // Hand-edited: a slip in a prefix, an unreadable feedback address beside a good one.
    b.telecommande->brancherOsc(osc, {port, false, "tablette:9000, 127.0.0.1:" + std::to_string(s.port()),
                                      "127.0.0.1/32, 127.0.0.0/2"});
    QCOMPARE(b.messages.boxes.size(), qsizetype(1));
    const QString texte = b.messages.boxes.front().texte;
    QVERIFY2(texte.contains("« 127.0.0.0/2 »") && texte.contains("« tablette:9000 »"), qPrintable(texte));
    // The good entries stand: the listed address gets the lamps, and 127.0.0.1 alone may send.
    QTRY_COMPARE(s.lampes().size(), std::size_t(1));
    s.envoyer("/korvalen/bouton/1", entier(1));
    QTRY_COMPARE(b.direct(0)->valeur(), 1);
    QCOMPARE(b.telecommande->etrangers(), std::uint64_t(0));
    QCOMPARE(b.messages.boxes.size(), qsizetype(1));
}

void TelecommandeTest::aRemoteModeLeavesTheListAndItsSelectionAlone() {
    Banc b;
    OscLiblo osc;
    const std::uint16_t port = portLibre();
    b.telecommande->brancherOsc(osc, {port, false});
    auto* liste = b.fenetre->findChild<ListeFichiers*>("File1");
    liste->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);  // the operator's pick: b.lum
    // A file saved since the list was read is not looked for on disk: the list is what can be chosen.
    {
        Variables m;
        m.repertoire = b.dossier.path().toStdString();
        m.fichierLUM = "d.lum";
        QVERIFY(!SauverModes(m));
    }
    Surface s(port);
    s.envoyer("/korvalen/mode", texte("d.lum"));
    s.envoyer("/korvalen/mode", texte("inconnu"));
    QTRY_COMPARE(b.telecommande->ignores(), std::uint64_t(2));
    QCOMPARE(liste->count(), 3);
    s.envoyer("/korvalen/mode", texte("c"));
    QTRY_COMPARE(b.mode(), std::string("c.lum"));
    s.envoyer("/korvalen/mode", entier(0));
    QTRY_COMPARE(b.mode(), std::string("a.lum"));
    QCOMPARE(liste->fichierSelectionne(), QString("b.lum"));
    // Once the operator refreshes the list, the new file can be chosen from afar.
    liste->refresh();
    s.envoyer("/korvalen/mode", texte("d"));
    QTRY_COMPARE(b.mode(), std::string("d.lum"));
}

void TelecommandeTest::learningTakesTheNextNoteOnInsteadOfActing() {
    Banc b;
    MidiEnregistre midi;
    b.telecommande->brancherMidi(midi, ReglagesMidi{});  // MIDI off in Config.ini
    QCOMPARE(midi.ouvertures, 0);
    QSignalSpy notes(b.telecommande.get(), &Telecommande::noteApprise);
    QVERIFY(b.telecommande->apprendre("jack"));
    QCOMPARE(midi.ouvertures, 1);
    QCOMPARE(midi.reglages.pilote, std::string("jack"));
    // Note-offs, program changes and a note-on of velocity 0 teach nothing; the note-on does, on any channel.
    midi.jouer({{0x80, 36, 0}, {0xC0, 1}, {0x93, 50, 0}, {0x93, 50, 90}});
    QTRY_COMPARE(notes.size(), 1);
    QCOMPARE(notes[0][0].toInt(), 50);
    // Opened for learning only: it stays silent towards the window and the pad.
    midi.jouer({{0x90, 36, 100}});
    QTRY_COMPARE(notes.size(), 2);
    b.telecommande->arreterApprentissage();
    midi.jouer({{0x90, 36, 100}});
    QTest::qWait(20);
    QCOMPARE(b.boutons(), (std::array<int, 5>{0, 0, 0, 0, 0}));
    QVERIFY(midi.recus().empty());
    // The settings window gone without applying: the ports opened for learning close.
    b.telecommande->libererApprentissage();
    QCOMPARE(midi.fermetures, 1);

    // Learnt then applied through the same "Pilote": the ports are kept (a pad connected to them
    // stays connected) and the pad acts at once.
    QVERIFY(b.telecommande->apprendre("jack"));
    QCOMPARE(midi.ouvertures, 2);
    midi.jouer({{0x90, 38, 100}});
    QTRY_COMPARE(notes.size(), 3);
    QCOMPARE(b.direct(2)->valeur(), 0);
    b.telecommande->arreterApprentissage();
    ReglagesMidi r;
    r.actif = true;
    r.pilote = "jack";
    b.telecommande->appliquer(r, ReglagesOsc{});
    QCOMPARE(midi.ouvertures, 2);
    QCOMPARE(midi.fermetures, 1);
    b.telecommande->libererApprentissage();  // the window closing after "Appliquer" keeps them
    QCOMPARE(midi.fermetures, 1);
    midi.jouer({{0x90, 38, 100}});
    QTRY_COMPARE(b.direct(2)->valeur(), 1);
    QCOMPARE(midi.recus().back(), (Octets{0x90, 38, 127}));
    // Learning while MIDI is on opens nothing more, and the pad acts again once it stops.
    QVERIFY(b.telecommande->apprendre(""));
    QCOMPARE(midi.ouvertures, 2);
    midi.jouer({{0x90, 38, 100}});
    QTRY_COMPARE(notes.size(), 4);
    QCOMPARE(b.direct(2)->valeur(), 1);
    b.telecommande->arreterApprentissage();
    midi.jouer({{0x90, 38, 100}});
    QTRY_COMPARE(b.direct(2)->valeur(), 0);
    // Another "Pilote", or MIDI turned off: the ports are closed (and reopened through the new one).
    r.pilote = "alsa";
    b.telecommande->appliquer(r, ReglagesOsc{});
    QCOMPARE(midi.ouvertures, 3);
    QCOMPARE(midi.reglages.pilote, std::string("alsa"));
    b.telecommande->appliquer(ReglagesMidi{}, ReglagesOsc{});
    QCOMPARE(midi.fermetures, 3);
    QCOMPARE(midi.ouvertures, 3);
}

namespace {

// The file's bytes, or empty when it does not exist.
QByteArray contenu(const std::string& chemin) {
    QFile f(QString::fromStdString(chemin));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template <class T = QWidget>
T* controle(QWidget& fenetre, const QString& nom) {
    T* c = fenetre.findChild<T*>(nom);
    if (!c) qFatal("no control %s", qPrintable(nom));
    return c;
}

void cliquer(QWidget& fenetre, const QString& nom) { QTest::mouseClick(controle(fenetre, nom), Qt::LeftButton); }

void taper(QWidget& fenetre, const QString& nom, const QString& texte) {
    auto* champ = controle<QLineEdit>(fenetre, nom);
    champ->setFocus();
    champ->selectAll();
    QTest::keyClick(champ, Qt::Key_Delete);
    QTest::keyClicks(champ, texte);
}

}  // namespace

void TelecommandeTest::theWindowLearnsAPadNoteAndAppliesItAtOnce() {
    Banc b;
    MidiEnregistre midi;
    OscLiblo osc;
    const std::string ini = b.v.fichierINI;
    const QByteArray avant = "[Options]\r\nTemps_timer=200\r\n";
    {
        QFile f(QString::fromStdString(ini));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(avant);
    }
    b.telecommande->brancherMidi(midi, ChargerMidi(ini));
    b.telecommande->brancherOsc(osc, ChargerOsc(ini));
    auto* fenetre = new FenetreTelecommande(*b.telecommande, b.messages, ini);
    fenetre->show();
    QVERIFY(QTest::qWaitForWindowExposed(fenetre));
    QCOMPARE(fenetre->windowTitle(), QString("Télécommande"));
    QCOMPARE(fenetre->minimumSize(), fenetre->maximumSize());
    for (const QLabel* l : fenetre->findChildren<QLabel*>()) {
        QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->objectName()));
        QCOMPARE(l->textFormat(), Qt::PlainText);
    }
    // The settings as Config.ini has them: here none, so the defaults.
    QVERIFY(!controle<QCheckBox>(*fenetre, "CheckActif")->isChecked());
    QCOMPARE(controle<QLineEdit>(*fenetre, "TextNote[2]")->text(), QString("38"));
    QCOMPARE(controle<QLineEdit>(*fenetre, "TextPort")->text(), QString("0"));

    // "Apprendre" then a pad's key: the note fills the field, and acts on nothing meanwhile.
    cliquer(*fenetre, "CommandApprendre[2]");
    QCOMPARE(midi.ouvertures, 1);
    midi.jouer({{0x80, 61, 0}, {0x95, 61, 100}});
    QTRY_COMPARE(controle<QLineEdit>(*fenetre, "TextNote[2]")->text(), QString("61"));
    QCOMPARE(controle<QPushButton>(*fenetre, "CommandApprendre[2]")->text(), QString("Apprendre"));
    // Échap gives up learning: the next note fills nothing.
    cliquer(*fenetre, "CommandApprendre[5]");
    QTest::keyClick(fenetre, Qt::Key_Escape);
    QVERIFY(fenetre->isVisible());
    midi.jouer({{0x90, 70, 100}});
    QTest::qWait(20);
    QCOMPARE(controle<QLineEdit>(*fenetre, "TextNote[5]")->text(), QString("41"));
    QCOMPARE(b.boutons(), (std::array<int, 5>{0, 0, 0, 0, 0}));
    // Nothing stored until "Appliquer".
    QCOMPARE(contenu(ini), avant);

    QTest::mouseClick(controle(*fenetre, "CheckActif"), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(controle<QCheckBox>(*fenetre, "CheckActif")->isChecked());
    QPointer<FenetreTelecommande> garde(fenetre);
    cliquer(*fenetre, "CommandAppliquer");
    QVERIFY(b.messages.boxes.isEmpty());
    QTRY_VERIFY(!garde);  // closed, and gone
    QCOMPARE(midi.ouvertures, 1);  // the ports learnt through are kept, with their connections
    const ReglagesMidi lu = ChargerMidi(ini);
    QVERIFY(lu.actif);
    QCOMPARE(lu.notesBoutons[2], 61);
    QVERIFY(contenu(ini).startsWith(avant));
    // The pad works at once, with its new note.
    midi.jouer({{0x90, 61, 100}});
    QTRY_COMPARE(b.direct(2)->valeur(), 1);
    QCOMPARE(midi.recus().back(), (Octets{0x90, 61, 127}));
}

void TelecommandeTest::theWindowReopensOscOnANewPortAndRefusesBadValues() {
    Banc b;
    MidiEnregistre midi;
    OscLiblo osc;
    const std::string ini = b.v.fichierINI;
    const std::uint16_t ancien = portLibre();
    const QByteArray avant = QByteArray("[OSC]\r\nPort=") + QByteArray::number(ancien) + "\r\n";
    {
        QFile f(QString::fromStdString(ini));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(avant);
    }
    b.telecommande->brancherMidi(midi, ChargerMidi(ini));
    b.telecommande->brancherOsc(osc, ChargerOsc(ini));
    Surface s(ancien);
    s.envoyer("/korvalen/bouton/1", entier(1));
    QTRY_COMPARE(b.direct(0)->valeur(), 1);

    // "Annuler" changes nothing, whatever was typed.
    auto* fenetre = new FenetreTelecommande(*b.telecommande, b.messages, ini);
    fenetre->show();
    QCOMPARE(controle<QLineEdit>(*fenetre, "TextPort")->text(), QString::number(ancien));
    taper(*fenetre, "TextPort", "1");
    cliquer(*fenetre, "CommandAnnuler");
    QCOMPARE(contenu(ini), avant);

    struct Refus {
        const char* champ;
        QString saisie;
        const char* debut;  // of the message
    };
    const std::vector<Refus> refus = {
        {"TextPort", "80", "Le port OSC doit être"},
        {"TextPort", "70000", "Le port OSC doit être"},
        {"TextNote[0]", "128", "La note de « Bouton 1 »"},
        {"TextRetour", "tablette:9000", "« tablette:9000 » n'est pas une adresse de retour"},
        {"TextClients", "192.168.1.0/40", "« 192.168.1.0/40 » n'est pas un réseau"},
        {"TextClients", "192.168.1.0/2", "« 192.168.1.0/2 » n'est pas un réseau : l'adresse a des bits à 1"},
        {"TextClients", QString(int(LONGUEUR_TELECOMMANDE_MAX) + 1, QChar('1')), "Cette liste ne peut pas dépasser 4096"},
    };
    fenetre = new FenetreTelecommande(*b.telecommande, b.messages, ini);
    fenetre->show();
    for (const Refus& r : refus) {
        const QString ancienTexte = controle<QLineEdit>(*fenetre, r.champ)->text();
        taper(*fenetre, r.champ, r.saisie);
        cliquer(*fenetre, "CommandAppliquer");
        QVERIFY(fenetre->isVisible());
        QVERIFY2(b.messages.boxes.back().texte.startsWith(QString::fromUtf8(r.debut)), qPrintable(b.messages.boxes.back().texte));
        taper(*fenetre, r.champ, ancienTexte);
    }
    QCOMPARE(b.messages.boxes.size(), static_cast<qsizetype>(refus.size()));
    QCOMPARE(contenu(ini), avant);

    // A new port, the network, a feedback address and the loopback allowed: at once, without a restart.
    const std::uint16_t nouveau = portLibre();
    Surface t(nouveau);
    taper(*fenetre, "TextPort", QString::number(nouveau));
    controle<QComboBox>(*fenetre, "ComboEcoute")->setCurrentIndex(1);
    taper(*fenetre, "TextRetour", QStringLiteral("127.0.0.1:%1").arg(t.port()));
    taper(*fenetre, "TextClients", "127.0.0.0/8");
    cliquer(*fenetre, "CommandAppliquer");
    QCOMPARE(b.messages.boxes.size(), static_cast<qsizetype>(refus.size()));
    const ReglagesOsc lu = ChargerOsc(ini);
    QCOMPARE(lu.port, nouveau);
    QVERIFY(lu.reseau);
    QCOMPARE(lu.retour, "127.0.0.1:" + std::to_string(t.port()));
    QCOMPARE(lu.clients, std::string("127.0.0.0/8"));
    // The listed address gets the lamps as listening starts, and the new port plays the window.
    QTRY_COMPARE(t.lampes().size(), std::size_t(1));
    t.envoyer("/korvalen/bouton/2", entier(1));
    QTRY_COMPARE(b.direct(1)->valeur(), 1);
    // The old port is closed: another program may take it.
    OscLiblo autre;
    QVERIFY(!autre.ouvrir({ancien, false}, [](std::span<const std::uint8_t>, const ClientOsc&) {}));
}

QTEST_MAIN(TelecommandeTest)
#include "TelecommandeTest.moc"
