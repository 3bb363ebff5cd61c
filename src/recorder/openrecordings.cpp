#include "recorder/openrecordings.h"

#include "recorder/joinrecordings.h"
#include "recorder/layoutreader.h"
#include "recorder/readasone.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <ctime>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

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
        const std::string& strDoubt = file.open.recognition.strDoubt;
        return strName + ": " + (strDoubt.empty() ? "its layout is not recognised." : strDoubt);
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
    // In one read as far as its size goes, and whatever it has grown by since after that.
    std::error_code error;
    const std::uintmax_t nSize = std::filesystem::file_size(path, error);
    data.clear();
    if (!error && nSize < data.max_size()) {
        data.resize(static_cast<std::size_t>(nSize));
        file.read(data.data(), static_cast<std::streamsize>(nSize));
        data.resize(static_cast<std::size_t>(file.gcount()));
        if (file.bad())
            return false;
        if (!file.eof())
            file.clear();
    }
    data.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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

// Opens every file on threads of their own, several at a time: a file's reading has a serial
// start and end (its head, the records taken in file order) that the other files' reading
// fills. With at least a file a core, each file is read by one thread, a core each, which
// holds the least memory (nine minute months: a peak of 37 MB, against 51 MB read two at a
// time in stretches); with fewer, two at a time, each on every core. Only the calling thread
// reports progress (a window's bar lives there) and asks finder. False when cancelled.
bool ReadFiles(const std::vector<std::filesystem::path>& paths,
               const std::vector<std::uint64_t>& arrSizes, const CLayout* pLayout,
               const LoadProgress& progress, const LayoutFinder& finder,
               std::vector<COpenedFile>& files)
{
    const std::size_t nFiles = paths.size();
    files.resize(nFiles);
    std::uint64_t nTotal = 0;
    for (std::uint64_t nSize : arrSizes)
        nTotal += nSize;
    std::unique_ptr<std::atomic<std::uint64_t>[]> arrDone(new std::atomic<std::uint64_t>[nFiles]);
    for (std::size_t i = 0; i < nFiles; ++i)
        arrDone[i] = 0;
    std::atomic<bool> bStop{false};
    std::atomic<std::size_t> nNext{0};
    std::mutex mutex;
    std::condition_variable wake;
    const unsigned nCores = std::max(1u, std::thread::hardware_concurrency());
    const bool bThreadEach = nFiles >= nCores;
    CReadOptions options;
    options.nThreads = bThreadEach ? 1 : 0;
    std::size_t nRunning = std::min<std::size_t>(bThreadEach ? nCores : 2, nFiles);
    const auto work = [&]() {
        for (;;) {
            const std::size_t i = nNext.fetch_add(1);
            if (i >= nFiles || bStop)
                break;
            files[i].path = paths[i];
            const LoadProgress fileProgress = [&, i](std::uint64_t nDone, std::uint64_t) {
                arrDone[i] = std::min(nDone, arrSizes[i]);
                return !bStop;
            };
            try {
                files[i].open =
                    OpenRecordingFile(paths[i], pLayout, fileProgress, LayoutFinder(), options);
            } catch (...) {
                files[i].open.bRead = true;
                files[i].open.load.status = CLoadResult::EStatus::OutOfMemory;
                files[i].open.load.strMessage = "Memory ran out while reading the file.";
            }
            arrDone[i] = arrSizes[i];
        }
        const std::lock_guard<std::mutex> lock(mutex);
        --nRunning;
        wake.notify_one();
    };
    const std::size_t nPlanned = nRunning;
    std::vector<std::thread> threads;
    try {
        for (std::size_t k = 0; k < nPlanned; ++k)
            threads.emplace_back(work);
    } catch (const std::system_error&) {
        const std::lock_guard<std::mutex> lock(mutex);
        nRunning -= nPlanned - threads.size();
    }
    if (threads.empty()) {
        // No thread to spare: the calling thread reads them all, and reports at the end.
        nRunning = 1;
        work();
    }
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex);
        if (nRunning == 0)
            break;
        wake.wait_for(lock, std::chrono::milliseconds(50));
        lock.unlock();
        std::uint64_t nDone = 0;
        for (std::size_t i = 0; i < nFiles; ++i)
            nDone += arrDone[i];
        if (progress && !progress(nDone, nTotal))
            bStop = true;
    }
    for (std::thread& thread : threads)
        thread.join();
    if (bStop)
        return false;
    // A file whose layout was not recognised reads by a layout saved for its header, asked
    // here on the calling thread.
    for (std::size_t i = 0; i < nFiles && finder; ++i)
        if (!files[i].open.bRead)
            files[i].open = OpenRecordingFile(paths[i], pLayout, LoadProgress(), finder);
    return true;
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
    if (std::optional<COpenFilesResult> asOne = ReadAsOneFile(paths, pLayout, progress))
        return std::move(*asOne);
    COpenFilesResult result;
    std::vector<std::uint64_t> arrSizes;
    std::uint64_t nTotal = 0;
    for (const std::filesystem::path& path : paths) {
        std::error_code error;
        const std::uint64_t nSize = std::filesystem::file_size(path, error);
        arrSizes.push_back(error ? 0 : nSize);
        nTotal += arrSizes.back();
    }
    if (!ReadFiles(paths, arrSizes, pLayout, progress, finder, result.files)) {
        result.bCancelled = true;
        return result;
    }
    for (COpenedFile& file : result.files)
        file.strMessage = DescribeOpened(file);

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
        const auto readAfter = [&](std::size_t nEarlier,
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
        // The few files read again after the one before them (those near a clock change)
        // are read while the join copies the files before them.
        std::map<std::pair<std::size_t, std::size_t>, std::future<std::optional<CRereadPart>>>
            ahead;
        const std::vector<std::size_t> joinOrder = JoinOrder(spans);
        for (std::size_t k = 1; k < joinOrder.size(); ++k) {
            if (!NearClockChange(spans[joinOrder[k]].first))
                continue;
            try {
                ahead.emplace(std::make_pair(joinOrder[k - 1], joinOrder[k]),
                              std::async(std::launch::async, readAfter, joinOrder[k - 1],
                                         joinOrder[k]));
            } catch (const std::system_error&) {
                break; // no thread to spare: the join reads it when it gets there
            }
        }
        const JoinReread reread = [&](std::size_t nEarlier,
                                      std::size_t nLater) -> std::optional<CRereadPart> {
            const auto it = ahead.find({nEarlier, nLater});
            return it != ahead.end() ? it->second.get() : readAfter(nEarlier, nLater);
        };
        const auto cancelled = [&]() { return progress && !progress(nTotal, nTotal); };
        CJoinResult join = JoinRecordings(std::move(parts), reread, cancelled);
        // Those it did not ask for (it stopped early) end before the files are read afresh.
        for (auto& entry : ahead)
            if (entry.second.valid())
                entry.second.wait();
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
