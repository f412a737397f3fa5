#pragma once

#include <functional>
#include <vector>

#include "run/IMarche.h"

namespace korvalen::test {

/// Main-window double for the secondary windows: counts what they ask of it. Its list refresh
/// runs `surActualiser`, where a test puts what the real wiring does (refresh the editor's list).
class FenetrePrincipaleEnregistree : public IMarche {
public:
    bool ActualiserListes() override {
        ++actualisations;
        return surActualiser ? surActualiser() : true;
    }
    void afficherNomMode() override { ++nomsAffiches; }
    void afficherSorties() override { ++sortiesAffichees; }
    void ecrireSorties() override { ++sortiesEcrites; }
    void setLegendeBoutonDirect(int k, const QString& legende) override {
        legendes.resize(5);
        legendes[static_cast<std::size_t>(k)] = legende;
    }
    void setPeriodeChenillard(int ms) override { periodeChenillard = ms; }
    const std::vector<QString>& listeCartes() const override { return cartes; }
    int carteChoisie() const override { return carte; }
    void choisirCarte(int position) override { carte = position; }

    std::function<bool()> surActualiser;
    int actualisations = 0, nomsAffiches = 0, sortiesAffichees = 0, sortiesEcrites = 0;
    std::vector<QString> legendes;
    int periodeChenillard = -1;
    std::vector<QString> cartes;
    int carte = -1;
};

}  // namespace korvalen::test
