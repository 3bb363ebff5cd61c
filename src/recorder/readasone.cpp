#include "recorder/readasone.h"

#include "recorder/joinrecordings.h"
#include "recorder/layoutrecognition.h"
#include "recorder/positionalfile.h"
#include "recorder/recordpieces.h"

#include <algorithm>
#include <memory>
#include <system_error>
#include <utility>

namespace {

// The records of several files one after the other, each later file's header line left
// out, and a line end added after a last line without one.
class CFilesInTurn : public CRecordSource
{
public:
    struct CPart
    {
        const CPositionalFile* pFile = nullptr;
        std::uint64_t nFrom = 0; // the file's bytes read, from here
        std::uint64_t nTo = 0;   // up to here
        bool bAddLf = false;
    };

    explicit CFilesInTurn(std::vector<CPart> parts) : m_parts(std::move(parts))
    {
        for (const CPart& part : m_parts) {
            m_arrStarts.push_back(m_nSize);
            m_nSize += part.nTo - part.nFrom + (part.bAddLf ? 1 : 0);
        }
    }

    std::uint64_t GetSize() const override { return m_nSize; }
    bool Read(std::uint64_t nOffset, std::size_t nBytes, std::vector<char>& buffer,
              std::size_t& nRead) const override
    {
        nBytes = MakeRoom(nOffset, nBytes, buffer);
        nRead = 0;
        // The part that holds nOffset, and those after it.
        std::size_t k = static_cast<std::size_t>(
            std::upper_bound(m_arrStarts.begin(), m_arrStarts.end(), nOffset) -
            m_arrStarts.begin() - 1);
        while (nRead < nBytes && k < m_parts.size()) {
            const CPart& part = m_parts[k];
            const std::uint64_t nIn = nOffset + nRead - m_arrStarts[k];
            const std::uint64_t nFileBytes = part.nTo - part.nFrom;
            if (nIn < nFileBytes) {
                const std::size_t nWant = static_cast<std::size_t>(
                    std::min<std::uint64_t>(nBytes - nRead, nFileBytes - nIn));
                std::size_t nGot = 0;
                if (!part.pFile->ReadAt(part.nFrom + nIn, buffer.data() + nRead, nWant, nGot))
                    return false;
                nRead += nGot;
                if (nGot < nWant)
                    return false; // the file shrank since it was measured
            } else {
                buffer[nRead++] = '\n'; // the line end added
            }
            if (nOffset + nRead >= m_arrStarts[k] + nFileBytes + (part.bAddLf ? 1 : 0))
                ++k;
        }
        return true;
    }

private:
    std::vector<CPart> m_parts;
    std::vector<std::uint64_t> m_arrStarts; // each part's first byte here
    std::uint64_t m_nSize = 0;
};

} // namespace

