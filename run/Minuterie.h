#pragma once
// The run's timers, with the interval semantics the operator knows.

#include <QObject>
#include <QTimer>

namespace korvalen {

/// A timer whose interval 0 means no tick, and that keeps its phase when enabled again.
class Minuterie : public QObject {
    Q_OBJECT
public:
    Minuterie(int intervalle, bool actif, QObject* parent);
    void setInterval(int ms);
    int interval() const { return intervalle_; }
    void setEnabled(bool actif);
    bool isEnabled() const { return actif_; }
    /// True when ticks are actually due (enabled with an interval above 0).
    bool isTicking() const { return timer_.isActive(); }

signals:
    void tick();

private:
    void appliquer();
    QTimer timer_;
    int intervalle_;
    bool actif_;
};

}  // namespace korvalen
