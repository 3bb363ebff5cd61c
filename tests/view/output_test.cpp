// Save as image and Print: the placement arithmetic, and the files both commands write, read
// back and compared with what the view paints.
#include "view/childview.h"
#include "view/exportfile.h"
#include "view/printplacement.h"

#include "curve/curvectrl.h"
#include "recording/recording.h"
#include "res/resource.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTransform>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

namespace {

TEST(PicturePlacement, KeepsTheScreenSizeWhateverThePrinterResolution)
{
    // 830 x 540 screen pixels at 96 dpi on an 11 x 8.5 inch printable area.
    for (const CResolution printer : {CResolution{300, 300}, CResolution{600, 600},
                                      CResolution{1200, 1200}, CResolution{600, 300}}) {
        const QSize area(11 * printer.nX, 17 * printer.nY / 2);
        const QRectF rc = PicturePlacement({830, 540}, area, {96, 96}, printer);
        EXPECT_NEAR(8.65, rc.width() / printer.nX, 0.005) << printer.nX << "x" << printer.nY;
        EXPECT_NEAR(5.63, rc.height() / printer.nY, 0.005) << printer.nX << "x" << printer.nY;
        // 1056 x 816 screen pixels of area: (1056 - 830) / 2 and (816 - 540) / 2.
        EXPECT_DOUBLE_EQ(113.0 * printer.nX / 96, rc.x());
        EXPECT_DOUBLE_EQ(138.0 * printer.nY / 96, rc.y());
    }
}

TEST(PicturePlacement, CentresInWholeScreenPixelsAndCutsBothSidesEqually)
{
    // Odd spare: 227 screen pixels leave 113 on the left.
    EXPECT_EQ(QRectF(113, 0, 830, 540),
              PicturePlacement({830, 540}, {1057, 540}, {96, 96}, {96, 96}));
    // Too large: 15 cut on the left and 15 on the right, 20 at the top and 20 at the bottom.
    const QRectF rc = PicturePlacement({830, 540}, {1600, 1000}, {96, 96}, {192, 192});
    EXPECT_EQ(QRectF(-30, -40, 1660, 1080), rc);
    EXPECT_EQ(30.0, rc.right() - 1600);
    // An odd overflow rounds toward zero: 15 cut on the left, 16 on the right.
    EXPECT_EQ(-15.0, PicturePlacement({831, 10}, {800, 10}, {96, 96}, {96, 96}).x());
    // A device that reports no resolution prints screen pixels 1:1.
    EXPECT_EQ(QRectF(10, 5, 80, 40), PicturePlacement({80, 40}, {100, 50}, {0, 0}, {600, 600}));
}

// The little of a PDF from Qt's PDF engine that the print tests read back: the pages in order,
// each with its media size and the pictures drawn on it, placed in points from the bottom
// left of the sheet.
struct CPdfPicture
{
    QImage image;
    QRectF rect;
};

struct CPdfPage
{
    QSizeF size;
    std::vector<CPdfPicture> pictures;
};

class CPdfReader
{
public:
    explicit CPdfReader(const QString& strPath)
    {
        QFile file(strPath);
        if (file.open(QIODevice::ReadOnly))
            m_data = file.readAll();
    }

