#pragma once
// The wind's move of the air between a model's air boxes in one second.
//
// Each box's air, spread by s across and along the wind, lands in the boxes it
// overlaps after the wind has moved it: box i sends box j the share
//   ox x oy[i][j] / ((w_i + s) (L + s))
// of its air, where ox is the overlap along the water (the same for every
// pair), oy[i][j] the overlap across and w_i the width box i's air spreads
// over. What no box receives has left the scene.
//
// Air transport never creates air: an overlap that comes out negative counts
// as none, and a box whose shares add up to more than all its air sends all of
// it, in the same proportions.
#include <algorithm>
#include <array>

namespace verdanel::fate {

// An overlap of at most `width` metres: v clamped to 0..width.
inline double overlapWithin(double v, double width) { return std::max(v > width ? width : (v < 0 ? 0.0 : v), 0.0); }

template <int Boxes>
class AirTransport {
public:
    using Table = std::array<std::array<double, Boxes>, Boxes>;  // [source][target]
    using Air = std::array<double, Boxes>;

    // across[i][j]: overlap of source i with target j across the wind, m;
    // sourceWidth[i]: w_i.
    void set(double alongOverlap, const Table& across, const Air& sourceWidth, double spread, double length) {
        for (int i = 0; i < Boxes; ++i) {
            const double area = (sourceWidth[i] + spread) * (length + spread);
            double sent = 0;
            for (int j = 0; j < Boxes; ++j) {
                share_[i][j] = alongOverlap * std::max(across[i][j], 0.0) / area;
                sent += share_[i][j];
            }
            limited_[i] = sent > 1;
            if (limited_[i])
                for (int j = 0; j < Boxes; ++j) share_[i][j] /= sent;
            leaving_[i] = limited_[i] ? 0.0 : 1 - sent;
        }
    }

    // Share of box `from`'s air that lands in box `to`.
    double share(int from, int to) const { return share_[from][to]; }
    const Table& shares() const { return share_; }
    // The box would have sent more than it holds and sends all of it.
    bool sendsAll(int from) const { return limited_[from]; }
    // Share of box `from`'s air that no box receives: it leaves the scene.
    double leaving(int from) const { return leaving_[from]; }

    // The air of every box after the move. The shares are finite (every box
    // is wider than nothing), so a box without air sends nothing.
    Air moved(const Air& air) const {
        Air to{};
        for (int j = 0; j < Boxes; ++j)
            for (int i = 0; i < Boxes; ++i) to[j] += air[i] * share_[i][j];
        return to;
    }

private:
    Table share_{};
    std::array<bool, Boxes> limited_{};
    Air leaving_{};
};

}  // namespace verdanel::fate
