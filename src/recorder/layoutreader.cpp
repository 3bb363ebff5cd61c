#include "recorder/layoutreader.h"

#include "recorder/layoutrow.h"
#include "recorder/textencoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>

namespace {

// Files and data are read, and UTF-16 converted, a megabyte at a time, so that the memory
// beyond the recording stays bounded whatever the file's size.
constexpr std::size_t kPieceBytes = 1 << 20;
// Lines between two reports of progress, which also ask whether to cancel.
constexpr std::int64_t kProgressLines = 65536;

// Splits the text fed to it into lines that end with LF, CR LF or CR; a line may continue
// from one piece into the next.
class CLineSplitter
{
public:
    // Calls onLine(line) for every whole line; false once onLine returned false.
    template <class F> bool Feed(const char* p, const char* pEnd, F&& onLine)
    {
        if (m_bAfterCr && p < pEnd) {
            m_bAfterCr = false;
            if (*p == '\n')
                ++p;
        }
        // The next LF and the next CR, each searched for again only once passed, so that a
        // file with only one kind of line end is not searched to its end for the other on
        // every line.
        const char* pLf = nullptr;
        const char* pCr = nullptr;
        while (p < pEnd) {
            if (pLf < p)
                pLf = Find(p, pEnd, '\n');
            if (pCr < p)
                pCr = Find(p, pEnd, '\r');
            const char* const pEol = std::min(pLf, pCr);
            if (pEol == pEnd) {
                m_strPending.append(p, pEnd);
                return true;
            }
            bool bGoOn;
            if (m_strPending.empty()) {
                bGoOn = onLine(std::string_view(p, static_cast<std::size_t>(pEol - p)));
            } else {
                m_strPending.append(p, pEol);
                bGoOn = onLine(std::string_view(m_strPending));
                m_strPending.clear();
            }
            p = pEol + 1;
            if (*pEol == '\r') {
                if (p == pEnd)
                    m_bAfterCr = true;
                else if (*p == '\n')
                    ++p;
            }
            if (!bGoOn)
                return false;
        }
        return true;
    }

    // A last line without a line end is a line too.
    template <class F> void Finish(F&& onLine)
    {
        if (!m_strPending.empty())
            onLine(std::string_view(m_strPending));
        std::string().swap(m_strPending);
    }

private:
    static const char* Find(const char* p, const char* pEnd, char c)
    {
        const void* pFound = std::memchr(p, c, static_cast<std::size_t>(pEnd - p));
        return pFound ? static_cast<const char*>(pFound) : pEnd;
    }

    std::string m_strPending;
    bool m_bAfterCr = false;
};

// Turns the file's bytes, piece by piece, into text the line splitter takes: UTF-16 is
// converted to UTF-8; the other encodings keep ASCII's delimiters, line ends and digits where
// ASCII has them (a Chinese code page's second bytes are never below 0x40), so their bytes
// are split as they are and only the text shown is converted.
class CTextPieces
{
public:
    explicit CTextPieces(EEncoding eEncoding) : m_eEncoding(eEncoding) {}

    // The text of the next piece; valid until the next call.
    std::string_view Next(std::string_view bytes, bool bLast)
    {
        if (m_bFirst) {
            m_bFirst = false;
            std::size_t nBom = 0;
            const EEncoding eBom = DetectBom(bytes, nBom);
            // A byte-order mark says more surely than the layout what the file holds.
            if (nBom > 0) {
                m_eEncoding = eBom;
                bytes.remove_prefix(nBom);
            }
        }
        if (!IsUtf16())
            return bytes;
        m_strCarry.append(bytes);
        const std::size_t nWhole =
            bLast ? m_strCarry.size() : CompleteUtf16Length(m_strCarry, m_eEncoding);
        m_strText.clear();
        AppendUtf8(std::string_view(m_strCarry).substr(0, nWhole), m_eEncoding, m_strText);
        m_strCarry.erase(0, nWhole);
        return m_strText;
    }