std::optional<COpenFilesResult> ReadAsOneFile(const std::vector<std::filesystem::path>& paths,
                                              const CLayout* pLayout,
                                              const LoadProgress& progress)
{
    if (paths.size() < 2 || (pLayout && !pLayout->bRecorder) || !CRecordClock::CanConvertAlone())
        return std::nullopt;
    const std::size_t nFiles = paths.size();
    std::vector<CLoadFile> opened(nFiles);
    std::vector<std::unique_ptr<CPositionalFile>> positional;
    std::vector<std::uint64_t> arrSizes;
    std::vector<CRecorderEnds> ends;
    std::vector<CRecognition> recognitions(nFiles);
    std::vector<FileSpan> spans;
    std::uint64_t nTotal = 0;
    for (const std::filesystem::path& path : paths) {
        std::error_code error;
        const std::uint64_t nSize = std::filesystem::file_size(path, error);
        nTotal += error ? 0 : nSize;
    }
    for (std::size_t i = 0; i < nFiles; ++i) {
        CLoadResult failure;
        std::error_code error;
        std::uint64_t nSize = 0;
        if (!std::filesystem::is_regular_file(paths[i], error) ||
            !OpenLoadFile(paths[i], opened[i], failure))
            return std::nullopt;
        positional.push_back(std::make_unique<CPositionalFile>(opened[i].pFile.get()));
        if (!positional.back()->IsRegularFile(nSize))
            return std::nullopt;
        if (pLayout) {
            recognitions[i].eResult = CRecognition::EResult::Recorder;
            recognitions[i].layout = *pLayout;
        } else {
            recognitions[i] = RecogniseLayoutFile(paths[i], [&] {
                return progress && !progress(0, nTotal);
            });
            if (recognitions[i].eResult != CRecognition::EResult::Recorder)
                return std::nullopt;
        }
        const CFilesInTurn alone({{positional.back().get(), 0, nSize, false}});
        const std::optional<CRecorderEnds> fileEnds = ReadRecorderEnds(alone);
        if (!fileEnds || fileEnds->tLast < fileEnds->tFirst)
            return std::nullopt;
        arrSizes.push_back(nSize);
        ends.push_back(*fileEnds);
        spans.push_back({fileEnds->tFirst, fileEnds->tLast + 1});
    }
    const std::vector<std::size_t> order = JoinOrder(spans);
    std::vector<CFilesInTurn::CPart> parts;
    for (std::size_t k = 0; k < nFiles; ++k) {
        const std::size_t i = order[k];
        // Each first record's time is the same read alone or after the files before: it is
        // no time that occurs twice or never, which ReadRecorderEnds refuses.
        if (k > 0 && ends[i].tFirst <= ends[order[k - 1]].tLast)
            return std::nullopt;
        parts.push_back({positional[i].get(), k == 0 ? 0 : ends[i].nRecords, arrSizes[i],
                         !ends[i].bEndsWithLf});
    }
    const std::int64_t tBegin = ends[order.front()].tFirst;
    const std::int64_t tEnd = ends[order.back()].tLast + 1;
    if (tEnd - tBegin > CSeriesBuilder::MaxSamples())
        return std::nullopt; // refused by the join, with its message

    COpenFilesResult result;
    CLoadResult load = LoadRecorderSource(CFilesInTurn(std::move(parts)), progress);
    if (load.status == CLoadResult::EStatus::Cancelled) {
        result.bCancelled = true;
        return result;
    }
    CRecording& joined = load.recording;
    if (load.status != CLoadResult::EStatus::Loaded || load.nBehind != 0 ||
        joined.GetFirstTime() != tBegin || joined.GetFirstTime() + joined.GetCount() != tEnd)
        return std::nullopt;

    // Every record after the one before it: each file's seconds are those of its first
    // record to its last, in the joined recording as alone.
    std::vector<std::int64_t> arrLengths;
    std::vector<std::int64_t> arrCounts;
    for (std::size_t i : order)
        CountRecordIntervals(joined.View(spans[i].first - tBegin, spans[i].second - tBegin),
                             arrLengths, arrCounts);
    const std::int64_t nInterval = MostCommonInterval(arrLengths, arrCounts);
    std::vector<CRecordingSource> sources;
    std::vector<CJoinBorder> borders;
    for (std::size_t k = 0; k < nFiles; ++k) {
        const std::size_t i = order[k];
        sources.push_back({paths[i], arrSizes[i], spans[i].first, spans[i].second - 1});
        if (k > 0) {
            const std::int64_t tBefore = spans[order[k - 1]].second;
            if (spans[i].first - tBefore > nInterval)
                borders.push_back({CJoinBorder::EKind::Gap, k, tBefore, spans[i].first - 1});
        }
    }
    joined.SetSources(std::move(sources));
    joined.SetBorders(std::move(borders));

    for (std::size_t i = 0; i < nFiles; ++i) {
        COpenedFile file;
        file.path = paths[i];
        file.open.bRead = true;
        file.open.recognition = std::move(recognitions[i]);
        file.open.layout = pLayout ? *pLayout : RecorderLayout();
        file.open.load.status = CLoadResult::EStatus::Loaded;
        file.open.load.bHaveFirstRecord = true;
        result.files.push_back(std::move(file));
    }
    result.bJoined = true;
    result.recordings.push_back(std::move(joined));
    return result;
}
