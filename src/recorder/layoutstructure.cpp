#include "recorder/layoutstructure.h"

#include "recorder/datetimecell.h"
#include "recorder/headerwords.h"
#include "recorder/layoutfields.h"
#include "recorder/textencoding.h"

#include <algorithm>
#include <map>
#include <string>

namespace {

// Records looked at for the structure; the date order reads them all.
constexpr std::size_t kSampleLines = 500;

std::vector<std::string_view> SplitLines(std::string_view text, bool bWhole)
{
    std::vector<std::string_view> arrLines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nEnd = text.find('\n', pos);
        if (nEnd == std::string_view::npos) {
            if (!bWhole)
                break;
            nEnd = text.size();
        }
        std::string_view line = text.substr(pos, nEnd - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        arrLines.push_back(line);
        pos = nEnd + 1;
    }
    return arrLines;
}

bool IsBlankLine(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The most common number of cells a delimiter splits the lines into, and on how many lines.
std::pair<std::size_t, std::size_t> CommonCellCount(const std::vector<std::string_view>& arrLines,
                                                    char cDelimiter)
{
    std::map<std::size_t, std::size_t> counts;
    std::vector<std::string_view> arrCells;
    for (std::string_view line : arrLines) {
        SplitCells(line, cDelimiter, '"', arrCells);
        ++counts[arrCells.size()];
    }
    std::pair<std::size_t, std::size_t> best{0, 0};
    for (const auto& [nCells, nLines] : counts)
        if (nLines > best.second)
            best = {nCells, nLines};
    return best;
}

std::string Quoted(std::string_view name)
{
    std::string str(1, '"');
    return str.append(name).append(1, '"');
}

bool IsValueRole(EColumnRole eRole)
{
    return eRole == EColumnRole::TempPV || eRole == EColumnRole::TempSV ||
           eRole == EColumnRole::HumiPV || eRole == EColumnRole::HumiSV;
}

// The index of the first line that starts with a date, or the count of lines when none does.
std::size_t FindFirstRecord(const std::vector<std::string_view>& arrLines)
{
    std::size_t nFirst = 0;
    while (nFirst < arrLines.size() && !LineStartsWithDate(arrLines[nFirst]))
        ++nFirst;
    return nFirst;
}

// The header line's words for matching; strHeader gets the whole line in UTF-8, by which a
// saved layout is found.
std::string ReadHeaderLine(std::string_view line, EEncoding eEncoding, std::string& strHeader)
{
    // Words are matched in UTF-8; the legacy code pages' known words are turned into it
    // here whatever the platform's converters know.
    std::string strHeaderText = KnownWordsToUtf8(line, eEncoding);
    const bool bText = eEncoding == EEncoding::Utf8 || eEncoding == EEncoding::Utf16LE ||
                       eEncoding == EEncoding::Utf16BE; // UTF-16 comes here decoded
    strHeader = bText ? std::string(line) : DecodeToUtf8(line, eEncoding);
    return strHeaderText;
}

// The records the structure is judged on: the first kSampleLines non-blank lines from nFirst.
std::vector<std::string_view> SampleRecords(const std::vector<std::string_view>& arrLines,
                                            std::size_t nFirst)
{
    std::vector<std::string_view> arrSample;
    for (std::size_t i = nFirst; i < arrLines.size() && arrSample.size() < kSampleLines; ++i)
        if (!IsBlankLine(arrLines[i]))
            arrSample.push_back(arrLines[i]);
    return arrSample;
}

// Sets the layout's delimiter and returns the number of columns it gives, or 0 when none fits.
// The first delimiter, in this order, that splits most records alike into two cells or more
// wins: a semicolon file's decimal commas then never count as delimiters.
std::size_t ChooseDelimiter(const std::vector<std::string_view>& arrSample, CLayout& layout)
{
    for (const char c : {'\t', ';', ',', ' '}) {
        const auto [nCells, nLines] = CommonCellCount(arrSample, c);
        if (nCells >= 2 && nLines * 2 > arrSample.size()) {
            layout.cDelimiter = c;
            return nCells;
        }
    }
    return 0;
}

// What the records' cells say: each column's most common kind, and the marks seen in any cell.
struct CCellSurvey
{
    std::vector<ECellKind> arrColumnKinds;
    bool bDecimalComma = false;
    bool bAmPm = false;
    bool bZoneInValue = false;
    bool bUnitF = false;
};

// The kind counted most often, never Empty; Empty when the column holds nothing else.
ECellKind MostCommonKind(const std::map<ECellKind, std::size_t>& kinds)
{
    ECellKind eBestKind = ECellKind::Empty;
    std::size_t nBest = 0;
    for (const auto& [eKind, nCount] : kinds)
        if (eKind != ECellKind::Empty && nCount > nBest) {
            nBest = nCount;
            eBestKind = eKind;
        }
    return eBestKind;
}

// Each column's kind, over the records that carry values; a row with a time and no number
// (a logger's event row) says nothing about the columns. Rows with another number of cells
// are left out.
CCellSurvey SurveyCells(const std::vector<std::string_view>& arrSample, const CLayout& layout,
                        std::size_t nColumns)
{
    CCellSurvey survey;
    std::vector<std::map<ECellKind, std::size_t>> arrKinds(nColumns);
    std::vector<std::string_view> arrCells;
    std::vector<ECellKind> arrRowKinds;
    for (std::string_view line : arrSample) {
        SplitCells(line, layout.cDelimiter, layout.cQuote, arrCells);
        if (arrCells.size() != nColumns)
            continue;
        arrRowKinds.clear();
        bool bValue = false;
        CDateParts date;
        CTimeParts time;
        for (std::string_view cell : arrCells) {
            const ECellKind eKind = ClassifyCell(cell, date, time);
            arrRowKinds.push_back(eKind);
            bValue |= eKind == ECellKind::Number || eKind == ECellKind::NumberWithUnit;
            if (eKind == ECellKind::Time || eKind == ECellKind::DateTime) {
                survey.bAmPm |= time.bAmPm;
                survey.bZoneInValue |= time.bZone;
            }
            if (eKind == ECellKind::NumberWithUnit && cell.find('F') != std::string_view::npos)
                survey.bUnitF = true;
            if ((eKind == ECellKind::Number || eKind == ECellKind::NumberWithUnit) &&
                layout.cDelimiter != ',' && cell.find(',') != std::string_view::npos)
                survey.bDecimalComma = true;
        }
        if (!bValue)
            continue;
        for (std::size_t i = 0; i < nColumns; ++i)
            ++arrKinds[i][arrRowKinds[i]];
    }
    survey.arrColumnKinds.reserve(nColumns);
    for (const auto& kinds : arrKinds)
        survey.arrColumnKinds.push_back(MostCommonKind(kinds));
    return survey;
}

// The decimal mark, the clock and the zone. A zone in the values wins over an offset named in
// the lines before the first record, arrLines[0, nFirst).
void SetNumberAndTimeMarks(const CCellSurvey& survey, const std::vector<std::string_view>& arrLines,
                           std::size_t nFirst, CLayout& layout)
{
    layout.cDecimal = survey.bDecimalComma ? ',' : '.';
    layout.eClock = survey.bAmPm ? EClock::Hours12 : EClock::Hours24;
    if (survey.bZoneInValue) {
        layout.eZone = EZone::InValue;
        return;
    }
    for (std::size_t i = 0; i < nFirst; ++i) {
        if (const std::optional<int> nOffset = ReadZoneOffset(arrLines[i])) {
            layout.eZone = EZone::Offset;
            layout.nOffsetMinutes = *nOffset;
            return;
        }
    }
}

// Every column to Skip, then the date and time roles: one column with both, or a date column
// and a time column. False when neither is found.
bool FindDateTimeColumns(const std::vector<ECellKind>& arrColumnKinds, CLayout& layout)
{
    const std::size_t nColumns = arrColumnKinds.size();
    layout.arrRoles.assign(nColumns, EColumnRole::Skip);
    const auto find = [&](ECellKind eKind) {
        return static_cast<std::size_t>(
            std::find(arrColumnKinds.begin(), arrColumnKinds.end(), eKind) -
            arrColumnKinds.begin());
    };
    const std::size_t nDateTime = find(ECellKind::DateTime);
    const std::size_t nDate = find(ECellKind::Date);
    const std::size_t nTime = find(ECellKind::Time);
    if (nDateTime < nColumns) {
        layout.arrRoles[nDateTime] = EColumnRole::DateTime;
        return true;
    }
    if (nDate < nColumns && nTime < nColumns) {
        layout.arrRoles[nDate] = EColumnRole::Date;
        layout.arrRoles[nTime] = EColumnRole::Time;
        return true;
    }
    return false;
}

// The columns holding numbers, and whether the header names any of them.
struct CValueColumns
{
    std::vector<std::size_t> arrColumns;
    bool bAnyNamed = false;
};

// The value columns' roles and the temperature unit from the header's words (arrNames). With
// no unit named, a Fahrenheit mark in the cells sets the unit.
CValueColumns ReadHeaderRoles(const std::vector<ECellKind>& arrColumnKinds,
                              const std::vector<std::string_view>& arrNames, bool bUnitF,
                              CLayout& layout)
{
    CValueColumns values;
    bool bUnitNamed = false;
    for (std::size_t i = 0; i < arrColumnKinds.size(); ++i) {
        const ECellKind eKind = arrColumnKinds[i];
        if (eKind != ECellKind::Number && eKind != ECellKind::NumberWithUnit)
            continue;
        values.arrColumns.push_back(i);
        layout.bUnitInCells |= eKind == ECellKind::NumberWithUnit;
        if (i >= arrNames.size())
            continue;
        const CColumnName column = ReadColumnName(arrNames[i]);
        values.bAnyNamed |= column.bNamed;
        layout.arrRoles[i] = column.eRole;
        if (column.unit && !bUnitNamed &&
            (column.eRole == EColumnRole::TempPV || column.eRole == EColumnRole::TempSV)) {
            layout.eTempUnit = *column.unit;
            bUnitNamed = true;
        }
    }
    if (!bUnitNamed && bUnitF)
        layout.eTempUnit = ETempUnit::Fahrenheit;
    return values;
}

// Two columns for one channel: which one is meant cannot be told. The first channel found
// twice makes the result a doubt naming its first two columns; all but its first column are
// skipped.
void DropSecondChannelColumns(const std::vector<std::string_view>& arrNames, CRecognition& r)
{
    std::vector<EColumnRole>& arrRoles = r.layout.arrRoles;
    for (EColumnRole eRole :
         {EColumnRole::TempPV, EColumnRole::TempSV, EColumnRole::HumiPV, EColumnRole::HumiSV}) {
        std::vector<std::size_t> arrSame;
        for (std::size_t i = 0; i < arrRoles.size(); ++i)
            if (arrRoles[i] == eRole)
                arrSame.push_back(i);
        if (arrSame.size() < 2)
            continue;
        const auto name = [&](std::size_t i) {
            return i < arrNames.size() ? Quoted(arrNames[i]) : "column " + std::to_string(i + 1);
        };
        const bool bTemp = eRole == EColumnRole::TempPV || eRole == EColumnRole::TempSV;
        r.eResult = CRecognition::EResult::Doubt;
        r.strDoubt = std::string("The file has more than one ") +
                     (bTemp ? "temperature" : "humidity") + " column: " + name(arrSame[0]) +
                     " and " + name(arrSame[1]) + ".";
        for (std::size_t k = 1; k < arrSame.size(); ++k)
            arrRoles[arrSame[k]] = EColumnRole::Skip;
        return;
    }
}

} // namespace

CRecognition RecogniseStructure(std::string_view head, EEncoding eEncoding, bool bWhole)
{
    CRecognition r;
    r.eResult = CRecognition::EResult::Unknown;
    CLayout& layout = r.layout;
    layout.eEncoding = eEncoding;

    const std::vector<std::string_view> arrLines = SplitLines(head, bWhole);
    const std::size_t nFirst = FindFirstRecord(arrLines);
    if (nFirst == arrLines.size()) {
        r.strDoubt = "No line starts with a date.";
        return r;
    }
    std::string strHeaderText;
    if (nFirst > 0)
        strHeaderText = ReadHeaderLine(arrLines[nFirst - 1], eEncoding, r.strHeader);
    layout.nSkipLines = static_cast<int>(nFirst);
    layout.nHeaderLine = static_cast<int>(nFirst); // the line before the first record

    const std::vector<std::string_view> arrSample = SampleRecords(arrLines, nFirst);
    const std::size_t nColumns = ChooseDelimiter(arrSample, layout);
    if (nColumns == 0) {
        r.strDoubt = "No delimiter splits the records into the same number of columns.";
        return r;
    }

    const CCellSurvey survey = SurveyCells(arrSample, layout, nColumns);
    SetNumberAndTimeMarks(survey, arrLines, nFirst, layout);
    if (!FindDateTimeColumns(survey.arrColumnKinds, layout)) {
        r.strDoubt = "No column holds the records' dates and times.";
        return r;
    }

    // The value columns' roles from the header's words.
    std::vector<std::string_view> arrNames;
    SplitCells(strHeaderText, layout.cDelimiter, layout.cQuote, arrNames);
    const CValueColumns values =
        ReadHeaderRoles(survey.arrColumnKinds, arrNames, survey.bUnitF, layout);
    if (!values.bAnyNamed) {
        if (values.arrColumns.empty()) {
            r.strDoubt = "No column holds numbers.";
            return r;
        }
        // A guess to show: temperature first, humidity second.
        layout.arrRoles[values.arrColumns[0]] = EColumnRole::TempPV;
        if (values.arrColumns.size() > 1)
            layout.arrRoles[values.arrColumns[1]] = EColumnRole::HumiPV;
        r.eResult = CRecognition::EResult::Doubt;
        r.strDoubt = "The header does not name the columns.";
        return r;
    }

    r.eResult = CRecognition::EResult::Layout;
    DropSecondChannelColumns(arrNames, r);
    if (std::none_of(layout.arrRoles.begin(), layout.arrRoles.end(), IsValueRole)) {
        r.eResult = CRecognition::EResult::Unknown;
        r.strDoubt = "No column is named as a temperature or a humidity.";
    }
    return r;
}
