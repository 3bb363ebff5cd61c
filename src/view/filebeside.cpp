#include "view/filebeside.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path FileSystemPath(const QString& strPath)
{
    return std::filesystem::path(strPath.toStdU16String());
}

} // namespace

bool IsSameFile(const QString& strA, const QString& strB)
{
    std::error_code error;
    return std::filesystem::equivalent(FileSystemPath(strA), FileSystemPath(strB), error);
}

CFileBeside::~CFileBeside()
{
    if (!m_strPath.isEmpty())
        QFile::remove(m_strPath);
}

QString CFileBeside::Create(QString& strReason)
{
    const QFileInfo target(m_strTarget);
    const QString strStem = target.path() + QStringLiteral("/.") + target.fileName() + u'-';
    for (int nTry = 0; nTry < 16; ++nTry) {
        const QString strPath =
            strStem + QString::number(QRandomGenerator::global()->generate(), 16);
        QFile file(strPath);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_strPath = strPath;
            // A file written again keeps who may read it.
            if (target.exists())
                file.setPermissions(target.permissions());
            return m_strPath;
        }
        strReason = file.errorString();
        if (!file.exists())
            break;
    }
    return {};
}

bool CFileBeside::Replace(QString& strReason)
{
    std::error_code error;
    std::filesystem::rename(FileSystemPath(m_strPath), FileSystemPath(m_strTarget), error);
    if (error) {
        strReason = QString::fromLocal8Bit(error.message());
        return false;
    }
    m_strPath.clear();
    return true;
}
