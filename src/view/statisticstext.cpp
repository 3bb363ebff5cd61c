#include "view/statisticstext.h"

#include "recording/recording.h"
#include "res/resource.h"
#include "res/resources.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"
#include "view/paging.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>

namespace {

const QString kNone = QStringLiteral("-");

QString Fixed2(double dValue)
{
    char sz[64];
    const auto [p, ec] = std::to_chars(sz, sz + sizeof sz, dValue, std::chars_format::fixed, 2);
    if (ec != std::errc())
        return kNone;
    return QString::fromLatin1(sz, p - sz);
}

int ReadTolerance(const char* szEntry, int nDefault)
{
    const int n = ReadSettingInt(QString::fromLatin1(settings::kSectionStatistics),
                                 QString::fromLatin1(szEntry), nDefault);
    // A value edited by hand out of range reads as the default.
    return n >= 0 && n <= kMaxTolerance ? n : nDefault;
}

QStringList CurveLine(const char* szName, const CCurveFigures& f, std::uint32_t tFirst)
{
    if (f.nCounted == 0)
        return {QString::fromLatin1(szName), kNone, kNone, kNone, kNone, kNone};
    return {QString::fromLatin1(szName),        FormatFigure(f.fMin),
            FormatFigureTime(tFirst, f.nMinAt), FormatFigure(f.fMax),
            FormatFigureTime(tFirst, f.nMaxAt), FormatFigure(f.dMean)};
}

QStringList DeviationLine(const char* szName, const CDeviationFigures& f, int nTolerance,
                          std::uint32_t tFirst)
{
    const bool bHave = f.nCounted > 0;
    return {QString::fromLatin1(szName),
            QStringLiteral("within \u00B1") + FormatTolerance(nTolerance) +
                QStringLiteral(" of SV"),
            FormatWithin(f),
            QStringLiteral("largest deviation"),
            bHave ? FormatDeviation(f.dLargest) : kNone,
            bHave ? FormatFigureTime(tFirst, f.nLargestAt) : kNone};
}

} // namespace

QString FormatFigure(double dValue)
{
    return Fixed2(dValue);
}

QString FormatDeviation(double dValue)
{
    // A deviation that rounds to nothing reads +0.00, whichever side of zero it lies.
    const QString str = Fixed2(dValue);
    if (str == QLatin1String("-0.00"))
        return QStringLiteral("+0.00");
    return str.startsWith(QLatin1Char('-')) ? str : QLatin1Char('+') + str;
}

QString FormatFigureTime(std::uint32_t tFirst, std::int64_t nIndex)
{
    if (nIndex < 0)
        return kNone;
    const QString str = FormatRecordTime(tFirst, nIndex, "%Y-%m-%d %H:%M:%S");
    return str.isEmpty() ? kNone : str;
}

QStringList JoinReportLines(const CRecording& recording)
{
    if (!recording.IsJoined())
        return {};
    const auto timeOf = [](std::int64_t t) {
        return FormatFigureTime(static_cast<std::uint32_t>(t), 0);
    };
    const auto nameOf = [&](std::size_t nFile) {
        return QString::fromStdString(recording.SourceName(nFile));
    };
    QStringList lines;
    const std::vector<CRecordingSource>& sources = recording.GetSources();
    for (std::size_t i = 0; i < sources.size(); ++i)
        lines.append(QStringLiteral("file\t") + nameOf(i) + u'\t' + timeOf(sources[i].tFirst) +
                     u'\t' + timeOf(sources[i].tLast));
    for (const CJoinBorder& border : recording.GetBorders())
        lines.append((border.eKind == CJoinBorder::EKind::Gap ? QStringLiteral("gap\t")
                                                              : QStringLiteral("overlap\t")) +
                     timeOf(border.tFirst) + u'\t' + timeOf(border.tLast) + u'\t' +
                     nameOf(border.nFile));
    return lines;
}

QString FormatTolerance(int nHundredths)
{
    return Fixed2(nHundredths / 100.0);
}