    // The encoding of the text Next returns.
    EEncoding TextEncoding() const { return IsUtf16() ? EEncoding::Utf8 : m_eEncoding; }

private:
    bool IsUtf16() const
    {
        return m_eEncoding == EEncoding::Utf16LE || m_eEncoding == EEncoding::Utf16BE;
    }

    EEncoding m_eEncoding;
    bool m_bFirst = true;
    std::string m_strCarry; // UTF-16 bytes of a character cut by the piece's end
    std::string m_strText;
};

std::string FormatWallTime(const CRecordFields& f)
{
    char sz[96];
    std::snprintf(sz, sizeof sz, "%04d/%02d/%02d %02d:%02d:%02d", f.nYear, f.nMonth, f.nDay,
                  f.nHour, f.nMinute, f.nSecond);
    return sz;
}

// Reads the lines of a file of one layout into a recording, in file order.
class CLayoutLoader
{
public:
    CLayoutLoader(const CLayout& layout, std::int64_t nMaxSamples, const LoadProgress& progress)
        : m_layout(layout), m_builder(m_result.recording, nMaxSamples), m_rows(layout),
          m_progress(progress), m_text(layout.eEncoding)
    {
        m_result.status = CLoadResult::EStatus::Loaded;
        m_builder.SetCancelCheck([this] { return !Report(); });
        std::string strWhy;
        if (!m_rows.CanRead(strWhy))
            Stop(CLoadResult::EStatus::TooFewLines, strWhy);
    }

    bool HasStopped() const { return m_result.status != CLoadResult::EStatus::Loaded; }

    // The next piece of the file's bytes; nDone: the bytes read up to its end, of nTotal.
    bool Feed(std::string_view bytes, bool bLast, std::uint64_t nDone, std::uint64_t nTotal)
    {
        m_nTotal = nTotal;
        if (HasStopped())
            return false;
        const std::string_view text = m_text.Next(bytes, bLast);
        const bool bGoOn =
            m_splitter.Feed(text.data(), text.data() + text.size(),
                            [this](std::string_view line) { return ReadLine(line); });
        m_nDone = nDone;
        return bGoOn && !HasStopped() && Report();
    }

    CLoadResult Finish()
    {
        if (!HasStopped())
            m_splitter.Finish([this](std::string_view line) { return ReadLine(line); });
        if (!HasStopped() && !m_result.bHaveFirstRecord)
            Stop(CLoadResult::EStatus::TooFewLines,
                 m_nLine == 0 ? "The file is empty."
                              : "The file holds no record that its layout reads.");
        if (m_result.status == CLoadResult::EStatus::TooFewLines)
            m_result.nLine = 0;
        for (int k = 0; k < kChannelCount; ++k)
            if (!m_rows.HasChannel(k))
                m_result.recording.SetChannelPresent(kChannels[k], false);
        return std::move(m_result);
    }

private:
    bool Report()
    {
        if (m_bCancelled || (m_progress && !m_progress(std::min(m_nDone, m_nTotal), m_nTotal)))
            m_bCancelled = true;
        if (m_bCancelled && !HasStopped())
            Stop(CLoadResult::EStatus::Cancelled, "The reading was cancelled.");
        return !m_bCancelled;
    }

