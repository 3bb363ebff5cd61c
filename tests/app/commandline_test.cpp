#include "app/aboutdlg.h"
#include "app/commandline.h"
#include "app/mainframe.h"
#include "app/trendoraapp.h"
#include "curve/curvectrl.h"
#include "res/resource.h"
#include "res/version.h"
#include "skin/statictext.h"
#include "view/childview.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <fstream>

namespace {

QString ReadText(const QString& strPath)
{
    QFile file(strPath);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << strPath.toStdString();
    return QString::fromUtf8(file.readAll());
}

TEST(CommandLine, TakesTheFilesAndRefusesWhatItCannotUse)
{
    struct CCase
    {
        QStringList arrArgs;
        QStringList files;
        bool bError;
    };
    const CCase cases[] = {
        {{"trendora"}, {}, false},
        {{"trendora", "/media/card/DATA0001.CSV"}, {"/media/card/DATA0001.CSV"}, false},
        {{"trendora", "--", "-odd name.csv"}, {"-odd name.csv"}, false},
        {{"trendora", "a.csv", "b.csv"}, {"a.csv", "b.csv"}, false},
        {{"trendora", "--no-such-option", "a.csv"}, {}, true},
        // Qt's own options are left to Qt, whichever way they are written.
        {{"trendora", "-platform", "offscreen", "-style=fusion", "--reverse", "a.csv"},
         {"a.csv"},
         false},
        {{"trendora", "--platform=xcb", "--display", ":1", "-reverse=1", "a.csv"}, {}, true},
        {{"trendora", "--", "-reverse"}, {"-reverse"}, false},
    };
    for (const CCase& c : cases) {
        // As the command line is checked before the application exists.
        const CCommandLine result = ParseCommandLine(WithoutQtOptions(c.arrArgs));
        const std::string strArgs = c.arrArgs.join(' ').toStdString();
        EXPECT_EQ(c.files, result.files) << strArgs;
        EXPECT_EQ(c.bError, !result.strError.isEmpty()) << strArgs;
    }
}

class StartWithFile : public ::testing::Test
{
protected:
    // Starts as the program does with strArgs as its command line, answering every dialog;
    // collects the messages and notes whether the about box came last.
    void Start(const QStringList& arrArgs)
    {
        const CCommandLine commandLine = ParseCommandLine(arrArgs);
        ASSERT_TRUE(commandLine.strError.isEmpty());
        CModalWatcher watcher([this](QWidget* p) {
            m_strOrder +=
                qobject_cast<CAboutDlg*>(p) ? QStringLiteral("about ") : QStringLiteral("message ");
            p->close();
        });
        m_pFrame = CTrendoraApp::StartUp(commandLine.files);
        ASSERT_NE(nullptr, m_pFrame);
        m_pFrame->show();
        Pump(200);
        m_strMessages = watcher.GetMessages();
    }

