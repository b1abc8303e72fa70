#pragma once
// The peak of a series as the summary and the endpoints show it, found as
// the values go by without keeping them: the greatest value as "%e" prints
// it, and the first row that prints it.
//
// That row is a record (above every row before it: the rows before it print
// lower), so only records are kept, and only while they can still print like
// the greatest value: two values that print alike differ by less than a
// millionth of the greater, so a record more than ten millionths below a
// later one never can. The printed edge, a search over the doubles, is
// worked out once at the end, not at every record of a rising series.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/common/number_text.hpp"

namespace verdanel {

template <class Where>
class PrintedPeak {
public:
    struct Record {
        double value;
        Where where;
    };

    // The next row of the series and where it is. Nothing above 0 is no
    // peak (every positive value prints above 0); a value that is not a
    // number never leads.
    void add(double value, const Where& where) {
        if (!(value > greatest_)) return;
        greatest_ = value;
        const double nowBelow = value * (1 - 1e-5);
        while (head_ < records_.size() && records_[head_].value < nowBelow) ++head_;
        if (head_ > 1024 && head_ * 2 > records_.size()) {  // the room of the records gone
            records_.erase(records_.begin(), records_.begin() + static_cast<std::ptrdiff_t>(head_));
            marked_ = marked_ > head_ ? marked_ - head_ : 0;
            head_ = 0;
        }
        records_.push_back({value, where});
    }

    // Calls mark(where) for every record kept that came since the last call.
    template <class Mark>
    void markSince(Mark mark) {
        for (std::size_t i = std::max(head_, marked_); i < records_.size(); ++i) mark(records_[i].where);
        marked_ = records_.size();
    }

    // The first row that prints like the greatest value; null when no value was above 0.
    const Record* first() const {
        if (head_ == records_.size()) return nullptr;
        const double printsAsGreatest = std::isfinite(greatest_) ? leastPrintedAlike(greatest_) : greatest_;
        for (std::size_t i = head_; i < records_.size(); ++i)
            if (records_[i].value >= printsAsGreatest) return &records_[i];
        return &records_.back();  // the greatest itself always prints as the greatest
    }

private:
    double greatest_ = 0;
    std::vector<Record> records_;
    std::size_t head_ = 0;    // the records before it can no longer print as the greatest
    std::size_t marked_ = 0;  // markSince has seen the records before it
};

}  // namespace verdanel
