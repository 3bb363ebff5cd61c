#include "view/offsetdlg.h"

#include "res/resource.h"
#include "res/resources.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

std::optional<std::int64_t> ParseOffsetSeconds(const QString& strText)
{
    const QString strTrimmed = strText.trimmed();
    qsizetype i = 0;
    bool bNegative = false;
    if (i < strTrimmed.size() && (strTrimmed[i] == u'-' || strTrimmed[i] == u'+')) {
        bNegative = strTrimmed[i] == u'-';
        ++i;
    }
    if (i == strTrimmed.size())
        return std::nullopt;
    std::int64_t nValue = 0;
    for (; i < strTrimmed.size(); ++i) {
        const QChar c = strTrimmed[i];
        // Only ASCII digits: other scripts' digits are no number a user means here.
        if (c < u'0' || c > u'9')
            return std::nullopt;
        nValue = nValue * 10 + (c.unicode() - u'0');
        if (nValue > kMaxOffsetSeconds)
            return std::nullopt;
    }
    return bNegative ? -nValue : nValue;
}

COffsetDlg::COffsetDlg(const QString& strRecording, std::int64_t nOffset, QWidget* pParent)
    : QDialog(pParent), m_nOffset(nOffset)
{
    // Built by concatenation: a file name may hold "%1".
    QString strCaption = res::LoadString(res::IDS_SIDE_OFFSET_CAPTION);
    strCaption.replace(QStringLiteral("%1"), strRecording);
    setWindowTitle(strCaption);
    m_pCaption = new QLabel(res::LoadString(res::IDS_SIDE_OFFSET_BOX), this);
    m_pBox = new QLineEdit(QString::number(nOffset), this);
    m_pBox->setAccessibleName(m_pCaption->text());
    m_pCaption->setBuddy(m_pBox);
    m_pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pButtons->button(QDialogButtonBox::Ok)->setText(res::LoadString(res::IDS_IMPORT_OK));
    m_pButtons->button(QDialogButtonBox::Cancel)->setText(res::LoadString(res::IDS_IMPORT_CANCEL));
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &COffsetDlg::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &COffsetDlg::reject);
    auto* pRow = new QHBoxLayout;
    pRow->addWidget(m_pCaption);
    pRow->addWidget(m_pBox, 1);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pRow);
    pLayout->addWidget(m_pButtons);
}

void COffsetDlg::accept()
{
    const std::optional<std::int64_t> nOffset = ParseOffsetSeconds(m_pBox->text());
    if (!nOffset) {
        QString strBox = m_pCaption->text();
        while (strBox.endsWith(u':') || strBox.endsWith(u'：'))
            strBox.chop(1);
        // One pass over the pattern: the text typed may hold "%1" itself.
        QMessageBox::warning(this, windowTitle(),
                             res::LoadString(res::IDS_SIDE_OFFSET_BAD)
                                 .arg(strBox, m_pBox->text(), QString::number(m_nOffset)));
        m_pBox->setText(QString::number(m_nOffset));
        m_pBox->selectAll();
        m_pBox->setFocus();
        return;
    }
    m_nOffset = *nOffset;
    QDialog::accept();
}
