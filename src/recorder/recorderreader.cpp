// CRecorderReader, declared in recorderloader.h: the records of a file read in file order, and
// the message for the line that stops the reading.
#include "recorder/recorderreader.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

// A short, printable excerpt of a line for messages.
std::string Excerpt(std::string_view line)
{
    constexpr std::size_t kMax = 48;
    std::string s;
    for (std::size_t i = 0; i < line.size() && i < kMax; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        s += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
    }
    if (line.size() > kMax)
        s += "...";
    return s;
}

std::string FormatDate(const CRecordFields& f)
{
    char sz[96];
    std::snprintf(sz, sizeof sz, "%04d/%02d/%02d %02d:%02d:%02d", f.nYear, f.nMonth, f.nDay,
                  f.nHour, f.nMinute, f.nSecond);
    return sz;
}

std::string FormatSpan(std::int64_t nSeconds)
{
    const std::int64_t nDays = nSeconds / 86400;
    const std::int64_t nYears = nDays / 365;
    if (nYears >= 1)
        return "about " + FormatWithThousands(nYears) + (nYears == 1 ? " year" : " years");
    return FormatWithThousands(nDays) + (nDays == 1 ? " day" : " days");
}

} // namespace

std::string SpanTooLongMessage(std::int64_t nLine, const std::string& strQuoted,
                               const CSeriesBuilder& builder)
{
    return "Line " + FormatWithThousands(nLine) + strQuoted + " lies " +
           FormatSpan(builder.GetRefusedCount() - 1) +
           " after the first record: a series of one sample per second would need " +
           FormatWithThousands(builder.GetRefusedCount()) + " samples, more than the " +
           FormatWithThousands(builder.GetMaxSamples()) +
           " this computer can hold. The records before this line were read.";
}

std::string FormatWithThousands(std::int64_t n)
{
    const std::uint64_t nMagnitude =
        n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const std::string digits = std::to_string(nMagnitude);
    std::string s;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            s += ',';
        s += digits[i];
    }
    return n < 0 ? "-" + s : s;
}

CRecorderReader::CRecorderReader(std::int64_t nMaxSamples)
    : m_builder(m_result.recording, nMaxSamples)
{
    m_result.status = CLoadResult::EStatus::Loaded;
}

bool CRecorderReader::Feed(const char* pData, std::size_t nSize)
{
    if (HasStopped())
        return false;
    try {
        return ReadLines(pData, pData + nSize);
    } catch (const std::bad_alloc&) {
        // A line too long for the memory left: a file of zero bytes a card preallocated, say.
        StopOutOfMemory();
        return false;
    }
}

bool CRecorderReader::ReadLines(const char* p, const char* const pEnd)
{
    // First the rest of a line begun in an earlier piece.
    if (!m_strPending.empty()) {
        const char* pNewline = static_cast<const char*>(std::memchr(p, '\n', pEnd - p));
        if (!pNewline) {
            m_strPending.append(p, pEnd);
            return true;
        }
        m_strPending.append(p, pNewline);
        std::string_view line = m_strPending;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ReadLine(line);
        m_strPending.clear();
        p = pNewline + 1;
    }
    while (p < pEnd && !HasStopped()) {
        const char* pNewline = static_cast<const char*>(std::memchr(p, '\n', pEnd - p));
        if (!pNewline) {
            m_strPending.assign(p, pEnd);
            break;
        }
        std::string_view line(p, pNewline - p);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ReadLine(line);
        p = pNewline + 1;
    }
    return !HasStopped();
}

void CRecorderReader::StopOutOfMemory()
{
    std::string().swap(m_strPending);
    ++m_nLine; // the line that did not fit
    Stop(CLoadResult::EStatus::OutOfMemory, "Memory ran out at line " +
                                                FormatWithThousands(m_nLine) +
                                                ". The records before this line were read.");
}

bool CRecorderReader::PrepareTarget(std::int64_t nCapacity, bool bDense, CPieceTarget& target)
{
    if (HasStopped() || m_nLine < 2 || !m_strPending.empty() ||
        !m_builder.Reserve(nCapacity, bDense))
        return false;
    target.nCapacity = INT64_MAX;
    for (int i = 0; i < kChannelCount; ++i) {
        CFloatArray& samples = m_result.recording.DenseSamples(kChannels[i]);
        target.apData[i] = samples.GetData();
        target.nCapacity = std::min(target.nCapacity, samples.GetCapacity());
    }
    target.tFirst = m_builder.GetFirstTime();
    target.nMaxSamples = m_builder.GetMaxSamples();
    return true;
}

