// SHA-256 (FIPS 180-4) of a stream of bytes, so that a report can name the exact file it
// judged without a library beyond the standard one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CSha256
{
public:
    CSha256();

    void Add(const void* pData, std::size_t nSize);
    // The digest of everything added, in lowercase hex; the hash is finished and must not
    // be added to afterwards.
    std::string HexDigest();

private:
    void Block(const unsigned char* p);

    std::array<std::uint32_t, 8> m_state;
    std::array<unsigned char, 64> m_pending{};
    std::size_t m_nPending = 0;
    std::uint64_t m_nBytes = 0;
};
