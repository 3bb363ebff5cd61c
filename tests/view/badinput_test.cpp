// Whatever a memory card or a person hands the viewer: a clear message or the documented
// behaviour, never a crash, and the open recording is not lost to a file with nothing in it.
#include "view/childview.h"

#include "curve/curvectrl.h"
#include "res/resource.h"
#include "skin/statictext.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QDir>

#include <fstream>

namespace {

struct BadFile
{
    const char* szName;
    std::string strContent;
    bool bKeepsRecording; // false: what was read before the fault is shown instead
    std::int64_t nSamples;
};

void PrintTo(const BadFile& f, std::ostream* os)
{
    *os << f.szName;
}

const std::string kHeader = "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\n";
const std::string kRecord = "2026/03/01,00:00:00,20,21,50,60\n";

std::string Garbage()
{
    std::string s;
    for (int i = 0; i < 4096; ++i)
        s += static_cast<char>((i * 7919 + 13) % 256);
    return s;
}

class BadInput : public ::testing::TestWithParam<BadFile>
{
};

TEST_P(BadInput, AnsweredWithAMessage)
{
    CTzGuard tz("UTC");
    CIsolatedProfile profile;
    SeedSettings();
    CChildView view(nullptr);
    view.show();
    view.OnInitialUpdate();
    const QString strGood = profile.FilePath("good.csv");
    std::ofstream(strGood.toStdString()) << kHeader << kRecord
                                         << "2026/03/01,00:00:09,20,21,50,60\n";
    ASSERT_TRUE(view.OpenRecorderPath(strGood));
    Pump();

    const BadFile& bad = GetParam();
    const QString strBad = profile.FilePath("bad.csv");
    std::ofstream(strBad.toStdString(), std::ios::binary) << bad.strContent;
    CModalWatcher watcher;
    EXPECT_FALSE(view.OpenRecorderPath(strBad));
    Pump();
    EXPECT_EQ(1, watcher.GetSeen()) << "exactly one message";
    const CCurve* pCurve = view.GetPlot()->FindCurve("!100");
    EXPECT_EQ(bad.nSamples, pCurve->m_arrValues.GetSize());
    EXPECT_EQ(bad.bKeepsRecording ? "good" : "bad",
              view.GetLabel(res::IDC_FILENAME)->text().toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInput,
    ::testing::Values(
        BadFile{"Empty", "", true, 10},
        BadFile{"HeaderOnly", kHeader, true, 10},
        BadFile{"BlankFirstRecord", kHeader + "\n" + kRecord, true, 10},
        BadFile{"BinaryGarbage", Garbage(), true, 10},
        BadFile{"TruncatedLastRecord", kHeader + kRecord + "2026/03/0", false, 1},
        BadFile{"TwoMegabyteLine", kHeader + kRecord + std::string(2 << 20, '7') + "\n", false, 1},
        BadFile{"NulByteInADate", kHeader + kRecord + std::string("2026/03/\0" "01,00:00:05\n", 21),
                false, 1},
        BadFile{"SpanOfACentury", kHeader + kRecord + "2126/03/01,00:00:00,1,1,1,1\n", false, 1}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST(BadInputPaths, MissingFileAndFolderKeepTheRecording)
{
    CIsolatedProfile profile;
    SeedSettings();
    CChildView view(nullptr);
    view.show();
    view.OnInitialUpdate();
    for (const QString& strPath : {profile.FilePath("vanished.csv"), profile.FilePath("")}) {
        CModalWatcher watcher;
        EXPECT_FALSE(view.OpenRecorderPath(strPath));
        EXPECT_EQ(1, watcher.GetSeen()) << strPath.toStdString();
        EXPECT_TRUE(watcher.GetMessages().contains("Cannot read")) << watcher.GetMessages().toStdString();
    }
}

TEST(BadSettings, HandEditedValuesNeverBreakTheView)
{
    CIsolatedProfile profile;
    WriteSettingText("Width", "!100", "abc");        // text where a number belongs
    WriteSettingInt("Width", "!200", 1000000);       // far too wide
    WriteSettingInt("Limit", "MaxTemp", -50);        // maximum below minimum
    WriteSettingInt("Limit", "MinTemp", 100);
    WriteSettingInt("Color", "!101", -1);            // counts as missing
    SeedSettings();
    EXPECT_EQ(3, ReadSettingInt("Width", "!100", 0));
    EXPECT_EQ(0xFF80FF, ReadSettingInt("Color", "!101", 0));
    CChildView view(nullptr);
    view.resize(CChildView::FormSize());
    view.show();
    view.OnInitialUpdate();
    // Limits the wrong way round are drawn as stored; the labels count down.
    EXPECT_EQ("100", view.GetLabel(res::IDC_TEMP_AXIS0)->text());
    EXPECT_EQ("85", view.GetLabel(res::IDC_TEMP_AXIS0 + 1)->text());
    EXPECT_EQ("-50", view.GetLabel(res::IDC_TEMP_AXIS0 + 10)->text());
    const QString strFile = profile.FilePath("a.csv");
    std::ofstream(strFile.toStdString()) << kHeader << kRecord << "2026/03/01,00:10:00,90,0,50,60\n";
    ASSERT_TRUE(view.OpenRecorderPath(strFile));
    Pump();
    EXPECT_EQ(1000000, view.GetPlot()->FindCurve("!200")->m_nPenWidth);
    const QImage image = view.grab().toImage();
    EXPECT_FALSE(image.isNull());
}

} // namespace
