// Whole recorder files of any bytes, read in one piece and in pieces split at points the input
// chooses: each load must keep the result's invariants, and the two must read alike.
#include "recorder/recorderloader.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

namespace {

// Far apart records would otherwise fill memory up to the machine's limit before the reader
// refuses them. Four curves of this many samples (256 KiB) also stay within the sanitizer's
// pooled allocations: larger blocks are mapped and unmapped on every input, which slows the
// fuzzer more than tenfold. The curve and loader tests cover growth beyond one block.
constexpr std::int64_t kMaxSamples = 1 << 14;

// For an ambiguous local time (a daylight-saving overlap or gap) glibc's mktime answers by
// the offset of its previous result, kept per process. Converting a fixed winter noon before
// each load makes it independent of whatever was converted before.
void ResetMktimeHint()
{
    struct tm tmNoon = {};
    tmNoon.tm_year = 2001 - 1900;
    tmNoon.tm_mday = 15;
    tmNoon.tm_hour = 12;
    tmNoon.tm_isdst = -1;
    mktime(&tmNoon);
}

// Piece lengths, from none to a few kilobytes, follow from the first bytes: mutating the
// header line, which the reader skips, moves the splits.
CLoadResult LoadInPieces(std::string_view data, std::string& strFault)
{
    std::uint64_t nState = 0;
    for (std::size_t i = 0; i < data.size() && i < 8; ++i)
        nState = nState << 8 | static_cast<unsigned char>(data[i]);
    const auto next = [&nState] { // splitmix64
        std::uint64_t z = (nState += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    };
    const std::uint64_t nMaxPiece = std::uint64_t(1) << (next() % 13);
    CRecorderReader reader(kMaxSamples);
    // Pieces keep coming after the reader has stopped, as from a caller that does not check;
    // they must change nothing.
    for (std::size_t nDone = 0; nDone < data.size();) {
        const std::size_t nPiece =
            std::min<std::size_t>(next() % (nMaxPiece + 1), data.size() - nDone);
        const bool bGoingOn = reader.Feed(data.data() + nDone, nPiece);
        if (bGoingOn == reader.HasStopped() && strFault.empty())
            strFault = "Feed's result disagrees with HasStopped";
        nDone += nPiece;
    }
    return reader.Finish();
}

std::string CheckResult(std::string_view data, const CLoadResult& r)
{
    using EStatus = CLoadResult::EStatus;
    const CRecordingView view = r.recording.View();
    const std::int64_t nCount = view.GetCount();
    if (nCount > kMaxSamples)
        return "more samples than the limit";
    if (r.bHaveFirstRecord != (nCount > 0))
        return "bHaveFirstRecord disagrees with the sample count";
    if (!r.bHaveFirstRecord && r.recording.GetFirstTime() != 0)
        return "a first time without a first record";

    switch (r.status) {
    case EStatus::Loaded:
        if (r.nLine != 0 || !r.strMessage.empty() || nCount == 0)
            return "Loaded with a line number, a message or no samples";
        break;
    case EStatus::TooFewLines:
        if (r.nLine != 0 || r.strMessage.empty() || nCount != 0)
            return "TooFewLines with a line number, samples or no message";
        break;
    case EStatus::InvalidRecord:
    case EStatus::SpanTooLong:
    case EStatus::OutOfMemory: {
        // Line 1 is the header, which never stops the reading.
        if (r.nLine < 2 || r.strMessage.empty())
            return "an error without its line or message";
        if (r.strMessage.find(FormatWithThousands(r.nLine)) == std::string::npos)
            return "the message does not name line " + std::to_string(r.nLine);
        const std::int64_t nLines = 1 + std::count(data.begin(), data.end(), '\n');
        if (r.nLine > nLines)
            return "line " + std::to_string(r.nLine) + " named in a file of " +
                   std::to_string(nLines) + " lines";
        break;
    }
    default:
        return "unexpected status " + std::to_string(static_cast<int>(r.status));
    }

    if (r.bHaveFirstRecord) {
        // The first sample holds the values of line 2, found here without the reader.
        const std::size_t nStart = data.find('\n') + 1;
        std::string_view line = data.substr(nStart, data.find('\n', nStart) - nStart);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const CRecordFields f = ParseRecordLine(line);
        const float first[4] = {view.Value(EChannel::TempPV, 0), view.Value(EChannel::TempSV, 0),
                                view.Value(EChannel::HumiPV, 0), view.Value(EChannel::HumiSV, 0)};
        if (std::memcmp(first, &f.fTempPV, sizeof first) != 0)
            return "the first sample does not hold the values of line 2";
    }
    return {};
}

std::string Compare(const CLoadResult& a, const CLoadResult& b)
{
    if (a.status != b.status || a.nLine != b.nLine || a.strMessage != b.strMessage)
        return "status, line or message differ: \"" + a.strMessage + "\" (line " +
               std::to_string(a.nLine) + ") against \"" + b.strMessage + "\" (line " +
               std::to_string(b.nLine) + ")";
    if (a.bHaveFirstRecord != b.bHaveFirstRecord ||
        a.recording.GetFirstTime() != b.recording.GetFirstTime())
        return "first record or first time differ";
    if (a.GetSampleCount() != b.GetSampleCount())
        return "sample counts differ: " + std::to_string(a.GetSampleCount()) + " against " +
               std::to_string(b.GetSampleCount());
    // The per-second series, however each load stored it.
    const CRecordingView viewA = a.recording.View();
    const CRecordingView viewB = b.recording.View();
    for (EChannel eChannel : kChannels)
        for (std::int64_t i = 0; i < viewA.GetCount(); ++i)
            if (std::bit_cast<std::uint32_t>(viewA.Value(eChannel, i)) !=
                std::bit_cast<std::uint32_t>(viewB.Value(eChannel, i)))
                return "sample values differ at " + std::to_string(i);
    return {};
}

std::string Check(std::string_view data)
{
    ResetMktimeHint();
    const CLoadResult whole = LoadRecorderData(data, kMaxSamples);
    std::string strFault = CheckResult(data, whole);
    if (!strFault.empty())
        return "in one piece: " + strFault;
    ResetMktimeHint();
    const CLoadResult pieces = LoadInPieces(data, strFault);
    if (strFault.empty())
        strFault = CheckResult(data, pieces);
    if (!strFault.empty())
        return "in pieces: " + strFault;
    strFault = Compare(whole, pieces);
    if (!strFault.empty())
        return "one piece against many: " + strFault;
    // Stretches of a few bytes on two threads, each written straight into the series.
    ResetMktimeHint();
    strFault = Compare(whole, LoadRecorderData(data, kMaxSamples, CReadOptions{2, 7}));
    if (!strFault.empty())
        return "in order against in stretches: " + strFault;
    return {};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A zone with daylight saving, so that records fall into its gaps and overlaps.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string_view data(reinterpret_cast<const char*>(pData), nSize);
    const std::string strFault = Check(data);
    if (!strFault.empty()) {
        std::fprintf(stderr, "%s\n", strFault.c_str());
        __builtin_trap();
    }
    return 0;
}
