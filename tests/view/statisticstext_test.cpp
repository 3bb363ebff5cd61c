// The statistics lines of a recording whose file lacked some channels: a set value it did not
// have, and the deviation from it, are no figures; a file without humidity shows it as a
// recorder without a humidity sensor does.
#include "view/statisticstext.h"

#include "recording/recording.h"

#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Three seconds from 2026-03-01 00:00:00 UTC: Temp PV 19, 21, 22 against 21, Humi PV 50
// against 60. A channel the file lacks holds the recorder's value for a missing field.
void Fill(CRecording& recording, bool bTempSV, bool bHumiPV, bool bHumiSV)
{
    recording.SetFirstTime(1772323200);
    for (const float f : {19.0f, 21.0f, 22.0f}) {
        recording.DenseSamples(EChannel::TempPV).Add(f);
        recording.DenseSamples(EChannel::TempSV).Add(bTempSV ? 21.0f : 0.0f);
        recording.DenseSamples(EChannel::HumiPV).Add(bHumiPV ? 50.0f : -1.0f);
        recording.DenseSamples(EChannel::HumiSV).Add(bHumiSV ? 60.0f : -1.0f);
    }
    ASSERT_TRUE(recording.AddDense(3));
    recording.SetChannelPresent(EChannel::TempSV, bTempSV);
    recording.SetChannelPresent(EChannel::HumiPV, bHumiPV);
    recording.SetChannelPresent(EChannel::HumiSV, bHumiSV);
}

TEST(StatisticsLines, AbsentSetValuesAreLeftOutAndAbsentHumidityIsDashes)
{
    CTzGuard tz("UTC");
    const QString strHeading = "curve\tminimum\tat\tmaximum\tat\tmean";
    const QString strTempPV =
        "Temp PV\t19.00\t2026-03-01 00:00:00\t22.00\t2026-03-01 00:00:02\t20.67";
    const QString strTempSV =
        "Temp SV\t21.00\t2026-03-01 00:00:00\t21.00\t2026-03-01 00:00:00\t21.00";
    const QString strHumiPV =
        "Humi PV\t50.00\t2026-03-01 00:00:00\t50.00\t2026-03-01 00:00:00\t50.00";
    const QString strHumiSV =
        "Humi SV\t60.00\t2026-03-01 00:00:00\t60.00\t2026-03-01 00:00:00\t60.00";
    const QString strTemp =
        "Temp\twithin \u00B12.00 of SV\t100.00%\tlargest deviation\t-2.00\t2026-03-01 00:00:00";
    const QString strHumi =
        "Humi\twithin \u00B15.00 of SV\t0.00%\tlargest deviation\t-10.00\t2026-03-01 00:00:00";
    // What a recorder without a humidity sensor has always printed.
    const QString strNoHumiPV = "Humi PV\t-\t-\t-\t-\t-";
    const QString strNoHumiSV = "Humi SV\t-\t-\t-\t-\t-";
    const QString strNoHumi = "Humi\twithin \u00B15.00 of SV\t-\tlargest deviation\t-\t-";

    struct CCase
    {
        const char* szName;
        bool bTempSV, bHumiPV, bHumiSV;
        QStringList expected;
    };
    const std::vector<CCase> cases = {
        {"every channel",
         true,
         true,
         true,
         {strHeading, strTempPV, strTempSV, strHumiPV, strHumiSV, strTemp, strHumi}},
        {"no set values", false, true, false, {strHeading, strTempPV, strHumiPV}},
        {"no Temp SV", false, true, true, {strHeading, strTempPV, strHumiPV, strHumiSV, strHumi}},
        {"no Humi SV", true, true, false, {strHeading, strTempPV, strTempSV, strHumiPV, strTemp}},
        {"no humidity",
         true,
         false,
         false,
         {strHeading, strTempPV, strTempSV, strNoHumiPV, strNoHumiSV, strTemp, strNoHumi}},
        {"temperature only",
         false,
         false,
         false,
         {strHeading, strTempPV, strNoHumiPV, strNoHumiSV, strNoHumi}},
    };
    const CTolerances tolerances; // ±2.00 °C, ±5.00 %RH
    for (const CCase& c : cases) {
        CRecording recording;
        Fill(recording, c.bTempSV, c.bHumiPV, c.bHumiSV);
        const CRunStatistics stats =
            ComputeRunStatistics(recording.View(), 0, recording.GetCount(), tolerances);
        EXPECT_EQ(
            c.expected.join('\n').toStdString(),
            StatisticsReportLines(stats, 1772323200u, tolerances, StatisticsRowsOf(&recording))
                .join('\n')
                .toStdString())
            << c.szName;
    }
}

TEST(StatisticsLines, DeviationsCarryTheirSignAndNothingReadsAsMinusZero)
{
    EXPECT_EQ(FormatDeviation(0.6), "+0.60");
    EXPECT_EQ(FormatDeviation(-1.25), "-1.25");
    EXPECT_EQ(FormatDeviation(-0.004), "+0.00");
    EXPECT_EQ(FormatDeviation(0.0), "+0.00");
}

} // namespace
