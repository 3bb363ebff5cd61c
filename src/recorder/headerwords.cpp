#include "recorder/headerwords.h"

#include <array>
#include <string>
#include <vector>

namespace {

// Header words and signs as each legacy code page writes them, with their UTF-8. Computed
// once with Python's codecs, e.g. "溫度".encode("big5") and "温度".encode("gbk").
struct CLegacyWord
{
    EEncoding eEncoding;
    std::string_view bytes;
    std::string_view utf8;
};
constexpr std::array<CLegacyWord, 16> kLegacyWords = {{
    {EEncoding::Big5, "\xB7\xC5\xAB\xD7", "溫度"},
    {EEncoding::Big5, "\xC0\xE3\xAB\xD7", "濕度"},
    {EEncoding::Big5, "\xB3\x5D\xA9\x77", "設定"},
    {EEncoding::Big5, "\xC5\x53\xC2\x49", "露點"},
    {EEncoding::Big5, "\xA2\x4A", "℃"},
    {EEncoding::Big5, "\xA2\x4B", "℉"},
    {EEncoding::Gbk, "\xCE\xC2\xB6\xC8", "温度"},
    {EEncoding::Gbk, "\xCA\xAA\xB6\xC8", "湿度"},
    {EEncoding::Gbk, "\xC9\xE8\xB6\xA8", "设定"},
    {EEncoding::Gbk, "\xC2\xB6\xB5\xE3", "露点"},
    {EEncoding::Gbk, "\xA1\xE6", "℃"},
    {EEncoding::Gbk, "\xA8\x48", "℉"},
    // The degree sign: 0xB0 in Windows-1252, 0xA1 in Mac Roman, before a unit letter.
    {EEncoding::Windows1252,
     "\xB0"
     "C",
     "°C"},
    {EEncoding::Windows1252,
     "\xB0"
     "F",
     "°F"},
    {EEncoding::MacRoman,
     "\xA1"
     "C",
     "°C"},
    {EEncoding::MacRoman,
     "\xA1"
     "F",
     "°F"},
}};

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool Contains(std::string_view text, std::string_view word)
{
    return text.find(word) != std::string_view::npos;
}

bool ContainsAny(std::string_view text, std::initializer_list<std::string_view> words)
{
    for (std::string_view word : words)
        if (Contains(text, word))
            return true;
    return false;
}

// The runs of ASCII letters, lowercase: "Feuchte [%rH]" gives "feuchte" and "rh".
std::vector<std::string_view> Tokens(std::string_view lower)
{
    std::vector<std::string_view> arrTokens;
    std::size_t pos = 0;
    while (pos < lower.size()) {
        while (pos < lower.size() && !IsLetter(lower[pos]))
            ++pos;
        const std::size_t nStart = pos;
        while (pos < lower.size() && IsLetter(lower[pos]))
            ++pos;
        if (pos > nStart)
            arrTokens.push_back(lower.substr(nStart, pos - nStart));
    }
    return arrTokens;
}

bool HasToken(const std::vector<std::string_view>& arrTokens,
              std::initializer_list<std::string_view> words)
{
    for (std::string_view token : arrTokens)
        for (std::string_view word : words)
            if (token == word)
                return true;
    return false;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        std::size_t nMore = 0;
        if (c < 0x80)
            nMore = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            nMore = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            nMore = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            nMore = 3;
        else
            return false;
        for (std::size_t k = 1; k <= nMore; ++k) {
            if (i + k >= bytes.size())
                return true; // cut off at the end
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += nMore + 1;
    }
    return true;
}

EEncoding GuessLegacyEncoding(std::string_view bytes)
{
    int anScore[4] = {}; // Windows-1252, Mac Roman, GBK, Big5
    const auto index = [](EEncoding e) {
        switch (e) {
        case EEncoding::MacRoman:
            return 1;
        case EEncoding::Gbk:
            return 2;
        case EEncoding::Big5:
            return 3;
        default:
            return 0;
        }
    };
    for (const CLegacyWord& word : kLegacyWords) {
        for (std::size_t pos = bytes.find(word.bytes); pos != std::string_view::npos;
             pos = bytes.find(word.bytes, pos + 1))
            anScore[index(word.eEncoding)] += static_cast<int>(word.bytes.size());
    }
    static constexpr EEncoding kOrder[4] = {EEncoding::Windows1252, EEncoding::MacRoman,
                                            EEncoding::Gbk, EEncoding::Big5};
    int nBest = 0;
    for (int i = 1; i < 4; ++i)
        if (anScore[i] > anScore[nBest])
            nBest = i;
    return kOrder[nBest];
}

std::string KnownWordsToUtf8(std::string_view bytes, EEncoding eEncoding)
{
    std::string strOut;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        bool bReplaced = false;
        for (const CLegacyWord& word : kLegacyWords) {
            if (word.eEncoding == eEncoding && bytes.substr(pos, word.bytes.size()) == word.bytes) {
                strOut += word.utf8;
                pos += word.bytes.size();
                bReplaced = true;
                break;
            }
        }
        if (bReplaced)
            continue;
        const unsigned char c = static_cast<unsigned char>(bytes[pos]);
        // A double-byte character's second byte may be an ASCII letter: keep the pair whole
        // so that it is never taken for part of a word.
        if ((eEncoding == EEncoding::Gbk || eEncoding == EEncoding::Big5) && c >= 0x81 &&
            pos + 1 < bytes.size()) {
            strOut += "\xEF\xBF\xBD"; // U+FFFD
            pos += 2;
            continue;
        }
        strOut += static_cast<char>(c);
        ++pos;
    }
    return strOut;
}

