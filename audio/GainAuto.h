#pragma once
// The automatic gain: the loudest recent level shows as 100 on the bars.

namespace korvalen {

/// Follows the loudest level of each tick, rising at once and falling slowly, and tells how many
/// decibels the levels must be raised (or lowered) for that level to show at full scale.
class GainAuto {
public:
    /// How fast the followed peak falls: 30 dB in ten seconds, so a quiet room after a loud song
    /// is seen at full scale again within about ten seconds, while a pause between beats barely moves it.
    static constexpr float CHUTE_DB_PAR_SECONDE = 3.0f;
    /// The most the levels are raised: a followed peak never goes below this many decibels from
    /// full scale, so that a near-silent input is not lifted into a show of noise.
    static constexpr float GAIN_MAX_DB = 40.0f;
    /// The floor, in decibels from full scale before the gain: a level at or below it shows 0,
    /// so that a quiet room's hiss is not raised into a light show.
    static constexpr float SILENCE_DB = -60.0f;

    /// Takes the loudest level of a tick, in decibels from full scale, `secondes` after the
    /// previous one, and returns the gain to apply, in decibels.
    float suivre(float plusFortDb, double secondes);
    /// Forgets the followed peak: a new run starts from the most gain.
    void reinitialiser() { pic_ = -GAIN_MAX_DB; }
    /// How far above the floor a tick's loudest level must be for the bars to show in full: below,
    /// they dim in a straight line to 0 at SILENCE_DB, so that a sound fading through the floor does
    /// not drop from two thirds to 0.
    static constexpr float RAMPE_DB = 12.0f;
    /// The share (0..1) of their levels that the bars show when a tick's loudest level is `decibels`
    /// from full scale.
    static float part(float decibels);

private:
    float pic_ = -GAIN_MAX_DB;
};

}  // namespace korvalen
