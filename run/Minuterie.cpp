#include "run/Minuterie.h"

namespace korvalen {

Minuterie::Minuterie(int intervalle, bool actif, QObject* parent)
    : QObject(parent), intervalle_(intervalle < 0 ? 0 : intervalle), actif_(actif) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Minuterie::tick);
    appliquer();
}

void Minuterie::setInterval(int ms) {
    intervalle_ = ms < 0 ? 0 : ms;
    appliquer();  // a new interval restarts the count, as the operator expects
}

void Minuterie::setEnabled(bool actif) {
    if (actif == actif_) return;  // enabling a running timer again must not delay its next tick
    actif_ = actif;
    appliquer();
}

void Minuterie::appliquer() {
    // A QTimer of interval 0 fires at every pass of the event loop: here 0 means no tick at all.
    if (actif_ && intervalle_ > 0) {
        timer_.start(intervalle_);
    } else {
        timer_.stop();
    }
}

}  // namespace korvalen
