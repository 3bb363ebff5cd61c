#include "recording/recording.h"

#include "recording/sha256.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

CRecordingView CRecording::View(std::int64_t nBegin, std::int64_t nEnd) const
{
    const CRecordingView whole{
        Samples(EChannel::TempPV).GetData(), Samples(EChannel::TempSV).GetData(),
        Samples(EChannel::HumiPV).GetData(), Samples(EChannel::HumiSV).GetData(), GetCount()};
    return whole.Stretch(nBegin, nEnd);
}

std::string CRecording::GetSourceName() const
{
    // UTF-8 on every system: on Windows string() converts to the ANSI code page and throws
    // for a name it cannot hold.
    const std::u8string strName = m_source.path.filename().u8string();
    return std::string(strName.begin(), strName.end());
}

std::string CRecording::SourceSha256(std::string& strError) const
{
    if (m_source.path.empty()) {
        strError = "it was not read from a file.";
        return {};
    }
#if defined(_WIN32)
    std::FILE* pFile = _wfopen(m_source.path.c_str(), L"rb");
#else
    std::FILE* pFile = std::fopen(m_source.path.c_str(), "rb");
#endif
    if (!pFile) {
        strError = std::strerror(errno) + std::string(".");
        return {};
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(pFile, &std::fclose);
    CSha256 hash;
    std::vector<unsigned char> buffer(1 << 20);
    std::uint64_t nRead = 0;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pFile);
        hash.Add(buffer.data(), n);
        nRead += n;
        if (n < buffer.size())
            break;
    }
    if (std::ferror(pFile)) {
        strError = std::strerror(errno) + std::string(".");
        return {};
    }
    if (nRead != m_source.nSize) {
        strError = "it changed since it was read.";
        return {};
    }
    return hash.HexDigest();
}

void CRecording::ReleaseUnusedPages()
{
    for (CFloatArray& arr : m_arrChannels)
        arr.ReleaseUnusedPages();
}