    bool ReadLine(std::string_view line)
    {
        ++m_nLine;
        if (m_nLine <= m_layout.nSkipLines)
            return true;
        if (++m_nSinceReport == kProgressLines) {
            m_nSinceReport = 0;
            if (!Report())
                return false;
        }
        switch (m_rows.Read(line)) {
        case CLayoutRowReader::ERow::Skipped:
            return true;
        case CLayoutRowReader::ERow::Fault:
            return Stop(CLoadResult::EStatus::InvalidRecord,
                        m_rows.DescribeFault(m_nLine, m_text.TextEncoding()) +
                            " The records before this line were read.");
        case CLayoutRowReader::ERow::Record:
            break;
        }
        const bool bFirst = !m_result.bHaveFirstRecord;
        EAppendStatus status;
        std::int64_t t = 0;
        if (m_rows.UtcTime(t)) {
            const CRecordFields& f = m_rows.Fields();
            const float afValues[4] = {f.fTempPV, f.fTempSV, f.fHumiPV, f.fHumiSV};
            status =
                bFirst ? m_builder.AppendFirstAt(t, afValues) : m_builder.AppendAt(t, afValues);
        } else {
            status = bFirst ? m_builder.AppendFirstRecord(m_rows.Fields())
                            : m_builder.AppendRecord(m_rows.Fields());
        }
        switch (status) {
        case EAppendStatus::Appended:
            m_result.bHaveFirstRecord = true;
            return true;
        case EAppendStatus::InvalidRecord:
            return Stop(CLoadResult::EStatus::InvalidRecord,
                        "Line " + FormatWithThousands(m_nLine) + ": the local time " +
                            FormatWallTime(m_rows.Fields()) +
                            " cannot be converted. The records before this line were read.");
        case EAppendStatus::SpanTooLong:
            return Stop(CLoadResult::EStatus::SpanTooLong,
                        SpanTooLongMessage(m_nLine, std::string(), m_builder));
        case EAppendStatus::OutOfMemory:
            return Stop(CLoadResult::EStatus::OutOfMemory,
                        "Memory ran out at line " + FormatWithThousands(m_nLine) +
                            ". The records before this line were read.");
        case EAppendStatus::Cancelled:
            return Stop(CLoadResult::EStatus::Cancelled, "The reading was cancelled.");
        }
        return true;
    }

    bool Stop(CLoadResult::EStatus status, std::string strMessage)
    {
        m_result.status = status;
        m_result.nLine = m_nLine;
        m_result.strMessage = std::move(strMessage);
        return false;
    }

    const CLayout& m_layout;
    CLoadResult m_result;
    CSeriesBuilder m_builder;
    CLayoutRowReader m_rows;
    const LoadProgress& m_progress;
    CTextPieces m_text;
    CLineSplitter m_splitter;
    std::int64_t m_nLine = 0;
    std::int64_t m_nSinceReport = 0;
    std::uint64_t m_nDone = 0;
    std::uint64_t m_nTotal = 0;
    bool m_bCancelled = false;
};

CLoadResult OutOfMemory()
{
    CLoadResult result;
    result.status = CLoadResult::EStatus::OutOfMemory;
    result.strMessage = "Memory ran out while reading the file.";
    return result;
}

} // namespace

CLoadResult LoadLayoutData(std::string_view data, const CLayout& layout,
                           const LoadProgress& progress, std::int64_t nMaxSamples)
{
    try {
        CLayoutLoader loader(layout, nMaxSamples, progress);
        for (std::size_t nAt = 0; nAt < data.size() || nAt == 0;) {
            const std::size_t nBytes = std::min(kPieceBytes, data.size() - nAt);
            nAt += nBytes;
            if (!loader.Feed(data.substr(nAt - nBytes, nBytes), nAt == data.size(), nAt,
                             data.size()) ||
                nBytes == 0)
                break;
        }
        CLoadResult result = loader.Finish();
        result.recording.SetSource({{}, data.size()});
        return result;
    } catch (const std::bad_alloc&) {
        // A line too long for the memory left.
        return OutOfMemory();
    }
}

