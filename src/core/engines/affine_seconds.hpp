#pragma once
// The fast path of a fate model: many seconds of one day in one step.
//
// Within one day the weather is constant, so one second of a model is an
// affine map of its state: next = A x + rate b, with rate the spray rate of
// the second. readOneSecond() reads A and b off the model's plain second (b
// from an empty state sprayed at 1 µg/s, A column by column from unit states),
// so the fast path can never drift from the reference step's equations.
// Longer spans are powers of that map, built by squaring as they are needed;
// the first few distinct spans of a day get a map of their own (the driver
// asks for the 60 s from row to row all day long, and for the parts of the
// minutes around a spray).
//
// N is the length of the state: the model's masses, and after them the running
// totals a model keeps (amounts degraded, carried away...). Only the first
// Inputs entries drive the map; a running total keeps itself and adds what
// the second moves into it, so its column of A is a column of the identity:
// those columns are neither read nor multiplied, and the masses' rows of the
// map are the same products, in the same order, as without any totals.
#include <algorithm>
#include <array>
#include "core/common/processor_features.hpp"

namespace verdanel::fate {

template <int N, int Inputs = N>
class AffineSeconds {
    static_assert(Inputs > 0 && Inputs <= N);

public:
    using State = std::array<double, N>;

    // second(from, sprayRate, to): the model's plain second, in which entry
    // i >= Inputs of `to` is entry i of `from` plus what the second adds to it.
    // Forgets the powers and spans of the previous day.
    template <class PlainSecond>
    void readOneSecond(const PlainSecond& second) {
        Map& one = powers_[0];
        one.a.fill(0);
        one.b.fill(0);
        State unit{}, out;
        second(unit, 1.0, out);
        std::copy(out.begin(), out.end(), one.b.begin());
        for (int col = 0; col < Inputs; ++col) {
            unit.fill(0);
            unit[col] = 1;
            second(unit, 0.0, out);
            std::copy(out.begin(), out.end(), one.a.begin() + col * kRows);
        }
        powersBuilt_ = 1;
        spansBuilt_ = 0;
    }

    // `seconds` seconds at one spray rate.
    void advance(State& state, double sprayRate, int seconds) {
        if (seconds <= 0) return;
        for (int i = 0; i < spansBuilt_; ++i) {
            if (spans_[i].seconds == seconds) {
                apply(spans_[i].map, state, sprayRate);
                return;
            }
        }
        int top = 0;
        while (top + 1 < kPowerCount && (seconds >> (top + 1)) != 0) ++top;
        ensurePowers(top + 1);
        if (spansBuilt_ < kSpanCount && seconds < (1 << kPowerCount)) {
            Span& span = spans_[spansBuilt_];
            bool empty = true;
            for (int p = 0; p <= top; ++p) {
                if ((seconds >> p & 1) == 0) continue;
                if (empty) {
                    span.map = powers_[p];
                } else {
                    chain(span.map, powers_[p], scratch_);
                    span.map = scratch_;
                }
                empty = false;
            }
            span.seconds = seconds;
            ++spansBuilt_;
            apply(span.map, state, sprayRate);
            return;
        }
        for (int p = top; p >= 0; --p) {
            const int length = 1 << p;
            while (seconds >= length) {
                apply(powers_[p], state, sprayRate);
                seconds -= length;
            }
        }
    }

private:
    // Columns padded to whole vectors of doubles.
    static constexpr int kRows = (N + 3) / 4 * 4;
    struct Map {
        alignas(64) std::array<double, Inputs * kRows> a;  // by columns, the driving ones only
        alignas(64) std::array<double, kRows> b;
    };
    static constexpr int kPowerCount = 17;  // 2^0 .. 2^16 s; 2^16 s is most of a day
    static constexpr int kSpanCount = 8;
    struct Span {
        int seconds = 0;
        Map map;
    };

    void ensurePowers(int count) {
        for (; powersBuilt_ < count; ++powersBuilt_)
            chain(powers_[powersBuilt_ - 1], powers_[powersBuilt_ - 1], powers_[powersBuilt_]);
    }

