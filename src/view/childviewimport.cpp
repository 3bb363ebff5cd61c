// File > Import of the main view, and the import dialog for a file whose layout is in doubt.
#include "recorder/layoutrecognition.h"
#include "recorder/openrecording.h"
#include "res/resource.h"
#include "res/resources.h"
#include "settings/layoutstore.h"
#include "view/childview.h"
#include "view/importdlg.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>

namespace {

// The dialog previews the first records; a megabyte holds them even for wide lines.
constexpr qint64 kHeadBytes = 1024 * 1024;

// The file's first kHeadBytes, cut after the last whole line.
std::string ReadHead(const QString& strPath, EEncoding eEncoding)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(kHeadBytes + 1);
    std::string strHead(head.constData(), static_cast<std::size_t>(head.size()));
    if (head.size() <= kHeadBytes)
        return strHead; // the whole file
    strHead.pop_back();
    std::size_t nEnd = strHead.rfind('\n');
    if (nEnd == std::string::npos)
        return strHead;
    ++nEnd;
    if (eEncoding == EEncoding::Utf16LE && nEnd < strHead.size())
        ++nEnd; // the line feed's second byte
    strHead.resize(nEnd);
    return strHead;
}

} // namespace

void CChildView::OnFileImport()
{
    const QString strPath = AskFileToRead();
    if (strPath.isEmpty())
        return;
    if (m_fileWork.IsBusy())
        return;
    const QFileInfo info(strPath);
    const std::filesystem::path path = info.filesystemFilePath();
    // Recognising reads every date of the file to settle the date order: behind the load
    // window, as reading it is.
    auto pRecognition = std::make_shared<CRecognition>();
    CLoadResult result;
    const bool bFinished = m_fileWork.Run(
        this, res::LoadString(res::IDS_IMPORT_RECOGNISING).arg(info.fileName()),
        [path, pRecognition](const LoadProgress& progress) {
            *pRecognition = RecogniseLayoutFile(path, [progress] { return !progress(0, 0); });
            return CLoadResult();
        },
        result);
    if (bFinished)
        ImportPath(strPath, *pRecognition);
}

bool CChildView::ImportPath(const QString& strPath, const CRecognition& recognition)
{
    const QFileInfo info(strPath);
    CLayout layout;
    {
        CImportDlg dlg(info.fileName(), ReadHead(strPath, recognition.layout.eEncoding),
                       recognition, this);
        if (dlg.exec() != QDialog::Accepted)
            return false; // the recording on screen stays
        layout = dlg.GetLayout();
    }
    QString strSaved;
    const QString strError = SaveLayout(layout, strSaved);
    if (!strError.isEmpty())
        QMessageBox::warning(this, res::LoadString(res::IDR_MAINFRAME),
                             res::LoadString(res::IDS_IMPORT_SAVE_FAILED).arg(strSaved, strError));
    COpenResult open;
    if (!RunOpen(strPath, &layout, open))
        return false;
    return ShowOpened(strPath, open);
}