    std::vector<CPdfPage> Pages() const
    {
        std::vector<CPdfPage> pages;
        const QString strTrailer = QString::fromLatin1(m_data.mid(m_data.lastIndexOf("trailer")));
        const QString strKids =
            Match(Text(Ref(Text(Ref(strTrailer, "/Root")), "/Pages")), R"(/Kids\s*\[([^\]]*)\])");
        for (const auto& kid : QRegularExpression(R"((\d+) 0 R)").globalMatch(strKids)) {
            const QString strPage = Text(kid.captured(1).toInt());
            const QStringList box =
                Match(strPage, R"(/MediaBox\s*\[([^\]]*)\])").split(' ', Qt::SkipEmptyParts);
            CPdfPage page;
            if (box.size() == 4)
                page.size = QSizeF(box[2].toDouble(), box[3].toDouble());
            page.pictures =
                Draw(Inflate(Stream(Ref(strPage, "/Contents"))), Text(Ref(strPage, "/Resources")));
            pages.push_back(std::move(page));
        }
        return pages;
    }

private:
    // Follows the q, Q and cm operators to where each image lands.
    std::vector<CPdfPicture> Draw(const QByteArray& content, const QString& strResources) const
    {
        std::vector<CPdfPicture> pictures;
        QTransform ctm;
        std::vector<QTransform> saved;
        std::vector<double> operands;
        QString strName;
        for (const QByteArray& token : content.simplified().split(' ')) {
            bool bNumber = false;
            const double f = token.toDouble(&bNumber);
            if (bNumber) {
                operands.push_back(f);
                continue;
            }
            if (token.startsWith('/')) {
                strName = QString::fromLatin1(token);
                continue;
            }
            if (token == "q") {
                saved.push_back(ctm);
            } else if (token == "Q" && !saved.empty()) {
                ctm = saved.back();
                saved.pop_back();
            } else if (token == "cm" && operands.size() >= 6) {
                const double* m = &operands[operands.size() - 6];
                ctm = QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) * ctm;
            } else if (token == "Do") {
                const int nImage = Ref(strResources, strName.toLatin1().constData());
                pictures.push_back(
                    {QImage::fromData(Stream(nImage), "JPEG"), ctm.mapRect(QRectF(0, 0, 1, 1))});
            }
            operands.clear();
        }
        return pictures;
    }

    static QByteArray Inflate(const QByteArray& data)
    {
        // qUncompress wants the expected size ahead of the data and grows past it as needed.
        QByteArray framed(4, '\0');
        qToBigEndian<quint32>(static_cast<quint32>(data.size() * 4), framed.data());
        return qUncompress(framed + data);
    }

    QByteArray Object(int n) const
    {
        const qsizetype nStart = m_data.indexOf("\n" + QByteArray::number(n) + " 0 obj");
        return n > 0 && nStart >= 0 ? m_data.mid(nStart, m_data.indexOf("endobj", nStart) - nStart)
                                    : QByteArray();
    }

    QString Text(int n) const { return QString::fromLatin1(Object(n)); }

    // Qt's PDF engine gives every stream's length as an object of its own.
    QByteArray Stream(int n) const
    {
        const QByteArray obj = Object(n);
        const qsizetype nStart = obj.indexOf("stream\n");
        const int nLength =
            Match(Text(Ref(QString::fromLatin1(obj.left(nStart)), "/Length")), R"(obj\s+(\d+))")
                .toInt();
        return nStart < 0 ? QByteArray() : obj.mid(nStart + 7, nLength);
    }

    static QString Match(const QString& strText, const QString& strPattern)
    {
        return QRegularExpression(strPattern).match(strText).captured(1);
    }

    static int Ref(const QString& strText, const char* szKey)
    {
        return Match(strText, QString::fromLatin1(szKey) + R"(\s+(\d+)\s+0\s+R)").toInt();
    }

    QByteArray m_data;
};

// Pixels whose brightness differs by more than JPEG noise; JPEG keeps brightness at full
// resolution but blurs colour, which would flood a colour comparison at every coloured edge.
int CountDifferentPixels(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return x.width() * x.height();
    int nDifferent = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            if (std::abs(qGray(p[col]) - qGray(q[col])) > 48)
                ++nDifferent;
    }
    return nDifferent;
}

class CPrintingView : public CChildView
{
public:
    using CChildView::CChildView;
    std::function<int(QPrintDialog&)> m_fnAnswer;

protected:
    int ExecPrintDialog(QPrintDialog& dlg) override
    {
        return m_fnAnswer ? m_fnAnswer(dlg) : int(QDialog::Rejected);
    }
};

class OutputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SeedSettings();
        m_pView = std::make_unique<CPrintingView>(nullptr);
        m_pView->show();
        m_pView->OnInitialUpdate();
    }

    QString OutPath(const QString& strName) const { return m_out.filePath(strName); }
    QStringList OutFiles() const { return QDir(m_out.path()).entryList(QDir::Files); }
    int CrossHair() const { return m_pView->GetPlot()->m_bCrossHair; }

    CTzGuard m_tz{"UTC"};
    CIsolatedProfile m_profile;
    QTemporaryDir m_out;
    std::unique_ptr<CPrintingView> m_pView;
};

class SaveAsImage : public OutputTest
{
protected:
    // Runs Save As and answers its dialog: strTyped is typed as the file name (an empty text
    // cancels), after choosing the filter strFilter. Returns the texts of the messages shown.
    QString SaveAs(const QString& strTyped, const QString& strFilter = QString())
    {
        CModalWatcher watcher([&](QWidget* p) {
            auto* pDialog = qobject_cast<QFileDialog*>(p);
            if (!pDialog) {
                p->close();
                return;
            }
            EXPECT_EQ(QFileDialog::AcceptSave, pDialog->acceptMode());
            EXPECT_EQ(QStringList({"Image Files (*.bmp)", "Image Files (*.jpg)"}),
                      pDialog->nameFilters());
            EXPECT_EQ("Image Files (*.bmp)", pDialog->selectedNameFilter());
            EXPECT_EQ("bmp", pDialog->defaultSuffix());
            EXPECT_FALSE(pDialog->testOption(QFileDialog::DontConfirmOverwrite));
            auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (strTyped.isEmpty() || !pName) {
                EXPECT_TRUE(strTyped.isEmpty()) << "no file name box";
                pDialog->reject();
                return;
            }
            if (!strFilter.isEmpty())
                pDialog->selectNameFilter(strFilter);
            pName->setText(strTyped);
            static_cast<QDialog*>(pDialog)->accept();
        });
        m_pView->OnCommand(res::ID_FILE_SAVE_AS);
        return watcher.GetMessages();
    }
};

TEST_F(SaveAsImage, FormatFollowsTheSuffixWhateverTheFilter)
{
    struct CCase
    {
        const char* szTyped;
        const char* szFilter;
        const char* szWritten;
        QByteArray magic;
    };
    const QByteArray bmp("BM");
    const QByteArray jpeg("\xFF\xD8\xFF", 3);
    const QByteArray png("\x89PNG", 4);
    for (const CCase& c : {CCase{"a.bmp", "", "a.bmp", bmp}, CCase{"b.jpg", "", "b.jpg", jpeg},
                           CCase{"c.JPG", "Image Files (*.jpg)", "c.JPG", jpeg},
                           CCase{"d.png", "Image Files (*.jpg)", "d.png", png},
                           CCase{"e", "Image Files (*.jpg)", "e.bmp", bmp}}) {
        SCOPED_TRACE(c.szTyped);
        EXPECT_EQ("", SaveAs(OutPath(c.szTyped), QString::fromLatin1(c.szFilter)));
        QFile file(OutPath(c.szWritten));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        EXPECT_TRUE(data.startsWith(c.magic));
        EXPECT_EQ(QSize(1016 - 190, 616 - 80), QImage::fromData(data).size());
        EXPECT_EQ(1, CrossHair());
    }
    EXPECT_EQ(5, OutFiles().size());
}

