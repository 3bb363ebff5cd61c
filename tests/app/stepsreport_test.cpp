// The sheets --steps adds to a PDF: what they draw, read back from the painter's text.
#include "app/stepsreport.h"
#include "view/childview.h"
#include "view/stepsanalyser.h"
#include "view/stepstext.h"

#include "res/resources.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace {

// A landscape A4 sheet at 300 dpi that keeps the texts drawn on it, with the sheet they went
// on (counted by the caller) and their baseline.
class CTextSheet : public QPaintDevice
{
public:
    struct CText
    {
        int nSheet;
        qreal y;
        QString text;
    };
    std::vector<CText> texts;
    int nSheet = 1;

    int Count(const QString& strText) const
    {
        return static_cast<int>(std::count_if(texts.begin(), texts.end(),
                                              [&](const CText& t) { return t.text == strText; }));
    }
    // The texts drawn on one baseline, joined: a line of mixed scripts arrives in pieces.
    QStringList Lines() const
    {
        QStringList lines;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const bool bSameLine =
                i > 0 && texts[i].nSheet == texts[i - 1].nSheet && texts[i].y == texts[i - 1].y;
            if (bSameLine)
                lines.back() += texts[i].text;
            else
                lines << texts[i].text;
        }
        return lines;
    }

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
        explicit CEngine(CTextSheet& sheet) : QPaintEngine(AllFeatures), m_sheet(sheet) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF& at, const QTextItem& item) override
        {
            m_sheet.texts.push_back({m_sheet.nSheet, at.y(), item.text()});
        }
        Type type() const override { return User; }

    private:
        CTextSheet& m_sheet;
    };
    mutable CEngine m_engine{*this};
};

// Half an hour at 20.00 with PV 23.00 every tenth second from 00:10:00: 120 excursions of a
// second each.
QString WriteExcursions(const CIsolatedProfile& profile)
{
    const QString strPath = profile.FilePath(QStringLiteral("chamber.csv"));
    QFile file(strPath);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
    for (int s = 0; s < 1800; ++s) {
        char sz[96];
        std::snprintf(sz, sizeof sz, "2026/03/01,%02d:%02d:%02d,%d.00,20.00,-1.00,-1.00\r\n",
                      s / 3600, s / 60 % 60, s % 60, s >= 600 && s % 10 == 0 ? 23 : 20);
        file.write(sz);
    }
    return strPath;
}

struct CSheets
{
    CTextSheet sheet;
    std::optional<int> drawn;
};

// The sheets of samples nBegin to nEnd of the file, sheets after the first started while
// fnNewSheet allows.
std::unique_ptr<CSheets> DrawSheets(const QString& strPath, std::int64_t nBegin, std::int64_t nEnd,
                                    const std::function<bool()>& fnNewSheet)
{
    auto pSheets = std::make_unique<CSheets>();
    CChildView view(nullptr);
    view.OnInitialUpdate();
    EXPECT_TRUE(view.OpenRecorderPath(strPath));
    const CStepOptions options;
    view.AnalyseStepsNow(options);
    const CProgramAnalysis& analysis = view.GetStepsAnalyser()->Result();
    QString strError;
    const QStringList facts =
        StepSheetFacts(*view.GetRecording(), options, analysis, nBegin, nEnd, strError);
    EXPECT_FALSE(facts.isEmpty()) << strError.toStdString();
    CTextSheet& sheet = pSheets->sheet;
    QPainter painter(&sheet);
    pSheets->drawn = DrawStepSheets(
        painter, QRect(0, 0, 3508, 1240), "chamber.csv", facts,
        [&](const auto& fnLine) { ForEachStepReportLine(analysis, view.m_tFirstSample, fnLine); },
        [&] {
            if (!fnNewSheet())
                return false;
            ++sheet.nSheet;
            return true;
        });
    painter.end();
    return pSheets;
}

TEST(StepsSheets, NameTheFileAndStretchAndContinueTheTablesOverSheets)
{
    const CTzGuard tz("UTC");
    CIsolatedProfile profile;
    SeedSettings();
    res::ApplyInterfaceLanguage(res::kLangENG);
    const QString strPath = WriteExcursions(profile);
    const auto pSheets = DrawSheets(strPath, 0, 1800, [] { return true; });
    const CTextSheet& sheet = pSheets->sheet;
    // sha256sum of the bytes written above.
    for (const char* szText :
         {"judged: the whole recording",
          "a4f68928c2e3aab2fca51f7f6332c651eccbc8c2ab9354657c76b6f8e71b3a64", "81043 bytes",
          "2026-03-01 00:00:00", "2026-03-01 00:29:59", "fail, 0 of 1 dwells passed", "120"})
        EXPECT_LE(1, sheet.Count(QString::fromLatin1(szText))) << szText;
    ASSERT_TRUE(pSheets->drawn.has_value());
    EXPECT_EQ(sheet.nSheet, *pSheets->drawn);
    EXPECT_GT(sheet.nSheet, 2) << "120 excursions do not fit one sheet";
    // Every excursion once, its start and end on one sheet, however the sheets break; and
    // each sheet that holds excursions starts them with their heading.
    std::set<int> withExcursions;
    for (int s = 600; s < 1800; s += 10) {
        const QString strTime = QStringLiteral("2026-03-01 00:%1:%2")
                                    .arg(s / 60, 2, 10, QLatin1Char('0'))
                                    .arg(s % 60, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(2, sheet.Count(strTime)) << strTime.toStdString();
        for (const auto& t : sheet.texts)
            if (t.text == strTime)
                withExcursions.insert(t.nSheet);
    }
    std::set<int> withHeading;
    for (const auto& t : sheet.texts) {
        EXPECT_LT(t.y, 1240 - 1240 / 20) << t.text.toStdString() << " below the margin";
        if (t.text == QLatin1String("peak"))
            withHeading.insert(t.nSheet);
    }
    EXPECT_EQ(withExcursions, withHeading);
}

TEST(StepsSheets, NameAStretchInTheInterfaceLanguageAndSayWhenCut)
{
    const CTzGuard tz("UTC");
    CIsolatedProfile profile;
    SeedSettings();
    res::ApplyInterfaceLanguage(res::kLangCHT);
    const QString strPath = WriteExcursions(profile);
    const auto pSheets = DrawSheets(strPath, 600, 1200, [] { return false; });
    res::ApplyInterfaceLanguage(res::kLangENG);
    EXPECT_TRUE(pSheets->sheet.Lines().contains(
        QString::fromUtf8("判定範圍：2026-03-01 00:10:00 \u2013 2026-03-01 00:19:59")))
        << pSheets->sheet.Lines().join('\n').toStdString();
    EXPECT_FALSE(pSheets->drawn.has_value()) << "the tables did not fit one sheet";
}

} // namespace
