// Growable array of float samples, the storage of a curve.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Like a vector, but a large array grows without being copied: on Linux its pages are mapped
// directly and remapped when it grows (glibc's malloc would serve blocks of up to 32 MiB from
// the heap once an earlier large block was freed, and realloc there copies); elsewhere it
// grows with realloc. Loading months of samples so never holds two copies at once.
// Allocation failure is reported by the result, never thrown.
class CFloatArray
{
public:
    CFloatArray() = default;
    ~CFloatArray() { Release(); }
    CFloatArray(const CFloatArray&) = delete;
    CFloatArray& operator=(const CFloatArray&) = delete;
    CFloatArray(CFloatArray&& other) noexcept { Swap(other); }
    CFloatArray& operator=(CFloatArray&& other) noexcept
    {
        CFloatArray moved(std::move(other));
        Swap(moved);
        return *this;
    }

    std::int64_t GetSize() const { return m_nSize; }
    bool IsEmpty() const { return m_nSize == 0; }
    float operator[](std::int64_t i) const { return m_pData[i]; }
    float& operator[](std::int64_t i) { return m_pData[i]; }
    const float* GetData() const { return m_pData; }
    float* GetData() { return m_pData; }
    std::int64_t GetCapacity() const { return m_nCapacity; }

    int GetGrowBy() const { return m_nGrowBy; }
    void SetGrowBy(int nGrowBy) { m_nGrowBy = std::max(nGrowBy, 1); }

    // Appends one value; returns its index, or -1 when memory is exhausted.
    std::int64_t Add(float f)
    {
        if (m_nSize == m_nCapacity && !Grow(m_nSize + 1))
            return -1;
        if (m_nSize >= m_nPopulated)
            Populate(m_nSize + 1);
        m_pData[m_nSize] = f;
        return m_nSize++;
    }

    // Appends nCount copies of f; false (and nothing appended) when memory is exhausted.
    bool AddRepeated(float f, std::int64_t nCount)
    {
        if (nCount == 1 && m_nSize < m_nPopulated) {
            // One record a second, the common case. Loading appends to four arrays in turn,
            // which the processor's own prefetch does not keep up with.
#if defined(__GNUC__)
            if ((m_nSize & 15) == 0)
                __builtin_prefetch(m_pData + m_nSize + kPrefetchAhead, 1);
#endif
            m_pData[m_nSize++] = f;
            return true;
        }
        if (nCount <= 0)
            return true;
        if (nCount > kMaxCount - m_nSize)
            return false;
        if (m_nSize + nCount > m_nCapacity && !Grow(m_nSize + nCount))
            return false;
        Populate(m_nSize + nCount);
        std::fill_n(m_pData + m_nSize, nCount, f);
        m_nSize += nCount;
        return true;
    }

    // Makes room for nCount more samples by the growth policy; false when memory is
    // exhausted, with the samples unchanged.
    bool ReserveMore(std::int64_t nCount)
    {
        return m_nSize + nCount <= m_nCapacity || Grow(m_nSize + nCount);
    }

    // Room for nCapacity samples in all (never less than now); false when memory is
    // exhausted. Large arrays only map their pages here: memory is taken as samples land.
    // bNearlyFilled: the samples will reach close to the capacity, so their memory may come
    // in large pages, which a virtual machine sets up far faster than small ones; no large
    // page then reaches past the last sample by more than the room left after it.
    bool Reserve(std::int64_t nCapacity, [[maybe_unused]] bool bNearlyFilled = false)
    {
        if (nCapacity <= m_nCapacity)
            return true;
        [[maybe_unused]] const bool bFresh = !m_bMapped;
        if (!Realloc(nCapacity))
            return false;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (bNearlyFilled && bFresh && m_bMapped)
            madvise(m_pData, Bytes(m_nCapacity), MADV_HUGEPAGE);
#endif
        return true;
    }

    // Makes the first nSize samples, written through GetData() within the capacity, the
    // array's samples.
    void SetSize(std::int64_t nSize)
    {
        m_nSize = std::clamp<std::int64_t>(nSize, 0, m_nCapacity);
        m_nPopulated = m_nSize; // what lies beyond may or may not be resident
    }

    // Gives the whole pages past the last sample back to the system; the capacity stays, and
    // those samples read as zero when next written.
    void ReleaseUnusedPages()
    {
#if defined(__linux__)
        if (!m_bMapped)
            return;
        constexpr std::uintptr_t kPage = 4096;
        const auto nFrom =
            (reinterpret_cast<std::uintptr_t>(m_pData + m_nSize) + kPage - 1) & ~(kPage - 1);
        const auto nTo = reinterpret_cast<std::uintptr_t>(m_pData + m_nCapacity);
        if (nTo > nFrom)
            madvise(reinterpret_cast<void*>(nFrom), nTo - nFrom, MADV_DONTNEED);
        m_nPopulated = std::min(m_nPopulated, m_nSize);
#endif
    }

