// Reads a whole recorder file into a recording of one sample a second, in stretches on
// several threads where it can.
#pragma once

#include "recorder/recorderreader.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Called now and then with the bytes read so far and the file's size; returning false
// cancels the load.
using LoadProgress = std::function<bool(std::uint64_t nDone, std::uint64_t nTotal)>;

// What reading in stretches cost beyond one pass, for benchmarks and checks.
struct CReadStats
{
    std::uint64_t nBytesInOrder = 0; // bytes the calling thread read in file order after the
                                     // stretches, which never exceeds the file's size
    std::int64_t nPieceSamples = 0;  // samples the stretches wrote, gaps included
    std::int64_t nPiecesRead = 0;    // stretches read, and of them
    std::int64_t nPiecesAdopted = 0; // those whose samples were kept
    bool bWholeInOrder = false;      // the file was read in file order from its start
};

// How a reader shares out its work. The result never depends on it.
struct CReadOptions
{
    // Threads that read, the calling thread included; 0: one per core.
    unsigned nThreads = 0;
    // A file is read in stretches of about this many bytes, each by one thread.
    std::size_t nPieceBytes = 256 * 1024;
    // Filled in when given.
    CReadStats* pStats = nullptr;
};

// A file opened for reading, for the readers of every layout.
struct CLoadFile
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> pFile{nullptr, &std::fclose};
    std::uint64_t nSize = 0; // 0 where it cannot be told (a pipe)
};
// Opens path; false with a CannotOpen result that names the file and the reason otherwise.
bool OpenLoadFile(const std::filesystem::path& path, CLoadFile& file, CLoadResult& failure);
// The CannotOpen result for path, with strWhy as its reason.
CLoadResult CannotRead(const std::filesystem::path& path, const std::string& strWhy);

CLoadResult LoadRecorderFile(const std::filesystem::path& path,
                             const LoadProgress& progress = LoadProgress(),
                             const CReadOptions& options = CReadOptions());

// The same for a file already in memory.
CLoadResult LoadRecorderData(std::string_view data,
                             std::int64_t nMaxSamples = CSeriesBuilder::MaxSamples(),
                             const CReadOptions& options = CReadOptions());

class CRecordSource;

// The same for bytes from elsewhere (several files one after the other).
CLoadResult LoadRecorderSource(const CRecordSource& source,
                               const LoadProgress& progress = LoadProgress(),
                               const CReadOptions& options = CReadOptions());

// A recorder file's first and last record, each converted alone.
struct CRecorderEnds
{
    std::uint64_t nRecords = 0; // where the line after the header starts
    std::int64_t tFirst = 0;    // the first record's time
    std::int64_t tLast = 0;     // the last line's time
    bool bEndsWithLf = false;   // the last line has its line end
};
// Nothing where either line is no record, or its time needs mktime (a time that occurs
// twice or never, or one mktime alone answers on this system).
std::optional<CRecorderEnds> ReadRecorderEnds(const CRecordSource& source);
