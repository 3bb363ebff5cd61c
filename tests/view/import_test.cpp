// File > Open of another logger's file whose layout is in doubt, as a user goes through it:
// the import dialog shows, a column's role is chosen, the layout is named and saved, and a
// second file with the same header opens by it without a question.
#include "view/childview.h"

#include "res/resource.h"
#include "settings/layoutstore.h"

#include "../guitest.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

// Answers the open-file dialog with a path.
class CAnsweringView : public CChildView
{
public:
    using CChildView::CChildView;
    QString m_strAnswer;

protected:
    int ExecOpenDialog(QFileDialog& dlg) override
    {
        dlg.selectFile(m_strAnswer);
        return QDialog::Accepted;
    }
};

constexpr int kPreviewTempSV = 3; // the preview's column of Temp SV

class ImportDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        res::ApplyInterfaceLanguage(res::kLangENG);
        SeedSettings();
        SetLayoutFolder(m_profile.FilePath(QStringLiteral("layouts")));
        m_view.show();
        m_view.OnInitialUpdate();
    }
    void TearDown() override { SetLayoutFolder(QString()); }

    // A semicolon file with decimal commas and day-month-year dates whose header names no
    // column: one record a second from 13.03.2026 10:00:00.
    QString WriteFile(const char* szName, int nRecords) const
    {
        const QString strPath = m_profile.FilePath(QString::fromLatin1(szName));
        QFile file(strPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Stamp;A;B;C\r\n");
        for (int i = 0; i < nRecords; ++i)
            file.write(QByteArray("13.03.2026 10:00:0") + QByteArray::number(i) +
                       ";21,50;45,00;22,00\r\n");
        return strPath;
    }

    void Open(const QString& strPath)
    {
        m_view.m_strAnswer = strPath;
        m_view.OnCommand(res::ID_FILE_OPEN);
        Pump();
    }

    CTzGuard m_tz{"UTC0"};
    CIsolatedProfile m_profile;
    CAnsweringView m_view{nullptr};
};

TEST_F(ImportDialog, ChosenLayoutIsSavedAndOpensTheNextFileOfItsHeader)
{
    QString strPreviewBefore;
    QString strPreviewAfter;
    QString strDoubt;
    CModalWatcher watcher([&](QWidget* p) {
        auto* pPreview = p->findChild<QTableWidget*>(QStringLiteral("preview"));
        auto* pRole = p->findChild<QComboBox*>(QStringLiteral("role3"));
        auto* pName = p->findChild<QLineEdit*>(QStringLiteral("name"));
        auto* pOk = p->findChild<QPushButton*>(QStringLiteral("ok"));
        if (!pPreview || !pRole || !pName || !pOk || pPreview->rowCount() == 0) {
            p->close();
            return;
        }
        if (const auto* pDoubt = p->findChild<QWidget*>(QStringLiteral("doubt")))
            strDoubt = pDoubt->property("text").toString();
        strPreviewBefore = pPreview->item(0, kPreviewTempSV)->text();
        // Column C becomes Temp SV through its list, by keyboard: F4 opens it, five steps
        // down from "Not read", Return takes the item.
        QTest::keyClick(pRole, Qt::Key_F4);
        QAbstractItemView* pList = pRole->view();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(pList, Qt::Key_Down);
        QTest::keyClick(pList, Qt::Key_Return);
        strPreviewAfter = pPreview->item(0, kPreviewTempSV)->text();
        pName->clear();
        QTest::keyClicks(pName, QStringLiteral("Semi/colon logger"));
        QTest::mouseClick(pOk, Qt::LeftButton);
    });
    Open(WriteFile("first.csv", 5));

    EXPECT_EQ(1, watcher.GetSeen());
    EXPECT_TRUE(strDoubt.contains(QStringLiteral("does not name"))) << strDoubt.toStdString();
    EXPECT_EQ(QString(), strPreviewBefore);
    EXPECT_EQ(QStringLiteral("22.00"), strPreviewAfter);
    ASSERT_NE(nullptr, m_view.GetRecording());
    EXPECT_EQ(5, m_view.GetRecording()->GetCount());
    EXPECT_TRUE(m_view.GetRecording()->HasChannel(EChannel::TempSV));
    EXPECT_FALSE(m_view.GetRecording()->HasChannel(EChannel::HumiSV));
    // The name's slash is no folder.
    const QDir folder(LayoutFolder());
    EXPECT_EQ(QStringList{QStringLiteral("Semi_colon logger.layout")},
              folder.entryList(QDir::Files));

    CModalWatcher second;
    Open(WriteFile("second.csv", 3));
    EXPECT_EQ(0, second.GetSeen()) << second.GetMessages().toStdString();
    ASSERT_NE(nullptr, m_view.GetRecording());
    EXPECT_EQ(3, m_view.GetRecording()->GetCount());
    EXPECT_TRUE(m_view.GetRecording()->HasChannel(EChannel::TempSV));
}

} // namespace
