#include "view/uniformitytext.h"

#include "view/statisticstext.h"

#include <QRegularExpression>

namespace {

const QString kNone = QStringLiteral("-");
const char* const kQuantityNames[2] = {"Temp", "Humi"};
const char* const kPVNames[2] = {"Temp PV", "Humi PV"};
const char* const kSVNames[2] = {"Temp SV", "Humi SV"};

// A second of the common line as the statistics print a sample's time.
QString CommonTime(const CUniformity& u, std::int64_t t)
{
    return t < 0 ? kNone : FormatFigureTime(static_cast<std::uint32_t>(u.tBegin), t - u.tBegin);
}

QString Line(int q, const QString& strName, const char* szFigure, const QString& strValue,
             const QString& strAt = QString())
{
    QStringList cells = {QString::fromLatin1(kQuantityNames[q]), strName,
                         QString::fromLatin1(szFigure), strValue};
    if (!strAt.isEmpty())
        cells << strAt;
    return cells.join(QLatin1Char('\t'));
}

void MemberLines(const CUniformity& u, int q, const CMemberUniformity& m, const QString& strName,
                 QStringList& lines)
{
    if (!m.bIncluded) {
        lines << Line(q, strName, "left out", kNone,
                      QStringLiteral("the file has no ") + QString::fromLatin1(kPVNames[q]));
        return;
    }
    if (m.nCounted == 0) {
        lines << Line(q, strName, "left out", kNone,
                      QStringLiteral("no value in the seconds judged"));
        return;
    }
    lines << Line(q, strName, "mean", FormatFigure(m.dMean))
          << Line(q, strName, "minimum", FormatFigure(m.fMin), CommonTime(u, m.tMinAt))
          << Line(q, strName, "maximum", FormatFigure(m.fMax), CommonTime(u, m.tMaxAt))
          << Line(q, strName, "fluctuation",
                  QStringLiteral("\u00B1") + FormatFigure(m.dFluctuation));
    lines << (m.bDeviation
                  ? Line(q, strName, "deviation from SV", FormatDeviation(m.dDeviation))
                  : Line(q, strName, "deviation from SV", kNone, QStringLiteral("no set value")));
}

void QuantityLines(const CUniformity& u, int q, const QStringList& names, QStringList& lines)
{
    const CQuantityUniformity& quantity = u.quantities[q];
    for (std::size_t i = 0; i < quantity.members.size(); ++i)
        MemberLines(u, q, quantity.members[i],
                    i < static_cast<std::size_t>(names.size()) ? names[static_cast<qsizetype>(i)]
                                                               : QString(),
                    lines);
    const QString strAll = QStringLiteral("all");
    switch (quantity.eSetValue) {
    case ESetValueSource::Typed:
        lines << Line(q, strAll, "set value", FormatFigure(quantity.dSetValue),
                      QStringLiteral("typed"));
        break;
    case ESetValueSource::Recording: {
        const qsizetype n = static_cast<qsizetype>(quantity.nSetMember);
        lines << Line(q, strAll, "set value", FormatFigure(quantity.dSetValue),
                      QStringLiteral("mean ") + QString::fromLatin1(kSVNames[q]) +
                          QStringLiteral(" of ") + (n < names.size() ? names[n] : QString()));
        break;
    }
    case ESetValueSource::None:
        lines << Line(q, strAll, "set value", kNone, QStringLiteral("no set value"));
        break;
    }
    if (!quantity.bUniformity) {
        lines << Line(q, strAll, "uniformity", kNone,
                      QStringLiteral("fewer than two recordings have ") +
                          QString::fromLatin1(kPVNames[q]) +
                          QStringLiteral(": no uniformity or gradient"));
        return;
    }
    if (quantity.nSpreadSeconds == 0) {
        lines << Line(q, strAll, "uniformity", kNone,
                      QStringLiteral("no second where every recording has a value"));
    } else {
        lines << Line(q, strAll, "uniformity, largest", FormatFigure(quantity.dSpreadMax),
                      CommonTime(u, quantity.tSpreadMaxAt))
              << Line(q, strAll, "uniformity, mean", FormatFigure(quantity.dSpreadMean));
    }
    lines << Line(q, strAll, "gradient", FormatFigure(quantity.dGradient));
}

} // namespace

QStringList UniformityMemberNames(const CRecordingSet& set)
{
    QStringList names;
    for (std::size_t i = 0; i < set.GetCount(); ++i) {
        const QString strName = QString::fromStdString(set.Recording(i).GetSourceName());
        names << (strName.isEmpty() ? QStringLiteral("recording ") + QString::number(i + 1)
                                    : strName);
    }
    return names;
}

QStringList UniformityReportLines(const CUniformity& uniformity, const QStringList& names)
{
    QStringList lines = {QStringLiteral("quantity\trecording\tfigure\tvalue\tat")};
    for (const int q : {kUniformityTemp, kUniformityHumi})
        QuantityLines(uniformity, q, names, lines);
    return lines;
}

QString UniformityJudgedLine(const CUniformity& uniformity)
{
    if (uniformity.tEnd <= uniformity.tBegin)
        return QStringLiteral("judged: no second that every recording covers");
    return QStringLiteral("judged: ") + CommonTime(uniformity, uniformity.tBegin) +
           QStringLiteral(" \u2013 ") + CommonTime(uniformity, uniformity.tEnd - 1);
}

std::optional<double> ParseSetValue(const QString& strText)
{
    static const QRegularExpression number(
        QStringLiteral("^([+-]?)([0-9]{1,4})(?:\\.([0-9]{0,2}))?$"));
    const QRegularExpressionMatch m = number.match(strText.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QString strDecimals = m.captured(3);
    while (strDecimals.size() < 2)
        strDecimals += QLatin1Char('0');
    // In hundredths first: the value is exactly what the text says, to the float's precision.
    const int nHundredths = m.captured(2).toInt() * 100 + strDecimals.toInt();
    return (m.captured(1) == QLatin1String("-") ? -nHundredths : nHundredths) / 100.0;
}
