#pragma once
// The member functions of SceneModel (fate_scene.hpp), for the model .cpp
// files that instantiate it.
#include <algorithm>

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
    fast_.readOneSecond([this](const State& from, double rate, State& to) { second(from, rate, to); });
}

template <class Model, int Strips>
void SceneModel<Model, Strips>::step(double sprayRate) {
    State next;
    second(state_, sprayRate, next);
    state_ = next;
}

template <class Model, int Strips>
void SceneModel<Model, Strips>::advance(double sprayRate, int seconds) {
    fast_.advance(state_, sprayRate, seconds);
}

template <class Model, int Strips>
typename SceneModel<Model, Strips>::Masses SceneModel<Model, Strips>::masses() const {
    Masses m;
    std::copy(state_.begin(), state_.begin() + kMassCount, m.begin());
    return m;
}

template <class Model, int Strips>
void SceneModel<Model, Strips>::setMasses(const Masses& masses) {
    std::copy(masses.begin(), masses.end(), state_.begin());
}

template <class Model, int Strips>
MassBalanceRow SceneModel<Model, Strips>::massBalance() const {
    MassBalanceRow b;
    for (int j = 0; j < kBoxes; ++j) b.air += state_[kAirMass + j];
    for (int k = 0; k < Strips; ++k) {
        b.plant += state_[kPlantMass + k];
        b.soil += state_[kSoilMass + k];
    }
    b.water = state_[kWaterMass];
    b.applied = state_[kApplied];
    b.degraded = state_[kDegraded];
    b.uptake = state_[kUptake];
    b.leached = state_[kLeached];
    b.outflow = state_[kOutflow];
    b.carriedAway = state_[kCarriedAway];
    b.close();
    return b;
}

template <class Model, int Strips>
void SceneModel<Model, Strips>::second(const State& m, double sprayRate, State& next) const {
    // A version of the second for days with rain and one for days without.
    if (day_.raining)
        secondOfDay<true>(m, sprayRate, next);
    else
        secondOfDay<false>(m, sprayRate, next);
}

// Every rate of the second comes from the masses it starts with; each
// compartment then holds what it held plus its gains less its losses.
// What leaves the compartments is credited to one running total each:
// degradation in air, plants, soil and water to degraded; penetration and
// root uptake to uptake; leaching to leached; outflow to outflow; air the
// wind moves to no box, and spray leaving before it enters one, to carried
// away. Deposition, wash-off, runoff, erosion and volatilization only move
// chemical between compartments.
template <class Model, int Strips>
template <bool Raining>
void SceneModel<Model, Strips>::secondOfDay(const State& m, double sprayRate, State& next) const {
    const Model& model = static_cast<const Model&>(*this);
    Air Ca, deposited, lost, air;
    model.sprayInto(sprayRate, air);  // the spray entering each box
    double carriedAway = model.sprayLeaving(sprayRate);
    double applied = carriedAway, degraded = 0, uptake = 0, leached = 0;
    for (int j = 0; j < kBoxes; ++j) {
        applied += air[j];
        Ca[j] = m[kAirMass + j] / air_[j].volume;
        const AirFluxes f = airFluxes(air_[j], rates_, vdep_, day_, Ca[j]);
        deposited[j] = f.deposited();
        lost[j] = f.lost();
        degraded += f.Fda;
    }
    double toWater = 0;
#pragma GCC unroll 8
    for (int k = 0; k < Strips; ++k) {
        const LandFluxes f = landFluxes<Raining>(land_[k], rates_, day_, m[kPlantMass + k], m[kSoilMass + k], Ca[k]);
        air[k] = airAfter(m[kAirMass + k], air[k] + (f.Fvs + f.Fvp), lost[k]);
        next[kPlantMass + k] = plantAfter(m[kPlantMass + k], f, deposited[k], cover_);
        next[kSoilMass + k] = soilAfter(m[kSoilMass + k], f, deposited[k], cover_);
        toWater += f.toWater();
        degraded += f.Fdp + f.Fds;
        uptake += f.Fpen + f.Fru;
        leached += f.Fle;
    }
    // The water gains runoff and eroded soil from every strip, and what
    // settles or is washed out of the air above it.
    const WaterFluxes w = waterFluxes(water_, rates_, day_, m[kWaterMass], Ca[kWaterBox]);
    air[kWaterBox] = airAfter(m[kAirMass + kWaterBox], air[kWaterBox] + w.Fvw, lost[kWaterBox]);
    next[kWaterMass] = waterAfter(m[kWaterMass], toWater + deposited[kWaterBox], w);
    degraded += w.Fdw;
    const Air moved = transport_.moved(air);
    for (int j = 0; j < kBoxes; ++j) {
        next[kAirMass + j] = moved[j];
        carriedAway += air[j] * transport_.leaving(j);
    }
    next[kApplied] = m[kApplied] + applied;
    next[kDegraded] = m[kDegraded] + degraded;
    next[kUptake] = m[kUptake] + uptake;
    next[kLeached] = m[kLeached] + leached;
    next[kOutflow] = m[kOutflow] + w.Fout;
    next[kCarriedAway] = m[kCarriedAway] + carriedAway;
}

}  // namespace verdanel::fate
