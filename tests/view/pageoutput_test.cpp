// The page output through its interface alone: a form that paints each page in a colour of its
// own and notes in order what the output asks of it.
#include "view/pageoutput.h"
#include "view/pagesource.h"

#include "curve/curvectrl.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

QRgb PageColour(int nPage)
{
    return QColor::fromHsv(nPage * 40, 255, 255).rgb();
}

class CFakePages : public QWidget, public IPageSource
{
public:
    CFakePages()
    {
        setFixedSize(300, 200);
        m_plot.m_bCrossHair = 1;
        m_plot.m_nBandFirst = 5;
        m_plot.m_nBandLast = 9;
    }

    QWidget& GetPageForm() override { return *this; }
    CCurveCtrl& GetPagePlot() override { return m_plot; }
    void FinishPageMarks() override { m_log << QStringLiteral("finish"); }
    int GetPageCount() const override { return 6; }
    void ShowPage(int nPage) override
    {
        m_nPage = nPage;
        m_log << QStringLiteral("show %1").arg(nPage);
    }
    int ExecPrintDialog(QPrintDialog&) override { return QDialog::Rejected; }

    // The cross-hair and band as the plot had them when the form was last painted.
    bool MarksOn() const { return m_plot.m_bCrossHair != 0 && m_plot.m_nBandLast == 9; }

    CCurveCtrl m_plot;
    QStringList m_log;
    int m_nPage = 3;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), QColor::fromRgb(PageColour(m_nPage)));
        const bool bOff = m_plot.m_bCrossHair == 0 && m_plot.m_nBandFirst > m_plot.m_nBandLast;
        m_log << QStringLiteral("paint %1%2").arg(m_nPage).arg(bOff ? "" : " with marks");
    }
};

TEST(PageOutput, PictureIsTheFormLessItsMarginsWithTheMarksFinishedAndTheScreenMarksOff)
{
    CFakePages pages;
    CPageOutput output(pages);
    const QImage picture = output.TakePicture();
    EXPECT_EQ(QSize(300 - 190, 200 - 80), picture.size());
    EXPECT_EQ(PageColour(3), picture.pixel(0, 0));
    EXPECT_EQ(PageColour(3), picture.pixel(109, 119));
    EXPECT_EQ(QStringList({"finish", "paint 3"}), pages.m_log);
    EXPECT_TRUE(pages.MarksOn()) << "the cross-hair and band come back";

    pages.setFixedSize(190, 300);
    EXPECT_TRUE(output.TakePicture().isNull());
}

TEST(PageOutput, EachPageIsShownBeforeItsSheetAndTheLastStaysShown)
{
    QTemporaryDir dir;
    CFakePages pages;
    CPageOutput output(pages);
    const auto print = [&](const QString& strFile, bool bLastSheetDrawn) {
        pages.m_log.clear();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(strFile));
        return output.PrintPages(
            printer, 2, 4, [&](int p) { pages.m_log << QStringLiteral("before %1").arg(p); },
            [&](QPainter&, const QRect& rcArea) {
                pages.m_log << QStringLiteral("last sheet");
                return bLastSheetDrawn && !rcArea.isEmpty();
            });
    };
    const QStringList sheets = {"finish",  "before 2", "show 2", "paint 2", "before 3",  "show 3",
                                "paint 3", "before 4", "show 4", "paint 4", "last sheet"};

    EXPECT_EQ(CPageOutput::EPrintResult::Printed, print("all.pdf", true));
    EXPECT_EQ(sheets + QStringList({"show 4"}), pages.m_log);
    EXPECT_TRUE(pages.MarksOn());

    EXPECT_EQ(CPageOutput::EPrintResult::Failed, print("short.pdf", false));
    EXPECT_EQ(sheets + QStringList({"show 4"}), pages.m_log);
    EXPECT_TRUE(pages.MarksOn());

    EXPECT_EQ(CPageOutput::EPrintResult::CannotStart, print("missing/x.pdf", true));
    EXPECT_EQ(QStringList({"finish"}), pages.m_log);
    EXPECT_TRUE(pages.MarksOn());
}

} // namespace
