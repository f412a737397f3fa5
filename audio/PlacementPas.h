#pragma once
// Where the chaser steps on the music's beats, in the sound's own time.

#include <optional>

namespace korvalen {

/// Decides the chaser's steps on the beats: a step on the predicted beat when the tempo is known,
/// at once for a beat heard otherwise, and never two for one beat. Every position is a sample
/// number of the capture ring; the caller passes the sound's present as such a position, so that
/// the decisions never depend on when the sound was read.
class PlacementPas {
public:
    /// `avance`: how many samples before its beat's sound a placed step is due (the way to the port).
    explicit PlacementPas(double avance = 0) : avance_(avance) {}

    /// A beat heard at `entendu`, with the next beat's place `prochain` when the beats lie on a line,
    /// and their period. True when the chaser steps now: no step stood for this beat yet.
    bool battement(double entendu, std::optional<double> prochain, double periode);
    /// The position from which the placed step is due, if one waits.
    std::optional<double> echeance() const;
    /// The sound has reached `maintenant`: true when the placed step falls due (it is then done).
    bool echu(double maintenant);
    /// The position of the last beat heard, if any since the last oublier().
    std::optional<double> dernierBattement() const { return dernierEntendu_; }
    /// The music stopped or the run ended: no step waits, and the next beat steps as it is heard.
    void oublier();

private:
    /// Whether a step already stands for a beat at `position`.
    bool dejaPasse(double position) const;

    double avance_;
    double periode_ = 0;
    std::optional<double> dernierPas_;       // the beat the last step stood for
    std::optional<double> prevu_;            // the beat the waiting step stands for
    std::optional<double> dernierEntendu_;
};

}  // namespace korvalen
