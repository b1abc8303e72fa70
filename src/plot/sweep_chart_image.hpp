#pragma once
// A sweep's chart as a PNG file, painted without a window: works with
// QT_QPA_PLATFORM=offscreen and no display (the platform is chosen so when
// none is set and no application object exists yet). Plain C++ interface,
// so that the command line stays free of Qt headers.
#include <optional>
#include <string>

#include "core/sweep/sweep_run.hpp"

namespace verdanel {

inline constexpr int kSweepImageWidth = 960;
inline constexpr int kSweepImageHeight = 600;

// Writes the chart of Cwater's peak and highest 4- and 21-day means against
// the variant. False with the reason in `error` when the file cannot be
// written or there is nothing to draw.
bool writeSweepChartPng(const std::string& path, const SweepOutcome& sweep, std::optional<double> threshold,
                        std::string& error, int width = kSweepImageWidth, int height = kSweepImageHeight);

}  // namespace verdanel
