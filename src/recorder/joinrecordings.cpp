#include "recorder/joinrecordings.h"

#include "recorder/recordseries.h"

#include <algorithm>
#include <climits>
#include <numeric>

std::vector<std::size_t> JoinOrder(const std::vector<FileSpan>& spans)
{
    std::vector<std::size_t> order(spans.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return spans[a].first < spans[b].first; });
    return order;
}

bool FilesFollowOneAnother(const std::vector<FileSpan>& spans)
{
    const std::vector<std::size_t> order = JoinOrder(spans);
    std::int64_t tEnd = INT64_MIN;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto [tFirst, tFileEnd] = spans[order[k]];
        if (k > 0) {
            const std::int64_t nAfter =
                std::max<std::int64_t>(0, tFileEnd - std::max(tFirst, tEnd));
            if (2 * nAfter <= tFileEnd - tFirst)
                return false;
        }
        tEnd = std::max(tEnd, tFileEnd);
    }
    return true;
}

void CountRecordIntervals(const CRecording& recording, std::vector<std::int64_t>& arrLengths,
                          std::vector<std::int64_t>& arrCounts)
{
    CountRecordIntervals(recording.View(), arrLengths, arrCounts);
}

void CountRecordIntervals(const CRecordingView& view, std::vector<std::int64_t>& arrLengths,
                          std::vector<std::int64_t>& arrCounts)
{
    const auto count = [&](std::int64_t nLength, std::int64_t nTimes) {
        const auto it = std::find(arrLengths.begin(), arrLengths.end(), nLength);
        if (it != arrLengths.end()) {
            arrCounts[static_cast<std::size_t>(it - arrLengths.begin())] += nTimes;
        } else {
            arrLengths.push_back(nLength);
            arrCounts.push_back(nTimes);
        }
    };
    // Files hold few distinct intervals; a file with many (a recorder's clock drifting)
    // stops being counted beyond this many, which changes the answer little.
    constexpr std::size_t kMaxLengths = 256;
    std::int64_t nDense = 0;
    view.ForEachRun(
        [&](std::int64_t, std::int64_t nSeconds, const float* const*, bool bHeld) {
            // A held second alone is the end of a longer one that the view cuts: its record
            // counts as the first of a file alone does, as a second of its own.
            if (!bHeld || nSeconds == 1)
                nDense += nSeconds;
            else if (arrLengths.size() < kMaxLengths ||
                     std::find(arrLengths.begin(), arrLengths.end(), nSeconds) != arrLengths.end())
                count(nSeconds, 1);
        });
    if (nDense > 0)
        count(1, nDense);
}

std::int64_t MostCommonInterval(const std::vector<std::int64_t>& arrLengths,
                                const std::vector<std::int64_t>& arrCounts)
{
    std::int64_t nBest = 1;
    std::int64_t nBestCount = 0;
    for (std::size_t i = 0; i < arrLengths.size(); ++i)
        if (arrCounts[i] > nBestCount || (arrCounts[i] == nBestCount && arrLengths[i] < nBest)) {
            nBest = arrLengths[i];
            nBestCount = arrCounts[i];
        }
    return nBest;
}

namespace {

std::string FileList(const std::vector<CRecording>& parts, const std::vector<std::size_t>& order)
{
    std::string strList;
    for (std::size_t i : order) {
        if (!strList.empty())
            strList += ", ";
        strList += parts[i].SourceName(0);
    }
    return strList;
}

CJoinResult Failed(CJoinResult::EStatus status, std::string strMessage)
{
    CJoinResult result;
    result.status = status;
    result.strMessage = std::move(strMessage);
    return result;
}

} // namespace

