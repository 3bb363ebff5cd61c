// Report runs: the command line, and the built program run as a script runs it, with no
// display, compared with what the window's Save as and Print write.
#include "app/reportmode.h"
#include "app/reportoptions.h"
#include "res/resource.h"
#include "view/childview.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>

#include <cstdio>
#include <memory>
#include <vector>

#ifdef Q_OS_WIN
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
// On Windows the runs keep their settings under the user's own registry key, and nothing points a
// run elsewhere. The key is moved aside while a test runs and put back afterwards; a copy left by
// a test that died is put back first, so the user's settings survive any test.
class CProfileKeyAside
{
public:
    CProfileKeyAside()
    {
        Restore();
        if (Copy(kKey, kSaved))
            RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    ~CProfileKeyAside()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey); // what the test's runs stored
        Restore();
    }
    CProfileKeyAside(const CProfileKeyAside&) = delete;
    CProfileKeyAside& operator=(const CProfileKeyAside&) = delete;

private:
    static constexpr const wchar_t* kKey = L"Software\\MirevaleStudio\\Trendora";
    static constexpr const wchar_t* kSaved = L"Software\\MirevaleStudio\\Trendora (kept by a test)";

    // Puts back the kept copy, if there is one.
    static void Restore()
    {
        HKEY hSaved = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kSaved, 0, KEY_READ, &hSaved) != ERROR_SUCCESS)
            return;
        RegCloseKey(hSaved);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        if (Copy(kSaved, kKey))
            RegDeleteTreeW(HKEY_CURRENT_USER, kSaved);
    }
    // Copies the key szFrom with all it holds to szTo; false if szFrom does not exist.
    static bool Copy(const wchar_t* szFrom, const wchar_t* szTo)
    {
        HKEY hFrom = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, szFrom, 0, KEY_READ, &hFrom) != ERROR_SUCCESS)
            return false;
        HKEY hTo = nullptr;
        LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, szTo, 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, &hTo, nullptr);
        if (status == ERROR_SUCCESS) {
            status = RegCopyTreeW(hFrom, nullptr, hTo);
            RegCloseKey(hTo);
        }
        RegCloseKey(hFrom);
        EXPECT_EQ(ERROR_SUCCESS, status) << "could not keep the registry's Trendora key";
        return status == ERROR_SUCCESS;
    }
};
#endif

TEST(ReportOptions, ScaleIsANameInAnyLanguageOrSecondsPerPixel)
{
    const struct
    {
        const char* szScale;
        int nSeconds; // 0: refused
    } cases[] = {
        {"Auto", 1},   {"auto", 1}, {"1Hour", 5},   {"1DAY", 120}, {"1Month", 3600},
        {"自動", 1},   {"自动", 1}, {"1時", 5},     {"1时", 5},    {"1週", 840},
        {"1月", 3600}, {"1", 1},    {"3600", 3600}, {"0", 0},      {"3601", 0},
        {"-5", 0},     {"1.5", 0},  {" 7", 0},      {"", 0},       {"1 Hour", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.nSeconds, ScaleSecondsPerPixel(QString::fromUtf8(c.szScale)).value_or(0))
            << c.szScale;
    }
}

