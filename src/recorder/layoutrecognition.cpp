#include "recorder/layoutrecognition.h"

#include "recorder/dateorderpass.h"
#include "recorder/headerwords.h"
#include "recorder/layoutstructure.h"
#include "recorder/recordparser.h"
#include "recorder/textencoding.h"

#include <fstream>
#include <string>

namespace {

// The structure is read from the file's first piece; the dates from all of it, a piece at
// a time, so that memory stays bounded for a file of any size.
constexpr std::size_t kHeadBytes = 64 * 1024;
constexpr std::size_t kPieceBytes = 1024 * 1024;
constexpr std::int64_t kLinesPerCancelCheck = 65536;
// The recorder's own layout is told from its header and first hundred records.
constexpr int kRecorderLines = 101;

// Gives the file's bytes a piece at a time from its start; an empty piece at its end.
using PieceSource = std::function<std::string_view()>;

// UTF-16 to UTF-8, piece by piece: a code unit or surrogate pair cut between two pieces is
// kept for the next.
class CUtf16Decoder
{
public:
    explicit CUtf16Decoder(EEncoding eEncoding) : m_eEncoding(eEncoding) {}

    void Decode(std::string_view bytes, std::string& strOut)
    {
        strOut.clear();
        std::string strJoined;
        if (!m_strCarry.empty()) {
            strJoined = m_strCarry + std::string(bytes);
            bytes = strJoined;
        }
        const std::size_t nComplete = CompleteUtf16Length(bytes, m_eEncoding);
        AppendUtf8(bytes.substr(0, nComplete), m_eEncoding, strOut);
        m_strCarry.assign(bytes.substr(nComplete));
    }

private:
    EEncoding m_eEncoding;
    std::string m_strCarry;
};

// Hands out the lines of pieces of text; a line cut between two pieces is joined first.
class CLineSplitter
{
public:
    template <typename Fn> bool Feed(std::string_view text, Fn&& fnLine)
    {
        std::size_t pos = 0;
        for (;;) {
            const std::size_t nEnd = text.find('\n', pos);
            if (nEnd == std::string_view::npos)
                break;
            std::string_view line = text.substr(pos, nEnd - pos);
            if (!m_strPartial.empty()) {
                m_strPartial += line;
                line = m_strPartial;
            }
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            const bool bGoOn = fnLine(line);
            m_strPartial.clear();
            if (!bGoOn)
                return false;
            pos = nEnd + 1;
        }
        m_strPartial += text.substr(pos);
        return true;
    }