bool CRecorderReader::AdoptPiece(const CPieceSummary& piece)
{
    if (HasStopped() || !m_strPending.empty() ||
        (piece.bWrote && piece.tWritten <= m_builder.GetCursor()))
        return false;
    if (piece.bWrote && !m_builder.AdoptSamples(piece.tWritten, piece.afWritten, piece.tCursor)) {
        StopOutOfMemory();
        return false;
    }
    m_nLine += piece.nLines;
    m_builder.AddBehind(piece.nBehind);
    if (piece.bConverted)
        m_builder.NoteConverted(piece.nLastWall, piece.tLast);
    return true;
}

CLoadResult CRecorderReader::Finish()
{
    if (!HasStopped() && !m_strPending.empty()) {
        try {
            ReadLine(m_strPending);
            m_strPending.clear();
        } catch (const std::bad_alloc&) {
            --m_nLine; // counted again
            StopOutOfMemory();
        }
    }
    if (!HasStopped() && m_nLine < 2)
        Stop(CLoadResult::EStatus::TooFewLines,
             m_nLine == 0 ? "The file is empty."
                          : "The file holds no record after its header line.");
    if (m_result.status == CLoadResult::EStatus::TooFewLines)
        m_result.nLine = 0;
    m_result.nBehind = m_builder.GetBehind();
    return std::move(m_result);
}

bool CRecorderReader::ReadLine(std::string_view line)
{
    ++m_nLine;
    if (m_nLine == 1)
        return true; // the header, whatever it holds
    const CRecordFields fields = m_parser.Parse(line);
    const EAppendStatus status =
        m_nLine == 2 ? m_builder.AppendFirstRecord(fields) : m_builder.AppendRecord(fields);
    switch (status) {
    case EAppendStatus::Appended:
        if (m_nLine == 2) {
            m_result.bHaveFirstRecord = true;
        }
        return true;
    case EAppendStatus::InvalidRecord:
        return Stop(CLoadResult::EStatus::InvalidRecord, DescribeInvalidRecord(line, fields));
    case EAppendStatus::SpanTooLong:
        return Stop(CLoadResult::EStatus::SpanTooLong,
                    SpanTooLongMessage(m_nLine, " (\"" + Excerpt(line) + "\")", m_builder));
    case EAppendStatus::OutOfMemory:
        return Stop(CLoadResult::EStatus::OutOfMemory,
                    "Memory ran out at line " + FormatWithThousands(m_nLine) +
                        ". The records before this line were read.");
    case EAppendStatus::Cancelled:
        return Stop(CLoadResult::EStatus::Cancelled, "The reading was cancelled.");
    }
    return true;
}

bool CRecorderReader::Stop(CLoadResult::EStatus status, std::string strMessage)
{
    m_result.status = status;
    m_result.nLine = m_nLine;
    m_result.strMessage = std::move(strMessage);
    return false;
}

std::string CRecorderReader::DescribeInvalidRecord(std::string_view line,
                                                   const CRecordFields& f) const
{
    const std::string strWhere = "Line " + FormatWithThousands(m_nLine);
    const std::string strRecord = "A record line starts with year/month/day,hour:minute:second.";
    const std::size_t nEnd = line.find('\0');
    const std::string_view text = line.substr(0, nEnd);
    if (text.find_first_not_of(" \t\r\v\f") == std::string_view::npos)
        return strWhere + " is empty. " + strRecord;
    std::string strWhat;
    switch (CheckRecordFields(f)) {
    case ERecordFault::Year:
        strWhat = "the year " + std::to_string(f.nYear) + " is before 1900";
        break;
    case ERecordFault::Month:
        strWhat = "the month " + std::to_string(f.nMonth) + " is not between 1 and 12";
        break;
    case ERecordFault::Day:
        strWhat = "the day " + std::to_string(f.nDay) + " is not between 1 and 31";
        break;
    case ERecordFault::Hour:
        strWhat = "the hour " + std::to_string(f.nHour) + " is not between 0 and 23";
        break;
    case ERecordFault::Minute:
        strWhat = "the minute " + std::to_string(f.nMinute) + " is not between 0 and 59";
        break;
    case ERecordFault::Second:
        strWhat = "the second " + std::to_string(f.nSecond) + " is not between 0 and 59";
        break;
    case ERecordFault::Conversion:
    case ERecordFault::None:
        strWhat = "the local time " + FormatDate(f) + " cannot be converted";
        break;
    }
    return strWhere + " (\"" + Excerpt(text) + "\"): " + strWhat + ". " + strRecord;
}
