#!/usr/bin/env python3
"""Generate the synthetic sample weather files in ../input.

The files describe one typical (non-leap) year shaped after the climate of
Suwon, Gyeonggi-do (central-western Korea): cold dry winters, East Asian
monsoon rain concentrated in July-August, warm humid summers. They are
synthetic, not measured data: daily values are drawn around monthly normals
with a fixed seed, so running this script again reproduces the same files.

Outputs (tab-separated, CRLF line ends, no header, at most one decimal):
  wind.txt     daily mean wind speed, m/s
  temp.txt     daily mean air temperature, deg C
  rain.txt     daily rainfall, mm/day
  Humi.txt     daily mean relative humidity, %
  winddir.txt  one line of 12 monthly prevailing wind directions, degrees

Daily files have 31 lines (day of month 1..31) of 12 columns (Jan..Dec).
Cells for dates that do not exist (29-31 Feb, 31 Apr/Jun/Sep/Nov) repeat the
month's last real day.
"""

import math
import os
import random

SEED = 20240601

DAYS_IN_MONTH = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]

# Approximate monthly values for Suwon (rounded), tuned so that the generated
# months come out close to the normals.
TEMP_MEAN = [-3.0, -0.3, 5.6, 12.0, 17.6, 22.5, 26.6, 27.2, 21.6, 14.4, 7.1, -0.4]
TEMP_SD = [3.0, 2.8, 2.5, 2.2, 1.8, 1.5, 1.3, 1.3, 1.6, 2.0, 2.5, 2.9]
RAIN_TOTAL = [20.0, 28.0, 42.0, 75.0, 95.0, 130.0, 330.0, 290.0, 150.0,
              50.0, 45.0, 22.0]
RAIN_WET_DAYS = [5, 5, 7, 8, 9, 10, 16, 14, 9, 6, 8, 6]
HUMI_MEAN = [64.0, 63.0, 63.0, 62.0, 66.0, 72.0, 80.0, 80.0, 76.0, 72.0,
             68.0, 66.0]
WIND_MEAN = [1.9, 2.1, 2.4, 2.5, 2.2, 1.8, 1.9, 1.8, 1.5, 1.5, 1.7, 1.8]
# Prevailing direction (degrees, direction the wind blows from):
# NW in winter, veering through W and SW in spring to S-SE in summer.
WIND_DIR = [315, 315, 293, 270, 225, 203, 180, 158, 135, 338, 315, 315]

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.normpath(os.path.join(HERE, "..", "input"))


def day_of_year(month, day):
    return sum(DAYS_IN_MONTH[:month]) + day


def smooth(series, month, day):
    """Value of a monthly series on a given day, interpolated linearly
    between mid-month points (the year wraps round)."""
    x = day_of_year(month, day) - 0.5
    mids = [day_of_year(m, 0) + DAYS_IN_MONTH[m] / 2.0 for m in range(12)]
    # Points for December of the year before and January of the year after.
    xs = [mids[11] - 365] + mids + [mids[0] + 365]
    ys = [series[11]] + list(series) + [series[0]]
    for i in range(len(xs) - 1):
        if xs[i] <= x <= xs[i + 1]:
            t = (x - xs[i]) / (xs[i + 1] - xs[i])
            return ys[i] * (1 - t) + ys[i + 1] * t
    raise ValueError("day out of range")


def make_rain(rng):
    """Wet/dry Markov chain per month, gamma amounts rescaled to the normal."""
    table = []
    wet_prev = False
    for m in range(12):
        n = DAYS_IN_MONTH[m]
        p = RAIN_WET_DAYS[m] / n
        # Persistence: a wet day makes the next one more likely to be wet.
        p_ww = min(0.85, p + 0.25)
        p_dw = max(0.02, p * (1 - p_ww) / max(1e-6, 1 - p))
        days = []
        for _ in range(n):
            wet = rng.random() < (p_ww if wet_prev else p_dw)
            days.append(rng.gammavariate(0.75, 1.0) if wet else 0.0)
            wet_prev = wet
        if sum(days) == 0.0:
            days[rng.randrange(n)] = 1.0
        scale = RAIN_TOTAL[m] / sum(days)
        days = [d * scale for d in days]
        # Drizzle below 0.1 mm is recorded as dry.
        days = [d if d >= 0.1 else 0.0 for d in days]
        table.append(days)
    return table


def main():
    rng = random.Random(SEED)
    rain = make_rain(rng)

    temp, humi, wind = [], [], []
    anomaly = 0.0
    for m in range(12):
        t_col, h_col, w_col = [], [], []
        for d in range(DAYS_IN_MONTH[m]):
            wet = rain[m][d] > 0.0
            # Temperature: seasonal curve plus a persistent (AR(1)) anomaly;
            # rainy days are a little cooler in the warm season.
            anomaly = 0.7 * anomaly + rng.gauss(0.0, TEMP_SD[m] * 0.7)
            t = smooth(TEMP_MEAN, m, d + 1) + anomaly
            if wet and 4 <= m <= 8:
                t -= 1.0
            t_col.append(t)
            # Humidity: higher on wet days, bounded to a sensible range.
            h = HUMI_MEAN[m] + rng.gauss(0.0, 6.0) + (8.0 if wet else -3.0)
            h_col.append(min(97.0, max(35.0, h)))
            # Wind speed: log-normal scatter about the monthly mean.
            w = WIND_MEAN[m] * math.exp(rng.gauss(0.0, 0.3))
            if wet:
                w *= 1.15
            w_col.append(min(6.0, max(0.3, w)))
        temp.append(t_col)
        humi.append(h_col)
        wind.append(w_col)

    def fmt(v):
        s = "%.1f" % v
        return "0.0" if s == "-0.0" else s

    def write_daily(name, table):
        lines = []
        for d in range(31):
            cells = []
            for m in range(12):
                col = table[m]
                cells.append(fmt(col[min(d, len(col) - 1)]))
            lines.append("\t".join(cells))
        with open(os.path.join(OUT_DIR, name), "w", newline="",
                  encoding="ascii") as f:
            f.write("\r\n".join(lines) + "\r\n")

    os.makedirs(OUT_DIR, exist_ok=True)
    write_daily("wind.txt", wind)
    write_daily("temp.txt", temp)
    write_daily("rain.txt", rain)
    write_daily("Humi.txt", humi)
    with open(os.path.join(OUT_DIR, "winddir.txt"), "w", newline="",
              encoding="ascii") as f:
        f.write("\t".join(str(v) for v in WIND_DIR) + "\r\n")


if __name__ == "__main__":
    main()
