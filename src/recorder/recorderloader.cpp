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

// The header and the first record are read in file order before the stretches start; a
// file whose first two lines are longer is read in file order throughout.
constexpr std::size_t kHeadBytes = 64 * 1024;
// The last line, read to size the series before the stretches write into it.
constexpr std::size_t kTailBytes = 4096;
// The series is sized for the wall-clock span from the first to the last record and this
// much more: no zone's offset moves further. Pages beyond what is written take no memory,
// but for a large page's part in this room (at most 0.7 MB a curve).
constexpr std::int64_t kSpanSlack = 2 * 86400;
// Bytes a second of wall-clock span from which a file counts as dense: a record line takes
// twenty or more, so records then come a few seconds apart at most on the whole.
constexpr std::uint64_t kMinDenseBytes = 4;

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
        nBytes = MakeRoom(nOffset, nBytes, buffer);
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

// The head of a file read in stretches: its header line and first record, which are read in
// file order before the stretches start.
struct CFileHead
{
    std::uint64_t nData = 0; // where the records after the first start
    std::int64_t nSpan = 0;  // wall-clock seconds from the first record to the last
};

// Reads the head into buffer, and the last record, to size the series before the stretches
// write into it. Nothing where the series cannot be sized ahead: no second line within
// kHeadBytes, a first record whose time mktime must answer, no record after it, a last record
// that cannot be read or lies before the first.
std::optional<CFileHead> ReadFileHead(const CRecordSource& source, std::uint64_t nSize,
                                      std::vector<char>& buffer)
{
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
    CFileHead head;
    head.nData = static_cast<std::uint64_t>(pLf2 + 1 - pHead);
    CRecordClock clock;
    std::int64_t tFirst = 0;
    std::int64_t nFirstWall = 0;
    CRecordFields last;
    if (CheckRecordFields(first) != ERecordFault::None ||
        !clock.TryLocalToTime(first, tFirst, nFirstWall) || tFirst == -1 || head.nData == nSize ||
        !ReadLastRecord(source, head.nData, last))
        return std::nullopt;
    head.nSpan = CRecordClock::WallSeconds(last) - nFirstWall;
    if (head.nSpan < 0)
        return std::nullopt;
    return head;
}

// How the bytes after the first record are shared out in stretches, and where the load says
// how far it has come.
struct CStretchPlan
{
    const CRecordSource& source;
    const LoadProgress& progress;
    std::uint64_t nSize;     // the source's size
    std::uint64_t nData;     // where the first stretch starts: the records after the first
    std::size_t nPieceBytes; // each stretch's share of the bytes; the last one may hold fewer
    std::size_t nPieces;

    // The stretches fill the bar up to nine tenths, the reading in file order after them the
    // rest, so that it never goes back. False cancels.
    bool Report(std::uint64_t nBar) const { return !progress || progress(nBar, nSize); }
};