    CIsolatedProfile m_profile;
    CTzGuard m_tz{"UTC0"};
    std::unique_ptr<CMainFrame> m_pFrame;
    QString m_strOrder;
    QString m_strMessages;
};

TEST_F(StartWithFile, OpensAnUpperCaseNameAsFileOpenDoesThenShowsTheAboutBox)
{
    const QString strPath = m_profile.FilePath("DATA0001.CSV");
    {
        std::ofstream out(strPath.toStdString(), std::ios::binary);
        out << "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"
               "2026/03/01,08:00:00,21.5,22,50,60\r\n"
               "2026/03/01,08:00:02,21.7,22,51,60\r\n";
    }
    Start({"trendora", strPath});
    EXPECT_EQ("about ", m_strOrder);
    CChildView* pView = m_pFrame->GetView();
    EXPECT_EQ("DATA0001", pView->GetLabel(res::IDC_FILENAME)->text());
    EXPECT_EQ("2026-03-01", pView->GetLabel(res::IDC_DATE)->text());
    EXPECT_EQ(3, pView->GetPlot()->FindCurve("!100")->m_arrValues.GetSize());
    EXPECT_EQ("1", pView->GetTotalPagesBox()->text()) << "the paging was reset as after Open";
}

TEST_F(StartWithFile, UnreadableFileGetsTheFileOpenMessageAndTheProgramRuns)
{
    const QString strMissing = m_profile.FilePath("vanished.csv");
    Start({"trendora", strMissing});
    EXPECT_EQ("message about ", m_strOrder);
    ASSERT_TRUE(m_pFrame->isVisible());

    // File > Open reads the chosen path with the same routine and says the same.
    CModalWatcher watcher;
    EXPECT_FALSE(m_pFrame->GetView()->OpenRecorderPath(strMissing));
    EXPECT_EQ(watcher.GetMessages(), m_strMessages);
    EXPECT_TRUE(m_strMessages.contains("vanished.csv")) << m_strMessages.toStdString();
    EXPECT_EQ("", m_pFrame->GetView()->GetLabel(res::IDC_FILENAME)->text());
}

TEST(Version, EveryPlaceShowsTheProjectVersion)
{
    const QRegularExpressionMatch project =
        QRegularExpression(R"(project\(Trendora VERSION (\d+)\.(\d+)\.(\d+))")
            .match(ReadText(QStringLiteral(TRENDORA_SOURCE_DIR "/CMakeLists.txt")));
    ASSERT_TRUE(project.hasMatch());
    const QString strVersion =
        project.captured(1) + '.' + project.captured(2) + '.' + project.captured(3);
    EXPECT_EQ(strVersion, res::kVersion);

    CTrendoraApp::SetIdentity();
    EXPECT_EQ(strVersion, QCoreApplication::applicationVersion());

    CAboutDlg about;
    QStringList arrTexts;
    for (const QLabel* p : about.findChildren<QLabel*>())
        arrTexts << p->text();
    EXPECT_TRUE(arrTexts.contains("Trendora " + strVersion)) << arrTexts.join('|').toStdString();

    // The Windows version resource: x.y.z becomes x.y.z.0; Traditional Chinese, code page 950.
    const QString strRc = ReadText(QStringLiteral(TRENDORA_RC_FILE));
    const QString strCommas = QString(strVersion).replace('.', ',') + ",0";
    EXPECT_TRUE(strRc.contains(" FILEVERSION " + strCommas + "\n"));
    EXPECT_TRUE(strRc.contains(" PRODUCTVERSION " + strCommas + "\n"));
    EXPECT_TRUE(strRc.contains("\"FileVersion\", \"" + strVersion + ".0\""));
    EXPECT_TRUE(strRc.contains("\"ProductVersion\", \"" + strVersion + ".0\""));
    EXPECT_TRUE(strRc.contains("\"ProductName\", \"Trendora\""));
    EXPECT_TRUE(strRc.contains("\"FileDescription\", \"Trendora\""));
    EXPECT_TRUE(strRc.contains("BLOCK \"040403b6\""));
    EXPECT_TRUE(strRc.contains("\"Translation\", 0x0404, 950"));
}

TEST(DesktopEntry, OffersTrendoraForCsvFilesAndPassesTheFile)
{
    QMap<QString, QString> entries;
    QString strGroup;
    for (const QString& strLine :
         ReadText(QStringLiteral(TRENDORA_SOURCE_DIR "/packaging/trendora.desktop")).split('\n')) {
        if (strLine.startsWith('['))
            strGroup = strLine;
        else if (strGroup == "[Desktop Entry]" && strLine.contains('='))
            entries.insert(strLine.section('=', 0, 0), strLine.section('=', 1));
    }
    EXPECT_EQ("Application", entries.value("Type"));
    EXPECT_EQ("trendora %f", entries.value("Exec"));
    EXPECT_EQ("text/csv;", entries.value("MimeType"));
    EXPECT_EQ("trendora", entries.value("Icon"));
}

} // namespace
