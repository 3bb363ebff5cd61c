#include "recorder/recorderloader.h"

#include "recorder/positionalfile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kChunkSize = 1 << 20;

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

bool CRecorderReader::PrepareTarget(std::int64_t nCapacity, CPieceTarget& target)
{
    if (HasStopped() || m_nLine < 2 || !m_strPending.empty() || !m_builder.Reserve(nCapacity))
        return false;
    target.nCapacity = INT64_MAX;
    for (int i = 0; i < kChannelCount; ++i) {
        CFloatArray& samples = m_result.recording.Samples(kChannels[i]);
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
    m_nLine += piece.nLines;
    if (piece.bWrote)
        m_builder.AdoptSamples(piece.tWritten, piece.afWritten, piece.tCursor);
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
                    "Line " + FormatWithThousands(m_nLine) + " (\"" + Excerpt(line) + "\") lies " +
                        FormatSpan(m_builder.GetRefusedCount() - 1) +
                        " after the first record: a series of one sample per second would need " +
                        FormatWithThousands(m_builder.GetRefusedCount()) +
                        " samples, more than the " +
                        FormatWithThousands(m_builder.GetMaxSamples()) +
                        " this computer can hold. The records before this line were read.");
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

namespace {

// The header and the first record are read in file order before the stretches start; a
// file whose first two lines are longer is read in file order throughout.
constexpr std::size_t kHeadBytes = 64 * 1024;
// The last line, read to size the series before the stretches write into it.
constexpr std::size_t kTailBytes = 4096;
// The series is sized for the wall-clock span from the first to the last record and this
// much more: no zone's offset moves further. Pages beyond what is written take no memory,
// but for a large page's part in this room (at most 0.7 MB a curve).
constexpr std::int64_t kSpanSlack = 2 * 86400;

class CMemorySource : public CRecordSource
{
public:
    explicit CMemorySource(std::string_view data) : m_data(data) {}

    std::uint64_t GetSize() const override { return m_data.size(); }
    bool Read(std::uint64_t nOffset, std::size_t nBytes, std::vector<char>& buffer,
              std::size_t& nRead) const override
    {
        const std::string_view part = m_data.substr(
            static_cast<std::size_t>(std::min<std::uint64_t>(nOffset, m_data.size())), nBytes);
        if (buffer.size() < part.size())
            buffer.resize(part.size());
        part.copy(buffer.data(), part.size());
        nRead = part.size();
        return true;
    }

private:
    std::string_view m_data;
};

class CFileSource : public CRecordSource
{
public:
    CFileSource(const CPositionalFile& file, std::uint64_t nSize) : m_file(file), m_nSize(nSize) {}

    std::uint64_t GetSize() const override { return m_nSize; }
    bool Read(std::uint64_t nOffset, std::size_t nBytes, std::vector<char>& buffer,
              std::size_t& nRead) const override
    {
        // A file that grows meanwhile ends where it ended when the load began.
        nBytes = static_cast<std::size_t>(
            std::min<std::uint64_t>(nBytes, m_nSize - std::min(nOffset, m_nSize)));
        if (buffer.size() < nBytes)
            buffer.resize(nBytes);
        return m_file.ReadAt(nOffset, buffer.data(), nBytes, nRead);
    }

private:
    const CPositionalFile& m_file;
    std::uint64_t m_nSize;
};

// The last line of [nFrom, source's end) as a record, if the tail holds it whole.
bool ReadLastRecord(const CRecordSource& source, std::uint64_t nFrom, CRecordFields& fields)
{
    const std::uint64_t nSize = source.GetSize();
    const std::uint64_t nAt = nSize - std::min<std::uint64_t>(nSize - nFrom, kTailBytes);
    std::vector<char> buffer;
    std::size_t nRead = 0;
    if (!source.Read(nAt, static_cast<std::size_t>(nSize - nAt), buffer, nRead))
        return false;
    std::string_view tail(buffer.data(), nRead);
    if (!tail.empty() && tail.back() == '\n')
        tail.remove_suffix(1);
    if (!tail.empty() && tail.back() == '\r')
        tail.remove_suffix(1);
    const std::size_t nLf = tail.rfind('\n');
    if (nLf == std::string_view::npos && nAt > nFrom)
        return false;
    fields = ParseRecordLine(tail.substr(nLf == std::string_view::npos ? 0 : nLf + 1));
    return CheckRecordFields(fields) == ERecordFault::None;
}

CLoadResult Cancelled()
{
    CLoadResult result;
    result.status = CLoadResult::EStatus::Cancelled;
    return result;
}

// Reads the records in stretches, one thread each, that write their samples straight into
// the series; the calling thread then takes the stretches in file order and reads in order
// what they could not. Nothing where the file must be read in file order from its start: a
// first record whose time mktime must answer, a series that cannot be sized ahead, or a
// source that failed or changed.
//
// The cost stays within a bound whatever the file holds: a stretch writes at most its share
// of samples and holds at most a bounded line, no stretch starts or goes on past an invalid
// record already met, and the calling thread reads each byte after the stretches at most once,
// never going back: a stretch it cannot take it reads in order instead.
std::optional<CLoadResult> ReadInPieces(const CRecordSource& source, std::int64_t nMaxSamples,
                                        const CReadOptions& options, const LoadProgress& progress,
                                        CReadStats& stats)
{
    const std::uint64_t nSize = source.GetSize();
    const unsigned nThreads =
        options.nThreads ? options.nThreads : std::max(1u, std::thread::hardware_concurrency());
    // At most about a million stretches, whatever was asked.
    const std::size_t nPieceBytes =
        std::max<std::size_t>({options.nPieceBytes, 1, static_cast<std::size_t>(nSize >> 20)});
    if (nThreads < 2 || !CRecordClock::CanConvertAlone() || nSize < 2 * nPieceBytes)
        return std::nullopt;

    std::vector<char> buffer;
    std::size_t nRead = 0;
    if (!source.Read(0, static_cast<std::size_t>(std::min<std::uint64_t>(nSize, kHeadBytes)),
                     buffer, nRead))
        return std::nullopt;
    const char* const pHead = buffer.data();
    const char* const pLf1 = static_cast<const char*>(std::memchr(pHead, '\n', nRead));
    const char* const pLf2 =
        pLf1 ? static_cast<const char*>(std::memchr(pLf1 + 1, '\n', pHead + nRead - pLf1 - 1))
             : nullptr;
    if (!pLf2)
        return std::nullopt;
    std::string_view line2(pLf1 + 1, static_cast<std::size_t>(pLf2 - pLf1 - 1));
    if (!line2.empty() && line2.back() == '\r')
        line2.remove_suffix(1);
    const CRecordFields first = ParseRecordLine(line2);
    const std::uint64_t nData = static_cast<std::uint64_t>(pLf2 + 1 - pHead);
    CRecordClock clock;
    std::int64_t tFirst = 0;
    std::int64_t nFirstWall = 0;
    CRecordFields last;
    if (CheckRecordFields(first) != ERecordFault::None ||
        !clock.TryLocalToTime(first, tFirst, nFirstWall) || tFirst == -1 || nData == nSize ||
        !ReadLastRecord(source, nData, last))
        return std::nullopt;
    const std::int64_t nSpan = CRecordClock::WallSeconds(last) - nFirstWall;
    if (nSpan < 0)
        return std::nullopt;

    CRecorderReader reader(nMaxSamples);
    reader.Feed(pHead, static_cast<std::size_t>(nData));
    CPieceTarget target;
    if (!reader.PrepareTarget(std::min(nSpan, INT64_MAX - kSpanSlack) + kSpanSlack, target))
        return std::nullopt;

    // The stretches fill the bar up to nPieceBar; the reading in file order after them the
    // rest, so that it never goes back.
    const std::uint64_t nPieceBar = nSize - nSize / 10;
    const auto report = [&](std::uint64_t nBar) { return !progress || progress(nBar, nSize); };
    // The bar never goes back, so a question about cancelling can say 0.
    reader.SetCancelCheck([&] { return !report(0); });

    const std::size_t nPieces = static_cast<std::size_t>((nSize - nData - 1) / nPieceBytes + 1);
    std::vector<CPieceSummary> pieces(nPieces);
    std::atomic<std::size_t> nNext{0};
    CPieceStop stop;
    std::atomic<std::uint64_t> nDone{nData};
    auto work = [&](bool bReport) {
        try {
            CPieceReader pieceReader(source, target);
            for (;;) {
                const std::size_t k = nNext.fetch_add(1);
                if (k >= nPieces || stop.After(k))
                    return;
                const std::uint64_t nBegin = nData + k * nPieceBytes;
                const std::uint64_t nEnd = std::min<std::uint64_t>(nSize, nBegin + nPieceBytes);
                try {
                    pieces[k] = pieceReader.Read(nBegin, nEnd, nData, k, &stop);
                } catch (...) {
                    pieces[k].bRan = true;
                    pieces[k].bReadFailed = true; // the reading in order meets it again
                }
                if (pieces[k].bInvalid) {
                    std::size_t nWas = stop.nFirstInvalid;
                    while (k < nWas && !stop.nFirstInvalid.compare_exchange_weak(nWas, k)) {
                    }
                }
                const std::uint64_t nNow = nDone += nEnd - nBegin;
                if (bReport && !report(nNow / 10 * 9))
                    stop.bCancel = true;
            }
        } catch (...) {
            // The stretch this thread held stays unread, and the file is read in order.
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (std::size_t i = 1; i < std::min<std::size_t>(nThreads, nPieces); ++i)
            helpers.emplace_back(work, false);
    } catch (...) {
        // Fewer threads read.
    }
    work(true);
    for (std::thread& helper : helpers)
        helper.join();
    if (stop.bCancel)
        return Cancelled();

    // Where two stretches wrote the same samples (a clock set back across a boundary, a
    // logger restarting its clock), either may have written last: neither is taken.
    std::vector<bool> overlapped(nPieces);
    {
        std::vector<std::size_t> wrote;
        for (std::size_t k = 0; k < nPieces; ++k) {
            stats.nPieceSamples += pieces[k].nSamples;
            stats.nPiecesRead += pieces[k].bRan ? 1 : 0;
            if (pieces[k].bWrote)
                wrote.push_back(k);
        }
        std::sort(wrote.begin(), wrote.end(), [&](std::size_t i, std::size_t j) {
            return pieces[i].tWritten < pieces[j].tWritten;
        });
        // An interval that overlaps any other meets the furthest reaching one before it, or
        // is that one for a later interval.
        std::int64_t tReach = INT64_MIN;
        std::size_t kReach = 0;
        for (const std::size_t k : wrote) {
            if (pieces[k].tWritten <= tReach)
                overlapped[k] = overlapped[kReach] = true;
            if (pieces[k].tCursor > tReach) {
                tReach = pieces[k].tCursor;
                kReach = k;
            }
        }
    }

    // In file order: a stretch's samples are taken where they follow the ones before and no
    // other stretch wrote over them; otherwise its lines are read in order. Samples the
    // reading in order writes replace whatever a stretch left there, so nothing is read twice.
    std::uint64_t nOffset = nData;
    bool bCancelled = false;
    const auto feed = [&](std::uint64_t nFrom, std::uint64_t nTo) {
        while (nFrom < nTo && !reader.HasStopped()) {
            if (!report(nPieceBar + (nFrom - nData) / 10)) {
                bCancelled = true;
                return false;
            }
            const std::size_t nBytes =
                static_cast<std::size_t>(std::min<std::uint64_t>(nTo - nFrom, kChunkSize));
            if (!source.Read(nFrom, nBytes, buffer, nRead) || nRead != nBytes)
                return false;
            reader.Feed(buffer.data(), nBytes);
            stats.nBytesInOrder += nBytes;
            nFrom += nBytes;
        }
        return true;
    };
    for (std::size_t k = 0; k < nPieces && !reader.HasStopped(); ++k) {
        const CPieceSummary& piece = pieces[k];
        if (!piece.bRan || piece.bReadFailed)
            return std::nullopt;
        if (!report(nPieceBar + (nOffset - nData) / 10))
            return Cancelled();
        const std::uint64_t nPieceEnd = std::max(nOffset, piece.nEnd);
        bool bRead = true;
        if (!overlapped[k] && reader.AdoptPiece(piece)) {
            ++stats.nPiecesAdopted;
            if (piece.bStopped)
                bRead = feed(piece.nStopAt, piece.nEnd);
        } else {
            bRead = feed(nOffset, nPieceEnd);
        }
        if (bCancelled || reader.WasCancelled())
            return Cancelled();
        if (!bRead)
            return std::nullopt;
        nOffset = nPieceEnd;
    }
    if (!report(nSize))
        return Cancelled();
    CLoadResult result = reader.Finish();
    // Stretches past an invalid record, and the room left for the series, hold no samples.
    result.recording.ReleaseUnusedPages();
    return result;
}

} // namespace

CLoadResult LoadRecorderData(std::string_view data, std::int64_t nMaxSamples,
                             const CReadOptions& options)
{
    CReadStats stats;
    try {
        if (std::optional<CLoadResult> result =
                ReadInPieces(CMemorySource(data), nMaxSamples, options, LoadProgress(), stats)) {
            if (options.pStats)
                *options.pStats = stats;
            result->recording.SetSource({{}, data.size()});
            return std::move(*result);
        }
    } catch (const std::bad_alloc&) {
        // Read in order, which needs the least memory.
    }
    stats = CReadStats();
    stats.bWholeInOrder = true;
    if (options.pStats)
        *options.pStats = stats;
    CRecorderReader reader(nMaxSamples);
    reader.Feed(data.data(), data.size());
    CLoadResult result = reader.Finish();
    result.recording.SetSource({{}, data.size()});
    return result;
}

namespace {

CLoadResult ReadRecorderFile(const std::filesystem::path& path, const LoadProgress& progress,
                             const CReadOptions& options)
{
    auto fail = [&](const std::string& strWhy) {
        CLoadResult result;
        result.status = CLoadResult::EStatus::CannotOpen;
        // UTF-8 on every system: on Windows string() converts to the ANSI code page and throws
        // for a name it cannot hold (Chinese characters on a Western system).
        const std::u8string strName = path.filename().u8string();
        result.strMessage =
            "Cannot read \"" + std::string(strName.begin(), strName.end()) + "\": " + strWhy;
        return result;
    };
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return fail("it is a folder, not a file.");
#if defined(_WIN32)
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"rb"), &std::fclose);
#else
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
#endif
    if (!file)
        return fail(std::strerror(errno) + std::string("."));
    const std::uintmax_t nSize = std::filesystem::file_size(path, ec);
    const std::uint64_t nTotal = ec ? 0 : static_cast<std::uint64_t>(nSize);

    const CPositionalFile positional(file.get());
    std::uint64_t nRegularSize = 0;
    if (positional.IsRegularFile(nRegularSize)) {
        const CFileSource source(positional, nRegularSize);
        CReadStats stats;
        try {
            if (std::optional<CLoadResult> result =
                    ReadInPieces(source, CSeriesBuilder::MaxSamples(), options, progress, stats)) {
                if (options.pStats)
                    *options.pStats = stats;
                result->recording.SetSource({path, nRegularSize});
                return std::move(*result);
            }
        } catch (const std::bad_alloc&) {
            // Read in order, which needs the least memory.
        }
        // Windows' offset reads move the file's position.
        if (std::fseek(file.get(), 0, SEEK_SET) != 0)
            return fail(std::strerror(errno) + std::string("."));
    }
    if (options.pStats) {
        *options.pStats = CReadStats();
        options.pStats->bWholeInOrder = true;
    }
    // In file order, which also reads pipes and devices.
    CRecorderReader reader(CSeriesBuilder::MaxSamples());
    std::unique_ptr<char[]> buffer(new char[kChunkSize]);
    std::uint64_t nDone = 0;
    reader.SetCancelCheck([&] { return progress && !progress(nDone, nTotal); });
    for (;;) {
        const std::size_t nRead = std::fread(buffer.get(), 1, kChunkSize, file.get());
        if (nRead == 0) {
            if (std::ferror(file.get()))
                return fail(std::strerror(errno) + std::string("."));
            break;
        }
        nDone += nRead;
        if (!reader.Feed(buffer.get(), nRead))
            break;
        if (progress && !progress(nDone, nTotal))
            return Cancelled();
    }
    if (reader.WasCancelled())
        return Cancelled();
    CLoadResult result = reader.Finish();
    result.recording.SetSource({path, nDone});
    return result;
}

} // namespace

CLoadResult LoadRecorderFile(const std::filesystem::path& path, const LoadProgress& progress,
                             const CReadOptions& options)
{
    // Where the file must be read again from its start, the bar holds until it gets past
    // where it was.
    std::uint64_t nShown = 0;
    const LoadProgress forward = [&](std::uint64_t nDone, std::uint64_t nTotal) {
        nShown = std::max(nShown, nDone);
        return progress(nShown, nTotal);
    };
    try {
        return ReadRecorderFile(path, progress ? forward : LoadProgress(), options);
    } catch (...) {
        // Memory ran out outside the reader's own appends (its buffers, its threads' state).
        CLoadResult result;
        result.status = CLoadResult::EStatus::OutOfMemory;
        result.strMessage = "Memory ran out while reading the file.";
        return result;
    }
}
