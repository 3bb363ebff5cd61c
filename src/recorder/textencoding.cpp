#include "recorder/textencoding.h"

#include <cstdint>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace {

// The code points of bytes 0x80 to 0xFF. Windows-1252's five unassigned bytes map to the C1
// controls of the same number, as Windows itself maps them.
constexpr std::uint16_t kWindows1252[128] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

// Mac Roman as Apple has defined it since 1998 (0xDB is the euro sign).
constexpr std::uint16_t kMacRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendByTable(std::string_view bytes, const std::uint16_t (&table)[128], std::string& out)
{
    for (const char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else
            AppendCodePoint(table[c - 0x80], out);
    }
}

std::uint16_t Utf16Unit(const char* p, bool bBigEndian)
{
    const unsigned b0 = static_cast<unsigned char>(p[0]);
    const unsigned b1 = static_cast<unsigned char>(p[1]);
    return static_cast<std::uint16_t>(bBigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
}

void AppendUtf16(std::string_view bytes, bool bBigEndian, std::string& out)
{
    out.reserve(out.size() + bytes.size() / 2);
    const std::size_t nUnits = bytes.size() / 2;
    for (std::size_t i = 0; i < nUnits; ++i) {
        const char32_t u = Utf16Unit(bytes.data() + 2 * i, bBigEndian);
        if (u < 0xD800 || u > 0xDFFF) {
            AppendCodePoint(u, out);
            continue;
        }
        const char32_t v = i + 1 < nUnits ? Utf16Unit(bytes.data() + 2 * i + 2, bBigEndian) : 0;
        if (u <= 0xDBFF && v >= 0xDC00 && v <= 0xDFFF) {
            AppendCodePoint(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00), out);
            ++i;
        } else {
            AppendCodePoint(kReplacement, out);
        }
    }
    if (bytes.size() % 2)
        AppendCodePoint(kReplacement, out);
}

#if defined(_WIN32)
void AppendCodePage(std::string_view bytes, unsigned nCodePage, std::string& out)
{
    if (bytes.empty())
        return;
    const int nIn = static_cast<int>(bytes.size());
    const int nWide = MultiByteToWideChar(nCodePage, 0, bytes.data(), nIn, nullptr, 0);
    if (nWide <= 0) {
        AppendCodePoint(kReplacement, out);
        return;
    }
    std::wstring wide(static_cast<std::size_t>(nWide), L'\0');
    MultiByteToWideChar(nCodePage, 0, bytes.data(), nIn, wide.data(), nWide);
    const int nUtf8 =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    const std::size_t nAt = out.size();
    out.resize(nAt + static_cast<std::size_t>(nUtf8));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, out.data() + nAt, nUtf8, nullptr, nullptr);
}
#else
// iconv stops at a byte sequence it cannot convert: it becomes U+FFFD and the conversion
// goes on after its first byte.
void AppendIconv(std::string_view bytes, const char* szFrom, std::string& out)
{
    const iconv_t cd = iconv_open("UTF-8", szFrom);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter on this system: the ASCII stays readable.
        for (const char c : bytes)
            if (static_cast<unsigned char>(c) < 0x80)
                out += c;
            else
                AppendCodePoint(kReplacement, out);
        return;
    }
    char* pIn = const_cast<char*>(bytes.data());
    std::size_t nIn = bytes.size();
    char buffer[4096];
    while (nIn > 0) {
        char* pOut = buffer;
        std::size_t nOut = sizeof buffer;
        const std::size_t n = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        out.append(buffer, static_cast<std::size_t>(pOut - buffer));
        if (n == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ, or EINVAL for a character cut off at the end.
            AppendCodePoint(kReplacement, out);
            ++pIn;
            --nIn;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
}
#endif

} // namespace

void AppendUtf8(std::string_view bytes, EEncoding eEncoding, std::string& out)
{
    switch (eEncoding) {
    case EEncoding::Utf8:
        out.append(bytes);
        return;
    case EEncoding::Utf16LE:
    case EEncoding::Utf16BE:
        AppendUtf16(bytes, eEncoding == EEncoding::Utf16BE, out);
        return;
    case EEncoding::Windows1252:
        AppendByTable(bytes, kWindows1252, out);
        return;
    case EEncoding::MacRoman:
        AppendByTable(bytes, kMacRoman, out);
        return;
    case EEncoding::Gbk:
    case EEncoding::Big5:
#if defined(_WIN32)
        AppendCodePage(bytes, eEncoding == EEncoding::Gbk ? 936 : 950, out);
#else
        AppendIconv(bytes, eEncoding == EEncoding::Gbk ? "GBK" : "BIG5", out);
#endif
        return;
    }
}

std::string DecodeToUtf8(std::string_view bytes, EEncoding eEncoding)
{
    std::size_t nBom = 0;
    const EEncoding eBom = DetectBom(bytes, nBom);
    if (nBom > 0 && eBom == eEncoding)
        bytes.remove_prefix(nBom);
    std::string out;
    AppendUtf8(bytes, eEncoding, out);
    return out;
}

std::size_t CompleteUtf16Length(std::string_view bytes, EEncoding eEncoding)
{
    std::size_t n = bytes.size() & ~std::size_t(1);
    if (n >= 2) {
        const std::uint16_t u = Utf16Unit(bytes.data() + n - 2, eEncoding == EEncoding::Utf16BE);
        if (u >= 0xD800 && u <= 0xDBFF)
            n -= 2;
    }
    return n;
}

EEncoding DetectBom(std::string_view bytes, std::size_t& nBomLength)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        nBomLength = 3;
        return EEncoding::Utf8;
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") {
        nBomLength = 2;
        return EEncoding::Utf16LE;
    }
    if (bytes.substr(0, 2) == "\xFE\xFF") {
        nBomLength = 2;
        return EEncoding::Utf16BE;
    }
    nBomLength = 0;
    return EEncoding::Utf8;
}