TEST(ReportOptions, CommandLineNeedsAFileAndSoundValues)
{
    const struct
    {
        QStringList args;
        const char* szError; // empty: accepted
        int nFrom;
        int nTo;
    } cases[] = {
        {{"--save-pages", "out", "a.csv"}, "", 0, 0},
        {{"--print-pdf=a.pdf", "--pages", "3-5", "a.csv"}, "", 3, 5},
        {{"-print-pdf", "a.pdf", "--pages", "4", "a.csv"}, "", 4, 4},
        {{"--print-pdf", "a.pdf"}, "No recorder file", 0, 0},
        {{"--print-pdf", "a.pdf", "a.csv", "b.csv"}, "", 0, 0},
        {{"--print-pdf", "a.pdf", "--pages", "5-3", "a.csv"}, "not a range", 0, 0},
        {{"--print-pdf", "a.pdf", "--pages", "0-3", "a.csv"}, "not a range", 0, 0},
        {{"--print-pdf", "a.pdf", "--format", "png", "a.csv"}, "--save-pages only", 0, 0},
        {{"--save-pages", "out", "--format", "gif", "a.csv"}, "Unknown picture format", 0, 0},
        {{"--save-pages", "out", "--scale", "fast", "a.csv"}, "Unknown scale \"fast\"", 0, 0},
        {{"--save-pages", "out", "--colour", "red", "a.csv"}, "Unknown option", 0, 0},
    };
    for (const auto& c : cases) {
        const CReportOptions options = ParseReportOptions(QStringList{"trendora"} + c.args);
        SCOPED_TRACE(c.args.join(' ').toStdString());
        if (*c.szError == '\0') {
            EXPECT_EQ("", options.strError);
            EXPECT_EQ("a.csv", options.files.constFirst());
        } else {
            EXPECT_TRUE(options.strError.contains(QString::fromUtf8(c.szError)))
                << options.strError.toStdString();
        }
        EXPECT_EQ(c.nFrom, options.nFrom);
        EXPECT_EQ(c.nTo, options.nTo);
    }
    EXPECT_TRUE(ParseReportOptions({"trendora", "--print-pdf", "a.pdf", "--help"}).bHelp);

    // Told apart from the window's command line before the application exists.
    const struct
    {
        std::vector<const char*> argv;
        bool bReport;
    } lines[] = {
        {{"trendora"}, false},
        {{"trendora", "a.csv"}, false},
        {{"trendora", "--print-pdfs", "a.csv"}, false},
        {{"trendora", "print-pdf", "a.csv"}, false},
        {{"trendora", "a.csv", "--print-pdf=a.pdf"}, true},
        {{"trendora", "-save-pages", "out", "a.csv"}, true},
    };
    for (const auto& line : lines) {
        EXPECT_EQ(line.bReport,
                  IsReportCommandLine(static_cast<int>(line.argv.size()), line.argv.data()))
            << line.argv.back();
    }
}

TEST(ReportNames, PicturesKeepTheRecordingsNameLiterallyInsideTheFolder)
{
    const struct
    {
        const char* szFolder;
        const char* szTitle;
        int nPage;
        const char* szPath;
    } cases[] = {
        {"out", "oven", 3, "out/oven-p0003.png"},
        {"out/", "Sensor%1A", 1, "out/Sensor%1A-p0001.png"},
        {"out", "%2-%3%", 12345, "out/%2-%3%-p12345.png"},
        {"out", ":oven", 1, "out/:oven-p0001.png"},
        {":out", "oven", 1, "./:out/oven-p0001.png"},
        {"./:out", "oven", 1, "./:out/oven-p0001.png"},
        {"/", "烘箱", 2, "/烘箱-p0002.png"},
        {"a/../b", "x.y", 2, "b/x.y-p0002.png"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QString::fromUtf8(c.szPath),
                  ReportPicturePath(QString::fromUtf8(c.szFolder), QString::fromUtf8(c.szTitle),
                                    c.nPage, QStringLiteral("png")));
    }
}

struct CRun
{
    int nExit = -1;
    QString strErr;
    QString strOut;
};

class ReportRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath("config/MirevaleStudio");
    }

    // A recording of six pages at one second per pixel, Temp PV 20 higher on every page; the
    // record with index nBad has an impossible date.
    QString WriteSixPages(const char* szName, int nBad = -1) const
    {
        const QString strPath = Path(szName);
        QFile file(strPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
        for (int i = 0; i < 6 * 720; ++i) {
            char sz[96];
            std::snprintf(sz, sizeof sz, "2026/%02d/01,%02d:%02d:%02d,%d,%d,50,60\r\n",
                          i == nBad ? 13 : 3, i / 3600, i / 60 % 60, i % 60, 20 * (i / 720),
                          20 * (i / 720) + 5);
            file.write(sz);
        }
        return strPath;
    }

    QString Path(const QString& strName) const { return m_dir.filePath(strName); }
    // Where the runs keep their settings: the INI file under the XDG_CONFIG_HOME they get, or
    // the registry on Windows.
    std::unique_ptr<QSettings> StoredProfile() const
    {
#ifdef Q_OS_WIN
        return std::make_unique<QSettings>(
            QStringLiteral("HKEY_CURRENT_USER\\Software\\MirevaleStudio\\Trendora"),
            QSettings::NativeFormat);
#else
        return std::make_unique<QSettings>(Path("config/MirevaleStudio/Trendora.conf"),
                                           QSettings::IniFormat);
#endif
    }
    // Every stored entry as "key=value" lines, in order; empty when nothing is stored.
    QString StoredEntries() const
    {
        const std::unique_ptr<QSettings> pStored = StoredProfile();
        QString strEntries;
        for (const QString& strKey : pStored->allKeys())
            strEntries += strKey + '=' + pStored->value(strKey).toString() + '\n';
        return strEntries;
    }
    QStringList Files(const QString& strFolder) const
    {
        return QDir(Path(strFolder)).entryList(QDir::Files);
    }

    // Runs trendora with no display, as a script on a server would; strPlatform, if given,
    // names the GUI platform it must use.
    CRun Run(const QStringList& args, const QString& strPlatform = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* szName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(szName));
        if (!strPlatform.isEmpty())
            env.insert("QT_QPA_PLATFORM", strPlatform);
        env.insert("XDG_CONFIG_HOME", Path("config"));
        // Layouts saved in the user's data folder must not decide how a file reads.
        env.insert("TRENDORA_LAYOUT_DIR", Path("layouts"));
        env.insert("TZ", "UTC");
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral(TRENDORA_EXE), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        CRun run;
        run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.strErr = QString::fromUtf8(process.readAllStandardError());
        run.strOut = QString::fromUtf8(process.readAllStandardOutput());
        return run;
    }

    // The number of sheets, or -1 if one of them is not landscape.
    static int CountLandscapeSheets(const QString& strPdf)
    {
        QFile file(strPdf);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        const QString strPdfText = QString::fromLatin1(file.readAll());
        // Page objects, not the one page tree ("/Type /Pages").
        static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page(?![A-Za-z]))"));
        static const QRegularExpression box(
            QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])"));
        int nSheets = 0;
        for (auto it = page.globalMatch(strPdfText); it.hasNext(); it.next())
            ++nSheets;
        int nBoxes = 0;
        for (auto it = box.globalMatch(strPdfText); it.hasNext(); ++nBoxes) {
            const QRegularExpressionMatch m = it.next();
            if (m.captured(1).toDouble() <= m.captured(2).toDouble())
                return -1;
        }
        return nBoxes == nSheets ? nSheets : -1;
    }

    CTzGuard m_tz{"UTC"};
    QTemporaryDir m_dir;
#ifdef Q_OS_WIN
    CProfileKeyAside m_keyAside;
#endif
};

TEST_F(ReportRun, SavedPageIsWhatSaveAsWritesWithTheStoredSettingsAndNoWrites)
{
    const QString strCsv = WriteSixPages("oven.csv");
    // A profile with some settings of its own and without the seeded entries.
    {
        const std::unique_ptr<QSettings> pStored = StoredProfile();
        pStored->setValue("BkColor", 0xE0FFFF);
        pStored->setValue("Title", QString::fromUtf8("烘箱 7"));
        pStored->setValue("LangResourceDLL", "LangCHS");
        pStored->setValue("Width/!100", 2);
    }
    const QString storedBefore = StoredEntries();
    ASSERT_EQ(4, storedBefore.count('\n'));

    const CRun run = Run({"--save-pages", "pictures", "--pages", "2-3", strCsv});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_EQ(QStringList({"oven-p0002.png", "oven-p0003.png"}), Files("pictures"));
    EXPECT_EQ(storedBefore, StoredEntries()) << "the run wrote settings";

    // The window, started on a copy of the same profile, saves page 3 through its dialog.
    {
        const std::unique_ptr<QSettings> pStored = StoredProfile();
        QSettings copy(Path("window.ini"), QSettings::IniFormat);
        for (const QString& strKey : pStored->allKeys())
            copy.setValue(strKey, pStored->value(strKey));
    }
    SetProfileFile(Path("window.ini"));
    SeedSettings();
    res::ApplyInterfaceLanguage(res::kLangCHS);
    QImage saved;
    {
        CChildView view(nullptr);
        view.show();
        view.OnInitialUpdate();
        ASSERT_TRUE(view.OpenRecorderPath(strCsv));
        Pump();
        view.SetPageText("3");
        CModalWatcher watcher([&](QWidget* p) {
            auto* pName = p->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(nullptr, pName);
            pName->setText(Path("window.png"));
            static_cast<QDialog*>(p)->accept();
        });
        view.OnCommand(res::ID_FILE_SAVE_AS);
        saved = QImage(Path("window.png"));
    }
    SetProfileFile(QString());
    res::ResetInterfaceLanguage();

    const QImage report(Path("pictures/oven-p0003.png"));
    ASSERT_EQ(QSize(826, 536), saved.size());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              report.convertToFormat(QImage::Format_RGB32));
    // The stored background shows, and neighbouring pages differ.
    EXPECT_EQ(qRgb(0xFF, 0xFF, 0xE0), report.pixel(300, 150));
    EXPECT_NE(report, QImage(Path("pictures/oven-p0002.png")));
}

