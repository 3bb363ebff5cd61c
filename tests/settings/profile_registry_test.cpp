// On Windows the profile is the registry: HKEY_CURRENT_USER\Software\MirevaleStudio\Trendora,
// one sub-key per section, integers as REG_DWORD, texts as REG_SZ. HKEY_CURRENT_USER is
// redirected to a scratch key for the test, so the user's own settings are never touched.
#include "settings/profile.h"

#include <QString>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

const wchar_t kScratch[] = L"Software\\MirevaleStudio\\TrendoraRegistryTest";

class ProfileRegistry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &m_hScratch, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, m_hScratch));
        SetProfileFile(QString()); // the native store
    }
    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(m_hScratch);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }

    // The value's type and bytes as the registry holds them, read past Qt.
    bool Read(const char* szSection, const char* szEntry, DWORD& nType,
              std::vector<BYTE>& data) const
    {
        std::wstring strKey = L"Software\\MirevaleStudio\\Trendora";
        if (*szSection)
            strKey += L'\\' + QString::fromLatin1(szSection).toStdWString();
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(m_hScratch, strKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        const std::wstring strEntry = QString::fromLatin1(szEntry).toStdWString();
        DWORD nSize = 0;
        LSTATUS status = RegQueryValueExW(hKey, strEntry.c_str(), nullptr, &nType, nullptr, &nSize);
        data.resize(nSize);
        if (status == ERROR_SUCCESS)
            status = RegQueryValueExW(hKey, strEntry.c_str(), nullptr, &nType, data.data(), &nSize);
        RegCloseKey(hKey);
        return status == ERROR_SUCCESS;
    }

    HKEY m_hScratch = nullptr;
};

TEST_F(ProfileRegistry, SeededAndWrittenValuesHaveTheRegistryTypes)
{
    SeedSettings();
    ASSERT_TRUE(WriteSettingInt("Width", "!100", 25));
    const QString strTitle = QString::fromUtf8(u8"爐 3 溫濕度 – Run 42");
    ASSERT_TRUE(WriteSettingText("", "Title", strTitle));
    ASSERT_TRUE(WriteSettingText("Limit", "Note", "x"));

    const struct
    {
        const char* section;
        const char* entry;
        int value;
    } dwords[] = {
        {"", "BkColor", 0xFFFFFF}, {"Color", "!201", 0xFFFF00}, {"Width", "!100", 25},
        {"Limit", "MaxTemp", 160}, {"Limit", "MinTemp", -40},
    };
    for (const auto& e : dwords) {
        DWORD nType = 0;
        std::vector<BYTE> data;
        ASSERT_TRUE(Read(e.section, e.entry, nType, data)) << e.section << '\\' << e.entry;
        EXPECT_EQ(DWORD(REG_DWORD), nType) << e.section << '\\' << e.entry;
        ASSERT_EQ(4u, data.size()) << e.section << '\\' << e.entry;
        EXPECT_EQ(e.value, *reinterpret_cast<const int*>(data.data())) << e.entry;
        EXPECT_EQ(e.value, ReadSettingInt(e.section, e.entry, 0)) << e.entry;
    }

    DWORD nType = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(Read("", "Title", nType, data));
    EXPECT_EQ(DWORD(REG_SZ), nType);
    EXPECT_EQ(strTitle.toStdWString() + L'\0',
              std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2));
    EXPECT_EQ(strTitle, ReadSettingText("", "Title"));
    ASSERT_TRUE(Read("Limit", "Note", nType, data));
    EXPECT_EQ(DWORD(REG_SZ), nType);
    EXPECT_FALSE(Read("", "MaxTemp", nType, data)) << "sections are sub-keys";
}

} // namespace