TEST_F(SaveAsImage, PictureIsTheTopLeftOfTheViewWithoutTheCrossHair)
{
    CCurveCtrl* pPlot = m_pView->GetPlot();
    pPlot->m_crCrossHair = 0x00FF00;
    const QPoint ptPointer(300, 200);
    QMouseEvent move(QEvent::MouseMove, ptPointer, pPlot->mapToGlobal(ptPointer), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pPlot, &move);
    const QImage onScreen = m_pView->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint ptCross = pPlot->mapTo(m_pView.get(), ptPointer);
    ASSERT_EQ(qRgb(0, 0xFF, 0), onScreen.pixel(ptCross + QPoint(50, 0))) << "cross-hair shown";

    EXPECT_EQ("", SaveAs(OutPath("shot.png")));
    const QImage saved = QImage(OutPath("shot.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(QSize(826, 536), saved.size());
    int nDifferent = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x)
            if (saved.pixel(x, y) != onScreen.pixel(x, y)) {
                ++nDifferent;
                EXPECT_TRUE(x == ptCross.x() || y == ptCross.y()) << x << "," << y;
                EXPECT_NE(qRgb(0, 0xFF, 0), saved.pixel(x, y)) << x << "," << y;
            }
    EXPECT_GT(nDifferent, 700) << "the cross-hair's two lines are missing from the picture";
    EXPECT_EQ(1, CrossHair());
}

// A month at one sample a second, level but for samples nDropFrom to nDropTo (exclusive),
// where the chamber's door stood open: Temp PV 8 K and Humi PV 30 %RH lower. Its first page
// at an hour a pixel, as Save as writes it.
QImage MonthPicture(CChildView& view, const QString& strPath, std::int64_t nDropFrom,
                    std::int64_t nDropTo)
{
    constexpr std::int64_t kMonth = 31LL * 86400;
    auto pRecording = std::make_shared<CRecording>();
    pRecording->SetFirstTime(1772323200); // 2026-03-01 00:00 UTC
    const struct
    {
        EChannel eChannel;
        float fLevel, fDrop;
    } channels[] = {{EChannel::TempPV, 40.0f, 32.0f},
                    {EChannel::TempSV, 40.0f, 40.0f},
                    {EChannel::HumiPV, 93.0f, 63.0f},
                    {EChannel::HumiSV, 93.0f, 93.0f}};
    for (const auto& c : channels) {
        CFloatArray& samples = pRecording->DenseSamples(c.eChannel);
        const bool bDrop = nDropFrom >= 0;
        EXPECT_TRUE(samples.AddRepeated(c.fLevel, bDrop ? nDropFrom : kMonth));
        if (bDrop) {
            EXPECT_TRUE(samples.AddRepeated(c.fDrop, nDropTo - nDropFrom));
            EXPECT_TRUE(samples.AddRepeated(c.fLevel, kMonth - nDropTo));
        }
    }
    EXPECT_TRUE(pRecording->AddDense(kMonth));
    view.ShowRecording(pRecording, QStringLiteral("month"));
    QCoreApplication::processEvents(); // the paging resets as after File Open
    view.OnScaleBarScroll(CChildView::kThumbPosition, 3600);
    EXPECT_EQ("", view.SavePicture(strPath));
    return QImage(strPath).convertToFormat(QImage::Format_RGB32);
}

// The lowest row where the picture differs from the level month's: how deep the drop is drawn.
int LowestChange(const QImage& picture, const QImage& level)
{
    for (int y = picture.height() - 1; y >= 0; --y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != level.pixel(x, y))
                return y;
    return -1;
}

// At an hour a pixel a drop of one second is drawn as deep as one that fills its whole column,
// which even a drawing of every 3600th sample shows.
TEST_F(SaveAsImage, AOneSecondDropOfAMonthShowsAtAnHourPerPixelAtFullDepth)
{
    const QImage level = MonthPicture(*m_pView, OutPath("level.png"), -1, -1);
    const std::int64_t nHour = 300 * 3600LL; // a whole column of the page
    const int nFullDepth =
        LowestChange(MonthPicture(*m_pView, OutPath("hour.png"), nHour, nHour + 3600), level);
    ASSERT_GT(nFullDepth, 0);
    for (const std::int64_t nSecond : {nHour + 1, nHour + 1799, nHour + 3599}) {
        const QImage drop = MonthPicture(*m_pView, OutPath("second.png"), nSecond, nSecond + 1);
        // Within the pen's edge: a three-pixel pen's lowest row depends on whether a
        // slanted line or the column's own stroke ends there.
        EXPECT_NEAR(nFullDepth, LowestChange(drop, level), 1) << "the second " << nSecond;
    }
}

TEST_F(SaveAsImage, CancelWritesNothing)
{
    EXPECT_EQ("", SaveAs(QString()));
    EXPECT_TRUE(OutFiles().isEmpty());
    EXPECT_EQ(1, CrossHair());
}

TEST_F(SaveAsImage, FailuresWriteNothingAndSayWhy)
{
    const QString strUnknown = SaveAs(OutPath("plot.xyz"));
    EXPECT_TRUE(strUnknown.contains("unknown image format \"xyz\"")) << strUnknown.toStdString();
    EXPECT_EQ(1, CrossHair());

    QFile notFolder(OutPath("notes.txt"));
    ASSERT_TRUE(notFolder.open(QIODevice::WriteOnly));
    notFolder.close();
    const QString strFailed = SaveAs(OutPath("notes.txt/plot.bmp"));
    EXPECT_TRUE(strFailed.contains("plot.bmp was not saved: ")) << strFailed.toStdString();
    EXPECT_GT(strFailed.size(), strFailed.indexOf(": ") + 3) << "the system's reason follows";
    EXPECT_EQ(1, CrossHair());

    m_pView->setFixedSize(189, 500);
    const QString strSmall = SaveAs(OutPath("small.bmp"));
    EXPECT_TRUE(strSmall.contains("too small")) << strSmall.toStdString();

    EXPECT_EQ(QStringList{"notes.txt"}, OutFiles());
    EXPECT_EQ(1, CrossHair());
}

TEST_F(SaveAsImage, MessagesComeInTheInterfaceLanguage)
{
    for (const int nLang : {res::kLangCHT, res::kLangCHS, res::kLangENG}) {
        SCOPED_TRACE(nLang);
        res::ApplyInterfaceLanguage(nLang);
        const QString strPath = QDir::toNativeSeparators(OutPath("plot.xyz"));
        EXPECT_EQ(res::LoadString(res::IDS_SAVE_UNKNOWN_FORMAT).arg(strPath, "xyz") + '\n',
                  SaveAs(OutPath("plot.xyz")));
    }
    EXPECT_NE(res::LoadString(res::IDS_SAVE_TOO_SMALL, res::kLangCHT),
              res::LoadString(res::IDS_SAVE_TOO_SMALL, res::kLangENG));
}

class Printing : public OutputTest
{
protected:
    // A recording of six pages at one second per pixel, Temp PV 20 higher on every page.
    void OpenSixPages()
    {
        const QString strPath = m_profile.FilePath("six.csv");
        std::ofstream out(strPath.toStdString(), std::ios::binary);
        out << "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n";
        for (int i = 0; i < 6 * 720; ++i) {
            char sz[96];
            std::snprintf(sz, sizeof sz, "2026/03/01,%02d:%02d:%02d,%d,%d,50,60\r\n", i / 3600,
                          i / 60 % 60, i % 60, 20 * (i / 720), 20 * (i / 720) + 5);
            out << sz;
        }
        out.close();
        ASSERT_TRUE(m_pView->OpenRecorderPath(strPath));
        Pump();
        ASSERT_EQ("6", m_pView->GetTotalPagesBox()->text());
    }

    // Prints through the dialog answered by fnAnswer, to a PDF file; returns its pages.
    std::vector<CPdfPage> Print(const std::function<void(QPrintDialog&)>& fnAnswer)
    {
        const QString strPdf = OutPath(QStringLiteral("print%1.pdf").arg(++m_nJobs));
        m_pView->m_fnAnswer = [&](QPrintDialog& dlg) {
            EXPECT_EQ(0, CrossHair()) << "off for the whole command";
            dlg.printer()->setOutputFileName(strPdf);
            fnAnswer(dlg);
            m_area = dlg.printer()->pageRect(QPrinter::Point);
            return int(QDialog::Accepted);
        };
        m_pView->OnCommand(res::ID_FILE_PRINT);
        m_pView->m_fnAnswer = nullptr;
        EXPECT_EQ(1, CrossHair());
        return CPdfReader(strPdf).Pages();
    }

    // The printable area of the last job, in points from the top left of the sheet.
    QRectF m_area;
    int m_nJobs = 0;
};

TEST_F(Printing, PagesThreeToFiveGiveThreeLandscapeSheetsInOrder)
{
    OpenSixPages();
    const std::vector<CPdfPage> pages = Print([](QPrintDialog& dlg) {
        EXPECT_EQ(1, dlg.minPage());
        EXPECT_EQ(6, dlg.maxPage());
        EXPECT_EQ(QPageLayout::Landscape, dlg.printer()->pageLayout().orientation());
        dlg.printer()->setPrintRange(QPrinter::PageRange);
        dlg.printer()->setFromTo(3, 5);
    });
    EXPECT_EQ("5", m_pView->GetPageBox()->text());

    // What the view shows of each page, as the print takes it: 830 x 536 from the top left.
    std::vector<QImage> shown;
    for (int p = 3; p <= 5; ++p) {
        m_pView->SetPageText(QString::number(p));
        shown.push_back(m_pView->grab(QRect(0, 0, 1016 - 186, 616 - 80)).toImage());
    }
    const double fPointsPerPixel = 72.0 / m_pView->logicalDpiX();
    ASSERT_EQ(3u, pages.size());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const CPdfPage& page = pages[i];
        EXPECT_GT(page.size.width(), page.size.height()) << "landscape";
        ASSERT_EQ(1u, page.pictures.size());
        const CPdfPicture& picture = page.pictures.front();
        ASSERT_EQ(QSize(830, 536), picture.image.size());
        // Neighbouring pages differ in thousands of pixels.
        EXPECT_LT(CountDifferentPixels(picture.image, shown[i]), 50) << "shows page " << 3 + i;
        EXPECT_NEAR(830 * fPointsPerPixel, picture.rect.width(), 0.01);
        EXPECT_NEAR(536 * fPointsPerPixel, picture.rect.height(), 0.01);
        // Centred within a screen pixel; the PDF counts from the bottom.
        EXPECT_NEAR(m_area.center().x(), picture.rect.center().x(), fPointsPerPixel);
        EXPECT_NEAR(page.size.height() - m_area.center().y(), picture.rect.center().y(),
                    fPointsPerPixel);
    }
}

