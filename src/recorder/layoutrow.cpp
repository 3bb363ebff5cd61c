#include "recorder/layoutrow.h"

#include "recorder/recorderreader.h"
#include "recorder/textencoding.h"

#include <algorithm>

namespace {

constexpr EColumnRole kValueRoles[4] = {EColumnRole::TempPV, EColumnRole::TempSV,
                                        EColumnRole::HumiPV, EColumnRole::HumiSV};

// A printable excerpt of a cell for messages, in UTF-8.
std::string Excerpt(std::string_view cell, EEncoding eEncoding)
{
    constexpr std::size_t kMax = 40;
    std::size_t nCut = std::min(cell.size(), kMax);
    // Not inside a UTF-8 character.
    while (eEncoding == EEncoding::Utf8 && nCut > 0 && nCut < cell.size() &&
           (static_cast<unsigned char>(cell[nCut]) & 0xC0) == 0x80)
        --nCut;
    std::string s;
    for (const char ch : DecodeToUtf8(cell.substr(0, nCut), eEncoding)) {
        const unsigned char c = static_cast<unsigned char>(ch);
        s += c >= 0x20 && c != 0x7f ? ch : '?';
    }
    if (cell.size() > nCut)
        s += "...";
    return s;
}

std::string_view DateOrderText(EDateOrder eOrder)
{
    switch (eOrder) {
    case EDateOrder::DayMonthYear:
        return "is not a date in day-month-year order";
    case EDateOrder::MonthDayYear:
        return "is not a date in month-day-year order";
    case EDateOrder::YearMonthDay:
        break;
    }
    return "is not a date in year-month-day order";
}

} // namespace

std::string_view RoleTitle(EColumnRole eRole)
{
    switch (eRole) {
    case EColumnRole::Skip:
        return "not read";
    case EColumnRole::Date:
        return "Date";
    case EColumnRole::Time:
        return "Time";
    case EColumnRole::DateTime:
        return "Date and time";
    case EColumnRole::TempPV:
        return "Temp PV";
    case EColumnRole::TempSV:
        return "Temp SV";
    case EColumnRole::HumiPV:
        return "Humi PV";
    case EColumnRole::HumiSV:
        return "Humi SV";
    }
    return "";
}

CLayoutRowReader::CLayoutRowReader(const CLayout& layout) : m_layout(layout)
{
    // The first column of each role is read.
    for (int i = static_cast<int>(layout.arrRoles.size()) - 1; i >= 0; --i) {
        switch (layout.arrRoles[i]) {
        case EColumnRole::Date:
            m_nDate = i;
            break;
        case EColumnRole::Time:
            m_nTime = i;
            break;
        case EColumnRole::DateTime:
            m_nDateTime = i;
            break;
        case EColumnRole::Skip:
            break;
        default:
            for (int k = 0; k < 4; ++k)
                if (layout.arrRoles[i] == kValueRoles[k])
                    m_anValue[k] = i;
        }
    }
    m_cells.reserve(layout.arrRoles.size() + 4);
}

bool CLayoutRowReader::CanRead(std::string& strWhy) const
{
    if (m_nDate < 0 && m_nDateTime < 0) {
        strWhy = "The layout names no date column, so its records have no time.";
        return false;
    }
    if (m_anValue[0] < 0 && m_anValue[2] < 0) {
        strWhy = "The layout names neither a temperature nor a humidity column.";
        return false;
    }
    return true;
}

bool CLayoutRowReader::Fail(int nColumn, std::string_view what)
{
    m_nFaultColumn = nColumn;
    m_fault = what;
    return false;
}