    // Gives the whole pages of samples [nFrom, nTo) back to the system, for samples that are
    // no longer read; they read as zero when next written.
    void ReleasePages([[maybe_unused]] std::int64_t nFrom, [[maybe_unused]] std::int64_t nTo)
    {
#if defined(__linux__)
        nTo = std::min(nTo, m_nCapacity);
        if (!m_bMapped || nFrom >= nTo)
            return;
        constexpr std::uintptr_t kPage = 4096;
        const auto nPageFrom =
            (reinterpret_cast<std::uintptr_t>(m_pData + nFrom) + kPage - 1) & ~(kPage - 1);
        const auto nPageTo = reinterpret_cast<std::uintptr_t>(m_pData + nTo) & ~(kPage - 1);
        if (nPageTo > nPageFrom)
            madvise(reinterpret_cast<void*>(nPageFrom), nPageTo - nPageFrom, MADV_DONTNEED);
#endif
    }

    // Removes every sample and releases the storage.
    void RemoveAll()
    {
        Release();
        m_pData = nullptr;
        m_nSize = 0;
        m_nCapacity = 0;
        m_nPopulated = 0;
    }

    void Swap(CFloatArray& other) noexcept
    {
        std::swap(m_pData, other.m_pData);
        std::swap(m_nSize, other.m_nSize);
        std::swap(m_nCapacity, other.m_nCapacity);
        std::swap(m_nGrowBy, other.m_nGrowBy);
        std::swap(m_bMapped, other.m_bMapped);
        std::swap(m_nPopulated, other.m_nPopulated);
    }

private:
    // Mapped pages are made resident a stretch ahead of the samples, in one call instead of
    // a page fault per page (a fault costs several times its page's samples).
    void Populate(std::int64_t nNeeded)
    {
        if (nNeeded <= m_nPopulated)
            return;
        const std::int64_t nEnd =
            std::min(m_nCapacity, std::max(nNeeded, m_nPopulated + kPopulateStep));
        PopulateRange(m_pData + m_nPopulated, m_pData + nEnd);
        m_nPopulated = nEnd;
    }

public:
    // Makes the whole pages around [pBegin, pEnd) resident at once; their contents stay as
    // they are. Where the kernel cannot, the pages fault in one by one as they are written.
    static void PopulateRange([[maybe_unused]] const float* pBegin,
                              [[maybe_unused]] const float* pEnd)
    {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
        constexpr std::uintptr_t kPage = 4096;
        const auto nFrom = reinterpret_cast<std::uintptr_t>(pBegin) & ~(kPage - 1);
        const auto nTo = reinterpret_cast<std::uintptr_t>(pEnd);
        if (nTo > nFrom)
            madvise(reinterpret_cast<void*>(nFrom), nTo - nFrom, MADV_POPULATE_WRITE);
#endif
    }

private:
    // Grows by the growth step, or by an eighth of the size once that is larger, so that
    // appending stays amortised constant while the unused tail stays small.
    bool Grow(std::int64_t nNeeded)
    {
        const std::int64_t nStep = std::max<std::int64_t>(m_nGrowBy, m_nSize / 8);
        return Realloc(std::max(nNeeded, m_nSize + nStep));
    }

    bool Realloc(std::int64_t nCapacity)
    {
        if (nCapacity > kMaxCount)
            return false;
        const std::size_t nBytes = static_cast<std::size_t>(nCapacity) * sizeof(float);
#if defined(__linux__)
        if (nBytes >= kMapThreshold) {
            void* p = nullptr;
            if (m_bMapped) {
                p = mremap(m_pData, Bytes(m_nCapacity), nBytes, MREMAP_MAYMOVE);
            } else {
                p = mmap(nullptr, nBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1,
                         0);
                if (p != MAP_FAILED && m_nSize > 0) {
                    PopulateRange(static_cast<float*>(p), static_cast<float*>(p) + m_nSize);
                    std::memcpy(p, m_pData, Bytes(m_nSize));
                }
                if (p != MAP_FAILED)
                    std::free(m_pData);
            }
            if (p == MAP_FAILED)
                return false;
            if (!m_bMapped)
                m_nPopulated = m_nSize; // the copy made those pages resident
            m_pData = static_cast<float*>(p);
            m_bMapped = true;
            m_nCapacity = nCapacity;
            m_nPopulated = std::min(m_nPopulated, nCapacity);
            return true;
        }
#endif
        void* p = std::realloc(m_pData, nBytes);
        if (!p)
            return false;
        m_pData = static_cast<float*>(p);
        m_nCapacity = nCapacity;
        m_nPopulated = std::min(m_nPopulated, m_nSize); // the block may have moved
        return true;
    }

    void Release()
    {
#if defined(__linux__)
        if (m_bMapped) {
            munmap(m_pData, Bytes(m_nCapacity));
            m_bMapped = false;
            return;
        }
#endif
        std::free(m_pData);
    }

    static std::size_t Bytes(std::int64_t nCount)
    {
        return static_cast<std::size_t>(nCount) * sizeof(float);
    }

    static constexpr std::size_t kMapThreshold = 1 << 18;
    static constexpr std::int64_t kMaxCount = PTRDIFF_MAX / sizeof(float);
    static constexpr std::int64_t kPopulateStep = 16384;
    static constexpr std::int64_t kPrefetchAhead = 128; // samples: eight cache lines

    float* m_pData = nullptr;
    std::int64_t m_nSize = 0;
    std::int64_t m_nCapacity = 0;
    int m_nGrowBy = 256;
    bool m_bMapped = false;
    std::int64_t m_nPopulated = 0; // samples below this index have resident pages
};