// Reads the stretches on nThreads threads, the calling one included, each writing its samples
// straight into target; only the calling thread reports progress. False when the progress
// cancelled the load.
bool ReadStretches(const CStretchPlan& plan, const CPieceTarget& target, unsigned nThreads,
                   std::vector<CPieceSummary>& pieces)
{
    std::atomic<std::size_t> nNext{0};
    CPieceStop stop;
    std::atomic<std::uint64_t> nDone{plan.nData};
    auto work = [&](bool bReport) {
        try {
            CPieceReader pieceReader(plan.source, target);
            for (;;) {
                const std::size_t k = nNext.fetch_add(1);
                if (k >= plan.nPieces || stop.After(k))
                    return;
                const std::uint64_t nBegin = plan.nData + k * plan.nPieceBytes;
                const std::uint64_t nEnd =
                    std::min<std::uint64_t>(plan.nSize, nBegin + plan.nPieceBytes);
                try {
                    pieces[k] = pieceReader.Read(nBegin, nEnd, plan.nData, k, &stop);
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
                if (bReport && !plan.Report(nNow / 10 * 9))
                    stop.bCancel = true;
            }
        } catch (...) {
            // The stretch this thread held stays unread, and the file is read in order.
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (std::size_t i = 1; i < std::min<std::size_t>(nThreads, plan.nPieces); ++i)
            helpers.emplace_back(work, false);
    } catch (...) {
        // Fewer threads read.
    }
    work(true);
    for (std::thread& helper : helpers)
        helper.join();
    return !stop.bCancel;
}

// What the stretches read and wrote, whether it is kept or not.
void CountStretches(const std::vector<CPieceSummary>& pieces, CReadStats& stats)
{
    for (const CPieceSummary& piece : pieces) {
        stats.nPieceSamples += piece.nSamples;
        stats.nPiecesRead += piece.bRan ? 1 : 0;
    }
}

// Where two stretches wrote the same samples (a clock set back across a boundary, a logger
// restarting its clock), either may have written last: neither is taken.
std::vector<bool> FindOverlaps(const std::vector<CPieceSummary>& pieces)
{
    std::vector<bool> overlapped(pieces.size());
    std::vector<std::size_t> wrote;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (pieces[k].bWrote)
            wrote.push_back(k);
    }
    std::sort(wrote.begin(), wrote.end(), [&](std::size_t i, std::size_t j) {
        return pieces[i].tWritten < pieces[j].tWritten;
    });
    // An interval that overlaps any other meets the furthest reaching one before it, or is
    // that one for a later interval.
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
    return overlapped;
}

enum class EFileOrderEnd
{
    Read,      // up to the last stretch, or to the line the reader stopped at
    Cancelled, // the progress cancelled the load
    Failed,    // a stretch did not run or the source failed: read from the start in file order
};

// In file order: a stretch's samples are taken where they follow the ones before and no other
// stretch wrote over them; otherwise its lines are read in order. Samples the reading in order
// writes replace whatever a stretch left there, so nothing is read twice. buffer: for the
// chunks read in order.
EFileOrderEnd TakeInFileOrder(const CStretchPlan& plan, const std::vector<CPieceSummary>& pieces,
                              const std::vector<bool>& overlapped, CRecorderReader& reader,
                              std::vector<char>& buffer, CReadStats& stats)
{
    const std::uint64_t nPieceBar = plan.nSize - plan.nSize / 10;
    std::uint64_t nOffset = plan.nData;
    bool bCancelled = false;
    const auto feed = [&](std::uint64_t nFrom, std::uint64_t nTo) {
        while (nFrom < nTo && !reader.HasStopped()) {
            if (!plan.Report(nPieceBar + (nFrom - plan.nData) / 10)) {
                bCancelled = true;
                return false;
            }
            const std::size_t nBytes =
                static_cast<std::size_t>(std::min<std::uint64_t>(nTo - nFrom, kChunkSize));
            std::size_t nRead = 0;
            if (!plan.source.Read(nFrom, nBytes, buffer, nRead) || nRead != nBytes)
                return false;
            reader.Feed(buffer.data(), nBytes);
            stats.nBytesInOrder += nBytes;
            nFrom += nBytes;
        }
        return true;
    };
    for (std::size_t k = 0; k < plan.nPieces && !reader.HasStopped(); ++k) {
        const CPieceSummary& piece = pieces[k];
        if (!piece.bRan || piece.bReadFailed)
            return EFileOrderEnd::Failed;
        if (!plan.Report(nPieceBar + (nOffset - plan.nData) / 10))
            return EFileOrderEnd::Cancelled;
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
            return EFileOrderEnd::Cancelled;
        if (!bRead)
            return EFileOrderEnd::Failed;
        nOffset = nPieceEnd;
    }
    return EFileOrderEnd::Read;
}

// Ends the reading. Stretches past an invalid record, and the room left for the series, hold
// no samples.
CLoadResult FinishSeries(CRecorderReader& reader)
{
    CLoadResult result = reader.Finish();
    result.recording.ReleaseUnusedPages();
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
    const std::optional<CFileHead> head = ReadFileHead(source, nSize, buffer);
    if (!head)
        return std::nullopt;
    // Records more than a few seconds apart on the whole are kept once each by the reader in
    // file order, and stretches leave off at their first long gap: their dense storage is then
    // far from filled, and takes no large pages.
    const bool bDense =
        nSize - head->nData >= static_cast<std::uint64_t>(head->nSpan) * kMinDenseBytes;
    CRecorderReader reader(nMaxSamples);
    reader.Feed(buffer.data(), static_cast<std::size_t>(head->nData));
    CPieceTarget target;
    if (!reader.PrepareTarget(std::min(head->nSpan, INT64_MAX - kSpanSlack) + kSpanSlack, bDense,
                              target))
        return std::nullopt;

    const std::size_t nPieces =
        static_cast<std::size_t>((nSize - head->nData - 1) / nPieceBytes + 1);
    const CStretchPlan plan{source, progress, nSize, head->nData, nPieceBytes, nPieces};
    // The bar never goes back, so a question about cancelling can say 0.
    reader.SetCancelCheck([&] { return !plan.Report(0); });
    std::vector<CPieceSummary> pieces(plan.nPieces);
    if (!ReadStretches(plan, target, nThreads, pieces))
        return Cancelled();
    CountStretches(pieces, stats);
    switch (TakeInFileOrder(plan, pieces, FindOverlaps(pieces), reader, buffer, stats)) {
    case EFileOrderEnd::Read:
        break;
    case EFileOrderEnd::Cancelled:
        return Cancelled();
    case EFileOrderEnd::Failed:
        return std::nullopt;
    }
    if (!plan.Report(nSize))
        return Cancelled();
    return FinishSeries(reader);
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

CLoadResult LoadRecorderSource(const CRecordSource& source, const LoadProgress& progress,
                               const CReadOptions& options)
{
    CReadStats stats;
    try {
        if (std::optional<CLoadResult> result =
                ReadInPieces(source, CSeriesBuilder::MaxSamples(), options, progress, stats))
            return std::move(*result);
    } catch (const std::bad_alloc&) {
        // Read in order, which needs the least memory.
    }
    const std::uint64_t nTotal = source.GetSize();
    CRecorderReader reader(CSeriesBuilder::MaxSamples());
    std::vector<char> buffer;
    std::uint64_t nDone = 0;
    reader.SetCancelCheck([&] { return progress && !progress(nDone, nTotal); });
    while (nDone < nTotal) {
        std::size_t nRead = 0;
        if (!source.Read(nDone, kChunkSize, buffer, nRead)) {
            CLoadResult failed;
            failed.status = CLoadResult::EStatus::CannotOpen;
            failed.strMessage = std::strerror(errno) + std::string(".");
            return failed;
        }
        if (nRead == 0)
            break;
        nDone += nRead;
        if (!reader.Feed(buffer.data(), nRead))
            break;
        if (progress && !progress(nDone, nTotal))
            return Cancelled();
    }
    if (reader.WasCancelled())
        return Cancelled();
    return reader.Finish();
}

std::optional<CRecorderEnds> ReadRecorderEnds(const CRecordSource& source)
{
    const std::uint64_t nSize = source.GetSize();
    std::vector<char> buffer;
    std::size_t nRead = 0;
    if (nSize == 0 ||
        !source.Read(0, static_cast<std::size_t>(std::min<std::uint64_t>(nSize, kHeadBytes)),
                     buffer, nRead))
        return std::nullopt;
    const std::string_view head(buffer.data(), nRead);
    const std::size_t nLf1 = head.find('\n');
    if (nLf1 == std::string_view::npos)
        return std::nullopt;
    std::size_t nLf2 = head.find('\n', nLf1 + 1);
    if (nLf2 == std::string_view::npos) {
        if (nRead < nSize)
            return std::nullopt;
        nLf2 = nRead; // the only record, without its line end
    }
    std::string_view line2 = head.substr(nLf1 + 1, nLf2 - nLf1 - 1);
    if (!line2.empty() && line2.back() == '\r')
        line2.remove_suffix(1);
    CRecorderEnds ends;
    ends.nRecords = nLf1 + 1;
    const CRecordFields first = ParseRecordLine(line2);
    CRecordFields last;
    CRecordClock firstClock;
    CRecordClock lastClock;
    std::int64_t nWall = 0;
    if (CheckRecordFields(first) != ERecordFault::None ||
        !firstClock.TryLocalToTime(first, ends.tFirst, nWall) || ends.tFirst == -1 ||
        !ReadLastRecord(source, ends.nRecords, last) ||
        !lastClock.TryLocalToTime(last, ends.tLast, nWall) || ends.tLast == -1 ||
        !source.Read(nSize - 1, 1, buffer, nRead) || nRead != 1)
        return std::nullopt;
    ends.bEndsWithLf = buffer[0] == '\n';
    return ends;
}

namespace {

CLoadResult ReadRecorderFile(const std::filesystem::path& path, const LoadProgress& progress,
                             const CReadOptions& options)
{
    CLoadFile opened;
    CLoadResult failure;
    if (!OpenLoadFile(path, opened, failure))
        return failure;
    std::FILE* const pFile = opened.pFile.get();
    const std::uint64_t nTotal = opened.nSize;
    const auto fail = [&](const std::string& strWhy) { return CannotRead(path, strWhy); };

    const CPositionalFile positional(pFile);
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
        if (std::fseek(pFile, 0, SEEK_SET) != 0)
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
        const std::size_t nRead = std::fread(buffer.get(), 1, kChunkSize, pFile);
        if (nRead == 0) {
            if (std::ferror(pFile))
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

CLoadResult CannotRead(const std::filesystem::path& path, const std::string& strWhy)
{
    CLoadResult result;
    result.status = CLoadResult::EStatus::CannotOpen;
    // UTF-8 on every system: on Windows string() converts to the ANSI code page and throws
    // for a name it cannot hold (Chinese characters on a Western system).
    const std::u8string strName = path.filename().u8string();
    result.strMessage =
        "Cannot read \"" + std::string(strName.begin(), strName.end()) + "\": " + strWhy;
    return result;
}

bool OpenLoadFile(const std::filesystem::path& path, CLoadFile& file, CLoadResult& failure)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        failure = CannotRead(path, "it is a folder, not a file.");
        return false;
    }
#if defined(_WIN32)
    file.pFile.reset(_wfopen(path.c_str(), L"rb"));
#else
    file.pFile.reset(std::fopen(path.c_str(), "rb"));
#endif
    if (!file.pFile) {
        failure = CannotRead(path, std::strerror(errno) + std::string("."));
        return false;
    }
    const std::uintmax_t nSize = std::filesystem::file_size(path, ec);
    file.nSize = ec ? 0 : static_cast<std::uint64_t>(nSize);
    return true;
}
