#include "settings/profile.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

namespace {

constexpr int kDefault = 12345;

// Every test keeps its profile in an INI file of its own, never in the user's real store.
class Profile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        SetProfileFile(Path());
    }
    void TearDown() override { SetProfileFile(QString()); }

    QString Path() const { return m_dir.filePath("profile.ini"); }
    void WriteFile(const QByteArray& text)
    {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir m_dir;
};

using ProfileSeeding = Profile;

TEST_F(ProfileSeeding, EmptyProfileGetsTheThirteenSeedsAndNoTitleEntries)
{
    SeedSettings();
    const struct
    {
        const char* section;
        const char* entry;
        int value;
    } expected[] = {
        {"", "BkColor", 0xFFFFFF},   {"Color", "!100", 0x0000FF}, {"Color", "!101", 0xFF80FF},
        {"Color", "!200", 0xFF0000}, {"Color", "!201", 0xFFFF00}, {"Width", "!100", 3},
        {"Width", "!101", 1},        {"Width", "!200", 3},        {"Width", "!201", 1},
        {"Limit", "MaxTemp", 160},   {"Limit", "MinTemp", -40},   {"Limit", "MaxHumi", 100},
        {"Limit", "MinHumi", 0},
    };
    for (const auto& e : expected)
        EXPECT_EQ(ReadSettingInt(e.section, e.entry, kDefault), e.value) << e.section << e.entry;
    EXPECT_EQ(QSettings(Path(), QSettings::IniFormat).allKeys().size(), 13);
}

TEST_F(ProfileSeeding, ReplacesOnlyMinusOneAndUnreadableValues)
{
    WriteSettingInt("Limit", "MinTemp", -1);
    WriteSettingText("Limit", "MaxTemp", "hot");
    WriteSettingInt("Width", "!100", 25);
    WriteSettingInt("Limit", "MinHumi", -10);
    WriteSettingInt("", "BkColor", 0);
    WriteSettingInt("", "HideTitle", -1);
    SeedSettings();
    EXPECT_EQ(ReadSettingInt("Limit", "MinTemp", kDefault), -40);
    EXPECT_EQ(ReadSettingInt("Limit", "MaxTemp", kDefault), 160);
    EXPECT_EQ(ReadSettingInt("Width", "!100", kDefault), 25);
    EXPECT_EQ(ReadSettingInt("Limit", "MinHumi", kDefault), -10);
    EXPECT_EQ(ReadSettingInt("", "BkColor", kDefault), 0);
    EXPECT_EQ(ReadSettingInt("", "HideTitle", kDefault), -1);
}

TEST_F(ProfileSeeding, WithoutWritingReadsWhatSeedingWouldGiveAndLeavesTheStore)
{
    WriteSettingInt("Limit", "MinTemp", -1);
    WriteSettingText("Limit", "MaxTemp", "hot");
    WriteSettingInt("Width", "!100", 25);
    WriteSettingInt("", "HideTitle", -1);
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    SeedSettingsWithoutWriting();
    EXPECT_EQ(ReadSettingInt("Limit", "MinTemp", kDefault), -40);
    EXPECT_EQ(ReadSettingInt("Limit", "MaxTemp", kDefault), 160);
    EXPECT_EQ(ReadSettingInt("Width", "!100", kDefault), 25);
    EXPECT_EQ(ReadSettingInt("Color", "!201", kDefault), 0xFFFF00);
    EXPECT_EQ(ReadSettingInt("", "HideTitle", kDefault), -1) << "not a seeded entry";
    EXPECT_EQ(ReadSettingInt("Color", "!300", kDefault), kDefault);
    SeedSettingsWithoutWriting(false);
    EXPECT_EQ(ReadSettingInt("Color", "!201", kDefault), kDefault);

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(before, file.readAll());
}

TEST_F(Profile, NativeStoreReadsOnlyTheUsersOwnEntries)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the registry has no company-wide or system-wide fallback files";
#else
    // The native store elsewhere is an INI file per user, with the company-wide file beside
    // its folder and a system-wide one; all three live under the temporary folder here.
    const QString strUser = m_dir.filePath("user");
    const QString strSystem = m_dir.filePath("system");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, strUser);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, strSystem);
    const auto restore = qScopeGuard([] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                           QLibraryInfo::path(QLibraryInfo::SettingsPath));
    });
    ASSERT_TRUE(QDir().mkpath(strUser));
    ASSERT_TRUE(QDir().mkpath(strSystem + "/MirevaleStudio"));
    for (const QString& strFile :
         {strUser + "/MirevaleStudio.conf", strSystem + "/MirevaleStudio/Trendora.conf",
          strSystem + "/MirevaleStudio.conf"}) {
        QFile file(strFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\nBkColor=5\nTitle=elsewhere\n[Limit]\nMaxTemp=7\n");
    }
    SetProfileFile(QString());
    EXPECT_EQ(kDefault, ReadSettingInt("Limit", "MaxTemp", kDefault));
    EXPECT_EQ("", ReadSettingText("", "Title"));
    SeedSettings();

    QSettings own(strUser + "/MirevaleStudio/Trendora.conf", QSettings::IniFormat);
    EXPECT_EQ(0xFFFFFF, own.value("BkColor").toInt());
    EXPECT_EQ(160, own.value("Limit/MaxTemp").toInt());
#endif
}

