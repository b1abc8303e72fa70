#pragma once
// The result window's search: loads one scenario's output rows for a range of
// month and day into a row buffer, in time order.
#include <string>

#include "core/common/model_kind.hpp"
#include "core/results/result_buffer.hpp"

namespace verdanel {

class Prompter;
class ProgressSink;
class StoreConnection;

// "%02d%02d": the text a row's month and day are joined into and compared with.
std::string monthDayBound(int month, int day);

class ResultSearch {
public:
    // Selects the rows whose joined "MMDD" text lies between the two bounds,
    // both included, compared as texts, in month, day, hour and minute order.
    // The rows carry no year. A start after the end is a range across New
    // Year: the rows from the start to the end of the year, then those from
    // the start of the year to the end, in the order the run stored them
    // (time order: the earlier calendar year's rows, then the later's).
    //
    // Returns the rows found. When there are none, "검색된 데이터가 없습니다."
    // is shown and the buffer is empty; a store error is first shown as
    // "Error:%s\n", as the store accessor does. The caller keeps its previous
    // rows when the returned buffer is empty.
    //
    // The optional sink hears how far the load is (by day within the range)
    // every few thousand rows; when it reports the work abandoned, the search
    // stops and returns an empty buffer without a message.
    static ResultBuffer search(StoreConnection& connection, Prompter& prompter, ModelKind kind,
                               const std::string& scenarioName, int startMonth, int startDay, int endMonth,
                               int endDay, ProgressSink* progress = nullptr);
};

}  // namespace verdanel
