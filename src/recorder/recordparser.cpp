#include "recorder/recordparser.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <locale.h>

namespace {

// A cursor over the line that reads a NUL byte or the end as end of input, as sscanf does.
class CLineInput
{
public:
    CLineInput(const char* p, const char* end) : m_p(p), m_end(end) {}

    int Peek() const { return m_p < m_end ? static_cast<unsigned char>(*m_p) : 0; }
    bool AtEnd() const { return Peek() == 0; }
    void Advance() { ++m_p; }
    const char* Pos() const { return m_p; }

    // The C locale's isspace: blank, tab, line feed, vertical tab, form feed, carriage return.
    void SkipBlanks()
    {
        for (int c = Peek(); c == ' ' || (c >= '\t' && c <= '\r'); c = Peek())
            Advance();
    }

    bool Match(char c)
    {
        if (Peek() != static_cast<unsigned char>(c))
            return false;
        Advance();
        return true;
    }

private:
    const char* m_p;
    const char* m_end;
};

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}
bool IsHexDigit(int c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int ToLower(int c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// "%d": glibc stores (int) strtol(token); strtol clamps to its 64-bit long, and the cast
// keeps the low 32 bits. Done in 64 bits everywhere so every platform reads a file alike.
bool ScanInt(CLineInput& in, int& nOut)
{
    in.SkipBlanks();
    bool bNegative = false;
    if (in.Peek() == '-' || in.Peek() == '+') {
        bNegative = in.Peek() == '-';
        in.Advance();
    }
    if (!IsDigit(in.Peek()))
        return false;
    constexpr std::uint64_t kMaxMagnitude = static_cast<std::uint64_t>(INT64_MAX) + 1;
    std::uint64_t nMagnitude = 0;
    while (IsDigit(in.Peek())) {
        // Saturates once beyond every 64-bit value, without wrapping.
        if (nMagnitude > (UINT64_MAX - 9) / 10)
            nMagnitude = UINT64_MAX;
        else
            nMagnitude = nMagnitude * 10 + static_cast<unsigned>(in.Peek() - '0');
        in.Advance();
    }
    std::int64_t nValue;
    if (bNegative)
        nValue = nMagnitude >= kMaxMagnitude ? INT64_MIN : -static_cast<std::int64_t>(nMagnitude);
    else
        nValue = nMagnitude > static_cast<std::uint64_t>(INT64_MAX)
                     ? INT64_MAX
                     : static_cast<std::int64_t>(nMagnitude);
    nOut = static_cast<int>(static_cast<std::uint32_t>(nValue));
    return true;
}

float StrToFloatC(const std::string& token, bool& bConsumed)
{
#if defined(_MSC_VER)
    static _locale_t cLocale = _create_locale(LC_NUMERIC, "C");
    char* pEnd = nullptr;
    const float f = _strtof_l(token.c_str(), &pEnd, cLocale);
#elif defined(_WIN32)
    // mingw-w64 has no _strtof_l, and its strtof reads the locale's decimal point: convert
    // under the C locale for this thread alone, then put the thread's locale back.
    const int nMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* szLocale = std::setlocale(LC_NUMERIC, nullptr);
    const std::string strLocale = szLocale ? szLocale : "C";
    std::setlocale(LC_NUMERIC, "C");
    char* pEnd = nullptr;
    const float f = std::strtof(token.c_str(), &pEnd);
    std::setlocale(LC_NUMERIC, strLocale.c_str());
    _configthreadlocale(nMode);
#else
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    char* pEnd = nullptr;
    const float f = strtof_l(token.c_str(), &pEnd, cLocale);
#endif
    bConsumed = pEnd != token.c_str();
    return f;
}

// Converts the characters that "%f" took, as glibc hands them to strtof.
bool ConvertFloat(const char* pBegin, const char* pEnd, bool bPlainDecimal, float& fOut)
{
    if (bPlainDecimal) {
        const char* p = pBegin;
        if (*p == '+')
            ++p;
        float f = 0.0f;
        const auto [ptr, ec] = std::from_chars(p, pEnd, f, std::chars_format::general);
        if (ec == std::errc() && ptr != p) {
            fOut = f;
            return true;
        }
        // Overflow and underflow fall through: from_chars leaves the value unchanged there,
        // strtof gives infinity or the rounded tiny value.
    }
    bool bConsumed = false;
    const float f = StrToFloatC(std::string(pBegin, pEnd), bConsumed);
    if (!bConsumed)
        return false;
    fOut = f;
    return true;
}

// "%f" as glibc scans it: sign, "nan", "inf"/"infinity", hexadecimal with "0x", decimal with
// one point and an exponent whose digits may be missing ("1e" reads as 1).
bool ScanFloat(CLineInput& in, float& fOut)
{
    in.SkipBlanks();
    const char* pBegin = in.Pos();
    bool bSign = false;
    if (in.Peek() == '-' || in.Peek() == '+') {
        bSign = true;
        in.Advance();
        if (in.AtEnd())
            return false;
    }

    const int c0 = ToLower(in.Peek());
    if (c0 == 'n') {
        in.Advance();
        if (!in.Match('a') && !in.Match('A'))
            return false;
        if (!in.Match('n') && !in.Match('N'))
            return false;
        return ConvertFloat(pBegin, in.Pos(), false, fOut);
    }
    if (c0 == 'i') {
        in.Advance();
        if (!in.Match('n') && !in.Match('N'))
            return false;
        if (!in.Match('f') && !in.Match('F'))
            return false;
        if (ToLower(in.Peek()) == 'i') {
            // Once "infi" is seen, the whole of "infinity" must follow.
            in.Advance();
            for (const char* pRest = "nity"; *pRest; ++pRest) {
                if (ToLower(in.Peek()) != *pRest)
                    return false;
                in.Advance();
            }
        }
        return ConvertFloat(pBegin, in.Pos(), false, fOut);
    }

    bool bHex = false;
    bool bDigit = false;
    bool bDot = false;
    bool bExponent = false;
    int cExponent = 'e';
    if (in.Peek() == '0') {
        in.Advance();
        if (ToLower(in.Peek()) == 'x') {
            in.Advance();
            bHex = true;
            cExponent = 'p';
        } else {
            bDigit = true;
        }
    }

    int cPrevious = 0; // the last character taken, to place an exponent's sign
    for (;;) {
        const int c = in.Peek();
        if (c == 0)
            break;
        if (IsDigit(c) || (!bExponent && bHex && IsHexDigit(c))) {
            bDigit = true;
        } else if (bExponent && ToLower(cPrevious) == cExponent && (c == '-' || c == '+')) {
        } else if (bDigit && !bExponent && ToLower(c) == cExponent) {
            bExponent = true;
            bDot = true;
        } else if (!bDot && c == '.') {
            bDot = true;
        } else {
            break;
        }
        cPrevious = c;
        in.Advance();
    }

    const auto nTaken = in.Pos() - pBegin;
    if (nTaken == (bSign ? 1 : 0) || (bHex && nTaken == 2 + (bSign ? 1 : 0)))
        return false;
    return ConvertFloat(pBegin, in.Pos(), !bHex, fOut);
}

// Most lines a recorder writes are plain: numbers without blanks, plus signs, exponents or
// long digit runs, each followed by its separator. Such a line is read here in one pass; any
// other line returns false and takes the general way above, which gives the same fields.
class CPlainLine
{
public:
    CPlainLine(const char* p, const char* end) : m_p(p), m_end(end) {}

    bool Read(CRecordFields& f)
    {
        if (!Int(f.nYear) || !Separator('/') || !Int(f.nMonth) || !Separator('/') || !Int(f.nDay) ||
            !Separator(',') || !Int(f.nHour) || !Separator(':') || !Int(f.nMinute) ||
            !Separator(':'))
            return false;
        m_pSecond = m_p;
        return ReadFromSecond(f);
    }

    // The rest of the line from the second on, the fields before it already read.
    bool ReadFromSecond(CRecordFields& f)
    {
        if (!Int(f.nSecond))
            return false;
        float* const values[4] = {&f.fTempPV, &f.fTempSV, &f.fHumiPV, &f.fHumiSV};
        for (float* pValue : values) {
            if (AtEnd())
                return true; // the fields that follow keep their defaults
            if (!Separator(',') || !Float(*pValue))
                return false;
        }
        // Text after the tenth field is ignored; Float has made sure it does not continue
        // the number.
        return true;
    }

    // Where Read found the second.
    const char* Second() const { return m_pSecond; }

private:
    bool AtEnd() const { return m_p == m_end || *m_p == '\0'; }

    bool Separator(char c)
    {
        if (AtEnd() || *m_p != c)
            return false;
        ++m_p;
        return true;
    }

    bool Negative()
    {
        if (m_p < m_end && *m_p == '-') {
            ++m_p;
            return true;
        }
        return false;
    }

    int Digits(std::uint32_t& n, int nMax)
    {
        const char* const pStart = m_p;
        const char* const pLimit = m_end - m_p > nMax ? m_p + nMax : m_end;
        for (; m_p < pLimit; ++m_p) {
            const unsigned d = static_cast<unsigned char>(*m_p) - unsigned('0');
            if (d > 9)
                break;
            n = n * 10 + d;
        }
        return static_cast<int>(m_p - pStart);
    }

    bool Int(int& nOut)
    {
        const bool bNegative = Negative();
        std::uint32_t n = 0;
        const int nCount = Digits(n, 9);
        if (nCount == 0 || (m_p < m_end && IsDigit(*m_p)))
            return false;
        nOut = bNegative ? -static_cast<int>(n) : static_cast<int>(n);
        return true;
    }

    // Up to seven digits in all: the value is then below 2^24 and 10^k exact in single
    // precision, so one division rounds exactly as strtof does.
    bool Float(float& fOut)
    {
        static constexpr float kPow10[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
        const bool bNegative = Negative();
        std::uint32_t m = 0;
        int nDigits = Digits(m, 7);
        int nDecimals = 0;
        if (m_p < m_end && *m_p == '.') {
            ++m_p;
            nDecimals = Digits(m, 7 - nDigits);
            nDigits += nDecimals;
        }
        if (nDigits == 0 || (m_p < m_end && (IsDigit(*m_p) || *m_p == '.' || *m_p == 'e' ||
                                             *m_p == 'E' || *m_p == 'x' || *m_p == 'X')))
            return false;
        const float f = static_cast<float>(m) / kPow10[nDecimals];
        fOut = bNegative ? -f : f;
        return true;
    }

    const char* m_p;
    const char* m_end;
    const char* m_pSecond = nullptr;
};

// The rest of a line from its second on as a recorder mostly writes it,
// "ss,dd.dd,dd.dd,dd.dd,dd.dd", read as CPlainLine reads it: a value of four digits over
// a hundred divides exactly once, as strtof rounds. Checked eight characters at a time:
// XORed with the pattern, a digit leaves 0 to 9 and a separator 0.
bool ReadCommonRest(const char* p, std::size_t nLength, CRecordFields& f)
{
    static constexpr char kPattern[32] = "00,00.00,00.00,00.00,00.00";
    static constexpr char kSeparators[32] =
        "\0\0\xff\0\0\xff\0\0\xff\0\0\xff\0\0\xff\0\0\xff\0\0\xff\0\0\xff";
    constexpr std::size_t kLength = 26;
    if (nLength != kLength)
        return false;
    std::uint64_t nBad = 0;
    // Eight characters at 0, 8, 16 and 18: the last two words overlap, so that nothing is
    // read past the line.
    for (const std::size_t i : {0, 8, 16, 18}) {
        std::uint64_t x = 0;
        std::uint64_t nPattern = 0;
        std::uint64_t nSeparators = 0;
        std::memcpy(&x, p + i, 8);
        std::memcpy(&nPattern, kPattern + i, 8);
        std::memcpy(&nSeparators, kSeparators + i, 8);
        x ^= nPattern;
        // A byte above 9 sets its top bit once 0x76 is added (bytes below 0x80 never carry).
        nBad |= ((x | (x + 0x7676767676767676u)) & 0x8080808080808080u) | (x & nSeparators);
    }
    if (nBad != 0)
        return false;
    const auto digit = [p](int i) { return p[i] - '0'; };
    f.nSecond = digit(0) * 10 + digit(1);
    float* const values[4] = {&f.fTempPV, &f.fTempSV, &f.fHumiPV, &f.fHumiSV};
    for (int i = 0; i < 4; ++i) {
        const int q = 3 + 6 * i;
        const int m = digit(q) * 1000 + digit(q + 1) * 100 + digit(q + 3) * 10 + digit(q + 4);
        *values[i] = static_cast<float>(m) / 100.0f;
    }
    return true;
}

void ApplyYearRule(CRecordFields& fields)
{
    // Unsigned test: a negative year stays as it is and fails the range check later.
    if (static_cast<unsigned>(fields.nYear) < 100u)
        fields.nYear += 2000;
}

} // namespace

CRecordFields ScanRecordLine(std::string_view line)
{
    CRecordFields fields;
    if (CPlainLine(line.data(), line.data() + line.size()).Read(fields))
        return fields;
    fields = CRecordFields();
    CLineInput in(line.data(), line.data() + line.size());
    // Each step either converts its field or ends the scan; the fields after it keep
    // their defaults.
    ScanInt(in, fields.nYear) && in.Match('/') && ScanInt(in, fields.nMonth) && in.Match('/') &&
        ScanInt(in, fields.nDay) && in.Match(',') && ScanInt(in, fields.nHour) && in.Match(':') &&
        ScanInt(in, fields.nMinute) && in.Match(':') && ScanInt(in, fields.nSecond) &&
        in.Match(',') && ScanFloat(in, fields.fTempPV) && in.Match(',') &&
        ScanFloat(in, fields.fTempSV) && in.Match(',') && ScanFloat(in, fields.fHumiPV) &&
        in.Match(',') && ScanFloat(in, fields.fHumiSV);
    return fields;
}

int CountRecordFields(std::string_view line)
{
    CLineInput in(line.data(), line.data() + line.size());
    CRecordFields f;
    // The scan of ScanRecordLine's general way, which converts the same fields as its plain
    // way; each separator must match before the next field is tried.
    int n = 0;
    const auto step = [&](bool bConverted) { return bConverted && ++n > 0; };
    step(ScanInt(in, f.nYear)) && in.Match('/') && step(ScanInt(in, f.nMonth)) && in.Match('/') &&
        step(ScanInt(in, f.nDay)) && in.Match(',') && step(ScanInt(in, f.nHour)) && in.Match(':') &&
        step(ScanInt(in, f.nMinute)) && in.Match(':') && step(ScanInt(in, f.nSecond)) &&
        in.Match(',') && step(ScanFloat(in, f.fTempPV)) && in.Match(',') &&
        step(ScanFloat(in, f.fTempSV)) && in.Match(',') && step(ScanFloat(in, f.fHumiPV)) &&
        in.Match(',') && step(ScanFloat(in, f.fHumiSV));
    return n;
}

CRecordFields ParseRecordLine(std::string_view line)
{
    CRecordFields fields = ScanRecordLine(line);
    ApplyYearRule(fields);
    return fields;
}

CRecordFields CRecordLineParser::Parse(std::string_view line)
{
    const char* const pEnd = line.data() + line.size();
    CRecordFields fields; // the one result, built where it is returned
    // The same bytes up to the second read the same way, and leave the scan in the same
    // place: only the rest needs reading.
    if (m_nPrefix > 0 && line.size() > m_nPrefix &&
        std::memcmp(line.data(), m_achPrefix, m_nPrefix) == 0) {
        fields = m_prefix;
        if (ReadCommonRest(line.data() + m_nPrefix, line.size() - m_nPrefix, fields) ||
            CPlainLine(line.data() + m_nPrefix, pEnd).ReadFromSecond(fields))
            return fields;
        fields = CRecordFields();
    }
    CPlainLine plain(line.data(), pEnd);
    if (!plain.Read(fields)) {
        m_nPrefix = 0;
        fields = ParseRecordLine(line);
        return fields;
    }
    ApplyYearRule(fields);
    m_nPrefix = static_cast<std::size_t>(plain.Second() - line.data());
    if (m_nPrefix > sizeof m_achPrefix) {
        m_nPrefix = 0;
    } else {
        std::memcpy(m_achPrefix, line.data(), m_nPrefix);
        m_prefix = CRecordFields();
        m_prefix.nYear = fields.nYear;
        m_prefix.nMonth = fields.nMonth;
        m_prefix.nDay = fields.nDay;
        m_prefix.nHour = fields.nHour;
        m_prefix.nMinute = fields.nMinute;
    }
    return fields;
}
