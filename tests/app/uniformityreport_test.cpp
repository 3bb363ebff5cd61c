// trendora --uniformity run as a script runs it, with no display.
#include "app/reportmode.h"

#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct CUniformityRun
{
    int nExit = -1;
    QString strOut;
    QString strErr;
};

class UniformityReport : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    void Write(const char* szName, const char* szRecords) const
    {
        QFile file(m_dir.filePath(QString::fromLatin1(szName)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
        file.write(szRecords);
    }

    CUniformityRun Run(const QStringList& args) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* szName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(szName));
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("TRENDORA_LAYOUT_DIR", m_dir.filePath("layouts"));
        env.insert("TZ", "UTC");
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral(TRENDORA_EXE), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        CUniformityRun run;
        run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.strOut = QString::fromUtf8(process.readAllStandardOutput());
        run.strErr = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    CTzGuard m_tz{"UTC"};
    QTemporaryDir m_dir;
};

// a.csv from 00:00:00, b.csv from 00:00:01 with a gap its 00:00:05 record ends; they share
// 00:00:01 to 00:00:05. Temp a 21 22 21 20 19, b 22 23 24 24 24: spreads 1 1 3 4 5. Humi a 51
// to 55, b 49 50 56 56 56: spreads 2 2 3 2 1. Set values from a: 25 and 60.
TEST_F(UniformityReport, PrintsEveryRecordingsFiguresAndTheSpreadOverTheCommonSeconds)
{
    Write("a.csv", "2026/03/01,00:00:00,20,25,50,60\r\n2026/03/01,00:00:01,21,25,51,60\r\n"
                   "2026/03/01,00:00:02,22,25,52,60\r\n2026/03/01,00:00:03,21,25,53,60\r\n"
                   "2026/03/01,00:00:04,20,25,54,60\r\n2026/03/01,00:00:05,19,25,55,60\r\n");
    Write("b.csv", "2026/03/01,00:00:01,22,25,49,60\r\n2026/03/01,00:00:02,23,25,50,60\r\n"
                   "2026/03/01,00:00:05,24,25,56,60\r\n");
    Write("later.csv", "2026/04/01,00:00:00,20,25,50,60\r\n2026/04/01,00:00:01,20,25,50,60\r\n");
    CUniformityRun run = Run({"--uniformity", "a.csv", "b.csv"});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_EQ(QString::fromUtf8("quantity\trecording\tfigure\tvalue\tat\n"
                                "Temp\ta.csv\tmean\t20.60\n"
                                "Temp\ta.csv\tminimum\t19.00\t2026-03-01 00:00:05\n"
                                "Temp\ta.csv\tmaximum\t22.00\t2026-03-01 00:00:02\n"
                                "Temp\ta.csv\tfluctuation\t±1.50\n"
                                "Temp\ta.csv\tdeviation from SV\t-4.40\n"
                                "Temp\tb.csv\tmean\t23.40\n"
                                "Temp\tb.csv\tminimum\t22.00\t2026-03-01 00:00:01\n"
                                "Temp\tb.csv\tmaximum\t24.00\t2026-03-01 00:00:03\n"
                                "Temp\tb.csv\tfluctuation\t±1.00\n"
                                "Temp\tb.csv\tdeviation from SV\t-1.60\n"
                                "Temp\tall\tset value\t25.00\tmean Temp SV of a.csv\n"
                                "Temp\tall\tuniformity, largest\t5.00\t2026-03-01 00:00:05\n"
                                "Temp\tall\tuniformity, mean\t2.80\n"
                                "Temp\tall\tgradient\t2.80\n"
                                "Humi\ta.csv\tmean\t53.00\n"
                                "Humi\ta.csv\tminimum\t51.00\t2026-03-01 00:00:01\n"
                                "Humi\ta.csv\tmaximum\t55.00\t2026-03-01 00:00:05\n"
                                "Humi\ta.csv\tfluctuation\t±2.00\n"
                                "Humi\ta.csv\tdeviation from SV\t-7.00\n"
                                "Humi\tb.csv\tmean\t53.40\n"
                                "Humi\tb.csv\tminimum\t49.00\t2026-03-01 00:00:01\n"
                                "Humi\tb.csv\tmaximum\t56.00\t2026-03-01 00:00:03\n"
                                "Humi\tb.csv\tfluctuation\t±3.50\n"
                                "Humi\tb.csv\tdeviation from SV\t-6.60\n"
                                "Humi\tall\tset value\t60.00\tmean Humi SV of a.csv\n"
                                "Humi\tall\tuniformity, largest\t3.00\t2026-03-01 00:00:03\n"
                                "Humi\tall\tuniformity, mean\t2.00\n"
                                "Humi\tall\tgradient\t0.40\n"
                                "\n"
                                "judged: 2026-03-01 00:00:01 \u2013 2026-03-01 00:00:05\n"),
              run.strOut);

    // A stretch of the common seconds against a typed set value, and the sheet.
    run = Run({"--uniformity", "--set-temp", "20", "--from", "2026-03-01 00:00:02", "--to",
               "2026-03-01 00:00:03", "--print-pdf", "u.pdf", "a.csv", "b.csv"});
    EXPECT_EQ(0, run.nExit) << run.strErr.toStdString();
    EXPECT_TRUE(run.strOut.contains("Temp\ta.csv\tdeviation from SV\t+1.50\n"))
        << run.strOut.toStdString();
    EXPECT_TRUE(run.strOut.contains("Temp\tall\tset value\t20.00\ttyped\n"));
    EXPECT_TRUE(run.strOut.endsWith(
        QString::fromUtf8("judged: 2026-03-01 00:00:02 \u2013 2026-03-01 00:00:03\n")));
    QFile pdf(m_dir.filePath("u.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));

    const struct
    {
        QStringList args;
        const char* szSays;
    } refused[] = {
        {{"--uniformity", "a.csv"}, "needs two or more recorder files, 1 given"},
        {{"--uniformity", "a.csv", "later.csv"}, "share no second"},
        {{"--uniformity", "--set-humi", "5,5", "a.csv", "b.csv"}, "--set-humi \"5,5\" is not"},
        {{"--set-temp", "20", "a.csv"}, "--set-temp applies to --uniformity only"},
        {{"--uniformity", "--statistics", "a.csv", "b.csv"}, "--statistics reads one recording"},
        {{"--uniformity", "--from", "2026-03-01 00:00:00", "a.csv", "b.csv"},
         "lies outside the seconds every recording covers"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        run = Run(r.args);
        EXPECT_EQ(kReportUsage, run.nExit);
        EXPECT_TRUE(run.strErr.contains(QString::fromLatin1(r.szSays))) << run.strErr.toStdString();
        EXPECT_EQ("", run.strOut);
    }
}

} // namespace
