// The sheets --steps adds to a PDF: what they draw, read back from the painter's text.
#include "app/stepsreport.h"
#include "view/childview.h"
#include "view/stepsanalyser.h"
#include "view/stepstext.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPaintEngine>
#include <QPainter>

#include <cstdio>

namespace {

// A landscape A4 sheet at 300 dpi that keeps the texts drawn on it.
class CTextSheet : public QPaintDevice
{
public:
    QStringList texts;

    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric eMetric) const override
    {
        switch (eMetric) {
        case PdmWidth:
            return 3508;
        case PdmHeight:
            return 2480;
        case PdmWidthMM:
            return 297;
        case PdmHeightMM:
            return 210;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        case PdmNumColors:
            return 0x7FFFFFFF;
        default:
            return 300; // the resolutions
        }
    }

private:
    class CEngine : public QPaintEngine
    {
    public:
        explicit CEngine(QStringList& texts) : QPaintEngine(AllFeatures), m_texts(texts) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override
        {
            m_texts << item.text();
        }
        Type type() const override { return User; }

    private:
        QStringList& m_texts;
    };
    mutable CEngine m_engine{texts};
};

TEST(StepsSheets, NameTheFileByItsSha256AndContinueTheTablesOverSheets)
{
    const CTzGuard tz("UTC");
    CIsolatedProfile profile;
    SeedSettings();
    // Half an hour at 20.00 with PV 23.00 every tenth second from 00:10:00: 120 excursions.
    const QString strPath = profile.FilePath(QStringLiteral("chamber.csv"));
    {
        QFile file(strPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
        for (int s = 0; s < 1800; ++s) {
            char sz[96];
            std::snprintf(sz, sizeof sz, "2026/03/01,%02d:%02d:%02d,%d.00,20.00,-1.00,-1.00\r\n",
                          s / 3600, s / 60 % 60, s % 60, s >= 600 && s % 10 == 0 ? 23 : 20);
            file.write(sz);
        }
    }
    CChildView view(nullptr);
    view.OnInitialUpdate();
    ASSERT_TRUE(view.OpenRecorderPath(strPath));
    const CStepOptions options;
    view.AnalyseStepsNow(options);
    const CProgramAnalysis& analysis = view.GetStepsAnalyser()->Result();
    QString strError;
    const QStringList facts = StepSheetFacts(strPath, view, options, analysis, strError);
    ASSERT_FALSE(facts.isEmpty()) << strError.toStdString();

    CTextSheet sheet;
    QPainter painter(&sheet);
    int nNewSheets = 0;
    const int nSheets = DrawStepSheets(painter, QRect(0, 0, 3508, 1240), "chamber.csv", facts,
                                       StepReportLines(analysis, view.m_tFirstSample), [&] {
                                           ++nNewSheets;
                                           return true;
                                       });
    painter.end();
    // sha256sum of the bytes written above.
    for (const char* szText : {"a4f68928c2e3aab2fca51f7f6332c651eccbc8c2ab9354657c76b6f8e71b3a64",
                               "81043 bytes", "2026-03-01 00:00:00", "2026-03-01 00:29:59",
                               "fail, 0 of 1 dwells passed", "120", "2026-03-01 00:29:50"})
        EXPECT_TRUE(sheet.texts.contains(QString::fromLatin1(szText))) << szText;
    EXPECT_GT(nSheets, 2) << "120 excursions do not fit one sheet";
    EXPECT_EQ(nSheets - 1, nNewSheets);
    // Each sheet the excursions continue on starts with their heading.
    EXPECT_EQ(nSheets, sheet.texts.count("peak"));
}

} // namespace
