#include "recorder/dateorderpass.h"

#include "recorder/datetimecell.h"
#include "recorder/layoutfields.h"

#include <algorithm>
#include <climits>

namespace {

const char* OrderName(EDateOrder eOrder)
{
    switch (eOrder) {
    case EDateOrder::YearMonthDay:
        return "year-month-day";
    case EDateOrder::DayMonthYear:
        return "day-month-year";
    case EDateOrder::MonthDayYear:
        return "month-day-year";
    }
    return "";
}

} // namespace

CDateOrderPass::CDateOrderPass(const CLayout& layout) : m_layout(layout)
{
    for (std::size_t i = 0; i < layout.arrRoles.size(); ++i) {
        switch (layout.arrRoles[i]) {
        case EColumnRole::DateTime:
            m_nDateColumn = m_nTimeColumn = i;
            break;
        case EColumnRole::Date:
            m_nDateColumn = i;
            break;
        case EColumnRole::Time:
            m_nTimeColumn = i;
            break;
        case EColumnRole::Skip:
            break;
        default:
            m_arrValueColumns.push_back(i);
            break;
        }
    }
}

void CDateOrderPass::AddLine(std::string_view line)
{
    if (++m_nLine <= m_layout.nSkipLines)
        return;
    SplitCells(line, m_layout.cDelimiter, m_layout.cQuote, m_arrCells);
    if (m_arrCells.size() <= m_nDateColumn || m_arrCells.size() <= m_nTimeColumn)
        return;
    // A row without values is an event the logger noted; its time need not run with the
    // records'.
    bool bValue = false;
    for (std::size_t i : m_arrValueColumns) {
        if (i < m_arrCells.size() && !m_arrCells[i].empty()) {
            const char c = m_arrCells[i][m_arrCells[i][0] == '-' ? 1 : 0];
            bValue |= c >= '0' && c <= '9';
        }
    }
    if (!bValue)
        return;

    CDateParts date;
    const std::string_view dateCell = m_arrCells[m_nDateColumn];
    const std::size_t nDate = ReadDate(dateCell, date);
    if (nDate == 0)
        return;
    CTimeParts time;
    std::string_view timeCell = m_arrCells[m_nTimeColumn];
    if (m_nTimeColumn == m_nDateColumn) {
        timeCell.remove_prefix(nDate);
        while (!timeCell.empty() && (timeCell.front() == ' ' || timeCell.front() == 'T'))
            timeCell.remove_prefix(1);
    }
    if (ReadTime(timeCell, time) == 0)
        return;
    ++m_nDates;
    if (date.nMonthNameAt != 0) {
        m_nMonthNameAt = date.nMonthNameAt;
        return;
    }
    int nHour = time.nHour;
    if (time.bAmPm)
        nHour = nHour % 12 + (time.bPm ? 12 : 0);
    const std::int64_t nSecondOfDay = nHour * 3600 + time.nMinute * 60 + time.nSecond;

    const int* f = date.anField;
    const int* nDigits = date.anDigits;
    for (int o = 0; o < kOrders; ++o) {
        COrderState& state = m_aStates[o];
        if (!state.bPossible)
            continue;
        int nYear = 0;
        int nMonth = 0;
        int nDay = 0;
        // A year is written with four digits or two; a four-digit first field is a year.
        switch (static_cast<EDateOrder>(o)) {
        case EDateOrder::YearMonthDay:
            state.bPossible = nDigits[0] == 4;
            nYear = f[0], nMonth = f[1], nDay = f[2];
            break;
        case EDateOrder::DayMonthYear:
            state.bPossible = nDigits[0] <= 2 && (nDigits[2] == 2 || nDigits[2] == 4);
            nDay = f[0], nMonth = f[1], nYear = f[2];
            break;
        case EDateOrder::MonthDayYear:
            state.bPossible = nDigits[0] <= 2 && (nDigits[2] == 2 || nDigits[2] == 4);
            nMonth = f[0], nDay = f[1], nYear = f[2];
            break;
        }
        state.bPossible = state.bPossible && nMonth >= 1 && nMonth <= 12 && nDay >= 1 && nDay <= 31;
        if (!state.bPossible)
            continue;
        const std::int64_t t =
            DaysFromCivil(nYear < 100 ? nYear + 2000 : nYear, nMonth, nDay) * 86400 + nSecondOfDay;
        if (state.tPrevious != INT64_MIN && t < state.tPrevious) {
            ++state.nBackSteps;
            state.bBackByDays |= t < state.tPrevious - 86400;
        }
        state.tPrevious = t;
    }
}

bool CDateOrderPass::Decide(EDateOrder& eOrder, std::string& strDoubt) const
{
    if (m_nMonthNameAt != 0) {
        eOrder = m_nMonthNameAt == 2 ? EDateOrder::DayMonthYear : EDateOrder::MonthDayYear;
        return true;
    }
    if (m_nDates == 0) {
        strDoubt = "No record's date could be read.";
        return false;
    }
    std::vector<int> arrLeft;
    for (int o = 0; o < kOrders; ++o)
        if (m_aStates[o].bPossible)
            arrLeft.push_back(o);
    if (arrLeft.empty()) {
        strDoubt = "The dates fit no one order of day, month and year.";
        return false;
    }
    if (arrLeft.size() == 1) {
        eOrder = static_cast<EDateOrder>(arrLeft[0]);
        return true;
    }
    // Several orders read every date: keep those whose times do not jump back by days,
    // then those with the fewest steps back.
    std::vector<int> arrForward;
    for (int o : arrLeft)
        if (!m_aStates[o].bBackByDays)
            arrForward.push_back(o);
    if (arrForward.empty())
        arrForward = arrLeft;
    std::int64_t nFewest = INT64_MAX;
    for (int o : arrForward)
        nFewest = std::min(nFewest, m_aStates[o].nBackSteps);
    std::vector<int> arrBest;
    for (int o : arrForward)
        if (m_aStates[o].nBackSteps == nFewest)
            arrBest.push_back(o);
    if (arrBest.size() == 1) {
        eOrder = static_cast<EDateOrder>(arrBest[0]);
        return true;
    }
    strDoubt = std::string("The dates could be ") + OrderName(static_cast<EDateOrder>(arrBest[0])) +
               " or " + OrderName(static_cast<EDateOrder>(arrBest[1])) +
               ": no day above 12, and the times run " +
               (nFewest == 0 ? "forward either way." : "back as often either way.");
    eOrder = static_cast<EDateOrder>(arrBest[0]);
    return false;
}
