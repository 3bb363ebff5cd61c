// The uniformity window shows and copies what the command line prints, offers the selection
// and the dwells, and names the box a wrong set value was typed in.
#include "view/uniformitywnd.h"

#include "res/resource.h"
#include "res/resources.h"
#include "view/shownrecording.h"
#include "view/stepsanalyser.h"
#include "view/uniformitytext.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace {

class CNoHost : public IRecordingHost
{
public:
    void ShowPageOf(std::int64_t) override {}
    void AnalyseSteps(const CStepOptions&) override {}
};

std::shared_ptr<const CRecording> Logger(std::int64_t tFirst, float fTemp)
{
    auto p = std::make_shared<CRecording>();
    p->SetFirstTime(tFirst);
    for (const EChannel e : kChannels) {
        CFloatArray& arr = p->DenseSamples(e);
        EXPECT_TRUE(arr.Reserve(1300));
        for (int i = 0; i < 1300; ++i) {
            float f = 50.0f;
            if (e == EChannel::TempPV)
                f = fTemp + static_cast<float>(i % 3);
            else if (e == EChannel::TempSV)
                f = i < 700 ? 25.0f : 40.0f; // two dwells, of 700 and 600 seconds
            arr.GetData()[i] = f;
        }
        arr.SetSize(1300);
    }
    EXPECT_TRUE(p->AddDense(1300));
    return p;
}

TEST(UniformityWindow, CopiesTheReportLinesFollowsTheSelectionAndNamesAWrongBox)
{
    const CTzGuard tz("UTC");
    const CIsolatedProfile profile;
    res::ApplyInterfaceLanguage(res::kLangENG);
    CNoHost host;
    CStepsAnalyser steps([] { return std::shared_ptr<const CRecording>(); });
    CShownRecording shown(host, steps);
    CRecordingSet set;
    set.Add(Logger(1'772'323'200, 20.0f));
    set.Add(Logger(1'772'323'202, 23.0f));
    shown.SetRecordings(set);

    CUniformityWnd wnd(&shown, nullptr);
    const CUniformity whole = ComputeUniformity(set, 0, 1LL << 40, {});
    const QStringList lines = UniformityReportLines(whole, UniformityMemberNames(set));
    EXPECT_EQ((lines + QStringList{QString(), UniformityJudgedLine(whole)}).join('\n') + '\n',
              wnd.TableText());
    EXPECT_EQ(lines.size() - 1, wnd.GetTable()->rowCount());

    // All common seconds, then the dwells of the first recording's set values.
    ASSERT_EQ(3, wnd.GetStretchBox()->count());
    wnd.GetStretchBox()->setCurrentIndex(2);
    EXPECT_TRUE(wnd.TableText().endsWith(
        QString::fromUtf8("judged: 2026-03-01 00:11:40 \u2013 2026-03-01 00:21:39\n")))
        << wnd.TableText().toStdString();

    shown.SetSelection(3, 5); // of the first recording: common seconds 3 to 5 after its start
    ASSERT_EQ(4, wnd.GetStretchBox()->count());
    EXPECT_EQ(3, wnd.GetStretchBox()->currentIndex()) << "the dwell stays chosen";
    wnd.GetStretchBox()->setCurrentIndex(1);
    EXPECT_TRUE(wnd.TableText().endsWith(
        QString::fromUtf8("judged: 2026-03-01 00:00:03 \u2013 2026-03-01 00:00:05\n")))
        << wnd.TableText().toStdString();

    wnd.GetSetValueBox()->setCurrentIndex(1);
    wnd.GetTempBox()->setText(QStringLiteral("2x"));
    emit wnd.GetTempBox()->editingFinished();
    EXPECT_TRUE(wnd.GetMessageLabel()->text().startsWith("Temp set value \"2x\" is not a number"))
        << wnd.GetMessageLabel()->text().toStdString();
    EXPECT_EQ(QString(), wnd.TableText());
    wnd.GetTempBox()->setText(QStringLiteral("21.5"));
    emit wnd.GetTempBox()->editingFinished();
    EXPECT_EQ(QString(), wnd.GetMessageLabel()->text());
    EXPECT_TRUE(wnd.TableText().contains("Temp\tall\tset value\t21.50\ttyped\n"));
}

} // namespace
