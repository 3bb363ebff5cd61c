#include "res/resource.h"
#include "res/resources.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

namespace {

constexpr int kLanguages[] = {res::kLangCHT, res::kLangENG, res::kLangCHS};

// Every text a language shows: its strings, menu and dialogs.
QStringList AllTexts(int nLangId)
{
    QStringList texts;
    for (int nId = 0; nId <= 0xFFFF; ++nId)
        texts << res::LoadString(nId, nLangId);
    for (const res::CMenuPopupDef& popup : res::LoadMenu(res::IDR_MAINFRAME, nLangId)) {
        texts << popup.strText;
        for (const res::CMenuItemDef& item : popup.items)
            texts << item.strText;
    }
    for (const int nDialog :
         {res::IDD_ABOUTBOX, res::IDD_MAINFORM, res::IDD_LIMIT, res::IDD_TITLE, res::IDD_COLOR}) {
        if (const res::CDialogDef* pDef = res::FindDialog(nDialog, nLangId)) {
            texts << pDef->strCaption;
            for (const res::CControlDef& control : pDef->controls)
                texts << control.strText;
        }
    }
    texts.removeAll(QString());
    return texts;
}

std::set<int> MenuCommands(int nLangId)
{
    std::set<int> commands;
    for (const res::CMenuPopupDef& popup : res::LoadMenu(res::IDR_MAINFRAME, nLangId)) {
        for (const res::CMenuItemDef& item : popup.items) {
            if (item.nCommand != 0)
                commands.insert(item.nCommand);
        }
    }
    return commands;
}

TEST(ResStrings, EveryLanguageDefinesTheSameIds)
{
    int nDefined = 0;
    for (int nId = 0; nId <= 0xFFFF; ++nId) {
        const bool bCHT = !res::LoadString(nId, res::kLangCHT).isEmpty();
        EXPECT_EQ(bCHT, !res::LoadString(nId, res::kLangENG).isEmpty()) << nId;
        EXPECT_EQ(bCHT, !res::LoadString(nId, res::kLangCHS).isEmpty()) << nId;
        nDefined += bCHT;
    }
    EXPECT_GT(nDefined, 0);
}

TEST(ResStrings, PromptsSplitIntoStatusTextAndTooltip)
{
    for (int nLangId : kLanguages) {
        const std::vector<int>& toolbar = res::ToolbarCommands();
        std::set<int> commands = MenuCommands(nLangId);
        commands.insert(toolbar.begin(), toolbar.end());
        commands.erase(0);
        for (int nCommand : commands) {
            const QString strPrompt = res::LoadString(nCommand, nLangId);
            // Menu items may go without a prompt; a toolbar button needs its tooltip.
            const bool bOnToolbar =
                std::find(toolbar.begin(), toolbar.end(), nCommand) != toolbar.end();
            if (strPrompt.isEmpty() && !bOnToolbar)
                continue;
            const QStringList parts = strPrompt.split(QLatin1Char('\n'));
            ASSERT_EQ(parts.size(), 2) << nCommand << " in " << nLangId;
            EXPECT_FALSE(parts[0].isEmpty()) << nCommand << " in " << nLangId;
            EXPECT_FALSE(parts[1].isEmpty()) << nCommand << " in " << nLangId;
        }
    }
}

TEST(ResStrings, SimplifiedSaveAndLimitPromptsNameTheirOwnCommands)
{
    EXPECT_EQ(res::LoadString(res::ID_FILE_SAVE_AS, res::kLangCHS),
              QString::fromUtf16(u"保存使用中的文件\n保存文件"));
    EXPECT_EQ(res::LoadString(res::ID_SET_LIMIT, res::kLangCHS),
              QString::fromUtf16(u"曲线显示刻度设定\n曲线刻度"));
}

TEST(ResStrings, ScaleChoiceHasEightDistinctNamesInEveryLanguage)
{
    for (int nLangId : kLanguages) {
        std::set<QString> names;
        for (int i = 0; i < res::kScaleChoiceCount; ++i) {
            const QString strName = res::LoadString(res::IDS_SCALE_AUTO + i, nLangId);
            EXPECT_FALSE(strName.isEmpty()) << i << " in " << nLangId;
            names.insert(strName);
        }
        EXPECT_EQ(names.size(), std::size_t(res::kScaleChoiceCount)) << nLangId;
    }
}

TEST(ResStrings, LimitMessageSpansTwoLinesInEveryLanguage)
{
    for (int nLangId : kLanguages)
        EXPECT_EQ(res::LoadString(res::IDS_LIMIT_ORDER, nLangId).count(QLatin1Char('\n')), 1)
            << nLangId;
}

TEST(ResStrings, InputMessagesAreEnglishInEveryLanguageAndTakeTheirBounds)
{
    for (int nLangId : kLanguages) {
        EXPECT_EQ(res::LoadString(res::IDS_PARSE_INT_RANGE, nLangId).arg(-10).arg(20),
                  QStringLiteral("Please enter an integer between -10 and 20."))
            << nLangId;
    }
}

// A missing placeholder would drop the file name, line or the reader's detail.
TEST(ResStrings, FileOpenMessagesExistPerLanguageWithTheirPlaceholders)
{
    const struct
    {
        int nId;
        int nArgs;
    } messages[] = {{res::IDS_OPEN_READING, 1},        {res::IDS_OPEN_CANNOT_READ, 2},
                    {res::IDS_OPEN_NO_RECORD, 2},      {res::IDS_OPEN_NO_READABLE, 2},
                    {res::IDS_OPEN_INVALID_RECORD, 3}, {res::IDS_OPEN_SPAN_REFUSED, 3},
                    {res::IDS_OPEN_OUT_OF_MEMORY, 3}};
    for (const auto& m : messages) {
        std::set<QString> texts;
        for (int nLangId : kLanguages) {
            const QString strText = res::LoadString(m.nId, nLangId);
            for (int i = 1; i <= 3; ++i)
                EXPECT_EQ(i <= m.nArgs, strText.contains(QStringLiteral("%%1").arg(i)))
                    << m.nId << " in " << nLangId << " %" << i;
            texts.insert(strText);
        }
        EXPECT_EQ(texts.size(), std::size(kLanguages)) << m.nId << " is translated";
    }
}

// A notion has one term per Chinese table: every string whose English names it holds the term,
// and no text of the language holds a variant given up or the other script's form of the term.
TEST(ResStrings, EachNotionHasOneTermPerChineseTable)
{
    const struct
    {
        const char* szEnglish;
        const char16_t *szCHT, *szRejectedCHT, *szCHS, *szRejectedCHS;
    } notions[] = {
        {"tolerance", u"容差", u"容許|公差|允許偏差", u"容差", u"容许|公差|允许偏差"},
        {"\\bwithin\\b", u"以內", u"容差內|之內|範圍內", u"以内", u"容差内|之内|范围内"},
        {"\\bmin(ute)?s?\\b", u"分鐘", u"[0-9（(] ?分(?!鐘)", u"分钟", u"[0-9（(] ?分(?!钟)"},
        {"excursion", u"超差", u"偏離|越限|超限|超出容差", u"超差", u"偏离|越限|超限|超出容差"},
        {"dwell", u"恆定", u"保持段|恆溫段|駐留", u"恒定", u"保持段|恒温段|驻留"},
        {"set value|of SV", u"設定值", u"設置值|設定點|目標值", u"设定值", u"设置值|设定点|目标值"},
        {"deviation", u"偏差", u"相差|誤差|差值", u"偏差", u"相差|误差|差值"},
    };
    const QStringList textsCHT = AllTexts(res::kLangCHT);
    const QStringList textsCHS = AllTexts(res::kLangCHS);
    for (const auto& n : notions) {
        const QRegularExpression english(QString::fromLatin1(n.szEnglish),
                                         QRegularExpression::CaseInsensitiveOption);
        const QString strCHT = QString::fromUtf16(n.szCHT);
        const QString strCHS = QString::fromUtf16(n.szCHS);
        for (const auto& [nLangId, strTerm, strOther, szRejected, pTexts] :
             {std::tuple(res::kLangCHT, strCHT, strCHS, n.szRejectedCHT, &textsCHT),
              std::tuple(res::kLangCHS, strCHS, strCHT, n.szRejectedCHS, &textsCHS)}) {
            for (int nId = 0; nId <= 0xFFFF; ++nId) {
                const QString strText = res::LoadString(nId, nLangId);
                if (res::LoadString(nId, res::kLangENG).contains(english)) {
                    EXPECT_TRUE(strText.contains(strTerm))
                        << n.szEnglish << ": " << strText.toStdString();
                }
            }
            QString strRejected = QString::fromUtf16(szRejected);
            if (strOther != strTerm)
                strRejected += u'|' + strOther;
            const QRegularExpression rejected(strRejected);
            for (const QString& strText : *pTexts)
                EXPECT_FALSE(strText.contains(rejected)) << strText.toStdString();
        }
    }
}

TEST(ResStrings, UnknownIdOrLanguageGivesEmptyText)
{
    EXPECT_TRUE(res::LoadString(99, res::kLangENG).isEmpty());
    EXPECT_TRUE(res::LoadString(res::IDS_SCALE_AUTO, 1041).isEmpty());
    EXPECT_TRUE(res::LoadString(res::IDR_MAINFRAME, 0).isEmpty());
}

} // namespace