TEST_F(ReportRun, PdfHasOneLandscapeSheetPerPage)
{
    const QString strCsv = WriteSixPages("six.csv");
    const struct
    {
        QStringList args;
        int nSheets;
    } cases[] = {
        {{}, 6},
        {{"--pages", "2-4"}, 3},
        {{"--scale", "2"}, 3},
        {{"--scale", "1Hour"}, 2},
    };
    int nJob = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QString strPdf = Path(QStringLiteral("print%1.pdf").arg(++nJob));
        const CRun run = Run(QStringList{"--print-pdf", strPdf} + c.args + QStringList{strCsv});
        EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
        EXPECT_EQ(c.nSheets, CountLandscapeSheets(strPdf));
    }
}

TEST_F(ReportRun, FailuresSayWhyWithTheirStatus)
{
    const QString strCsv = WriteSixPages("six.csv");
    // The invalid record lies on page 3: pages 1 to 3 hold what was read before it.
    const QString strBad = WriteSixPages("bad.csv", 2 * 720 + 100);
    const QString strGap = Path("gap.csv");
    {
        QFile gap(strGap);
        ASSERT_TRUE(gap.open(QIODevice::WriteOnly));
        gap.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\n2000/01/01,00:00:00,1,2,3,4\n"
                  "2100/01/01,00:00:00,5,6,7,8\n");
    }
    ASSERT_TRUE(QFile::copy(strCsv, Path("Sensor%1A.csv")));
    QFile notFolder(Path("notes.txt"));
    ASSERT_TRUE(notFolder.open(QIODevice::WriteOnly));
    notFolder.close();
#ifndef Q_OS_WIN // Windows' links are shortcut files, which are opened as what they are
    ASSERT_TRUE(QFile::link("six.csv", Path("link.pdf")));
#endif
    // An earlier report stays as it was when a run fails to replace it.
    ASSERT_TRUE(QDir(Path("report.pdf")).mkpath("kept"));
    QFile recording(strCsv);
    ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
    const QByteArray recorded = recording.readAll();
    recording.close();
    const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    const struct
    {
        QStringList args;
        int nExit;
        const char* szSays;
        QStringList written; // in the folder "out"
    } cases[] = {
        {{"--save-pages", "out", Path("missing.csv")}, kReportCannotOpen, "missing.csv", {}},
        {{"--save-pages", "out", "--scale", "fast", strCsv}, kReportUsage, "Unknown scale", {}},
        {{"--save-pages", "out", "--pages", "6-7", strCsv}, kReportUsage, "has 6 pages", {}},
        {{"--save-pages", "out", strBad},
         kReportInvalidRecord,
         "records before line 1542",
         {"bad-p0001.png", "bad-p0002.png", "bad-p0003.png"}},
        {{"--save-pages", Path("notes.txt"), strCsv}, kReportCannotWrite, "notes.txt", {}},
        {{"--print-pdf", Path("notes.txt/six.pdf"), strCsv}, kReportCannotWrite, "six.pdf", {}},
        {{"--print-pdf", Path("report.pdf"), "--pages", "1", strCsv},
         kReportCannotWrite,
         "report.pdf was not written",
         {}},
        {{"--print-pdf", "six.csv", strCsv}, kReportUsage, "the recorder file itself", {}},
        {{"--print-pdf", "./six.csv", "six.csv"}, kReportUsage, "the recorder file itself", {}},
#ifndef Q_OS_WIN
        {{"--print-pdf", "link.pdf", strCsv}, kReportUsage, "the recorder file itself", {}},
#endif
        {{"--save-pages", "out", "--pages", "1", strGap},
         kReportSpanTooLong,
         "records before line 3",
         {"gap-p0001.png"}},
        {{"--save-pages", "out", "--pages", "2", "Sensor%1A.csv"}, 0, "", {"Sensor%1A-p0002.png"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QDir(Path("out")).removeRecursively();
        const CRun run = Run(c.args);
        EXPECT_EQ(c.nExit, run.nExit);
        EXPECT_TRUE(run.strErr.contains(QString::fromLatin1(c.szSays))) << run.strErr.toStdString();
        EXPECT_EQ(c.written, Files("out"));
    }
    EXPECT_EQ("", StoredEntries()) << "a report wrote settings";
    QDir(Path("out")).removeRecursively();
    EXPECT_EQ(before, QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden))
        << "a failed run left a file behind";
    EXPECT_EQ(QStringList{"kept"},
              QDir(Path("report.pdf")).entryList(QDir::Dirs | QDir::NoDotAndDotDot));
    ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
    EXPECT_EQ(recorded, recording.readAll()) << "a run wrote into the recording";
}

