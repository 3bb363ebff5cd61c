#include "view/stepstext.h"

#include "res/resource.h"
#include "res/resources.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"
#include "view/statisticstext.h"

#include <QRegularExpression>

#include <cmath>

namespace {

const QString kNone = QStringLiteral("-");

QString Section()
{
    return QString::fromLatin1(settings::kSectionSteps);
}

std::int64_t ReadStored(const char* szEntry, std::int64_t nDefault, std::int64_t nMin,
                        std::int64_t nMax)
{
    const int n =
        ReadSettingInt(Section(), QString::fromLatin1(szEntry), static_cast<int>(nDefault));
    // A value edited by hand out of range reads as the default.
    return n >= nMin && n <= nMax ? n : nDefault;
}

QString Figure(std::int64_t nCounted, double dValue)
{
    return nCounted > 0 ? FormatFigure(dValue) : kNone;
}

} // namespace

CStepWords EnglishStepWords()
{
    return {QStringLiteral("dwell"), QStringLiteral("ramp"), QStringLiteral("Temp"),
            QStringLiteral("Humi"),  QStringLiteral("pass"), QStringLiteral("fail"),
            QStringLiteral("never")};
}

CStepWords LocalStepWords()
{
    using namespace res;
    return {LoadString(IDS_STEPS_DWELL), LoadString(IDS_STEPS_RAMP), LoadString(IDS_STAT_TEMP),
            LoadString(IDS_STAT_HUMI),   LoadString(IDS_STEPS_PASS), LoadString(IDS_STEPS_FAIL),
            LoadString(IDS_STEPS_NEVER)};
}

QString FormatDuration(std::int64_t nSeconds)
{
    if (nSeconds < 0)
        return kNone;
    const std::int64_t nMinutes = nSeconds / 60 % 60;
    const std::int64_t nRest = nSeconds % 60;
    return QString::number(nSeconds / 3600) + QLatin1Char(':') +
           QStringLiteral("%1").arg(nMinutes, 2, 10, QLatin1Char('0')) + QLatin1Char(':') +
           QStringLiteral("%1").arg(nRest, 2, 10, QLatin1Char('0'));
}

QString FormatVerdict(EVerdict verdict, const CStepWords& words)
{
    switch (verdict) {
    case EVerdict::Pass:
        return words.strPass;
    case EVerdict::Fail:
        return words.strFail;
    default:
        return kNone;
    }
}

QStringList StepRowCells(const CProgramAnalysis& analysis, std::size_t nStep, int nCurve,
                         std::uint32_t tFirst, const CStepWords& words)
{
    const CJudgedStep& step = analysis.steps[nStep];
    const CStepCurveFigures& f = step.curves[nCurve];
    const std::int64_t nDuration = step.nEnd - step.nBegin;
    const double dRate =
        (static_cast<double>(f.fToSV) - f.fFromSV) / (static_cast<double>(nDuration) / 60.0);
    QString strSettled = kNone;
    if (step.bDwell)
        strSettled = f.nSettledAt < 0 ? words.strNever : FormatDuration(f.nSettledAt - step.nBegin);
    CDeviationFigures within;
    within.nCounted = f.nJudged;
    within.nWithin = f.nWithin;
    const bool bLargest = f.nJudged > 0 && !std::isnan(f.dLargest);
    return {QString::number(nStep + 1),
            step.bDwell ? words.strDwell : words.strRamp,
            nCurve == kStepTemp ? words.strTemp : words.strHumi,
            FormatFigureTime(tFirst, step.nBegin),
            FormatFigureTime(tFirst, step.nEnd - 1),
            FormatDuration(nDuration),
            FormatFigure(f.fFromSV),
            FormatFigure(f.fToSV),
            step.bDwell ? kNone : FormatDeviation(dRate),
            strSettled,
            Figure(f.nCounted, f.fMin),
            Figure(f.nCounted, f.fMax),
            Figure(f.nCounted, f.dMean),
            FormatWithin(within),
            bLargest ? FormatDeviation(f.dLargest) : kNone,
            QString::number(f.nExcursions),
            FormatVerdict(f.verdict, words)};
}

