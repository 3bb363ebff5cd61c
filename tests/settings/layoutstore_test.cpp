#include "settings/layoutstore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(LayoutStore, NamesBecomePlainFileNames)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Semi logger"), QStringLiteral("Semi logger.layout")},
        {QStringLiteral("../../etc/passwd"), QStringLiteral("______etc_passwd.layout")},
        {QStringLiteral(":/res"), QStringLiteral("__res.layout")},
        {QStringLiteral("  %1 %2 "), QStringLiteral("_1 _2.layout")},
        {QStringLiteral("溫度記錄器"), QStringLiteral("溫度記錄器.layout")},
        {QStringLiteral("   "), QStringLiteral("layout.layout")},
        {QString(200, u'a'), QString(80, u'a') + QStringLiteral(".layout")},
    };
    for (const auto& [strName, strFile] : cases)
        EXPECT_EQ(strFile, LayoutFileName(strName)) << strName.toStdString();
}

TEST(LayoutStore, SavedLayoutIsFoundByItsHeaderOnly)
{
    QTemporaryDir dir;
    SetLayoutFolder(dir.path());
    CLayout layout;
    layout.strName = "Semi";
    layout.strHeader = "Stamp;A;B";
    layout.cDelimiter = ';';
    layout.arrRoles = {EColumnRole::DateTime, EColumnRole::TempPV};
    QString strPath;
    EXPECT_EQ(QString(), SaveLayout(layout, strPath));
    EXPECT_EQ(dir.filePath(QStringLiteral("Semi.layout")), strPath);
    // Something else in the folder is passed over.
    QFile other(dir.filePath(QStringLiteral("broken.layout")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("this is no layout\n");
    other.close();

    const LayoutFinder finder = SavedLayoutFinder();
    SetLayoutFolder(QString());
    const std::optional<CLayout> found = finder("Stamp;A;B");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(layout, *found);
    EXPECT_FALSE(finder("Stamp;A;C").has_value());
    EXPECT_FALSE(finder("").has_value());
}

} // namespace