TEST_F(ReportRun, StatisticsPrintTheWholeRecordingAndEndThePdf)
{
    const QString strCsv = WriteSixPages("six.csv");
    // Temp PV 0, 20 ... 100 a page with SV 5 above, Humi PV 50 with SV 60.
    const QString strTable = QString::fromUtf8(
        "curve\tminimum\tat\tmaximum\tat\tmean\n"
        "Temp PV\t0.00\t2026-03-01 00:00:00\t100.00\t2026-03-01 01:00:00\t50.00\n"
        "Temp SV\t5.00\t2026-03-01 00:00:00\t105.00\t2026-03-01 01:00:00\t55.00\n"
        "Humi PV\t50.00\t2026-03-01 00:00:00\t50.00\t2026-03-01 00:00:00\t50.00\n"
        "Humi SV\t60.00\t2026-03-01 00:00:00\t60.00\t2026-03-01 00:00:00\t60.00\n"
        "Temp\twithin ±%1 of SV\t%2\tlargest deviation\t-5.00\t2026-03-01 00:00:00\n"
        "Humi\twithin ±%3 of SV\t%4\tlargest deviation\t-10.00\t2026-03-01 00:00:00\n"
        "\n"
        "judged: the whole recording\n");
    {
        // Stored tolerances apply; the options override them.
        StoredProfile()->setValue("Statistics/ToleranceHumi", 1000);
    }
    CRun run = Run({"--statistics", strCsv});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_EQ(strTable.arg("2.00", "0.00%", "10.00", "100.00%"), run.strOut);

    const QString strPdf = Path("stats.pdf");
    run = Run({"--statistics", "--tolerance-temp", "5", "--tolerance-humi", "9.99", "--print-pdf",
               strPdf, "--pages", "2-3", strCsv});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_EQ(strTable.arg("5.00", "100.00%", "9.99", "0.00%"), run.strOut);
    EXPECT_EQ(3, CountLandscapeSheets(strPdf)) << "two pages and the figures";

    // A run that stops at an invalid record gives the figures of the records before it.
    run = Run({"--statistics", WriteSixPages("bad.csv", 720 + 100)});
    EXPECT_EQ(kReportInvalidRecord, run.nExit);
    EXPECT_TRUE(run.strOut.contains("Temp PV\t0.00\t2026-03-01 00:00:00\t20.00\t"))
        << run.strOut.toStdString();
    for (const char* szWrong : {"1,5", "-1", "1000", "0.001"}) {
        run = Run({"--statistics", "--tolerance-humi", szWrong, strCsv});
        EXPECT_EQ(kReportUsage, run.nExit) << szWrong;
        EXPECT_EQ("", run.strOut);
    }
}

