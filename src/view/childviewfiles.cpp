// Several files opened at once, by File Open or a drop: the files of one run that follow one
// another open as one joined recording, others side by side.
#include "recorder/openrecordings.h"
#include "res/resource.h"
#include "res/resources.h"
#include "settings/layoutstore.h"
#include "view/childview.h"
#include "view/commandui.h"
#include "view/curvefilefilter.h"
#include "view/paging.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>

namespace {

QString TimeText(std::int64_t t)
{
    return FormatLocalTime(t, "%Y-%m-%d %H:%M:%S");
}

// "Joined a.csv, b.csv; gap before b.csv: first – last": the status bar's account of a
// joined recording, built by concatenation since file names may hold "%1".
QString JoinedText(const CRecording& recording)
{
    QStringList names;
    for (std::size_t i = 0; i < recording.GetSources().size(); ++i)
        names << QString::fromStdString(recording.SourceName(i));
    QStringList parts;
    QString strJoined = res::LoadString(res::IDS_SIDE_JOINED);
    parts << strJoined.replace(QStringLiteral("%1"), names.join(QStringLiteral(", ")));
    for (const CJoinBorder& border : recording.GetBorders()) {
        const QString strFile = names.value(static_cast<qsizetype>(border.nFile));
        const QString strSpan =
            TimeText(border.tFirst) + QStringLiteral(" – ") + TimeText(border.tLast);
        QString strPart = res::LoadString(
            border.eKind == CJoinBorder::EKind::Gap ? res::IDS_SIDE_GAP : res::IDS_SIDE_OVERLAP);
        // One pass: neither text is read again for placeholders.
        parts << strPart.arg(strFile, strSpan);
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace

QStringList CChildView::AskFilesToRead()
{
    QFileDialog dlg(this);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setNameFilter(CurveFileFilterFor(dlg));
    dlg.setOption(QFileDialog::ReadOnly);
    if (ExecOpenDialog(dlg) != QDialog::Accepted)
        return {};
    return dlg.selectedFiles();
}

bool CChildView::OpenRecorderPaths(const QStringList& paths)
{
    if (paths.size() == 1)
        return OpenRecorderPath(paths.front());
    if (paths.isEmpty() || m_fileWork.IsBusy())
        return false;
    std::vector<std::filesystem::path> files;
    QStringList names;
    for (const QString& strPath : paths) {
        const QFileInfo info(strPath);
        files.push_back(info.filesystemFilePath());
        names << info.fileName();
    }
    // The worker may outlive this call after a cancel, so it owns all it reads and writes.
    auto pOpen = std::make_shared<COpenFilesResult>();
    CLoadResult result;
    const bool bFinished = m_fileWork.Run(
        this, res::LoadString(res::IDS_OPEN_READING).arg(names.join(QStringLiteral(", "))),
        [files, pOpen, finder = SavedLayoutFinder()](const LoadProgress& progress) {
            *pOpen = OpenRecordingFiles(files, nullptr, progress, finder);
            CLoadResult done;
            done.status =
                pOpen->bCancelled ? CLoadResult::EStatus::Cancelled : CLoadResult::EStatus::Loaded;
            return done;
        },
        result);
    if (!bFinished || pOpen->bCancelled)
        return false;

    QStringList problems;
    for (const COpenedFile& file : pOpen->files)
        if (!file.strMessage.empty())
            problems << QString::fromStdString(file.strMessage);
    if (!pOpen->strJoinMessage.empty())
        problems << QString::fromStdString(pOpen->strJoinMessage);
    const auto warn = [this, &problems] {
        if (!problems.isEmpty())
            QMessageBox::warning(this, res::LoadString(res::IDR_MAINFRAME),
                                 problems.join(QLatin1Char('\n')));
    };
    if (pOpen->recordings.empty()) {
        warn();
        return false;
    }
    // The path each recording came from: a joined one's first file, else its own.
    auto pathOf = [&](std::size_t k) {
        const std::size_t nFile =
            pOpen->bJoined || k >= pOpen->arrFileOf.size() ? 0 : pOpen->arrFileOf[k];
        return paths.value(static_cast<qsizetype>(nFile));
    };
    const QString strFirst = pathOf(0);
    ShowRecording(std::make_shared<const CRecording>(std::move(pOpen->recordings[0])),
                  QFileInfo(strFirst).completeBaseName());
    m_strRecordingPath = strFirst;
    m_arrMemberPaths.front() = strFirst;
    for (std::size_t k = 1; k < pOpen->recordings.size(); ++k)
        AddRecording(std::make_shared<const CRecording>(std::move(pOpen->recordings[k])),
                     pathOf(k));
    if (pOpen->recordings.size() > kMaxRecordings)
        problems << res::LoadString(res::IDS_SIDE_FULL).arg(static_cast<int>(kMaxRecordings));
    if (m_pUi)
        m_pUi->ShowReadLayout(pOpen->bJoined ? JoinedText(*m_pRecording) : QString());
    warn();
    return problems.isEmpty();
}
