// Windows: what trendora prints reaches a pipe, from trendora.exe and from trendora.com, its
// console companion, byte for byte as on Linux (no carriage returns added).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CRun
{
    int nExit = -1;
    QByteArray out, err;
};

CRun RunProgram(const QString& strProgram, const QStringList& args)
{
    QProcess process;
    process.start(strProgram, args);
    EXPECT_TRUE(process.waitForFinished(60000)) << strProgram.toStdString();
    CRun run;
    run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

TEST(Console, BothProgramsAnswerThroughAPipe)
{
    const QString strRecording = QStringLiteral(TRENDORA_SOURCE_DIR "/examples/chamber-week.csv");
    const struct
    {
        QStringList args;
        int nExit;
        const char* szOutStart; // what stdout starts with
        const char* szErrPart;  // what stderr holds; nothing at all where null
        bool bSame;             // both programs print the same (the usage names each itself)
    } cases[] = {
        {{"--version"}, 0, "Trendora " TRENDORA_VERSION "\n", nullptr, true},
        {{"--help"}, 0, "Usage: ", nullptr, false},
        {{"--statistics", strRecording},
         0,
         "curve\tminimum\tat\tmaximum\tat\tmean\n",
         nullptr,
         true},
        {{"--colour=red"}, 64, "", "Unknown option 'colour'", true},
    };
    for (const auto& c : cases) {
        const std::string strWhat = c.args.join(' ').toStdString();
        const CRun exe = RunProgram(QStringLiteral(TRENDORA_EXE), c.args);
        const CRun com = RunProgram(QStringLiteral(TRENDORA_COM), c.args);
        EXPECT_EQ(c.nExit, exe.nExit) << strWhat << exe.err.toStdString();
        EXPECT_EQ(c.nExit, com.nExit) << strWhat << com.err.toStdString();
        EXPECT_TRUE(com.out.startsWith(c.szOutStart)) << strWhat << ": " << com.out.toStdString();
        for (const CRun* pRun : {&exe, &com}) {
            if (c.szErrPart)
                EXPECT_TRUE(pRun->err.contains(c.szErrPart))
                    << strWhat << ": " << pRun->err.toStdString();
            else
                EXPECT_EQ("", pRun->err.toStdString()) << strWhat;
        }
        if (c.bSame) {
            EXPECT_EQ(exe.out, com.out) << strWhat;
        }
        EXPECT_FALSE(com.out.contains('\r')) << strWhat;
    }
}

// The companion alone, without trendora.exe beside it, says so instead of starting nothing.
TEST(Console, CompanionSaysWhenTheWindowProgramIsMissing)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/trendora com-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString strCom = dir.filePath("trendora.com");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TRENDORA_COM), strCom));
    const CRun run = RunProgram(strCom, {dir.filePath("some.csv")});
    EXPECT_EQ(2, run.nExit);
    EXPECT_TRUE(run.err.contains("trendora.exe could not be started")) << run.err.toStdString();
}

} // namespace