CLayoutRowReader::ERow CLayoutRowReader::Read(std::string_view line)
{
    SplitCells(line, m_layout.cDelimiter, m_layout.cQuote, m_cells);
    const auto cell = [this](int i) {
        return i >= 0 && i < static_cast<int>(m_cells.size()) ? m_cells[i] : std::string_view();
    };
    bool bAnyValue = false;
    for (int k = 0; k < 4; ++k)
        bAnyValue = bAnyValue || !cell(m_anValue[k]).empty();
    if (!bAnyValue)
        return ERow::Skipped;

    m_fields = CRecordFields();
    const int nDateColumn = m_nDateTime >= 0 ? m_nDateTime : m_nDate;
    std::string_view date = cell(nDateColumn);
    std::string_view time;
    int nTimeColumn = m_nTime;
    if (m_nDateTime >= 0) {
        nTimeColumn = m_nDateTime;
        if (!SplitDateTimeCell(date, date, time)) {
            Fail(m_nDateTime, "is not a date and a time");
            return ERow::Fault;
        }
    } else if (m_nTime >= 0) {
        time = cell(m_nTime);
    }
    if (!ParseDateCell(date, m_layout.eDateOrder, m_fields.nYear, m_fields.nMonth, m_fields.nDay)) {
        Fail(nDateColumn, DateOrderText(m_layout.eDateOrder));
        return ERow::Fault;
    }
    m_time = CTimeOfDay();
    if (nTimeColumn >= 0 && !ParseTimeCell(time, m_layout.eClock, m_time)) {
        Fail(nTimeColumn,
             m_layout.eClock == EClock::Hours12 ? "is not a time with AM or PM" : "is not a time");
        return ERow::Fault;
    }
    if (m_time.bHasOffset != (m_layout.eZone == EZone::InValue)) {
        Fail(nTimeColumn, m_time.bHasOffset ? "has a UTC offset, which this layout does not expect"
                                            : "has no UTC offset, which this layout needs");
        return ERow::Fault;
    }
    m_fields.nHour = m_time.nHour;
    m_fields.nMinute = m_time.nMinute;
    m_fields.nSecond = m_time.nSecond;
    // The parsers kept month, day and time in range; the year is left.
    if (CheckRecordFields(m_fields) != ERecordFault::None) {
        Fail(nDateColumn, "is before 1900");
        return ERow::Fault;
    }

    float afValues[4];
    for (int k = 0; k < 4; ++k) {
        afValues[k] = m_afLast[k];
        const std::string_view text = cell(m_anValue[k]);
        if (text.empty())
            continue;
        float f = 0.0f;
        if (!ParseNumberCell(text, m_layout.cDecimal, m_layout.bUnitInCells, f)) {
            Fail(m_anValue[k], "is not a number");
            return ERow::Fault;
        }
        // Only temperatures have a unit to convert; humidity is in percent everywhere.
        if (k < 2 && m_layout.eTempUnit == ETempUnit::Fahrenheit)
            f = static_cast<float>((static_cast<double>(f) - 32.0) * 5.0 / 9.0);
        else if (k < 2 && m_layout.eTempUnit == ETempUnit::Kelvin)
            f = static_cast<float>(static_cast<double>(f) - 273.15);
        afValues[k] = f;
    }
    for (int k = 0; k < 4; ++k)
        m_afLast[k] = afValues[k];
    m_fields.fTempPV = afValues[0];
    m_fields.fTempSV = afValues[1];
    m_fields.fHumiPV = afValues[2];
    m_fields.fHumiSV = afValues[3];
    return ERow::Record;
}

bool CLayoutRowReader::UtcTime(std::int64_t& t) const
{
    if (m_layout.eZone == EZone::Local)
        return false;
    const int nOffset =
        m_layout.eZone == EZone::InValue ? m_time.nOffsetMinutes : m_layout.nOffsetMinutes;
    t = DaysFromCivil(m_fields.nYear, m_fields.nMonth, m_fields.nDay) * 86400 +
        m_fields.nHour * 3600 + m_fields.nMinute * 60 + m_fields.nSecond -
        static_cast<std::int64_t>(nOffset) * 60;
    return true;
}

std::string CLayoutRowReader::DescribeFault(std::int64_t nLine, EEncoding eEncoding) const
{
    const EColumnRole eRole =
        m_nFaultColumn >= 0 && m_nFaultColumn < static_cast<int>(m_layout.arrRoles.size())
            ? m_layout.arrRoles[m_nFaultColumn]
            : EColumnRole::Skip;
    const std::string_view text =
        m_nFaultColumn >= 0 && m_nFaultColumn < static_cast<int>(m_cells.size())
            ? m_cells[m_nFaultColumn]
            : std::string_view();
    return "Line " + FormatWithThousands(nLine) + ", column " + std::to_string(m_nFaultColumn + 1) +
           " (" + std::string(RoleTitle(eRole)) + "): \"" + Excerpt(text, eEncoding) + "\" " +
           std::string(m_fault) + ".";
}
