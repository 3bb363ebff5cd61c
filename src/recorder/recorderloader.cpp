#include "recorder/recorderloader.h"

#include "recorder/taskpool.h"

#include <algorithm>
#include <atomic>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>

#if defined(__linux__)
#include <sys/mman.h>
#endif

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

CRecorderReader::CRecorderReader(std::int64_t nMaxSamples, const CReadOptions& options)
    : m_builder(m_result.series, nMaxSamples), m_options(options)
{
    m_result.status = CLoadResult::EStatus::Loaded;
    if (m_options.nThreads == 0)
        m_options.nThreads = std::max(1u, std::thread::hardware_concurrency());
    m_options.nPieceBytes = std::max<std::size_t>(m_options.nPieceBytes, 1);
    m_options.nWindowBytes = std::max(m_options.nWindowBytes, m_options.nPieceBytes);
}

CRecorderReader::~CRecorderReader() = default;

bool CRecorderReader::Feed(const char* pData, std::size_t nSize)
{
    const char* p = pData;
    const char* const pEnd = pData + nSize;
    if (HasStopped())
        return false;
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
    const char* pLineEnd = pEnd;
    while (pLineEnd > p && pLineEnd[-1] != '\n')
        --pLineEnd;
    ReadLines(p, pLineEnd);
    if (!HasStopped())
        m_strPending.assign(pLineEnd, pEnd);
    return !HasStopped();
}

namespace {

// The line at q, without its line end; q moves to the next line.
std::string_view NextLine(const char*& q, const char* pEnd)
{
    const char* pNewline = static_cast<const char*>(std::memchr(q, '\n', pEnd - q));
    std::string_view line(q, pNewline - q);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    q = pNewline + 1;
    return line;
}

// Just past the first LF at or after pFrom, or pEnd.
const char* PastLineEnd(const char* pFrom, const char* pEnd)
{
    if (pFrom >= pEnd)
        return pEnd;
    const char* pNewline = static_cast<const char*>(std::memchr(pFrom, '\n', pEnd - pFrom));
    return pNewline ? pNewline + 1 : pEnd;
}

} // namespace

void CRecorderReader::ReadLines(const char* p, const char* pEnd)
{
    // [p, pEnd) holds whole lines, each with its LF.
    if (m_options.nThreads < 2 || static_cast<std::size_t>(pEnd - p) < 2 * m_options.nPieceBytes) {
        ReadLinesHere(p, pEnd);
        return;
    }
    if (!m_pPool)
        m_pPool = std::make_unique<CTaskPool>(m_options.nThreads);
    // Parsing depends on nothing but the line, so pieces are parsed side by side; times
    // depend on the records before them (mktime's hint), so records are converted and
    // expanded here in file order, while the helpers parse the next window.
    StartParsing(m_windows[0], p, WindowEnd(p, pEnd));
    m_pPool->Finish();
    for (int k = 0;; k = 1 - k) {
        const char* const pNext = m_windows[k].pEnd;
        if (pNext < pEnd)
            StartParsing(m_windows[1 - k], pNext, WindowEnd(pNext, pEnd));
        ReadParsed(m_windows[k]);
        m_pPool->Finish();
        m_builder.SetWriteLimit(INT64_MAX, nullptr);
        if (pNext == pEnd || HasStopped())
            break;
    }
}

// On some virtual machines the first access to a fresh page of memory costs several
// microseconds, far more than filling it: a month's samples would spend about a quarter of
// the reading there. So the helpers read one byte of each page the next appends will reach,
// within the storage already allocated; appends past the start of that stretch wait for the
// round to end, and so does any growth of the arrays.
void CRecorderReader::PlanTouching()
{
    constexpr std::int64_t kTouchAhead = 65536; // samples
    m_nTouchTasks = 0;
    m_builder.SetWriteLimit(INT64_MAX, nullptr);
    CRecordSeries& s = m_result.series;
    const CFloatArray* const arrays[4] = {&s.arrTempPV, &s.arrHumiPV, &s.arrTempSV, &s.arrHumiSV};
    const std::int64_t nSize = s.GetCount();
    std::int64_t nFrom = std::max(m_nTouched, nSize);
    std::int64_t nTarget = nSize + kTouchAhead;
    for (int i = 0; i < 4; ++i) {
        nTarget = std::min(nTarget, arrays[i]->GetCapacity());
        if (arrays[i]->GetData() != m_pTouchedData[i])
            nFrom = nSize; // moved: its pages are new to this process
    }
    if (nTarget <= nFrom)
        return;
    for (int i = 0; i < 4; ++i) {
        m_pTouchedData[i] = arrays[i]->GetData();
        m_touch[i] = {reinterpret_cast<const char*>(arrays[i]->GetData() + nFrom),
                      static_cast<std::size_t>(nTarget - nFrom) * sizeof(float)};
    }
    m_nTouchTasks = 4;
    m_nTouched = nTarget;
    m_builder.SetWriteLimit(nFrom, [this] { m_pPool->Finish(); });
}

void CRecorderReader::ReadLinesHere(const char* p, const char* pEnd)
{
    while (p < pEnd && !HasStopped())
        ReadLine(NextLine(p, pEnd));
}