TEST_F(Printing, SelectionIsOfferedAndChosenAndPrintsEveryPage)
{
    OpenSixPages();
    m_pView->SetPageText("2");
    const std::vector<CPdfPage> pages = Print([](QPrintDialog& dlg) {
        EXPECT_TRUE(dlg.testOption(QAbstractPrintDialog::PrintSelection));
        EXPECT_EQ(QPrinter::Selection, dlg.printer()->printRange());
    });
    EXPECT_EQ(6u, pages.size());
    EXPECT_EQ("6", m_pView->GetPageBox()->text());
}

TEST_F(Printing, AJobThatCannotStartSaysSoInTheInterfaceLanguage)
{
    res::ApplyInterfaceLanguage(res::kLangCHS);
    CModalWatcher watcher;
    m_pView->m_fnAnswer = [&](QPrintDialog& dlg) {
        dlg.printer()->setOutputFileName(OutPath("missing/folder/x.pdf"));
        return int(QDialog::Accepted);
    };
    m_pView->OnCommand(res::ID_FILE_PRINT);
    EXPECT_EQ(QString::fromUtf8("无法开始打印。\n"), watcher.GetMessages());
}

TEST_F(Printing, WithoutAFileOneSheetAndEveryPrintStartsInLandscape)
{
    std::vector<CPdfPage> pages = Print([](QPrintDialog& dlg) {
        EXPECT_EQ(1, dlg.maxPage());
        EXPECT_EQ(QPageLayout::Landscape, dlg.printer()->pageLayout().orientation());
        dlg.printer()->setPageOrientation(QPageLayout::Portrait); // the user turns it
    });
    ASSERT_EQ(1u, pages.size());
    EXPECT_LT(pages[0].size.width(), pages[0].size.height());
    ASSERT_EQ(1u, pages[0].pictures.size());
    EXPECT_EQ(QSize(830, 536), pages[0].pictures[0].image.size());

    pages = Print([](QPrintDialog& dlg) {
        EXPECT_EQ(QPageLayout::Landscape, dlg.printer()->pageLayout().orientation());
    });
    ASSERT_EQ(1u, pages.size());
    EXPECT_GT(pages[0].size.width(), pages[0].size.height());
}