TEST_F(Profile, TextRoundTripsExactly)
{
    for (const char* text : {"", "溫濕度記錄 第2號", "温度曲线 ✓", "Oven 2, run 5", "  padded  ",
                             "[a]=b; c #d", "@Variant(0)", "\"C:\\logs\"", "line 1\nline 2"}) {
        EXPECT_TRUE(WriteSettingText("", "Title", text));
        EXPECT_EQ(ReadSettingText("", "Title", "unset").toStdString(), text);
    }
}

TEST_F(Profile, SectionsAreIniGroupsAndHandWrittenKeysRead)
{
    WriteFile("[General]\nBkColor=3\n[Color]\n!100=1\n[Width]\n%21100=2\n");
    EXPECT_EQ(ReadSettingInt("", "BkColor", kDefault), 3);
    EXPECT_EQ(ReadSettingInt("Color", "!100", kDefault), 1);
    EXPECT_EQ(ReadSettingInt("Width", "!100", kDefault), 2);
}

TEST_F(Profile, ReadsSeeEveryWriteAtOnce)
{
    EXPECT_EQ(ReadSettingInt("Limit", "MinHumi", kDefault), kDefault);
    WriteSettingInt("Limit", "MinHumi", 5);
    EXPECT_EQ(ReadSettingInt("Limit", "MinHumi", kDefault), 5);

    QSettings other(Path(), QSettings::IniFormat);
    other.setValue("Limit/MinHumi", 7);
    other.sync();
    EXPECT_EQ(ReadSettingInt("Limit", "MinHumi", kDefault), 7);
}

TEST_F(Profile, DamagedFileReadsWhatItCanAndAWriteRepairsIt)
{
    static const char kText[] = "[General]\nTitle=Oven 2, run 5\nBkColor=@ByteArray(255)\n"
                                "[Limit]\nMaxTemp=@Rect(1 2 3 4)\nMinTemp=1, 2\nMaxHumi=true\n"
                                "[Broken\n\xff\xfe\x00\x01=\x9c\n";
    WriteFile(QByteArray(kText, sizeof kText - 1)); // the junk holds a NUL
    // A title typed by hand without quotes comes back whole, commas included.
    EXPECT_EQ(ReadSettingText("", "Title"), "Oven 2, run 5");
    EXPECT_EQ(ReadSettingText("Limit", "MaxTemp", "none"), "none");
    for (const char* entry : {"MaxTemp", "MinTemp", "MaxHumi"})
        EXPECT_EQ(ReadSettingInt("Limit", entry, kDefault), kDefault) << entry;
    EXPECT_EQ(ReadSettingInt("", "BkColor", kDefault), kDefault);

    SetProfileFile(m_dir.filePath("other.ini")); // a file this process has not read yet
    QFile::copy(Path(), m_dir.filePath("other.ini"));
    EXPECT_TRUE(WriteSettingInt("Limit", "MaxTemp", 150));
    EXPECT_EQ(ReadSettingInt("Limit", "MaxTemp", kDefault), 150);
}

TEST_F(Profile, UnwritableStoreFailsWritesAndReadsDefaults)
{
    SetProfileFile(m_dir.path()); // a directory cannot be opened as a file
    EXPECT_FALSE(WriteSettingInt("Limit", "MaxTemp", 150));
    EXPECT_FALSE(WriteSettingText("", "Title", "x"));
    EXPECT_EQ(ReadSettingInt("Limit", "MaxTemp", kDefault), kDefault);
    EXPECT_EQ(ReadSettingText("", "Title", "none"), "none");
}

struct StoredText
{
    const char* text;
    int expected; // kDefault when the text is no 32-bit whole number
};

void PrintTo(const StoredText& row, std::ostream* os)
{
    *os << '"' << row.text << '"';
}

class ProfileIntFromText : public Profile, public ::testing::WithParamInterface<StoredText>
{
};

TEST_P(ProfileIntFromText, ReadsAsWhole32BitNumberOrDefault)
{
    WriteSettingText("Color", "!100", GetParam().text);
    EXPECT_EQ(ReadSettingInt("Color", "!100", kDefault), GetParam().expected);
}

// Between 2^31 and 2^32 - 1 the bits wrap to negative, as a DWORD read back signed does.
INSTANTIATE_TEST_SUITE_P(
    Table, ProfileIntFromText,
    ::testing::Values(StoredText{"42", 42}, StoredText{"-40", -40}, StoredText{" 7 ", 7},
                      StoredText{"010", 10}, StoredText{"2147483647", INT_MAX},
                      StoredText{"-2147483648", INT_MIN}, StoredText{"2147483648", INT_MIN},
                      StoredText{"4294967295", -1}, StoredText{"4294967296", kDefault},
                      StoredText{"-2147483649", kDefault}, StoredText{"1.5", kDefault},
                      StoredText{"12abc", kDefault}, StoredText{"abc", kDefault},
                      StoredText{"", kDefault}, StoredText{"0x10", kDefault}));

} // namespace