const char* CRecorderReader::WindowEnd(const char* p, const char* pEnd) const
{
    if (static_cast<std::size_t>(pEnd - p) <= m_options.nWindowBytes)
        return pEnd;
    return PastLineEnd(p + m_options.nWindowBytes - 1, pEnd);
}

void CRecorderReader::StartParsing(CWindow& window, const char* p, const char* pEnd)
{
    const std::size_t nBytes = static_cast<std::size_t>(pEnd - p);
    const std::size_t nPieces = std::clamp<std::size_t>(nBytes / m_options.nPieceBytes, 1, 4096);
    window.pBegin = p;
    window.pEnd = pEnd;
    window.bFailed = false;
    window.bounds.assign(nPieces + 1, pEnd);
    window.bounds[0] = p;
    for (std::size_t i = 1; i < nPieces; ++i)
        window.bounds[i] =
            PastLineEnd(std::max(p + nBytes * i / nPieces, window.bounds[i - 1]), pEnd);
    if (window.pieces.size() < nPieces)
        window.pieces.resize(nPieces);
    PlanTouching();
    m_pPool->Start(nPieces + m_nTouchTasks, [this, &window, nPieces](std::size_t i) {
        if (i >= nPieces) {
            const CTouch& touch = m_touch[i - nPieces];
            const auto nBegin = reinterpret_cast<std::uintptr_t>(touch.pBegin);
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
            // Otherwise a read would map the shared zero page, and the first write would
            // still find a fresh page. Contents stay as they are.
            const std::uintptr_t nPage = nBegin & ~std::uintptr_t(4095);
            madvise(reinterpret_cast<void*>(nPage), nBegin + touch.nBytes - nPage,
                    MADV_POPULATE_WRITE);
#endif
            for (std::uintptr_t q = nBegin; q < nBegin + touch.nBytes; q = (q | 4095) + 1)
                (void)*reinterpret_cast<const volatile char*>(q);
            return;
        }
        std::vector<CParsedLine>& piece = window.pieces[i];
        piece.clear();
        try {
            for (const char* q = window.bounds[i]; q < window.bounds[i + 1];) {
                const std::string_view line = NextLine(q, window.bounds[i + 1]);
                piece.push_back({ParseRecordLine(line), line});
            }
        } catch (...) {
            window.bFailed = true; // read again on the calling thread
        }
    });
}

void CRecorderReader::ReadParsed(const CWindow& window)
{
    if (window.bFailed) {
        ReadLinesHere(window.pBegin, window.pEnd);
        return;
    }
    const std::size_t nPieces = window.bounds.size() - 1;
    for (std::size_t i = 0; i < nPieces && !HasStopped(); ++i)
        for (const CParsedLine& parsed : window.pieces[i])
            if (!ReadLine(parsed.line, &parsed.fields))
                break;
}

CLoadResult CRecorderReader::Finish()
{
    if (!HasStopped() && !m_strPending.empty()) {
        ReadLine(m_strPending);
        m_strPending.clear();
    }
    if (!HasStopped() && m_nLine < 2)
        Stop(CLoadResult::EStatus::TooFewLines,
             m_nLine == 0 ? "The file is empty." : "The file holds no record after its header line.");
    if (m_result.status == CLoadResult::EStatus::TooFewLines)
        m_result.nLine = 0;
    return std::move(m_result);
}

bool CRecorderReader::ReadLine(std::string_view line, const CRecordFields* pParsed)
{
    ++m_nLine;
    if (m_nLine == 1)
        return true; // the header, whatever it holds
    const CRecordFields fields = pParsed ? *pParsed : ParseRecordLine(line);
    const EAppendStatus status =
        m_nLine == 2 ? m_builder.AppendFirstRecord(fields) : m_builder.AppendRecord(fields);
    switch (status) {
    case EAppendStatus::Appended:
        if (m_nLine == 2) {
            m_result.bHaveFirstRecord = true;
            m_result.tFirst = m_builder.GetFirstTime();
        }
        return true;
    case EAppendStatus::InvalidRecord:
        return Stop(CLoadResult::EStatus::InvalidRecord, DescribeInvalidRecord(line, fields));
    case EAppendStatus::SpanTooLong:
        return Stop(CLoadResult::EStatus::SpanTooLong,
                    "Line " + FormatWithThousands(m_nLine) + " (\"" + Excerpt(line) +
                        "\") lies " +
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

CLoadResult LoadRecorderData(std::string_view data, std::int64_t nMaxSamples,
                             const CReadOptions& options)
{
    CRecorderReader reader(nMaxSamples, options);
    reader.Feed(data.data(), data.size());
    return reader.Finish();
}

CLoadResult LoadRecorderFile(const std::filesystem::path& path, const LoadProgress& progress,
                             const CReadOptions& options)
{
    auto fail = [&](const std::string& strWhy) {
        CLoadResult result;
        result.status = CLoadResult::EStatus::CannotOpen;
        result.strMessage = "Cannot read \"" + path.filename().string() + "\": " + strWhy;
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

    CRecorderReader reader(CSeriesBuilder::MaxSamples(), options);
    std::unique_ptr<char[]> buffer(new char[kChunkSize]);
    std::uint64_t nDone = 0;
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
        if (progress && !progress(nDone, nTotal)) {
            CLoadResult result;
            result.status = CLoadResult::EStatus::Cancelled;
            return result;
        }
    }
    return reader.Finish();
}