    // `first` then `second`: (A2, b2) after (A1, b1) is (A2 A1, A2 b1 + b2).
    // Column c of A2 A1 is A2 applied to column c of A1; the totals' columns
    // stay those of the identity.
    static void chain(const Map& first, const Map& second, Map& out) {
        for (int col = 0; col < Inputs; ++col) product<false>(second, &first.a[col * kRows], 0, &out.a[col * kRows]);
        product<true>(second, first.b.data(), 1, out.b.data());
    }

    static void apply(const Map& map, State& state, double sprayRate) {
        alignas(64) std::array<double, kRows> next;
        product<true>(map, state.data(), sprayRate, next.data());
        std::copy(next.begin(), next.begin() + N, state.begin());
    }

    // to = rate b + A x (just A x without the spray part), the products added
    // column after column. Four rows at a time stay in registers while the
    // columns go by; a running total's row then adds the total itself.
    template <bool WithSpray>
    static void product(const Map& map, const double* x, double rate, double* to) {
#ifdef VERDANEL_HAS_AVX_PATHS
        if (processorHasAvx()) {
            productAvx<WithSpray>(map, x, rate, to);
            return;
        }
#endif
        for (int row = 0; row < kRows; row += 4) {
            double r0 = 0, r1 = 0, r2 = 0, r3 = 0;
            if constexpr (WithSpray) {
                r0 = rate * map.b[row];
                r1 = rate * map.b[row + 1];
                r2 = rate * map.b[row + 2];
                r3 = rate * map.b[row + 3];
            }
            for (int col = 0; col < Inputs; ++col) {
                const double* a = &map.a[col * kRows + row];
                const double xc = x[col];
                r0 += a[0] * xc;
                r1 += a[1] * xc;
                r2 += a[2] * xc;
                r3 += a[3] * xc;
            }
            if constexpr (Inputs < N) {
                if (row + 3 >= Inputs) {
                    if (row >= Inputs && row < N) r0 += x[row];
                    if (row + 1 >= Inputs && row + 1 < N) r1 += x[row + 1];
                    if (row + 2 >= Inputs && row + 2 < N) r2 += x[row + 2];
                    if (row + 3 >= Inputs && row + 3 < N) r3 += x[row + 3];
                }
            }
            to[row] = r0;
            to[row + 1] = r1;
            to[row + 2] = r2;
            to[row + 3] = r3;
        }
    }

#ifdef VERDANEL_HAS_AVX_PATHS
    // The same products, four rows to a register. Each row takes the same
    // terms in the same order, every product and every sum rounded on its
    // own (no fused multiply-add), so the results are the loop's above to
    // the last bit.
    template <bool WithSpray>
    __attribute__((target("avx"))) static void productAvx(const Map& map, const double* x, double rate,
                                                          double* to) {
        constexpr int kGroups = kRows / 4;
        __m256d sum[kGroups];
#pragma GCC unroll 8
        for (int g = 0; g < kGroups; ++g) {
            if constexpr (WithSpray)
                sum[g] = _mm256_mul_pd(_mm256_set1_pd(rate), _mm256_loadu_pd(&map.b[4 * g]));
            else
                sum[g] = _mm256_setzero_pd();
        }
        for (int col = 0; col < Inputs; ++col) {
            const __m256d xc = _mm256_set1_pd(x[col]);
            const double* a = &map.a[col * kRows];
#pragma GCC unroll 8
            for (int g = 0; g < kGroups; ++g)
                sum[g] = _mm256_add_pd(sum[g], _mm256_mul_pd(_mm256_loadu_pd(a + 4 * g), xc));
        }
#pragma GCC unroll 8
        for (int g = 0; g < kGroups; ++g) _mm256_storeu_pd(to + 4 * g, sum[g]);
        if constexpr (Inputs < N)
            for (int row = Inputs; row < N; ++row) to[row] += x[row];
    }
#endif

    std::array<Map, kPowerCount> powers_;  // powers_[k] advances 2^k seconds
    int powersBuilt_ = 0;                  // valid entries for the current day
    std::array<Span, kSpanCount> spans_;
    int spansBuilt_ = 0;
    Map scratch_;
};

}  // namespace verdanel::fate