QString FormatWithin(const CDeviationFigures& figures)
{
    if (figures.nCounted == 0)
        return kNone;
    return Fixed2(figures.WithinPercent()) + QLatin1Char('%');
}

std::optional<int> ParseTolerance(const QString& strText)
{
    static const QRegularExpression number(QStringLiteral("^([0-9]{1,3})(?:\\.([0-9]{0,2}))?$"));
    const QRegularExpressionMatch m = number.match(strText.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QString strDecimals = m.captured(2);
    while (strDecimals.size() < 2)
        strDecimals += QLatin1Char('0');
    return m.captured(1).toInt() * 100 + strDecimals.toInt();
}

CTolerances ReadStoredTolerances()
{
    const CTolerances defaults;
    return {ReadTolerance(settings::kEntryToleranceTemp, defaults.nTemp),
            ReadTolerance(settings::kEntryToleranceHumi, defaults.nHumi)};
}

void StoreTolerances(const CTolerances& tolerances)
{
    const QString strSection = QString::fromLatin1(settings::kSectionStatistics);
    WriteSettingInt(strSection, QString::fromLatin1(settings::kEntryToleranceTemp),
                    tolerances.nTemp);
    WriteSettingInt(strSection, QString::fromLatin1(settings::kEntryToleranceHumi),
                    tolerances.nHumi);
}

CStatisticsRows StatisticsRowsOf(const CRecording* pRecording)
{
    if (!pRecording)
        return {};
    // Without a Humi PV the file has no humidity at all: its humidity rows stay, as dashes.
    return {pRecording->HasChannel(EChannel::TempSV),
            pRecording->HasChannel(EChannel::HumiSV) || !pRecording->HasChannel(EChannel::HumiPV)};
}

QStringList StatisticsReportLines(const CRunStatistics& stats, std::uint32_t tFirst,
                                  const CTolerances& tolerances, const CStatisticsRows& rows)
{
    const QChar tab(QLatin1Char('\t'));
    QStringList lines = {QStringLiteral("curve\tminimum\tat\tmaximum\tat\tmean"),
                         CurveLine("Temp PV", stats.tempPV, tFirst).join(tab)};
    if (rows.bTempSV)
        lines << CurveLine("Temp SV", stats.tempSV, tFirst).join(tab);
    lines << CurveLine("Humi PV", stats.humiPV, tFirst).join(tab);
    if (rows.bHumiSV)
        lines << CurveLine("Humi SV", stats.humiSV, tFirst).join(tab);
    if (rows.bTempSV)
        lines << DeviationLine("Temp", stats.temp, tolerances.nTemp, tFirst).join(tab);
    if (rows.bHumiSV)
        lines << DeviationLine("Humi", stats.humi, tolerances.nHumi, tFirst).join(tab);
    return lines;
}

namespace {

bool IsWhole(std::int64_t nBegin, std::int64_t nEnd, std::int64_t nCount)
{
    return nBegin <= 0 && nEnd >= nCount;
}

QString Stretch(std::uint32_t tFirst, std::int64_t nBegin, std::int64_t nEnd)
{
    return FormatFigureTime(tFirst, nBegin) + QStringLiteral(" \u2013 ") +
           FormatFigureTime(tFirst, nEnd - 1);
}

} // namespace

QString JudgedStretchLine(std::uint32_t tFirst, std::int64_t nBegin, std::int64_t nEnd,
                          std::int64_t nCount)
{
    if (IsWhole(nBegin, nEnd, nCount))
        return QStringLiteral("judged: the whole recording");
    return QStringLiteral("judged: ") + Stretch(tFirst, nBegin, nEnd);
}

QString LocalJudgedStretchLine(std::uint32_t tFirst, std::int64_t nBegin, std::int64_t nEnd,
                               std::int64_t nCount)
{
    if (IsWhole(nBegin, nEnd, nCount))
        return res::LoadString(res::IDS_REPORT_JUDGED_WHOLE);
    return res::LoadString(res::IDS_REPORT_JUDGED).arg(Stretch(tFirst, nBegin, nEnd));
}
