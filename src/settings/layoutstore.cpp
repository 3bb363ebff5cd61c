#include "settings/layoutstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

namespace {

QString& FolderOverride()
{
    static QString strFolder;
    return strFolder;
}

constexpr int kMaxNameLength = 80;
// A layout file is a few hundred bytes; anything far larger in the folder is not one.
constexpr qint64 kMaxLayoutFileSize = 64 * 1024;

} // namespace

QString LayoutFolder()
{
    if (!FolderOverride().isEmpty())
        return FolderOverride();
    const QString strEnv = qEnvironmentVariable("TRENDORA_LAYOUT_DIR");
    if (!strEnv.isEmpty())
        return strEnv;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/layouts");
}

void SetLayoutFolder(const QString& strFolder)
{
    FolderOverride() = strFolder;
}

QString LayoutFileName(const QString& strName)
{
    QString strFile;
    for (const QChar c : strName.trimmed()) {
        const bool bKeep = c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u' ';
        strFile += bKeep ? c : QChar(u'_');
    }
    strFile.truncate(kMaxNameLength);
    strFile = strFile.trimmed();
    if (strFile.isEmpty())
        strFile = QStringLiteral("layout");
    return strFile + QStringLiteral(".layout");
}

QString SaveLayout(const CLayout& layout, QString& strPath)
{
    const QString strFolder = LayoutFolder();
    if (!QDir().mkpath(strFolder))
        return QStringLiteral("the folder %1 cannot be made").arg(strFolder);
    // Concatenated, not QDir::filePath: the name is the user's text.
    strPath = strFolder + u'/' + LayoutFileName(QString::fromStdString(layout.strName));
    QSaveFile file(strPath);
    const std::string strText = FormatLayout(layout);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(strText.data(), static_cast<qint64>(strText.size())) !=
            static_cast<qint64>(strText.size()) ||
        !file.commit())
        return file.errorString();
    return QString();
}

std::optional<CLayout> FindSavedLayout(const QString& strFolder, const std::string& strHeader)
{
    if (strHeader.empty() || strFolder.isEmpty())
        return std::nullopt;
    // Picked by their suffix, not by a name filter: QDir matches filters with a regular
    // expression, and in the Windows build a thread not started by Qt that used one crashes
    // when it ends, freeing the expression's per-thread stack (seen under Wine). Files are
    // opened from such threads.
    const QDir dir(strFolder);
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Time);
    for (const QFileInfo& info : files) {
        if (!info.fileName().endsWith(QLatin1String(".layout"), Qt::CaseInsensitive) ||
            info.size() > kMaxLayoutFileSize)
            continue;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.readAll();
        CLayout layout;
        std::string strError;
        if (ParseLayout(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                        layout, strError) &&
            layout.strHeader == strHeader)
            return layout;
    }
    return std::nullopt;
}

LayoutFinder SavedLayoutFinder()
{
    return [strFolder = LayoutFolder()](const std::string& strHeader) {
        return FindSavedLayout(strFolder, strHeader);
    };
}
