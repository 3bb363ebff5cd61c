#include "recording/recording.h"

#include "recording/sha256.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

CRecordingView CRecording::View(std::int64_t nBegin, std::int64_t nEnd) const
{
    const float* apDense[4];
    const float* apHeld[4];
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        apDense[i] = m_arrDense[i].GetData();
        apHeld[i] = m_arrHeld[i].GetData();
    }
    const CRecordingView whole(apDense, apHeld, m_segments.data(), m_segments.size(), 0, m_nCount);
    return whole.Stretch(nBegin, nEnd);
}

bool CRecording::AddDense(std::int64_t nEnd)
{
    if (nEnd <= m_nCount)
        return true;
    // Dense storage is positional: a dense segment that follows another one goes on in it.
    if (m_segments.empty() || m_segments.back().IsHeld()) {
        try {
            m_segments.push_back({m_nCount, m_nCount});
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    m_nDenseInUse += nEnd - m_nCount;
    m_nCount = nEnd;
    return true;
}

bool CRecording::AddHeld(const float afValues[4], std::int64_t nCount)
{
    if (nCount <= 0)
        return true;
    const std::int64_t nIndex = m_arrHeld[0].GetSize();
    for (CFloatArray& arr : m_arrHeld)
        if (!arr.ReserveMore(1))
            return false;
    try {
        m_segments.push_back({m_nCount, -1 - nIndex});
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t i = 0; i < kChannelCount; ++i)
        m_arrHeld[i].Add(afValues[i]);
    m_nCount += nCount;
    return true;
}

const CRecordingSource& CRecording::GetSource() const
{
    static const CRecordingSource none;
    return m_sources.empty() ? none : m_sources.front();
}

std::string CRecording::GetSourceName() const
{
    std::string strName = SourceName(0);
    if (m_sources.size() > 1)
        strName += " + " + std::to_string(m_sources.size() - 1) +
                   (m_sources.size() == 2 ? " file" : " files");
    return strName;
}

std::string CRecording::SourceName(std::size_t nSource) const
{
    if (nSource >= m_sources.size())
        return {};
    // UTF-8 on every system: on Windows string() converts to the ANSI code page and throws
    // for a name it cannot hold.
    const std::u8string strName = m_sources[nSource].path.filename().u8string();
    return std::string(strName.begin(), strName.end());
}

std::string CRecording::SourceSha256(std::size_t nSource, std::string& strError) const
{
    const CRecordingSource& source = nSource < m_sources.size() ? m_sources[nSource] : GetSource();
    if (source.path.empty()) {
        strError = "it was not read from a file.";
        return {};
    }
#if defined(_WIN32)
    std::FILE* pFile = _wfopen(source.path.c_str(), L"rb");
#else
    std::FILE* pFile = std::fopen(source.path.c_str(), "rb");
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
    if (nRead != source.nSize) {
        strError = "it changed since it was read.";
        return {};
    }
    return hash.HexDigest();
}

bool CRecording::AppendView(const CRecordingView& view)
{
    return view.ForEachRun(
        [&](std::int64_t, std::int64_t nSeconds, const float* const apValues[4], bool bHeld) {
            if (bHeld) {
                const float afValues[4] = {*apValues[0], *apValues[1], *apValues[2], *apValues[3]};
                return AddHeld(afValues, nSeconds);
            }
            // Dense storage is positional: sample i lies at index i, also after held stretches.
            const std::int64_t nDense = m_arrDense[0].GetSize();
            for (CFloatArray& arr : m_arrDense)
                if (!arr.ReserveMore(m_nCount + nSeconds - nDense))
                    return false;
            for (std::size_t i = 0; i < kChannelCount; ++i) {
                float* const pTo = m_arrDense[i].GetData() + m_nCount;
                // Resident in one call rather than a page fault a page.
                CFloatArray::PopulateRange(pTo, pTo + nSeconds);
                std::copy_n(apValues[i], nSeconds, pTo);
                m_arrDense[i].SetSize(m_nCount + nSeconds);
            }
            if (!AddDense(m_nCount + nSeconds)) {
                for (CFloatArray& arr : m_arrDense)
                    arr.SetSize(nDense);
                return false;
            }
            return true;
        });
}

void CRecording::ReleaseUnusedPages()
{
    // Stretches read on other threads may have written dense samples where a held stretch
    // now stands; nothing reads them.
    constexpr std::int64_t kWorthReleasing = 4096;
    for (std::size_t k = 0; k < m_segments.size(); ++k) {
        if (!m_segments[k].IsHeld())
            continue;
        const std::int64_t nFrom = m_segments[k].nFirst;
        const std::int64_t nTo = k + 1 < m_segments.size() ? m_segments[k + 1].nFirst : m_nCount;
        if (nTo - nFrom >= kWorthReleasing)
            for (CFloatArray& arr : m_arrDense)
                arr.ReleasePages(nFrom, nTo);
    }
    for (CFloatArray& arr : m_arrDense)
        arr.ReleaseUnusedPages();
    for (CFloatArray& arr : m_arrHeld)
        arr.ReleaseUnusedPages();
}

std::int64_t CRecording::GetMemoryBytes() const
{
    const std::int64_t nHeld = m_arrHeld[0].GetCapacity();
    return static_cast<std::int64_t>(kChannelCount * sizeof(float)) * (m_nDenseInUse + nHeld) +
           static_cast<std::int64_t>(m_segments.capacity() * sizeof(CRecordingSegment));
}
