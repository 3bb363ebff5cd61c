// The texts of a chamber's uniformity, as the command line prints them and the uniformity
// window shows and copies them: tab-separated lines, two decimals with '.', times as the
// statistics print them, each recording named by its file name.
#pragma once

#include "analysis/uniformity.h"

#include <QString>
#include <QStringList>

#include <optional>

// The members' names: their files' names, "recording N" (1-based) for one read from memory.
QStringList UniformityMemberNames(const CRecordingSet& set);

// A heading "quantity, recording, figure, value, at", then for temperature and humidity a
// line per figure per recording (mean, minimum and its second, maximum and its second,
// fluctuation, deviation from the set value), the set value, and the uniformity's largest
// spread with its second, its mean and the gradient. A recording without the channel has one
// line saying it is left out; with fewer than two that have it, one line says there is no
// uniformity.
QStringList UniformityReportLines(const CUniformity& uniformity, const QStringList& names);

// "judged: 2026-03-01 00:10:00 – 2026-03-01 00:19:59", the common seconds judged, or that
// there is none.
QString UniformityJudgedLine(const CUniformity& uniformity);

// A set value typed by the user: an optional sign, up to four digits and at most two
// decimals after a '.' ("25", "-40.5", "+85.00"); nothing for anything else.
std::optional<double> ParseSetValue(const QString& strText);
