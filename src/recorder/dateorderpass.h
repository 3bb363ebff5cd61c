// Deciding a file's date order from all of its dates, one record at a time: a day above 12
// rules an order out, and where that leaves more than one, the order in which the times run
// forward decides. Never assumed: an order still open is a doubt.
#pragma once

#include "recorder/layout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDateOrderPass
{
public:
    // layout: the structure recognised so far; its date order is what this pass decides.
    explicit CDateOrderPass(const CLayout& layout);

    // Every line of the file in order, the lines before the records included.
    void AddLine(std::string_view line);

    // Whether the dates so far leave one order at most: later dates cannot open another, so
    // the rest of the file need not be read.
    bool IsDecided() const;

    // The order, or false with the reason in strDoubt.
    bool Decide(EDateOrder& eOrder, std::string& strDoubt) const;

private:
    static constexpr int kOrders = 3; // EDateOrder's values

    struct COrderState
    {
        bool bPossible = true;
        std::int64_t tPrevious = INT64_MIN;
        std::int64_t nBackSteps = 0; // times earlier than the record before
        bool bBackByDays = false;    // one of them by more than a day
    };

    CLayout m_layout;
    std::size_t m_nDateColumn = 0;
    std::size_t m_nTimeColumn = 0; // the same column for a date-and-time column
    std::vector<std::size_t> m_arrValueColumns;
    std::int64_t m_nLine = 0;
    std::int64_t m_nDates = 0;
    int m_nMonthNameAt = 0; // a month written as a name: see CDateParts
    COrderState m_aStates[kOrders];
    std::vector<std::string_view> m_arrCells;
};
