// What the import dialog's boxes hold, and the layout they make: kept apart from the dialog so
// that the rules between the choices are plain functions.
#pragma once

#include "recorder/layout.h"
#include "recorder/layoutreader.h"

#include <QStringList>

#include <cstddef>
#include <vector>

// Every choice is the index of its item, in the order of the enums in recorder/layout.h.
struct CImportChoices
{
    std::vector<int> arrRoles; // per column, an EColumnRole
    int nDelimiter = 0;        // comma, semicolon, tab, spaces
    int nDecimal = 0;          // point, comma
    int nQuote = 0;            // double quotes, none
    int nSkipLines = 1;
    int nHeaderLine = 1;
    int nDateOrder = 0;
    int nClock = 0;
    int nZone = 0;
    int nOffsetMinutes = 0;
    int nTempUnit = 0;
    bool bUnitInCells = false;
    int nEncoding = 0;

    bool operator==(const CImportChoices&) const = default;
};

// The choices showing layout, with a role for each of nColumns columns.
CImportChoices ChoicesFromLayout(const CLayout& layout, std::size_t nColumns);
// The layout the choices make; its name and header are base's.
CLayout LayoutFromChoices(const CImportChoices& choices, const CLayout& base);

// Gives column nColumn role nRole. A channel, a date or a time is read from one column only:
// another column that had it is no longer read, and a date-and-time column replaces the date
// and time columns, as either of those replaces it.
void ChooseRole(CImportChoices& choices, std::size_t nColumn, int nRole);

// Whether the layout finds a time in each record: a date-and-time column, or both a date and
// a time column.
bool HasTimeColumns(const CLayout& layout);

// How many columns the preview's header and first lines have, the widest of them.
std::size_t ColumnCount(const CLayoutPreview& preview);

// A preview record's row: its line, its local time as "%Y-%m-%d %H:%M:%S", and the four
// channels with two decimals, blank for a channel the layout has no column for.
QStringList PreviewRowTexts(const CLayoutPreview::CRecord& record, const CLayout& layout);
