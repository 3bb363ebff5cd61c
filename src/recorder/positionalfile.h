// An open file's bytes read at an offset without using its position, so that several threads
// can read stretches of one file at once: pread where there is one, ReadFile with an
// OVERLAPPED offset on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

class CPositionalFile
{
public:
    // pFile stays open and owned by the caller.
    explicit CPositionalFile(std::FILE* pFile);

    // Whether the file is a regular file that can be read at offsets, and its size now.
    bool IsRegularFile(std::uint64_t& nSize) const;

    // Reads nBytes from nOffset into p; nRead is less only at the file's end. False on a
    // read error. On Windows this moves the file's position: seek before reading in order.
    bool ReadAt(std::uint64_t nOffset, char* p, std::size_t nBytes, std::size_t& nRead) const;

private:
    std::FILE* m_pFile;
};