CLoadResult LoadLayoutFile(const std::filesystem::path& path, const CLayout& layout,
                           const LoadProgress& progress)
{
    CLoadFile opened;
    CLoadResult failure;
    if (!OpenLoadFile(path, opened, failure))
        return failure;
    std::FILE* const pFile = opened.pFile.get();
    const std::uint64_t nTotal = opened.nSize;
    try {
        CLayoutLoader loader(layout, CSeriesBuilder::MaxSamples(), progress);
        // Read in file order a megabyte at a time, which also reads pipes and devices.
        std::unique_ptr<char[]> buffer(new char[kPieceBytes]);
        std::uint64_t nDone = 0;
        for (;;) {
            const std::size_t nRead = std::fread(buffer.get(), 1, kPieceBytes, pFile);
            if (nRead == 0 && std::ferror(pFile))
                return CannotRead(path, std::strerror(errno) + std::string("."));
            nDone += nRead;
            const bool bLast = nRead < kPieceBytes;
            if (!loader.Feed(std::string_view(buffer.get(), nRead), bLast, nDone,
                             std::max(nTotal, nDone)) ||
                bLast)
                break;
        }
        CLoadResult result = loader.Finish();
        result.recording.SetSource({path, nDone});
        return result;
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

namespace {

// What the import window shows of a cell: its text in UTF-8, cut where it grows long.
constexpr std::size_t kPreviewCellBytes = 256;
constexpr std::size_t kPreviewCells = 256;
constexpr std::size_t kPreviewLines = 1000;

std::vector<std::string> PreviewCells(std::string_view line, const CLayout& layout,
                                      EEncoding eEncoding, std::vector<std::string_view>& cells)
{
    SplitCells(line, layout.cDelimiter, layout.cQuote, cells);
    std::vector<std::string> arrTexts;
    for (std::size_t i = 0; i < cells.size() && i < kPreviewCells; ++i)
        arrTexts.push_back(DecodeToUtf8(
            UnquoteCell(cells[i].substr(0, kPreviewCellBytes), layout.cQuote), eEncoding));
    return arrTexts;
}

} // namespace

CLayoutPreview PreviewLayout(std::string_view data, const CLayout& layout, std::size_t nRecords)
{
    CLayoutPreview preview;
    CLayoutRowReader rows(layout);
    std::string strWhy;
    if (!rows.CanRead(strWhy))
        preview.arrFaults.push_back({0, strWhy});
    const bool bCanRead = strWhy.empty();
    CTextPieces text(layout.eEncoding);
    CLineSplitter splitter;
    CRecordClock clock;
    std::vector<std::string_view> cells;
    std::int64_t nLine = 0;
    const std::size_t nMaxLines = std::min<std::size_t>(
        kPreviewLines, static_cast<std::size_t>(layout.nSkipLines) + nRecords);
    const auto onLine = [&](std::string_view line) {
        ++nLine;
        const EEncoding eEncoding = text.TextEncoding();
        if (nLine == layout.nHeaderLine)
            preview.arrColumnNames = PreviewCells(line, layout, eEncoding, cells);
        if (preview.arrLines.size() < nMaxLines)
            preview.arrLines.push_back(PreviewCells(line, layout, eEncoding, cells));
        if (nLine <= layout.nSkipLines)
            return true;
        if (!bCanRead)
            return preview.arrLines.size() < nMaxLines;
        switch (rows.Read(line)) {
        case CLayoutRowReader::ERow::Skipped:
            return true;
        case CLayoutRowReader::ERow::Fault:
            preview.arrFaults.push_back({nLine, rows.DescribeFault(nLine, eEncoding)});
            break;
        case CLayoutRowReader::ERow::Record: {
            CLayoutPreview::CRecord record;
            record.nLine = nLine;
            const CRecordFields& f = rows.Fields();
            if (!rows.UtcTime(record.t) && RecordTime(clock, f, record.t) != ERecordFault::None) {
                preview.arrFaults.push_back({nLine, "Line " + FormatWithThousands(nLine) +
                                                        ": the local time " + FormatWallTime(f) +
                                                        " cannot be converted."});
                break;
            }
            const float afValues[4] = {f.fTempPV, f.fTempSV, f.fHumiPV, f.fHumiSV};
            std::copy(afValues, afValues + 4, record.afValues);
            preview.arrRecords.push_back(record);
            break;
        }
        }
        return preview.arrRecords.size() + preview.arrFaults.size() < nRecords;
    };
    bool bGoOn = nRecords > 0 || preview.arrLines.size() < nMaxLines;
    for (std::size_t nAt = 0; bGoOn && nAt < data.size();) {
        const std::size_t nBytes = std::min(kPieceBytes, data.size() - nAt);
        nAt += nBytes;
        const std::string_view piece =
            text.Next(data.substr(nAt - nBytes, nBytes), nAt == data.size());
        bGoOn = splitter.Feed(piece.data(), piece.data() + piece.size(), onLine);
    }
    if (bGoOn)
        splitter.Finish(onLine);
    return preview;
}