CColumnName ReadColumnName(std::string_view name)
{
    std::string strLower(name);
    for (char& c : strLower)
        c = Lower(c);
    const std::string_view lower = strLower;
    const std::vector<std::string_view> arrTokens = Tokens(lower);
    std::string_view trimmed = lower;
    while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '"'))
        trimmed.remove_prefix(1);
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '"'))
        trimmed.remove_suffix(1);

    CColumnName column;
    // Record numbers, dew points, light and CO2 are not channels Trendora shows.
    if (trimmed == "#" || trimmed == "no" || trimmed == "no." || trimmed == "nr" ||
        trimmed == "nr." || trimmed == "index" || trimmed == "record" ||
        ContainsAny(lower, {"dew", "taupunkt", "rosée", "rosee", "rosný", "露點", "露点", "light",
                            "lux", "co2", "co₂", "batter"})) {
        column.bNamed = true;
        return column;
    }

    bool bTemp = ContainsAny(lower, {"temp", "teplot", "溫度", "温度"});
    bool bHumi = !bTemp && (HasToken(arrTokens, {"rh"}) ||
                            ContainsAny(lower, {"humi", "feucht", "vlhk", "濕度", "湿度"}));
    // A unit alone says which it is.
    if (!bTemp && !bHumi) {
        bTemp = ContainsAny(lower, {"°c", "°f", "℃", "℉", "kelvin", "fahrenheit", "celsius"});
        bHumi = !bTemp && Contains(lower, "%");
    }
    if (!bTemp && !bHumi)
        return column;

    bool bSet =
        HasToken(arrTokens, {"sv", "set", "setpoint", "soll", "sollwert", "consigne", "target"}) ||
        ContainsAny(lower, {"設定", "设定"});
    for (std::string_view token : arrTokens)
        if (token.size() > 2 && token.substr(token.size() - 2) == "sv" &&
            (token.starts_with("temp") || token.starts_with("humi")))
            bSet = true;
    column.bNamed = true;
    if (bTemp) {
        column.eRole = bSet ? EColumnRole::TempSV : EColumnRole::TempPV;
        if (ContainsAny(lower, {"°f", "℉", "fahrenheit"}) || HasToken(arrTokens, {"f"}))
            column.unit = ETempUnit::Fahrenheit;
        else if (Contains(lower, "kelvin") || HasToken(arrTokens, {"k"}))
            column.unit = ETempUnit::Kelvin;
        else if (ContainsAny(lower, {"°c", "℃", "celsius"}) || HasToken(arrTokens, {"c"}))
            column.unit = ETempUnit::Celsius;
    } else {
        column.eRole = bSet ? EColumnRole::HumiSV : EColumnRole::HumiPV;
    }
    return column;
}

std::optional<int> ReadZoneOffset(std::string_view line)
{
    for (std::string_view zone : {std::string_view("GMT"), std::string_view("UTC")}) {
        for (std::size_t pos = line.find(zone); pos != std::string_view::npos;
             pos = line.find(zone, pos + 1)) {
            if (pos > 0 && IsLetter(line[pos - 1]))
                continue;
            std::size_t p = pos + zone.size();
            if (p < line.size() && IsLetter(line[p]))
                continue;
            while (p < line.size() && line[p] == ' ')
                ++p;
            if (p >= line.size() ||
                (line[p] != '+' && line[p] != '-' && line[p] != static_cast<char>(0xE2)))
                return 0;
            // A minus sign may be written as U+2212.
            int nSign = line[p] == '+' ? 1 : -1;
            if (line[p] == static_cast<char>(0xE2)) {
                if (line.substr(p, 3) != "\xE2\x88\x92")
                    return 0;
                p += 2;
            }
            ++p;
            int nDigits = 0;
            int nValue = 0;
            while (p < line.size() && line[p] >= '0' && line[p] <= '9' && nDigits < 4) {
                nValue = nValue * 10 + (line[p] - '0');
                ++nDigits;
                ++p;
            }
            int nHours = 0;
            int nMinutes = 0;
            if (nDigits == 1 || nDigits == 2) {
                nHours = nValue;
                if (p + 2 < line.size() && line[p] == ':' && line[p + 1] >= '0' &&
                    line[p + 1] <= '9' && line[p + 2] >= '0' && line[p + 2] <= '9')
                    nMinutes = (line[p + 1] - '0') * 10 + (line[p + 2] - '0');
            } else if (nDigits == 4) {
                nHours = nValue / 100;
                nMinutes = nValue % 100;
            } else {
                return 0;
            }
            if (nHours > 14 || nMinutes > 59)
                continue;
            return nSign * (nHours * 60 + nMinutes);
        }
    }
    return std::nullopt;
}