TEST_F(Printing, CancelPrintsNothingAndAMissingPictureLeavesItsSheetBlank)
{
    OpenSixPages();
    m_pView->SetPageText("2");
    m_pView->m_fnAnswer = [](QPrintDialog&) { return int(QDialog::Rejected); };
    m_pView->OnCommand(res::ID_FILE_PRINT);
    EXPECT_EQ("2", m_pView->GetPageBox()->text());
    EXPECT_TRUE(OutFiles().isEmpty());
    EXPECT_EQ(1, CrossHair());

    m_pView->setFixedSize(186, 616); // leaves no region to take
    const std::vector<CPdfPage> pages = Print([](QPrintDialog& dlg) {
        dlg.printer()->setPrintRange(QPrinter::PageRange);
        dlg.printer()->setFromTo(4, 5);
    });
    ASSERT_EQ(2u, pages.size());
    EXPECT_TRUE(pages[0].pictures.empty());
    EXPECT_TRUE(pages[1].pictures.empty());
    EXPECT_EQ("5", m_pView->GetPageBox()->text());
}

// An export that is cancelled or fails leaves an earlier file of its name as it was and
// nothing of its own; one that completes replaces it.
TEST(ExportFile, OnlyACompleteExportTakesTheName)
{
    const CTzGuard tz("UTC");
    QTemporaryDir dir;
    const QString strTarget = dir.filePath("out.csv");
    QFile earlier(strTarget);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    const std::vector<float> values(300000, 21.5f);
    const CRecordingView series{values.data(), values.data(), values.data(), values.data(), 300000};
    const auto run = [&](const QString& strPath, bool bCancel) {
        return ExportRecorderFile(strPath, series, 0, 0, series.GetCount(), 1,
                                  [&](std::int64_t, std::int64_t) { return !bCancel; });
    };
    const auto read = [&] {
        QFile file(strTarget);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    using EStatus = CExportFileResult::EStatus;
    EXPECT_EQ(EStatus::Cancelled, run(strTarget, true).status);
    EXPECT_EQ("earlier", read());
    const CExportFileResult failed = run(dir.filePath("missing/out.csv"), false);
    EXPECT_EQ(EStatus::Failed, failed.status);
    EXPECT_FALSE(failed.strReason.isEmpty());
    EXPECT_EQ(QStringList{"out.csv"}, QDir(dir.path()).entryList(QDir::Files | QDir::Hidden));
    EXPECT_EQ(EStatus::Written, run(strTarget, false).status);
    EXPECT_TRUE(read().startsWith("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"
                                  "1970/01/01,00:00:00,21.5,21.5,21.5,21.5\r\n"));
    EXPECT_EQ(QStringList{"out.csv"}, QDir(dir.path()).entryList(QDir::Files | QDir::Hidden));
}

// The export's own reasons are in the interface language: a Chinese message holds no English.
TEST(ExportFile, ItsOwnReasonSpeaksTheInterfaceLanguage)
{
    const CIsolatedProfile profile;
    res::ApplyInterfaceLanguage(res::kLangCHT);
    QTemporaryDir dir;
    const float values[1] = {21.5f};
    // No calendar reaches this far: the sample's time has no local time.
    const CExportFileResult result =
        ExportRecorderFile(dir.filePath("far.csv"), {values, values, values, values, 1},
                           std::int64_t(1) << 60, 0, 1, 1);
    EXPECT_EQ(CExportFileResult::EStatus::Failed, result.status);
    EXPECT_FALSE(result.strReason.contains(QRegularExpression("^$|[A-Za-z]")))
        << result.strReason.toStdString();
}

} // namespace
