#include "settings/dlgdata.h"

#include "res/resource.h"
#include "res/resources.h"

#include <QLineEdit>
#include <QMessageBox>

#include <cstdint>

namespace {

// The boxes are read as far as a fixed buffer of 64 characters holds.
constexpr int kReadLength = 63;

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

std::optional<std::int64_t> ParseLeading(const QString& strText, bool bSigned)
{
    const QString s = strText.left(kReadLength);
    qsizetype i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    bool bNegative = false;
    if (bSigned && i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        bNegative = s[i] == QLatin1Char('-');
        ++i;
    }
    std::int64_t n = 0;
    const qsizetype nStart = i;
    for (; i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9'); ++i)
        n = std::min<std::int64_t>(n * 10 + (s[i].unicode() - '0'), INT64_C(1) << 40);
    if (i == nStart)
        return std::nullopt;
    return bNegative ? -n : n;
}

void Refuse(QWidget* pDialog, QLineEdit* pBox, const QString& strMessage)
{
    QMessageBox::warning(pDialog, res::LoadString(res::IDR_MAINFRAME), strMessage);
    pBox->setFocus();
    pBox->selectAll();
}

QString RangeMessage(qint64 nMin, qint64 nMax)
{
    return res::LoadString(res::IDS_PARSE_INT_RANGE).arg(nMin).arg(nMax);
}

} // namespace

std::optional<int> ParseLeadingInt(const QString& strText)
{
    const std::optional<std::int64_t> n = ParseLeading(strText, true);
    if (!n)
        return std::nullopt;
    return static_cast<int>(std::clamp<std::int64_t>(*n, INT32_MIN, INT32_MAX));
}

std::optional<unsigned> ParseLeadingUInt(const QString& strText)
{
    const std::optional<std::int64_t> n = ParseLeading(strText, false);
    if (!n)
        return std::nullopt;
    return static_cast<unsigned>(std::min<std::int64_t>(*n, UINT32_MAX));
}

namespace {

// Reads one box with its parser; refuses with the parse message or the range message.
template <typename T, typename Parser>
bool Exchange(QWidget* pDialog, QLineEdit* pBox, T& nValue, T nMin, T nMax, Parser parse,
              int nParseMessage)
{
    const std::optional<T> n = parse(pBox->text());
    if (!n) {
        Refuse(pDialog, pBox, res::LoadString(nParseMessage));
        return false;
    }
    if (*n < nMin || *n > nMax) {
        Refuse(pDialog, pBox, RangeMessage(nMin, nMax));
        return false;
    }
    nValue = *n;
    return true;
}

} // namespace

bool ExchangeInt(QWidget* pDialog, QLineEdit* pBox, int& nValue, int nMin, int nMax)
{
    return Exchange(pDialog, pBox, nValue, nMin, nMax, &ParseLeadingInt, res::IDS_PARSE_INT);
}

bool ExchangeUInt(QWidget* pDialog, QLineEdit* pBox, unsigned& nValue, unsigned nMin,
                  unsigned nMax)
{
    return Exchange(pDialog, pBox, nValue, nMin, nMax, &ParseLeadingUInt, res::IDS_PARSE_UINT);
}