TEST_F(ReportRun, StepsPrintTheVerdictExitWithSixOnAFailedDwellAndEndThePdf)
{
    const QString strCsv = WriteSixPages("six.csv");
    // Six pages of 720 s, each a dwell; PV lies 5 below SV and Humi PV 10 below.
    CRun run = Run({"--steps", strCsv});
    EXPECT_EQ(kReportStepsFailed, run.nExit) << run.strErr.toStdString();
    QStringList lines = run.strOut.split('\n');
    ASSERT_EQ(12 + 8, lines.size()) << run.strOut.toStdString();
    EXPECT_TRUE(lines[0].startsWith("step\tkind\tcurve\tstart\tend\tduration\tfrom\tto\t"));
    EXPECT_EQ("1\tdwell\tTemp\t2026-03-01 00:00:00\t2026-03-01 00:11:59\t0:12:00\t5.00\t5.00\t-\t"
              "never\t0.00\t0.00\t0.00\t-\t-\t0\tfail",
              lines[1]);
    EXPECT_EQ("verdict\tfail\t0 of 6 dwells passed", lines[16]);
    EXPECT_EQ("judged: the whole recording", lines[18]);

    const QString strPdf = Path("steps.pdf");
    run = Run({"--steps", "--tolerance-temp", "5", "--tolerance-humi", "10", "--min-dwell", "12",
               "--settle-window", "0", "--excursion-delay", "3", "--print-pdf", strPdf, "--pages",
               "2", strCsv});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_TRUE(run.strOut.endsWith(
        "\nverdict\tpass\t6 of 6 dwells passed\n\njudged: the whole recording\n"));
    EXPECT_EQ(2, CountLandscapeSheets(strPdf)) << "a page and the steps";

    // A run stopped at an invalid record judges the records before it.
    run = Run({"--steps", WriteSixPages("bad.csv", 720 + 100)});
    EXPECT_EQ(kReportInvalidRecord, run.nExit);
    EXPECT_TRUE(run.strOut.contains("\n2\tramp\tTemp\t2026-03-01 00:12:00\t2026-03-01 00:13:39\t"))
        << run.strOut.toStdString();
    EXPECT_TRUE(run.strOut.endsWith(
        "\nverdict\tfail\t0 of 1 dwells passed\n\njudged: the whole recording\n"));

    for (const QStringList& wrong :
         {QStringList{"--steps", "--min-dwell", "0"},
          QStringList{"--steps", "--min-dwell", "10081"},
          QStringList{"--steps", "--settle-window", "1.5"},
          QStringList{"--steps", "--excursion-delay", "86401"},
          QStringList{"--steps", "--tolerance-temp", "-1"}, QStringList{"--min-dwell", "10"}}) {
        run = Run(wrong + QStringList{strCsv});
        EXPECT_EQ(kReportUsage, run.nExit) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.strErr.contains(wrong[wrong.size() - 2])) << run.strErr.toStdString();
        EXPECT_EQ("", run.strOut);
    }
}

// --from and --to restrict the figures and the export to their seconds, both included;
// --interval thins the export. A wrong stretch or interval writes nothing at all.
TEST_F(ReportRun, StretchOptionsRestrictFiguresAndExportOrRefuseWithUsage)
{
    const QString strCsv = WriteSixPages("six.csv");
    const QStringList stretch = {"--from", "2026-03-01 00:12:00", "--to", "2026-03-01 00:35:59"};
    CRun run = Run(QStringList{"--statistics"} + stretch + QStringList{strCsv});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_TRUE(run.strOut.startsWith(
        "curve\tminimum\tat\tmaximum\tat\tmean\n"
        "Temp PV\t20.00\t2026-03-01 00:12:00\t40.00\t2026-03-01 00:24:00\t30.00\n"))
        << run.strOut.toStdString();
    const QString strJudged =
        QString::fromUtf8("\n\njudged: 2026-03-01 00:12:00 \u2013 2026-03-01 00:35:59\n");
    EXPECT_TRUE(run.strOut.endsWith(strJudged)) << run.strOut.toStdString();

    // The steps judge the same seconds: the stretch holds the second and third dwells.
    run = Run(QStringList{"--steps"} + stretch + QStringList{strCsv});
    EXPECT_EQ(kReportStepsFailed, run.nExit) << run.strErr.toStdString();
    EXPECT_TRUE(run.strOut.contains("\n1\tdwell\tTemp\t2026-03-01 00:12:00\t2026-03-01 00:23:59\t"))
        << run.strOut.toStdString();
    EXPECT_TRUE(run.strOut.endsWith("\nverdict\tfail\t0 of 2 dwells passed" + strJudged));

    run = Run(QStringList{"--export", "part.csv", "--interval", "60"} + stretch +
              QStringList{strCsv});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    QFile part(Path("part.csv"));
    ASSERT_TRUE(part.open(QIODevice::ReadOnly));
    const QByteArray exported = part.readAll();
    EXPECT_EQ(25, exported.count('\n')) << "the header and one record a minute";
    EXPECT_TRUE(exported.startsWith("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"
                                    "2026/03/01,00:12:00,20,25,50,60\r\n"
                                    "2026/03/01,00:13:00,20,25,50,60\r\n"));
    EXPECT_TRUE(exported.endsWith("2026/03/01,00:35:00,40,45,50,60\r\n"));

    ASSERT_TRUE(QDir(Path("kept.csv")).mkpath("inside"));
    const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    const struct
    {
        QStringList args;
        int nExit;
        const char* szSays;
    } cases[] = {
        {{"--export", "o.csv", "--from", "2026-03-01 01:12:00"},
         kReportUsage,
         "--from 2026-03-01 01:12:00 lies outside"},
        {{"--statistics", "--to", "2026-02-28 23:59:59"},
         kReportUsage,
         "--to 2026-02-28 23:59:59 lies outside"},
        {{"--export", "o.csv", "--from", "2026-03-01 00:10:00", "--to", "2026-03-01 00:09:59"},
         kReportUsage,
         "before --from"},
        {{"--statistics", "--from", "2026-03-01 24:00:00"},
         kReportUsage,
         "--from \"2026-03-01 24:00:00\" is not a local time"},
        {{"--export", "o.csv", "--interval", "0"},
         kReportUsage,
         "--interval \"0\" is not a whole positive"},
        {{"--export", "o.csv", "--interval", "1.5"}, kReportUsage, "--interval \"1.5\" is not"},
        {{"--statistics", "--interval", "10"}, kReportUsage, "--interval applies to --export only"},
        {{"--print-pdf", "o.pdf", "--to", "2026-03-01 00:10:00"}, kReportUsage, "--to applies to"},
        {{"--export", "./six.csv"}, kReportUsage, "the recorder file itself"},
        {{"--export", "kept.csv"}, kReportCannotWrite, "kept.csv was not written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        run = Run(c.args + QStringList{"six.csv"});
        EXPECT_EQ(c.nExit, run.nExit);
        EXPECT_TRUE(run.strErr.contains(QString::fromLatin1(c.szSays))) << run.strErr.toStdString();
        EXPECT_EQ("", run.strOut);
    }
    EXPECT_EQ(before, QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden))
        << "a refused run wrote a file";
}

