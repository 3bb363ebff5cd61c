// Files of any bytes recognised, read by what was recognised and by a few fixed layouts, and
// previewed: each load must keep the result's invariants and stay within its sample limit.
// The input's first byte picks the fixed layout, so that mutations reach every one. Layout files of
// any bytes must read back as they were written once they parse.
#include "recorder/layoutreader.h"
#include "recorder/layoutrecognition.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

namespace {

// As in recorderloader_fuzz.cpp: far apart records would otherwise fill memory.
constexpr std::int64_t kMaxSamples = 1 << 14;

CLayout MakeLayout(const char* szKeys)
{
    CLayout layout;
    std::string strError;
    if (!ParseLayout(std::string("# Trendora layout\n") + szKeys, layout, strError)) {
        std::fprintf(stderr, "%s\n", strError.c_str());
        std::abort();
    }
    return layout;
}

const CLayout& Layout(unsigned char cPick)
{
    static const CLayout layouts[] = {
        MakeLayout("delimiter = semicolon\ndecimal = comma\ndate order = dmy\n"
                   "columns = date,time,temp-pv,temp-sv,humi-pv\n"),
        MakeLayout("delimiter = tab\nskip lines = 3\nheader line = 3\nclock = 12\n"
                   "date order = mdy\ncolumns = datetime,skip,temp-pv,humi-pv,humi-sv\n"
                   "temperature unit = F\nunit in cells = yes\n"),
        MakeLayout("columns = datetime,temp-pv\nzone = in-value\nencoding = utf-16le\n"),
        MakeLayout("delimiter = space\nquote = none\ncolumns = date,time,humi-pv,temp-pv\n"
                   "zone = -04:30\ntemperature unit = K\nencoding = gbk\n"),
        MakeLayout("columns = date,time,temp-pv,temp-sv,humi-pv,humi-sv\n"
                   "encoding = windows-1252\nskip lines = 0\nheader line = 0\n"),
    };
    return layouts[cPick % (sizeof layouts / sizeof layouts[0])];
}

std::string CheckLoad(std::string_view data, const CLoadResult& r)
{
    using EStatus = CLoadResult::EStatus;
    const std::int64_t nCount = r.GetSampleCount();
    // Every second reads from what the recording stores, the last one included.
    const CRecordingView view = r.recording.View();
    if (view.GetCount() != nCount)
        return "the view's count is not the recording's";
    std::int64_t nRunSeconds = 0;
    view.ForEachRun([&](std::int64_t, std::int64_t nSeconds, const float* const*, bool) {
        nRunSeconds += nSeconds;
    });
    if (nRunSeconds != nCount)
        return "the runs do not cover the seconds";
    if (nCount > kMaxSamples)
        return "more samples than the limit";
    if (r.bHaveFirstRecord != (nCount > 0))
        return "bHaveFirstRecord disagrees with the sample count";
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
    case EStatus::OutOfMemory:
        if (r.nLine < 1 || r.strMessage.find(FormatWithThousands(r.nLine)) == std::string::npos)
            return "an error without its line in the message";
        // UTF-16 has at most as many lines as bytes; every other encoding has its LFs and CRs.
        if (r.nLine > static_cast<std::int64_t>(data.size()) + 1)
            return "a line past the end named";
        break;
    default:
        return "unexpected status " + std::to_string(static_cast<int>(r.status));
    }
    if (r.recording.GetSource().nSize != data.size())
        return "the source's size is not the data's";
    return {};
}

std::string Check(std::string_view input)
{
    if (input.empty())
        return {};
    const CLayout& layout = Layout(static_cast<unsigned char>(input[0]));
    const std::string_view data = input.substr(1);
    std::string strFault = CheckLoad(data, LoadLayoutData(data, layout, {}, kMaxSamples));
    if (!strFault.empty())
        return "load: " + strFault;
    // Recognition of the same bytes, and a read by whatever it recognised.
    const CRecognition recognition = RecogniseLayout(data);
    if (recognition.eResult == CRecognition::EResult::Layout) {
        strFault = CheckLoad(data, LoadLayoutData(data, recognition.layout, {}, kMaxSamples));
        if (!strFault.empty())
            return "load by the recognised layout: " + strFault;
    } else if (recognition.eResult != CRecognition::EResult::Recorder &&
               recognition.strDoubt.empty()) {
        return "recognition: a doubt without its reason";
    }
    const CLayoutPreview preview = PreviewLayout(data, layout, 20);
    if (preview.arrRecords.size() + preview.arrFaults.size() > 21)
        return "preview: more records and faults than asked for";

    CLayout parsed;
    std::string strError;
    if (ParseLayout(input, parsed, strError)) {
        CLayout again;
        if (!ParseLayout(FormatLayout(parsed), again, strError) || !(again == parsed))
            return "layout file: does not read back as written";
    } else if (strError.empty()) {
        return "layout file: refused without a reason";
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string strFault =
        Check(std::string_view(reinterpret_cast<const char*>(pData), nSize));
    if (!strFault.empty()) {
        std::fprintf(stderr, "%s\n", strFault.c_str());
        __builtin_trap();
    }
    return 0;
}
