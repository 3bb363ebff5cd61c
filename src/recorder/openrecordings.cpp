#include "recorder/openrecordings.h"

#include "recorder/joinrecordings.h"
#include "recorder/layoutreader.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

std::string NameOf(const std::filesystem::path& path)
{
    const std::u8string strName = path.filename().u8string();
    return std::string(strName.begin(), strName.end());
}

std::string DescribeOpened(const COpenedFile& file)
{
    const std::string strName = NameOf(file.path);
    if (!file.open.bRead) {
        if (file.open.load.status == CLoadResult::EStatus::Cancelled)
            return {};
        return strName + ": " +
               (file.open.recognition.eResult == CRecognition::EResult::Doubt
                    ? "the layout is in doubt; choose it in the import window."
                    : "the layout is not known; describe it in the import window.");
    }
    if (file.open.load.status == CLoadResult::EStatus::Loaded)
        return {};
    return strName + ": " + file.open.load.strMessage;
}

// The wall clock's offset from UTC at t, in seconds.
std::optional<std::int64_t> UtcOffsetAt(std::int64_t t)
{
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm tmLocal = {};
#if defined(_WIN32)
    if (localtime_s(&tmLocal, &tt) != 0)
        return std::nullopt;
#else
    if (!localtime_r(&tt, &tmLocal))
        return std::nullopt;
#endif
    CRecordFields fields;
    fields.nYear = tmLocal.tm_year + 1900;
    fields.nMonth = tmLocal.tm_mon + 1;
    fields.nDay = tmLocal.tm_mday;
    fields.nHour = tmLocal.tm_hour;
    fields.nMinute = tmLocal.tm_min;
    fields.nSecond = tmLocal.tm_sec;
    return CRecordClock::WallSeconds(fields) - t;
}

bool ReadWhole(const std::filesystem::path& path, std::string& data)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

std::string_view WithoutHeader(std::string_view data, const CLayout& layout)
{
    std::size_t nAt = 0;
    for (int i = 0; i < std::max(1, layout.nSkipLines) && nAt < data.size(); ++i) {
        const std::size_t nLf = data.find('\n', nAt);
        nAt = nLf == std::string_view::npos ? data.size() : nLf + 1;
    }
    return data.substr(nAt);
}

CLoadResult LoadData(const std::string& data, const CLayout& layout)
{
    return layout.bRecorder ? LoadRecorderData(data) : LoadLayoutData(data, layout);
}

} // namespace

std::optional<CRereadPart> ReadOneAfterOther(std::string earlier, const std::string& later,
                                             const CLayout& layout, std::int64_t tEarlierEnd)
{
    if (!earlier.empty() && earlier.back() != '\n')
        earlier += '\n';
    const std::size_t nEarlier = earlier.size();
    const std::string_view records = WithoutHeader(later, layout);
    // The earlier file and the later one's first record tell where the later one starts.
    earlier.append(records.substr(0, records.find('\n')));
    earlier += '\n';
    const CLoadResult first = LoadData(earlier, layout);
    earlier.resize(nEarlier);
    earlier.append(records);
    CLoadResult both = LoadData(earlier, layout);
    if (both.recording.IsEmpty())
        return std::nullopt;
    const std::int64_t tFirstEnd = first.recording.GetFirstTime() + first.recording.GetCount();
    CRereadPart part;
    part.recording = std::move(both.recording);
    part.tLaterFirst = tFirstEnd > tEarlierEnd ? tFirstEnd - 1 : INT64_MIN;
    return part;
}

bool NearClockChange(std::int64_t t)
{
    constexpr std::int64_t kHours = 3 * 3600;
    const std::optional<std::int64_t> nBefore = UtcOffsetAt(t - kHours);
    const std::optional<std::int64_t> nAfter = UtcOffsetAt(t + kHours);
    return !nBefore || !nAfter || *nBefore != *nAfter;
}

COpenFilesResult OpenRecordingFiles(const std::vector<std::filesystem::path>& paths,
                                    const CLayout* pLayout, const LoadProgress& progress,
                                    const LayoutFinder& finder)
{
    COpenFilesResult result;
    std::vector<std::uint64_t> arrSizes;
    std::uint64_t nTotal = 0;
    for (const std::filesystem::path& path : paths) {
        std::error_code error;
        const std::uint64_t nSize = std::filesystem::file_size(path, error);
        arrSizes.push_back(error ? 0 : nSize);
        nTotal += arrSizes.back();
    }
    std::uint64_t nBase = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // Each file reports against its own size; the bar runs over all of them.
        const LoadProgress fileProgress = [&](std::uint64_t nDone, std::uint64_t) {
            return !progress ||
                   progress(nBase + std::min(nDone, arrSizes[i]), std::max(nTotal, nBase + nDone));
        };
        COpenedFile file;
        file.path = paths[i];
        file.open = OpenRecordingFile(paths[i], pLayout, fileProgress, finder);
        file.strMessage = DescribeOpened(file);
        const bool bCancelled = file.open.load.status == CLoadResult::EStatus::Cancelled;
        result.files.push_back(std::move(file));
        if (bCancelled) {
            result.bCancelled = true;
            return result;
        }
        nBase += arrSizes[i];
    }

    std::vector<std::size_t> arrShown; // files with samples
    std::vector<FileSpan> spans;
    for (std::size_t i = 0; i < result.files.size(); ++i) {
        const CRecording& recording = result.files[i].open.load.recording;
        if (result.files[i].open.bRead && !recording.IsEmpty()) {
            arrShown.push_back(i);
            spans.push_back(
                {recording.GetFirstTime(), recording.GetFirstTime() + recording.GetCount()});
        }
    }
    if (arrShown.size() > 1 && FilesFollowOneAnother(spans)) {
        std::vector<CRecording> parts;
        for (std::size_t i : arrShown)
            parts.push_back(std::move(result.files[i].open.load.recording));
        const JoinReread reread = [&](std::size_t nEarlier,
                                      std::size_t nLater) -> std::optional<CRereadPart> {
            const COpenedFile& earlier = result.files[arrShown[nEarlier]];
            const COpenedFile& later = result.files[arrShown[nLater]];
            std::string earlierData;
            std::string laterData;
            if (!NearClockChange(spans[nLater].first) ||
                !(earlier.open.layout == later.open.layout) ||
                !ReadWhole(earlier.path, earlierData) || !ReadWhole(later.path, laterData))
                return std::nullopt;
            return ReadOneAfterOther(std::move(earlierData), laterData, later.open.layout,
                                     spans[nEarlier].second);
        };
        const auto cancelled = [&]() { return progress && !progress(nTotal, nTotal); };
        CJoinResult join = JoinRecordings(std::move(parts), reread, cancelled);
        if (join.status == CJoinResult::EStatus::Cancelled) {
            result.bCancelled = true;
            return result;
        }
        if (join.status == CJoinResult::EStatus::Joined) {
            result.bJoined = true;
            result.recordings.push_back(std::move(join.recording));
            return result;
        }
        // Shown side by side instead, read afresh: the parts were given to the join.
        result.strJoinMessage = join.strMessage;
        for (std::size_t i : arrShown) {
            COpenedFile& file = result.files[i];
            file.open = OpenRecordingFile(file.path, &file.open.layout, LoadProgress(), finder);
        }
    }
    std::vector<std::size_t> order = JoinOrder(spans);
    for (std::size_t k : order) {
        result.arrFileOf.push_back(arrShown[k]);
        result.recordings.push_back(std::move(result.files[arrShown[k]].open.load.recording));
    }
    return result;
}
