#include "res/resource.h"
#include "res/resources.h"

#include <gtest/gtest.h>

namespace {

// Every test leaves the process without an applied language.
class ResLanguage : public ::testing::Test
{
protected:
    void TearDown() override { res::ResetInterfaceLanguage(); }
};

TEST_F(ResLanguage, AppliedLanguageChoosesTheStringTable)
{
    res::ApplyInterfaceLanguage(res::kLangCHT);
    EXPECT_EQ(res::LoadString(res::IDS_SCALE_AUTO), QString::fromUtf16(u"自動"));
    res::ApplyInterfaceLanguage(res::kLangCHS);
    EXPECT_EQ(res::LoadString(res::IDS_SCALE_AUTO), QString::fromUtf16(u"自动"));
    res::ApplyInterfaceLanguage(res::kLangENG);
    EXPECT_EQ(res::LoadString(res::IDS_SCALE_AUTO), QStringLiteral("Auto"));
    EXPECT_EQ(res::FindDialog(res::IDD_ABOUTBOX)->strCaption, QStringLiteral("About Trendora"));
    EXPECT_TRUE(
        res::LoadMenu(res::IDR_MAINFRAME).front().strText.startsWith(QLatin1String("File")));
}

TEST_F(ResLanguage, UnknownLanguageIdIsIgnored)
{
    res::ApplyInterfaceLanguage(res::kLangCHS);
    res::ApplyInterfaceLanguage(1041);
    res::ApplyInterfaceLanguage(0);
    EXPECT_EQ(res::ActiveLanguage(), res::kLangCHS);
}

TEST_F(ResLanguage, WithoutAppliedLanguageTheSystemLocaleDecides)
{
    res::ApplyInterfaceLanguage(res::kLangCHT);
    res::ResetInterfaceLanguage();
    EXPECT_EQ(res::ActiveLanguage(), res::DefaultLanguageForLocale(QLocale::system()));
}

struct CLocaleCase
{
    const char* pszLocale;
    int nLangId;
};

class ResDefaultLanguage : public ::testing::TestWithParam<CLocaleCase>
{
};

TEST_P(ResDefaultLanguage, FollowsRegionAndScript)
{
    const CLocaleCase& c = GetParam();
    EXPECT_EQ(res::DefaultLanguageForLocale(QLocale(QString::fromLatin1(c.pszLocale))), c.nLangId)
        << c.pszLocale;
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ResDefaultLanguage,
    ::testing::Values(CLocaleCase{"zh_TW", res::kLangCHT}, CLocaleCase{"zh_HK", res::kLangCHT},
                      CLocaleCase{"zh_MO", res::kLangCHT}, CLocaleCase{"zh_Hant", res::kLangCHT},
                      CLocaleCase{"zh_Hans_HK", res::kLangCHT}, CLocaleCase{"zh_CN", res::kLangCHS},
                      CLocaleCase{"zh_SG", res::kLangCHS}, CLocaleCase{"zh", res::kLangCHS},
                      CLocaleCase{"en_US", res::kLangENG}, CLocaleCase{"de_DE", res::kLangENG},
                      CLocaleCase{"ja_JP", res::kLangENG}, CLocaleCase{"C", res::kLangENG}),
    [](const ::testing::TestParamInfo<CLocaleCase>& info) {
        return std::string(info.param.pszLocale);
    });

} // namespace