// Figures, steps and exports need no GUI at all: given a GUI platform that does not exist, a
// run that loaded one would stop before doing anything. A run that draws pages does load one.
TEST_F(ReportRun, FiguresStepsAndExportsLoadNoGuiPlatform)
{
    const QString strFile = WriteSixPages("chamber.csv");
    const QString strNone = QStringLiteral("no-such-platform");
    const CRun statistics = Run({"--statistics", strFile}, strNone);
    EXPECT_EQ(0, statistics.nExit) << statistics.strErr.toStdString();
    EXPECT_EQ(Run({"--statistics", strFile}).strOut, statistics.strOut);
    const CRun steps = Run({"--steps", "--export", Path("out.csv"), strFile}, strNone);
    EXPECT_NE(-1, steps.nExit) << steps.strErr.toStdString();
    EXPECT_TRUE(steps.strOut.contains("judged: the whole recording"));
    EXPECT_TRUE(QFileInfo::exists(Path("out.csv")));
#ifndef Q_OS_WIN
    // On Windows a platform that cannot be loaded stops the program behind a message box.
    EXPECT_NE(0, Run({"--save-pages", Path("pages"), strFile}, strNone).nExit);
#endif
}

// Files of other loggers: one whose layout is recognised reads without --layout; one in doubt
// writes nothing and says how to pass --layout; with --layout it is read by it, °F in °C.
TEST_F(ReportRun, OtherLoggersFilesAreRecognisedOrNeedLayout)
{
    const auto write = [&](const char* szName, const QByteArray& text) {
        QFile file(Path(szName));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("semi.csv", "Datum;Zeit;Temperatur [\xC2\xB0"
                      "C];Feuchte [%rH]\r\n"
                      "13.05.2026;10:00:00;21,5;45,0\r\n13.05.2026;10:00:02;22,5;47,0\r\n");
    CRun run = Run({"--statistics", Path("semi.csv")});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_TRUE(run.strOut.contains("\nTemp PV\t21.50\t2026-05-13 10:00:00\t22.50\t"))
        << run.strOut.toStdString();

    // No day above 12 and the times run forward whichever is the day.
    write("f.csv", "Date Time,Temp (\xC2\xB0"
                   "F)\n01/05/2026 10:00:00,68\n01/05/2026 10:00:02,77\n");
    run = Run({"--export", "out.csv", Path("f.csv")});
    EXPECT_EQ(kReportLayoutInDoubt, run.nExit);
    EXPECT_TRUE(run.strErr.contains("day-month-year or month-day-year"))
        << run.strErr.toStdString();
    EXPECT_TRUE(run.strErr.contains("--layout")) << run.strErr.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.csv")));

    write("f.layout", "# Trendora layout\ndelimiter = comma\nskip lines = 1\nheader line = 1\n"
                      "columns = datetime,temp-pv\ndate order = dmy\ntemperature unit = F\n");
    run = Run({"--export", "out.csv", "--layout", "f.layout", Path("f.csv")});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    QFile out(Path("out.csv"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray exported = out.readAll();
    EXPECT_TRUE(exported.contains("\r\n2026/05/01,10:00:00,20,") &&
                exported.contains("\r\n2026/05/01,10:00:02,25,"))
        << exported.toStdString();

    write("bad.layout", "# Trendora layout\ndate order = sometimes\n");
    run = Run({"--export", "bad.csv", "--layout", "bad.layout", Path("f.csv")});
    EXPECT_EQ(kReportUsage, run.nExit);
    EXPECT_TRUE(run.strErr.contains("bad.layout: ")) << run.strErr.toStdString();
    EXPECT_FALSE(QFile::exists(Path("bad.csv")));
}

// A file without set values has no test program to read: --steps says so instead of the
// tables, as its sheet does, and ends as a run with no dwell to judge.
TEST_F(ReportRun, StepsOfARecordingWithoutSetValuesCannotBeJudged)
{
    QFile file(Path("plain.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Date,Time,Temperature,Humidity\r\n");
    for (int s = 0; s < 1200; ++s) {
        char sz[64];
        std::snprintf(sz, sizeof sz, "2026-03-01,%02d:%02d:%02d,25.00,50.00\r\n", s / 3600,
                      s / 60 % 60, s % 60);
        file.write(sz);
    }
    file.close();
    const QString strPdf = Path("steps.pdf");
    const CRun run = Run({"--steps", "--print-pdf", strPdf, "--pages", "1", Path("plain.csv")});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_EQ("This recording has no set values: its program steps cannot be judged.\n\n"
              "judged: the whole recording\n",
              run.strOut);
    EXPECT_EQ(2, CountLandscapeSheets(strPdf)) << "a page and the steps";
}

} // namespace

TEST_F(ReportRun, SeveralFilesJoinWithTheirBordersOrStandSideBySide)
{
    // nCount records a second from nFrom seconds after midnight, 2026-03-01, Temp PV fTemp.
    const auto write = [&](const char* szName, int nFrom, int nCount, int nTemp) {
        QFile file(Path(szName));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
        for (int s = nFrom; s < nFrom + nCount; ++s)
            file.write(QStringLiteral("2026/03/01,%1:%2:%3,%4,25,50,60\r\n")
                           .arg(s / 3600, 2, 10, QLatin1Char('0'))
                           .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(s % 60, 2, 10, QLatin1Char('0'))
                           .arg(nTemp)
                           .toLatin1());
        return Path(szName);
    };
    const QString strA = write("a.csv", 0, 3600, 20);
    const QString strB = write("b.csv", 5400, 1800, 30);
    const QString strC = write("c.csv", 0, 1800, 40);

    // Given in any order, they join in time order; the gap is said after the figures.
    CRun run = Run({"--statistics", strB, strA});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_TRUE(run.strOut.contains("Temp PV\t20.00\t2026-03-01 00:00:00\t30.00\t"))
        << run.strOut.toStdString();
    EXPECT_TRUE(run.strOut.contains("\nfile\ta.csv\t2026-03-01 00:00:00\t2026-03-01 00:59:59\n"
                                    "file\tb.csv\t2026-03-01 01:30:00\t2026-03-01 01:59:59\n"
                                    "gap\t2026-03-01 01:00:00\t2026-03-01 01:29:59\tb.csv\n"))
        << run.strOut.toStdString();

    // --steps lists every file with its SHA-256.
    run = Run({"--steps", strA, strB});
    static const QRegularExpression hashed(
        QStringLiteral("\nfile\ta.csv\t[0-9]+ bytes\t[0-9a-f]{64}\nfile\tb.csv\t[0-9]+ bytes\t"
                       "[0-9a-f]{64}\n$"));
    EXPECT_TRUE(hashed.match(run.strOut).hasMatch()) << run.strOut.toStdString();

    // c.csv lies within a.csv's first half hour: they stand side by side, a column each.
    run = Run({"--statistics", strA, strC});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_TRUE(run.strOut.startsWith("figure\ta.csv\tc.csv\n")) << run.strOut.toStdString();
    EXPECT_TRUE(run.strOut.contains("\nTemp PV minimum\t20.00\t40.00\n"))
        << run.strOut.toStdString();
    run = Run({"--export", Path("out.csv"), strA, strC});
    EXPECT_EQ(kReportUsage, run.nExit);
    EXPECT_TRUE(run.strErr.contains("do not follow one another")) << run.strErr.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.csv")));
}