QStringList ExcursionRowCells(const CProgramAnalysis& analysis, std::size_t nExcursion,
                              std::uint32_t tFirst, const CStepWords& words)
{
    const CExcursion& x = analysis.excursions[nExcursion];
    return {QString::number(nExcursion + 1),
            QString::number(x.nStep + 1),
            x.nCurve == kStepTemp ? words.strTemp : words.strHumi,
            FormatFigureTime(tFirst, x.nBegin),
            FormatFigureTime(tFirst, x.nEnd - 1),
            FormatDuration(x.nEnd - x.nBegin),
            std::isnan(x.dPeak) ? kNone : FormatDeviation(x.dPeak)};
}

bool ForEachStepReportLine(const CProgramAnalysis& analysis, std::uint32_t tFirst,
                           const std::function<bool(const QString&)>& fnLine)
{
    const QChar tab(QLatin1Char('\t'));
    const CStepWords words = EnglishStepWords();
    if (!fnLine(QStringLiteral("step\tkind\tcurve\tstart\tend\tduration\tfrom\tto\t"
                               "rate/min\tsettled after\tminimum\tmaximum\tmean\twithin\t"
                               "largest deviation\texcursions\tverdict")))
        return false;
    for (std::size_t s = 0; s < analysis.steps.size(); ++s)
        for (const int nCurve : {kStepTemp, kStepHumi})
            if (analysis.steps[s].curves[nCurve].bJudged &&
                !fnLine(StepRowCells(analysis, s, nCurve, tFirst, words).join(tab)))
                return false;
    if (!fnLine(QString()) ||
        !fnLine(QStringLiteral("excursion\tstep\tcurve\tstart\tend\tduration\tpeak")))
        return false;
    for (std::size_t e = 0; e < analysis.excursions.size(); ++e)
        if (!fnLine(ExcursionRowCells(analysis, e, tFirst, words).join(tab)))
            return false;
    if (!fnLine(QString()))
        return false;
    if (analysis.verdict == EVerdict::None)
        return fnLine(QStringLiteral("verdict\t-"));
    return fnLine(QStringLiteral("verdict\t") + FormatVerdict(analysis.verdict, words) + tab +
                  QString::number(analysis.nDwellsPassed) + QStringLiteral(" of ") +
                  QString::number(analysis.nDwells) + QStringLiteral(" dwells passed"));
}

QStringList StepReportLines(const CProgramAnalysis& analysis, std::uint32_t tFirst)
{
    QStringList lines;
    ForEachStepReportLine(analysis, tFirst, [&lines](const QString& strLine) {
        lines << strLine;
        return true;
    });
    return lines;
}

CStepOptions ReadStoredStepOptions()
{
    CStepOptions options;
    options.nMinDwell = 60 * ReadStored(settings::kEntryMinDwell, options.nMinDwell / 60,
                                        kMinDwellMinutesMin, kMinDwellMinutesMax);
    options.nSettleWindow = 60 * ReadStored(settings::kEntrySettleWindow,
                                            options.nSettleWindow / 60, 0, kSettleWindowMinutesMax);
    options.nExcursionDelay = ReadStored(settings::kEntryExcursionDelay, options.nExcursionDelay, 0,
                                         kExcursionDelaySecondsMax);
    options.tolerances = ReadStoredTolerances();
    return options;
}

void StoreStepOptions(const CStepOptions& options)
{
    WriteSettingInt(Section(), QString::fromLatin1(settings::kEntryMinDwell),
                    static_cast<int>(options.nMinDwell / 60));
    WriteSettingInt(Section(), QString::fromLatin1(settings::kEntrySettleWindow),
                    static_cast<int>(options.nSettleWindow / 60));
    WriteSettingInt(Section(), QString::fromLatin1(settings::kEntryExcursionDelay),
                    static_cast<int>(options.nExcursionDelay));
}

bool ReadStoredMarkSteps()
{
    return ReadSettingInt(Section(), QString::fromLatin1(settings::kEntryMarkSteps), 0) == 1;
}

void StoreMarkSteps(bool bOn)
{
    WriteSettingInt(Section(), QString::fromLatin1(settings::kEntryMarkSteps), bOn ? 1 : 0);
}

std::optional<std::int64_t> ParseStepNumber(const QString& strText, std::int64_t nMin,
                                            std::int64_t nMax)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString strDigits = strText.trimmed();
    if (!digits.match(strDigits).hasMatch())
        return std::nullopt;
    const std::int64_t n = strDigits.toLongLong();
    if (n < nMin || n > nMax)
        return std::nullopt;
    return n;
}
