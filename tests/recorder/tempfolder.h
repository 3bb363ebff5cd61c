// A folder of its own under the system's temporary folder, for tests that read real files.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class CTempFolder
{
public:
    CTempFolder()
    {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do
            m_path = base / ("trendora-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(m_path));
    }
    ~CTempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path FilePath(const char* szName) const { return m_path / szName; }

private:
    std::filesystem::path m_path;
};
