#include "view/importchoices.h"

#include "view/paging.h"

#include <algorithm>

namespace {

constexpr char kDelimiters[] = {',', ';', '\t', ' '};
constexpr char kDecimals[] = {'.', ','};
constexpr char kQuotes[] = {'"', 0};

template <std::size_t N> int IndexOf(const char (&options)[N], char c)
{
    const auto* it = std::find(std::begin(options), std::end(options), c);
    return it == std::end(options) ? 0 : static_cast<int>(it - std::begin(options));
}

template <std::size_t N> char At(const char (&options)[N], int nIndex)
{
    return options[std::clamp<int>(nIndex, 0, static_cast<int>(N) - 1)];
}

int RoleIndex(EColumnRole eRole)
{
    return static_cast<int>(eRole);
}

} // namespace

CImportChoices ChoicesFromLayout(const CLayout& layout, std::size_t nColumns)
{
    CImportChoices choices;
    choices.arrRoles.assign(nColumns, RoleIndex(EColumnRole::Skip));
    for (std::size_t i = 0; i < std::min(nColumns, layout.arrRoles.size()); ++i)
        choices.arrRoles[i] = RoleIndex(layout.arrRoles[i]);
    choices.nDelimiter = IndexOf(kDelimiters, layout.cDelimiter);
    choices.nDecimal = IndexOf(kDecimals, layout.cDecimal);
    choices.nQuote = IndexOf(kQuotes, layout.cQuote);
    choices.nSkipLines = layout.nSkipLines;
    choices.nHeaderLine = layout.nHeaderLine;
    choices.nDateOrder = static_cast<int>(layout.eDateOrder);
    choices.nClock = static_cast<int>(layout.eClock);
    choices.nZone = static_cast<int>(layout.eZone);
    choices.nOffsetMinutes = layout.nOffsetMinutes;
    choices.nTempUnit = static_cast<int>(layout.eTempUnit);
    choices.bUnitInCells = layout.bUnitInCells;
    choices.nEncoding = static_cast<int>(layout.eEncoding);
    return choices;
}

CLayout LayoutFromChoices(const CImportChoices& choices, const CLayout& base)
{
    CLayout layout;
    layout.strName = base.strName;
    layout.strHeader = base.strHeader;
    // Whatever the boxes say is read by the general reader, also for a recorder's file.
    layout.bRecorder = false;
    layout.cDelimiter = At(kDelimiters, choices.nDelimiter);
    layout.cDecimal = At(kDecimals, choices.nDecimal);
    layout.cQuote = At(kQuotes, choices.nQuote);
    layout.nHeaderLine = std::max(0, choices.nHeaderLine);
    // The header is never read as a record.
    layout.nSkipLines = std::max({0, choices.nSkipLines, layout.nHeaderLine});
    for (const int nRole : choices.arrRoles)
        layout.arrRoles.push_back(static_cast<EColumnRole>(
            std::clamp(nRole, RoleIndex(EColumnRole::Skip), RoleIndex(EColumnRole::HumiSV))));
    // Columns not read at the right end say nothing the missing ones do not.
    while (!layout.arrRoles.empty() && layout.arrRoles.back() == EColumnRole::Skip)
        layout.arrRoles.pop_back();
    layout.eDateOrder = static_cast<EDateOrder>(std::clamp(choices.nDateOrder, 0, 2));
    layout.eClock = static_cast<EClock>(std::clamp(choices.nClock, 0, 1));
    layout.eZone = static_cast<EZone>(std::clamp(choices.nZone, 0, 2));
    layout.nOffsetMinutes = layout.eZone == EZone::Offset ? choices.nOffsetMinutes : 0;
    layout.eTempUnit = static_cast<ETempUnit>(std::clamp(choices.nTempUnit, 0, 2));
    layout.bUnitInCells = choices.bUnitInCells;
    layout.eEncoding =
        static_cast<EEncoding>(std::clamp(choices.nEncoding, 0, static_cast<int>(EEncoding::Big5)));
    return layout;
}

void ChooseRole(CImportChoices& choices, std::size_t nColumn, int nRole)
{
    if (nColumn >= choices.arrRoles.size())
        return;
    const auto role = static_cast<EColumnRole>(nRole);
    const auto conflicts = [role](EColumnRole eOther) {
        if (role == EColumnRole::Skip)
            return false;
        if (eOther == role)
            return true;
        if (role == EColumnRole::DateTime)
            return eOther == EColumnRole::Date || eOther == EColumnRole::Time;
        if (role == EColumnRole::Date || role == EColumnRole::Time)
            return eOther == EColumnRole::DateTime;
        return false;
    };
    for (int& nOther : choices.arrRoles)
        if (conflicts(static_cast<EColumnRole>(nOther)))
            nOther = RoleIndex(EColumnRole::Skip);
    choices.arrRoles[nColumn] = nRole;
}

bool HasTimeColumns(const CLayout& layout)
{
    return layout.HasRole(EColumnRole::DateTime) ||
           (layout.HasRole(EColumnRole::Date) && layout.HasRole(EColumnRole::Time));
}

std::size_t ColumnCount(const CLayoutPreview& preview)
{
    std::size_t n = preview.arrColumnNames.size();
    for (const auto& arrCells : preview.arrLines)
        n = std::max(n, arrCells.size());
    return n;
}

QStringList PreviewRowTexts(const CLayoutPreview::CRecord& record, const CLayout& layout)
{
    constexpr EColumnRole kChannels[4] = {EColumnRole::TempPV, EColumnRole::TempSV,
                                          EColumnRole::HumiPV, EColumnRole::HumiSV};
    QStringList texts = {QString::number(record.nLine),
                         FormatLocalTime(record.t, "%Y-%m-%d %H:%M:%S")};
    for (int i = 0; i < 4; ++i)
        texts << (layout.HasRole(kChannels[i]) ? QString::number(record.afValues[i], 'f', 2)
                                               : QString());
    return texts;
}
