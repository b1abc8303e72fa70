#pragma once
// One simulated day on a model's fast path as the run's driver goes: the
// quiet seconds after a row join the next minute's second 0 when that does
// not spray, so a quiet minute is one map from row to row. rateAt(minute)
// is the spray rate of the whole minute; row(minute) reads the outputs.
template <class Model, class RateAt, class Row>
void fastDay(Model& model, const RateAt& rateAt, const Row& row) {
    int quiet = 0;
    for (int minute = 0; minute < 1440; ++minute) {
        const double rate = rateAt(minute);
        if (rate == 0.0) {
            model.advance(0.0, quiet + 1);
        } else {
            model.advance(0.0, quiet);
            model.advance(rate, 1);
        }
        row(minute);
        if (rate == 0.0) {
            quiet = 59;
        } else {
            model.advance(rate, 59);
            quiet = 0;
        }
    }
    model.advance(0.0, quiet);
}
