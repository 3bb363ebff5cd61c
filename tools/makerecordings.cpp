// trendora-makerecordings: writes the example recorder files, or the benchmark month.
#include "recordinggen.h"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

constexpr int kExitUsage = 64;
constexpr int kExitCannotWrite = 73;

void PrintUsage(std::FILE* pOut)
{
    std::fputs("usage: trendora-makerecordings FOLDER\n"
               "       trendora-makerecordings --month FILE\n"
               "\n"
               "FOLDER: writes the example recordings into FOLDER (created if missing).\n"
               "--month FILE: writes a month at one record a second (about 118 MB).\n"
               "The output is the same on every run.\n",
               pOut);
}

bool Write(const std::filesystem::path& path, const CRecordingOptions& options)
{
    if (!WriteRecordingFile(path, options)) {
        std::fprintf(stderr, "trendora-makerecordings: cannot write %s\n", path.string().c_str());
        return false;
    }
    std::error_code ec;
    const std::uintmax_t nSize = std::filesystem::file_size(path, ec);
    std::printf("%s  %ju bytes\n", path.string().c_str(), ec ? std::uintmax_t(0) : nSize);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    if (argc == 3 && std::string_view(argv[1]) == "--month")
        return Write(argv[2], BenchmarkMonthOptions()) ? 0 : kExitCannotWrite;
    if (argc != 2 || std::string_view(argv[1]).starts_with("-")) {
        PrintUsage(stderr);
        return kExitUsage;
    }

    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "trendora-makerecordings: cannot create %s: %s\n",
                     folder.string().c_str(), ec.message().c_str());
        return kExitCannotWrite;
    }
    for (const CExampleRecording& example : ExampleRecordings())
        if (!Write(folder / example.strFileName, example.options))
            return kExitCannotWrite;
    return 0;
}
