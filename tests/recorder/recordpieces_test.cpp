#include "recorder/recordpieces.h"

#include "tzguard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CStringSource : public CRecordSource
{
public:
    explicit CStringSource(std::string data) : m_data(std::move(data)) {}

    std::uint64_t GetSize() const override { return m_data.size(); }
    bool Read(std::uint64_t nOffset, std::size_t nBytes, std::vector<char>& buffer,
              std::size_t& nRead) const override
    {
        const std::string part = m_data.substr(nOffset, nBytes);
        if (buffer.size() < part.size())
            buffer.resize(part.size());
        part.copy(buffer.data(), part.size());
        nRead = part.size();
        return true;
    }

    const std::string& GetData() const { return m_data; }

private:
    std::string m_data;
};

// Where line nLine of data starts.
std::uint64_t LineStart(const std::string& data, int nLine)
{
    std::uint64_t n = 0;
    for (int i = 0; i < nLine; ++i)
        n = data.find('\n', n) + 1;
    return n;
}

// A stretch over the lines after the header and the first record (2026-10-25 00:00:00),
// from line nFrom of the file.
struct CPieceCase
{
    std::string strLines;
    int nFrom;
    bool bStopped;
    bool bInvalid;
    int nStopLine; // the stopping line, or -1
    std::int64_t nLines;
    std::int64_t nWrittenAt; // seconds after the first record, or -1 for none
    std::int64_t nCursorAt;
};

TEST(RecordPieces, AStretchDecidesAloneOrStopsWhereItCannot)
{
    SKIP_WITHOUT_NAMED_ZONES();
    CTzGuard tz("Europe/Berlin");
    const std::string strHead = "h\n2026/10/25,00:00:00,0,0,0,0\n";
    const CPieceCase cases[] = {
        // The line before the stretch was reached already: its repeat adds nothing.
        {"2026/10/25,00:00:05,1,1,1,1\n2026/10/25,00:00:05,2,2,2,2\n"
         "2026/10/25,00:00:07,3,3,3,3\n",
         3, false, false, -1, 2, 7, 7},
        // 02:30 occurs twice that night: mktime must answer, after the records before it.
        {"2026/10/25,00:00:05,1,1,1,1\n2026/10/25,02:30:00,2,2,2,2\n"
         "2026/10/25,04:00:00,3,3,3,3\n",
         2, true, false, 3, 1, 5, 5},
        {"2026/10/25,00:00:05,1,1,1,1\n2026/13/25,00:00:06,2,2,2,2\n", 2, true, true, 3, 1, 5, 5},
        // A line much longer than what is read past the stretch's end.
        {"2026/10/25,00:00:05,1,1,1,1\n" + std::string(5000, ' ') + "2026/10/25,00:00:09,9,9,9,9\n",
         2, false, false, -1, 2, 5, 9},
    };
    for (const CPieceCase& c : cases) {
        const CStringSource source(strHead + c.strLines);
        const std::string& data = source.GetData();
        std::vector<float> samples[4];
        CPieceTarget target;
        for (int i = 0; i < 4; ++i) {
            samples[i].assign(100, -9.0f);
            target.apData[i] = samples[i].data();
        }
        target.nCapacity = 100;
        target.tFirst = 1792879200; // 2026-10-25 00:00:00 CEST
        target.nMaxSamples = 100;
        CPieceReader reader(source, target);
        // The stretch ends just after its last line starts; it reads that line to the end.
        const std::uint64_t nLastLine = data.rfind('\n', data.size() - 2) + 1;
        const CPieceSummary s =
            reader.Read(LineStart(data, c.nFrom), nLastLine + 1, strHead.size());
        SCOPED_TRACE(c.strLines);
        EXPECT_FALSE(s.bReadFailed);
        EXPECT_EQ(c.bStopped, s.bStopped);
        EXPECT_EQ(c.bInvalid, s.bInvalid);
        if (c.nStopLine >= 0) {
            EXPECT_EQ(LineStart(data, c.nStopLine), s.nStopAt);
        }
        EXPECT_EQ(data.size(), s.nEnd);
        EXPECT_EQ(c.nLines, s.nLines);
        ASSERT_EQ(c.nWrittenAt >= 0, s.bWrote);
        if (c.nWrittenAt < 0)
            continue;
        EXPECT_EQ(target.tFirst + c.nWrittenAt, s.tWritten);
        EXPECT_EQ(target.tFirst + c.nCursorAt, s.tCursor);
        // Its first record writes its own sample only; the gap before is not the stretch's.
        EXPECT_EQ(-9.0f, samples[0][c.nWrittenAt - 1]);
        EXPECT_EQ(s.afWritten[0], samples[0][c.nWrittenAt]);
        EXPECT_EQ(samples[3][c.nCursorAt], samples[0][c.nCursorAt]);
        EXPECT_EQ(-9.0f, samples[0][c.nCursorAt + 1]);
    }
}

} // namespace
