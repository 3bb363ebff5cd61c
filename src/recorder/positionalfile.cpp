#include "recorder/positionalfile.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#elif defined(__unix__) || defined(__APPLE__)
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

CPositionalFile::CPositionalFile(std::FILE* pFile) : m_pFile(pFile) {}

#if defined(_WIN32)

namespace {

HANDLE HandleOf(std::FILE* pFile)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pFile)));
}

} // namespace

bool CPositionalFile::IsRegularFile(std::uint64_t& nSize) const
{
    const HANDLE h = HandleOf(m_pFile);
    LARGE_INTEGER size;
    if (h == INVALID_HANDLE_VALUE || GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size))
        return false;
    nSize = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

bool CPositionalFile::ReadAt(std::uint64_t nOffset, char* p, std::size_t nBytes,
                             std::size_t& nRead) const
{
    const HANDLE h = HandleOf(m_pFile);
    nRead = 0;
    while (nRead < nBytes) {
        const std::uint64_t nAt = nOffset + nRead;
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(nAt);
        at.OffsetHigh = static_cast<DWORD>(nAt >> 32);
        const DWORD nAsk =
            static_cast<DWORD>(nBytes - nRead < 0x40000000 ? nBytes - nRead : 0x40000000);
        DWORD nGot = 0;
        if (!ReadFile(h, p + nRead, nAsk, &nGot, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            return false;
        }
        if (nGot == 0)
            break;
        nRead += nGot;
    }
    return true;
}

#elif defined(__unix__) || defined(__APPLE__)

bool CPositionalFile::IsRegularFile(std::uint64_t& nSize) const
{
    struct stat info;
    if (fstat(fileno(m_pFile), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    nSize = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool CPositionalFile::ReadAt(std::uint64_t nOffset, char* p, std::size_t nBytes,
                             std::size_t& nRead) const
{
    const int nFile = fileno(m_pFile);
    nRead = 0;
    while (nRead < nBytes) {
        const ssize_t n =
            pread(nFile, p + nRead, nBytes - nRead, static_cast<off_t>(nOffset + nRead));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        nRead += static_cast<std::size_t>(n);
    }
    return true;
}

#else

// Elsewhere files are read in order only.
bool CPositionalFile::IsRegularFile(std::uint64_t&) const
{
    return false;
}

bool CPositionalFile::ReadAt(std::uint64_t, char*, std::size_t, std::size_t& nRead) const
{
    nRead = 0;
    return false;
}

#endif