CJoinResult JoinRecordings(std::vector<CRecording> parts, const JoinReread& fnReread,
                           const std::function<bool()>& fnCancelled, std::int64_t nMaxSamples)
{
    if (nMaxSamples < 0)
        nMaxSamples = CSeriesBuilder::MaxSamples();
    std::vector<FileSpan> spans;
    std::vector<std::size_t> used; // indices of the parts with samples
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (!parts[i].IsEmpty())
            used.push_back(i);
    if (used.empty())
        return Failed(CJoinResult::EStatus::Empty, "None of the files holds a record.");
    for (std::size_t i : used)
        spans.push_back({parts[i].GetFirstTime(), parts[i].GetFirstTime() + parts[i].GetCount()});
    std::vector<std::size_t> order = JoinOrder(spans);
    for (std::size_t& k : order)
        k = used[k];

    std::int64_t tBegin = INT64_MAX;
    std::int64_t tEnd = INT64_MIN;
    std::vector<std::int64_t> arrLengths;
    std::vector<std::int64_t> arrCounts;
    for (std::size_t i : order) {
        tBegin = std::min(tBegin, parts[i].GetFirstTime());
        tEnd = std::max(tEnd, parts[i].GetFirstTime() + parts[i].GetCount());
        CountRecordIntervals(parts[i], arrLengths, arrCounts);
    }
    if (tEnd - tBegin > nMaxSamples) {
        const std::int64_t nDays = (tEnd - tBegin) / 86400;
        return Failed(
            CJoinResult::EStatus::SpanTooLong,
            "The files span " + std::to_string(nDays) + " days (" + std::to_string(tEnd - tBegin) +
                " seconds), more than the " + std::to_string(nMaxSamples) +
                " seconds a recording holds, and cannot be joined: " + FileList(parts, order) +
                ".");
    }
    const std::int64_t nInterval = MostCommonInterval(arrLengths, arrCounts);
    // Named before the parts are taken, for a message.
    const std::string strFiles = FileList(parts, order);

    CJoinResult result;
    CRecording& joined = result.recording;
    // Mostly dense samples go into storage sized for the whole span at once, which never
    // grows; the first part is copied too. Otherwise the first part is taken as it is and the
    // rest appended to it. No large pages here: the parts just freed leave memory in pieces,
    // and the kernel then stalls for tens of milliseconds at a time gathering a large page,
    // several times over (seen joining forty day files: the join took up to 0.6 s, 40 ms
    // with small pages).
    std::int64_t nDense = 0;
    for (std::size_t i = 0; i < arrLengths.size(); ++i)
        if (arrLengths[i] == 1)
            nDense = arrCounts[i];
    if (2 * nDense >= tEnd - tBegin) {
        for (EChannel eChannel : kChannels)
            if (!joined.DenseSamples(eChannel).Reserve(tEnd - tBegin))
                return Failed(CJoinResult::EStatus::OutOfMemory,
                              "Memory ran out while joining " + strFiles + ".");
        const CRecording& first = parts[order[0]];
        joined.SetFirstTime(first.GetFirstTime());
        for (EChannel eChannel : kChannels)
            joined.SetChannelPresent(eChannel, first.HasChannel(eChannel));
        joined.SetSource(first.GetSource());
        if (!joined.AppendView(first.View()))
            return Failed(CJoinResult::EStatus::OutOfMemory,
                          "Memory ran out while joining " + strFiles + ".");
        parts[order[0]] = CRecording();
    } else {
        joined = std::move(parts[order[0]]);
    }
    std::vector<CRecordingSource> sources;
    std::vector<CJoinBorder> borders;
    const auto addSource = [&](const CRecording& part) {
        CRecordingSource source = part.GetSource();
        source.tFirst = part.GetFirstTime();
        source.tLast = part.GetFirstTime() + part.GetCount() - 1;
        sources.push_back(std::move(source));
    };
    addSource(joined);
    for (std::size_t k = 1; k < order.size(); ++k) {
        if (fnCancelled && fnCancelled())
            return Failed(CJoinResult::EStatus::Cancelled, {});
        CRecording part = std::move(parts[order[k]]);
        const std::int64_t tJoinedEnd = joined.GetFirstTime() + joined.GetCount();
        const std::int64_t tFirst = part.GetFirstTime();
        const std::int64_t tPartEnd = tFirst + part.GetCount();
        const std::size_t nFile = sources.size();
        addSource(part);
        for (EChannel eChannel : kChannels)
            if (part.HasChannel(eChannel))
                joined.SetChannelPresent(eChannel, true);

        std::optional<CRereadPart> reread;
        if (fnReread)
            reread = fnReread(order[k - 1], order[k]);
        // Where the later file starts when read after the earlier one.
        std::int64_t tStart = tFirst;
        if (reread)
            tStart = reread->tLaterFirst == INT64_MIN ? std::min(tFirst, tJoinedEnd - 1)
                                                      : reread->tLaterFirst;
        if (tStart < tJoinedEnd)
            borders.push_back({CJoinBorder::EKind::Overlap, nFile, tStart,
                               std::min(tJoinedEnd, std::max(tStart + 1, tPartEnd)) - 1});
        else if (tStart - tJoinedEnd > nInterval)
            borders.push_back({CJoinBorder::EKind::Gap, nFile, tJoinedEnd, tStart - 1});

        bool bAppended = true;
        if (reread) {
            // Read after the earlier file, as the files one after the other are read.
            part = CRecording();
            const CRecording& both = reread->recording;
            bAppended =
                joined.AppendView(both.View(tJoinedEnd - both.GetFirstTime(), both.GetCount()));
        } else if (tFirst < tJoinedEnd) {
            bAppended = joined.AppendView(part.View(tJoinedEnd - tFirst, part.GetCount()));
        } else {
            // The first record ends the gap and gives it its values, kept once where the
            // gap is long, as the expansion of one file does.
            const CRecordingView view = part.View();
            float afFirst[4];
            for (int c = 0; c < kChannelCount; ++c)
                afFirst[c] = view.Value(kChannels[c], 0);
            const std::int64_t nFill = tFirst - tJoinedEnd + 1;
            if (nFill > CSeriesBuilder::kHeldAfter) {
                bAppended = joined.AddHeld(afFirst, nFill);
            } else {
                float aafFill[4][CSeriesBuilder::kHeldAfter];
                for (int c = 0; c < kChannelCount; ++c)
                    std::fill_n(aafFill[c], nFill, afFirst[c]);
                bAppended = joined.AppendView(
                    CRecordingView(aafFill[0], aafFill[1], aafFill[2], aafFill[3], nFill));
            }
            bAppended = bAppended && joined.AppendView(view.Stretch(1, view.GetCount()));
        }
        if (!bAppended)
            return Failed(CJoinResult::EStatus::OutOfMemory,
                          "Memory ran out while joining " + strFiles + ".");
    }
    joined.SetSources(std::move(sources));
    joined.SetBorders(std::move(borders));
    joined.ReleaseUnusedPages();
    result.status = CJoinResult::EStatus::Joined;
    return result;
}