    template <typename Fn> void Finish(Fn&& fnLine)
    {
        if (!m_strPartial.empty())
            fnLine(std::string_view(m_strPartial));
        m_strPartial.clear();
    }

private:
    std::string m_strPartial;
};

std::string_view FirstLine(std::string_view data)
{
    std::string_view line = data.substr(0, data.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

CRecognition Cancelled()
{
    CRecognition r;
    r.eResult = CRecognition::EResult::Unknown;
    r.strDoubt = "Cancelled.";
    return r;
}

CRecognition Recognise(const PieceSource& fnNextPiece, const std::function<bool()>& fnCancelled)
{
    const std::string_view first = fnNextPiece();
    // The first piece is the whole file when it came short.
    const bool bWhole = first.size() < kHeadBytes;
    const std::string strHead(first);

    // The recorder's own files first, by the rule the recorder reader reads them with; the
    // head is cut at its last whole line.
    std::string_view recorderHead = strHead;
    if (!bWhole)
        recorderHead = recorderHead.substr(0, recorderHead.rfind('\n') + 1);
    if (IsRecorderData(recorderHead)) {
        CRecognition r;
        r.eResult = CRecognition::EResult::Recorder;
        r.layout = RecorderLayout();
        r.strHeader = std::string(FirstLine(strHead));
        return r;
    }

    std::size_t nBomLength = 0;
    EEncoding eEncoding = DetectBom(strHead, nBomLength);
    const std::string_view body = std::string_view(strHead).substr(nBomLength);
    if (nBomLength == 0 && !IsValidUtf8(body))
        eEncoding = GuessLegacyEncoding(body);
    const bool bUtf16 = eEncoding == EEncoding::Utf16LE || eEncoding == EEncoding::Utf16BE;

    CUtf16Decoder decoder(eEncoding);
    std::string strText;
    std::string_view headText = body;
    if (bUtf16) {
        CUtf16Decoder(eEncoding).Decode(body, strText);
        headText = strText;
    }
    CRecognition r = RecogniseStructure(headText, eEncoding, bWhole);
    if (r.eResult == CRecognition::EResult::Unknown)
        return r;

    // The date order from every record of the file.
    CDateOrderPass pass(r.layout);
    CLineSplitter splitter;
    std::int64_t nLines = 0;
    bool bCancelled = false;
    const auto addLine = [&](std::string_view line) {
        pass.AddLine(line);
        if (++nLines % kLinesPerCancelCheck == 0 && fnCancelled && fnCancelled())
            bCancelled = true;
        return !bCancelled && !pass.IsDecided();
    };
    std::string_view piece = body;
    for (;;) {
        std::string_view text = piece;
        if (bUtf16) {
            decoder.Decode(piece, strText);
            text = strText;
        }
        if (!splitter.Feed(text, addLine))
            break;
        piece = fnNextPiece();
        if (piece.empty())
            break;
    }
    if (bCancelled || (fnCancelled && fnCancelled()))
        return Cancelled();
    if (!pass.IsDecided())
        splitter.Finish(addLine);

    std::string strDoubt;
    if (!pass.Decide(r.layout.eDateOrder, strDoubt)) {
        if (r.eResult == CRecognition::EResult::Doubt)
            r.strDoubt += " " + strDoubt;
        else
            r.strDoubt = strDoubt;
        r.eResult = CRecognition::EResult::Doubt;
    }
    return r;
}

} // namespace

bool IsRecorderData(std::string_view head)
{
    std::size_t pos = 0;
    int nLine = 0;
    int nRecords = 0;
    int nTimesRead = 0;
    bool bFirstReadsTime = false;
    while (pos < head.size() && nLine < kRecorderLines) {
        std::size_t nEnd = head.find('\n', pos);
        if (nEnd == std::string_view::npos)
            nEnd = head.size();
        std::string_view line = head.substr(pos, nEnd - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // Line 1 is the header, whatever it says.
        if (++nLine >= 2 && !line.empty()) {
            ++nRecords;
            const bool bTimeRead = CountRecordFields(line) >= 6; // past the seconds
            nTimesRead += bTimeRead ? 1 : 0;
            if (nRecords == 1)
                bFirstReadsTime = bTimeRead;
        }
        pos = nEnd + 1;
    }
    // No record at all: the recorder reader's own messages say what is wrong. A first record
    // that reads its time keeps a short recorder file whose next line is cut off or damaged
    // opening as it always did, with its message.
    return nRecords == 0 || bFirstReadsTime || nTimesRead * 2 > nRecords;
}

CRecognition RecogniseLayout(std::string_view data, const std::function<bool()>& fnCancelled)
{
    std::size_t pos = 0;
    return Recognise(
        [&]() {
            const std::size_t nSize = pos == 0 ? kHeadBytes : kPieceBytes;
            const std::string_view piece = data.substr(pos, nSize);
            pos += piece.size();
            return piece;
        },
        fnCancelled);
}

CRecognition RecogniseLayoutFile(const std::filesystem::path& path,
                                 const std::function<bool()>& fnCancelled)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        CRecognition r;
        r.strDoubt = "The file could not be opened.";
        return r;
    }
    std::string strBuffer;
    bool bFirst = true;
    return Recognise(
        [&]() {
            strBuffer.resize(bFirst ? kHeadBytes : kPieceBytes);
            bFirst = false;
            file.read(strBuffer.data(), static_cast<std::streamsize>(strBuffer.size()));
            strBuffer.resize(static_cast<std::size_t>(file.gcount()));
            return std::string_view(strBuffer);
        },
        fnCancelled);
}
