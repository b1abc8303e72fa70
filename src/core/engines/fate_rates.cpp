#include "core/engines/fate_rates.hpp"

#include <cmath>
#include <numbers>

#include "core/engines/air_transport.hpp"

namespace verdanel::fate {

ChemicalRates chemicalRates(const ChemicalProperties& chemical) {
    const double logKow = chemical.logKow;
    ChemicalRates k;
    k.Kd = kKdPerKow * std::pow(10.0, logKow);
    const double fromOptimum = logKow - kTscfOptimumLogKow;
    k.TSCF = kTscfPeak * std::exp(-kTscfInverseWidth * (fromOptimum * fromOptimum));
    k.Kaw = chemical.henryConstant * kHenryToKaw;
    k.Zs = kLitresToCubicMetres * k.Kd * kSoilParticleDensity + kSoilAirFraction * k.Kaw + kSoilWaterFraction;
    k.kpen = (kPenetrationIntercept - kPenetrationPerLogKow * logKow) / kSecondsPerHour;
    k.kair = std::numbers::ln2 / chemical.halfLifeAir / kSecondsPerHour;
    // The plant degradation rate is the air's, per second, divided by 3600 a
    // second time, as the model is written: leaves hold their chemical 3600
    // times longer than the half-life in air would say.
    k.kleaf = k.kair / kSecondsPerHour;
    k.ksoil = std::numbers::ln2 / chemical.halfLifeSoil / kSecondsPerHour;
    k.kwater = std::numbers::ln2 / chemical.halfLifeWater / kSecondsPerHour;
    const double throughWater = kSoilDiffusionPathInverse * kSoilTortuosity * chemical.diffusivityWater / kSecondsPerHour;
    const double throughAir = kSoilDiffusionPathInverse * kSoilTortuosity * chemical.diffusivityAir / kSecondsPerHour;
    k.rs = 1 / (throughWater / k.Kaw + throughAir);
    return k;
}

double depositionVelocity(double particleDensity) {
    return kDropletDiameter * kDropletDiameter * particleDensity / kSettlingViscosityTerm * kSettlingScale;
}

SprayOfRun sprayOfRun(const ScenarioParameters& p) {
    const double L = p.sprayLength;
    const double V = p.vehicleSpeed;
    const double q = p.sprayRate;
    const double n = p.dilutionRatio;
    const double c0 = p.injectedConcentration;
    return {L / (V * kKmPerHourToMetresPerMinute) * 60, (1 / n) * c0 * q * kGramsPerMinuteToMicrogramsPerSecond};
}

double driftDistanceFactor(double x) { return std::pow(x, kDriftDistanceExponent); }

DayTerms dayTerms(const DayWeather& weather, const ChemicalRates& rates, double length, double percent) {
    const double u = weather.windSpeed;
    DayTerms c;
    c.rain = weather.rainfall * kMillimetresPerDayToMetresPerSecond;
    c.raining = c.rain > 0;
    c.humidityTerm = weather.humidity * percent * kHumidityScale;
    c.kg = kAirConductanceScale * u * std::sqrt(kAirConductanceWind * u);
    // No wind: 1 / kg is infinite and both conductances come out 0.
    c.Kvs = 1 / (1 / c.kg + rates.rs);
    c.Kvw = 1 / (rates.Kaw / c.kg + kWaterSideResistance);
    c.driftA = kDriftPerDegree * weather.temperature + kDriftPerWind * u + kDriftBase - kDriftPerHumidity * c.humidityTerm;

    // The wind in km/h is rounded to single precision before the spread.
    const double U = static_cast<float>(u * kMetresPerSecondToKmPerHour);
    c.spread = kSpreadScale * U * std::pow(1 + kSpreadDamping * U, -0.5);
    // Directions past 180 degrees fold back onto the same side.
    c.foldedDirection = weather.windDirection > 180 ? weather.windDirection - 180 : weather.windDirection;
    c.phi = (c.foldedDirection + kWindTurn) * kDegreesToRadians;
    c.ux = u * std::cos(c.phi);
    c.uy = u * std::sin(c.phi);
    c.alongOverlap = overlapWithin(length + c.spread / 2 - std::abs(c.ux), length);
    return c;
}

LandStrip landStrip(double width, double length, double cover, double LAI, const ChemicalRates& rates,
                    double erosionFactor, double erosionRate) {
    LandStrip s;
    s.area = width * length;
    s.coveredArea = s.area * cover;
    s.leafArea = s.coveredArea * LAI;
    s.soilVolume = s.area * kSoilDepth;
    s.penetration = rates.kpen * s.coveredArea * LAI;
    s.plantDecay = rates.kleaf * s.leafArea;
    s.erosion = kLitresToCubicMetres * rates.Kd * erosionFactor * erosionRate;
    return s;
}

AirBox airBoxOver(double groundArea) { return {groundArea, groundArea * kMixingHeight}; }

WaterBody waterBody(const ScenarioParameters& p, double length) {
    const double Ws = p.waterWidth;
    const double d = p.waterDepth;
    const double vw = p.waterVelocity;
    return {Ws * length, Ws * length * d, vw * d * Ws};
}

}  // namespace verdanel::fate
