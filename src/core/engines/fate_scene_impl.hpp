#pragma once
// The member functions of SceneModel (fate_scene.hpp), for the model .cpp
// files that instantiate it.
#include "core/engines/fate_scene.hpp"

namespace verdanel::fate {

template <class Model, int Strips>
SceneModel<Model, Strips>::SceneModel(const ScenarioParameters& parameters, const ChemicalProperties& chemical,
                                      double particleDensity)
    : spray_(sprayOfRun(parameters)),
      rates_(chemicalRates(chemical)),
      vdep_(fate::depositionVelocity(particleDensity)),
      length_(parameters.sprayLength),
      waterWidth_(parameters.waterWidth),
      cover_(parameters.canopyCover),
      leafAreaIndex_(parameters.leafAreaIndex),
      water_(waterBody(parameters, length_)) {}

template <class Model, int Strips>
void SceneModel<Model, Strips>::setStrips(const std::array<double, Strips>& width,
                                          const std::array<double, Strips>& erosionFactor, double erosionRate) {
    for (int k = 0; k < Strips; ++k) {
        land_[k] = landStrip(width[k], length_, cover_, leafAreaIndex_, rates_, erosionFactor[k], erosionRate);
        air_[k] = airBoxOver(land_[k].area);
    }
    air_[kWaterBox] = airBoxOver(water_.area);
}

template <class Model, int Strips>
void SceneModel<Model, Strips>::startDay(const DayTerms& day, const typename AirTransport<kBoxes>::Table& across,
                                         const Air& sourceWidth) {
    day_ = day;
    transport_.set(day.alongOverlap, across, sourceWidth, day.spread, length_);
    fast_.readOneSecond([this](const Masses& from, double rate, Masses& to) { second(from, rate, to); });
}

template <class Model, int Strips>
void SceneModel<Model, Strips>::step(double sprayRate) {
    Masses next;
    second(masses_, sprayRate, next);
    masses_ = next;
}

template <class Model, int Strips>
void SceneModel<Model, Strips>::advance(double sprayRate, int seconds) {
    fast_.advance(masses_, sprayRate, seconds);
}

template <class Model, int Strips>
void SceneModel<Model, Strips>::second(const Masses& m, double sprayRate, Masses& next) const {
    // A version of the second for days with rain and one for days without.
    if (day_.raining)
        secondOfDay<true>(m, sprayRate, next);
    else
        secondOfDay<false>(m, sprayRate, next);
}

// Every rate of the second comes from the masses it starts with; each
// compartment then holds what it held plus its gains less its losses.
template <class Model, int Strips>
template <bool Raining>
void SceneModel<Model, Strips>::secondOfDay(const Masses& m, double sprayRate, Masses& next) const {
    Air Ca, deposited, lost, air;
    static_cast<const Model&>(*this).sprayInto(sprayRate, air);  // the spray entering each box
    for (int j = 0; j < kBoxes; ++j) {
        Ca[j] = m[kAirMass + j] / air_[j].volume;
        const AirFluxes f = airFluxes(air_[j], rates_, vdep_, day_, Ca[j]);
        deposited[j] = f.deposited();
        lost[j] = f.lost();
    }
    double toWater = 0;
#pragma GCC unroll 8
    for (int k = 0; k < Strips; ++k) {
        const LandFluxes f = landFluxes<Raining>(land_[k], rates_, day_, m[kPlantMass + k], m[kSoilMass + k], Ca[k]);
        air[k] = airAfter(m[kAirMass + k], air[k] + (f.Fvs + f.Fvp), lost[k]);
        next[kPlantMass + k] = plantAfter(m[kPlantMass + k], f, deposited[k], cover_);
        next[kSoilMass + k] = soilAfter(m[kSoilMass + k], f, deposited[k], cover_);
        toWater += f.toWater();
    }
    // The water gains runoff and eroded soil from every strip, and what
    // settles or is washed out of the air above it.
    const WaterFluxes w = waterFluxes(water_, rates_, day_, m[kWaterMass], Ca[kWaterBox]);
    air[kWaterBox] = airAfter(m[kAirMass + kWaterBox], air[kWaterBox] + w.Fvw, lost[kWaterBox]);
    next[kWaterMass] = waterAfter(m[kWaterMass], toWater + deposited[kWaterBox], w);
    const Air moved = transport_.moved(air);
    for (int j = 0; j < kBoxes; ++j) next[kAirMass + j] = moved[j];
}

}  // namespace verdanel::fate
