#include "view/importdlg.h"

#include "res/resource.h"
#include "res/resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The first lines of the file shown under the columns' role boxes.
constexpr int kSampleLines = 5;
// The preview's records; enough to see the records' spacing and a few faults.
constexpr std::size_t kPreviewRecords = 100;
constexpr int kMaxLines = 1000;
constexpr int kMaxOffsetMinutes = 14 * 60;

QStringList Items(int nId)
{
    return res::LoadString(nId).split(u'\t');
}

QComboBox* NewChoice(const QStringList& items, const char* szName, QWidget* pParent)
{
    auto* pBox = new QComboBox(pParent);
    pBox->addItems(items);
    pBox->setObjectName(QLatin1String(szName));
    return pBox;
}

QSpinBox* NewNumber(int nMin, int nMax, const char* szName, QWidget* pParent)
{
    auto* pBox = new QSpinBox(pParent);
    pBox->setRange(nMin, nMax);
    pBox->setObjectName(QLatin1String(szName));
    return pBox;
}

QString Utf8(const std::string& str)
{
    return QString::fromUtf8(str.data(), static_cast<qsizetype>(str.size()));
}

} // namespace

CImportDlg::CImportDlg(const QString& strFileName, std::string strHead,
                       const CRecognition& recognition, QWidget* pParent)
    : QDialog(pParent), m_strHead(std::move(strHead)), m_base(recognition.layout)
{
    m_base.strHeader = recognition.strHeader;
    setWindowTitle(res::LoadString(res::IDS_IMPORT_CAPTION).arg(strFileName));
    auto* pMain = new QVBoxLayout(this);

    m_pDoubt = new QLabel(this);
    m_pDoubt->setObjectName(QStringLiteral("doubt"));
    m_pDoubt->setWordWrap(true);
    m_pDoubt->setTextFormat(Qt::PlainText);
    using EResult = CRecognition::EResult;
    if (recognition.eResult == EResult::Doubt || recognition.eResult == EResult::Unknown) {
        const int nId =
            recognition.eResult == EResult::Doubt ? res::IDS_IMPORT_DOUBT : res::IDS_IMPORT_UNKNOWN;
        m_pDoubt->setText(res::LoadString(nId).arg(Utf8(recognition.strDoubt)));
    } else {
        m_pDoubt->hide();
    }
    pMain->addWidget(m_pDoubt);

    auto* pNameRow = new QHBoxLayout;
    auto* pNameLabel = new QLabel(res::LoadString(res::IDS_IMPORT_NAME), this);
    m_pName = new QLineEdit(this);
    m_pName->setObjectName(QStringLiteral("name"));
    m_pName->setMaxLength(80);
    m_pName->setText(QFileInfo(strFileName).completeBaseName());
    pNameLabel->setBuddy(m_pName);
    pNameRow->addWidget(pNameLabel);
    pNameRow->addWidget(m_pName, 1);
    pMain->addLayout(pNameRow);

    pMain->addWidget(new QLabel(res::LoadString(res::IDS_IMPORT_COLUMNS), this));
    m_pColumns = new QTableWidget(this);
    m_pColumns->setObjectName(QStringLiteral("columns"));
    m_pColumns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pColumns->verticalHeader()->hide();
    m_pColumns->setMinimumHeight(150);
    pMain->addWidget(m_pColumns, 1);

    auto* pGrid = new QGridLayout;
    BuildChoices(pGrid);
    pMain->addLayout(pGrid);

    pMain->addWidget(new QLabel(res::LoadString(res::IDS_IMPORT_PREVIEW), this));
    m_pPreview = new QTableWidget(this);
    m_pPreview->setObjectName(QStringLiteral("preview"));
    m_pPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pPreview->verticalHeader()->hide();
    const QStringList headings = Items(res::IDS_IMPORT_PREVIEW_COLUMNS);
    m_pPreview->setColumnCount(static_cast<int>(headings.size()));
    m_pPreview->setHorizontalHeaderLabels(headings);
    m_pPreview->setMinimumHeight(150);
    pMain->addWidget(m_pPreview, 2);

    pMain->addWidget(new QLabel(res::LoadString(res::IDS_IMPORT_FAULTS), this));
    m_pFaults = new QListWidget(this);
    m_pFaults->setObjectName(QStringLiteral("faults"));
    m_pFaults->setMaximumHeight(80);
    pMain->addWidget(m_pFaults);

    auto* pButtons = new QDialogButtonBox(this);
    QPushButton* pOk =
        pButtons->addButton(res::LoadString(res::IDS_IMPORT_OK), QDialogButtonBox::AcceptRole);
    pOk->setObjectName(QStringLiteral("ok"));
    pOk->setDefault(true);
    pButtons->addButton(res::LoadString(res::IDS_IMPORT_CANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pMain->addWidget(pButtons);

    const CLayoutPreview preview = PreviewLayout(m_strHead, m_base, kPreviewRecords);
    m_choices = ChoicesFromLayout(m_base, std::max(ColumnCount(preview), m_base.arrRoles.size()));
    ShowChoices();
    Refresh();
    resize(760, 720);
}

void CImportDlg::BuildChoices(QGridLayout* pGrid)
{
    m_pDelimiter = NewChoice(Items(res::IDS_IMPORT_DELIMITERS), "delimiter", this);
    m_pDecimal = NewChoice(Items(res::IDS_IMPORT_DECIMALS), "decimal", this);
    m_pQuote = NewChoice(Items(res::IDS_IMPORT_QUOTES), "quote", this);
    m_pSkip = NewNumber(0, kMaxLines, "skip", this);
    m_pHeader = NewNumber(0, kMaxLines, "header", this);
    m_pDateOrder = NewChoice(Items(res::IDS_IMPORT_DATE_ORDERS), "dateorder", this);
    m_pClock = NewChoice(Items(res::IDS_IMPORT_CLOCKS), "clock", this);
    m_pZone = NewChoice(Items(res::IDS_IMPORT_ZONES), "zone", this);
    m_pOffset = NewNumber(-kMaxOffsetMinutes, kMaxOffsetMinutes, "offset", this);
    m_pTempUnit = NewChoice({QStringLiteral("°C"), QStringLiteral("°F"), QStringLiteral("K")},
                            "tempunit", this);
    m_pUnitInCells = new QCheckBox(res::LoadString(res::IDS_IMPORT_UNIT_IN_CELLS), this);
    m_pUnitInCells->setObjectName(QStringLiteral("unitincells"));
    QStringList encodings;
    for (int i = 0; i <= static_cast<int>(EEncoding::Big5); ++i)
        encodings << QString::fromUtf8(
            EncodingName(static_cast<EEncoding>(i)).data(),
            static_cast<qsizetype>(EncodingName(static_cast<EEncoding>(i)).size()));
    m_pEncoding = NewChoice(encodings, "encoding", this);

    // Two columns of captions and boxes: how the text is cut, then how its values read.
    const std::pair<int, QWidget*> left[] = {
        {res::IDS_IMPORT_DELIMITER, m_pDelimiter}, {res::IDS_IMPORT_DECIMAL, m_pDecimal},
        {res::IDS_IMPORT_QUOTE, m_pQuote},         {res::IDS_IMPORT_SKIP, m_pSkip},
        {res::IDS_IMPORT_HEADER, m_pHeader},       {res::IDS_IMPORT_ENCODING, m_pEncoding}};
    const std::pair<int, QWidget*> right[] = {{res::IDS_IMPORT_DATE_ORDER, m_pDateOrder},
                                              {res::IDS_IMPORT_CLOCK, m_pClock},
                                              {res::IDS_IMPORT_ZONE, m_pZone},
                                              {res::IDS_IMPORT_OFFSET, m_pOffset},
                                              {res::IDS_IMPORT_TEMP_UNIT, m_pTempUnit},
                                              {0, m_pUnitInCells}};
    int nRow = 0;
    for (const auto& [nCaption, pBox] : left) {
        auto* pLabel = new QLabel(res::LoadString(nCaption), this);
        pLabel->setBuddy(pBox);
        pGrid->addWidget(pLabel, nRow, 0);
        pGrid->addWidget(pBox, nRow++, 1);
    }
    nRow = 0;
    for (const auto& [nCaption, pBox] : right) {
        if (nCaption) {
            auto* pLabel = new QLabel(res::LoadString(nCaption), this);
            pLabel->setBuddy(pBox);
            pGrid->addWidget(pLabel, nRow, 3);
            pGrid->addWidget(pBox, nRow++, 4);
        } else {
            pGrid->addWidget(pBox, nRow++, 3, 1, 2);
        }
    }
    pGrid->setColumnMinimumWidth(2, 16);
    pGrid->setColumnStretch(1, 1);
    pGrid->setColumnStretch(4, 1);

    for (QComboBox* pBox : {m_pDelimiter, m_pDecimal, m_pQuote, m_pDateOrder, m_pClock, m_pZone,
                            m_pTempUnit, m_pEncoding})
        connect(pBox, &QComboBox::currentIndexChanged, this, &CImportDlg::OnChoiceChanged);
    for (QSpinBox* pBox : {m_pSkip, m_pHeader, m_pOffset})
        connect(pBox, &QSpinBox::valueChanged, this, &CImportDlg::OnChoiceChanged);
    connect(m_pUnitInCells, &QCheckBox::toggled, this, &CImportDlg::OnChoiceChanged);
}

void CImportDlg::ShowChoices()
{
    const QSignalBlocker blockers[] = {
        QSignalBlocker(m_pDelimiter), QSignalBlocker(m_pDecimal),     QSignalBlocker(m_pQuote),
        QSignalBlocker(m_pSkip),      QSignalBlocker(m_pHeader),      QSignalBlocker(m_pDateOrder),
        QSignalBlocker(m_pClock),     QSignalBlocker(m_pZone),        QSignalBlocker(m_pOffset),
        QSignalBlocker(m_pTempUnit),  QSignalBlocker(m_pUnitInCells), QSignalBlocker(m_pEncoding)};
    m_pDelimiter->setCurrentIndex(m_choices.nDelimiter);
    m_pDecimal->setCurrentIndex(m_choices.nDecimal);
    m_pQuote->setCurrentIndex(m_choices.nQuote);
    m_pSkip->setValue(m_choices.nSkipLines);
    m_pHeader->setValue(m_choices.nHeaderLine);
    m_pDateOrder->setCurrentIndex(m_choices.nDateOrder);
    m_pClock->setCurrentIndex(m_choices.nClock);
    m_pZone->setCurrentIndex(m_choices.nZone);
    m_pOffset->setValue(m_choices.nOffsetMinutes);
    m_pOffset->setEnabled(m_choices.nZone == static_cast<int>(EZone::Offset));
    m_pTempUnit->setCurrentIndex(m_choices.nTempUnit);
    m_pUnitInCells->setChecked(m_choices.bUnitInCells);
    m_pEncoding->setCurrentIndex(m_choices.nEncoding);
}

void CImportDlg::OnChoiceChanged()
{
    m_choices.nDelimiter = m_pDelimiter->currentIndex();
    m_choices.nDecimal = m_pDecimal->currentIndex();
    m_choices.nQuote = m_pQuote->currentIndex();
    m_choices.nSkipLines = m_pSkip->value();
    m_choices.nHeaderLine = m_pHeader->value();
    m_choices.nDateOrder = m_pDateOrder->currentIndex();
    m_choices.nClock = m_pClock->currentIndex();
    m_choices.nZone = m_pZone->currentIndex();
    m_choices.nOffsetMinutes = m_pOffset->value();
    m_choices.nTempUnit = m_pTempUnit->currentIndex();
    m_choices.bUnitInCells = m_pUnitInCells->isChecked();
    m_choices.nEncoding = m_pEncoding->currentIndex();
    m_pOffset->setEnabled(m_choices.nZone == static_cast<int>(EZone::Offset));
    Refresh();
}

void CImportDlg::OnRoleChosen(int nColumn, int nRole)
{
    ChooseRole(m_choices, static_cast<std::size_t>(nColumn), nRole);
    Refresh();
}

void CImportDlg::Refresh()
{
    m_layout = LayoutFromChoices(m_choices, m_base);
    const CLayoutPreview preview = PreviewLayout(m_strHead, m_layout, kPreviewRecords);
    ShowColumns(preview);
    ShowPreview(preview);
}

void CImportDlg::ShowColumns(const CLayoutPreview& preview)
{
    // Another delimiter or header cuts the lines into other columns: the roles stay with
    // their column numbers.
    std::size_t nColumns = ColumnCount(preview);
    for (std::size_t i = 0; i < m_choices.arrRoles.size(); ++i)
        if (m_choices.arrRoles[i] != static_cast<int>(EColumnRole::Skip))
            nColumns = std::max(nColumns, i + 1);
    m_choices.arrRoles.resize(nColumns, static_cast<int>(EColumnRole::Skip));
    const int nShown = static_cast<int>(m_choices.arrRoles.size());
    const int nRows =
        1 + static_cast<int>(std::min<std::size_t>(preview.arrLines.size(), kSampleLines));
    // The role boxes sit in row 0, which must exist before they are placed.
    m_pColumns->setRowCount(nRows);
    if (m_pColumns->columnCount() != nShown) {
        m_pColumns->setColumnCount(nShown);
        m_arrRoleBoxes.assign(static_cast<std::size_t>(nShown), nullptr);
        const QStringList roles = Items(res::IDS_IMPORT_ROLES);
        for (int c = 0; c < nShown; ++c) {
            auto* pBox = new QComboBox(m_pColumns);
            pBox->addItems(roles);
            pBox->setObjectName(QStringLiteral("role%1").arg(c));
            m_pColumns->setCellWidget(0, c, pBox);
            m_arrRoleBoxes[static_cast<std::size_t>(c)] = pBox;
            connect(pBox, &QComboBox::currentIndexChanged, this,
                    [this, c](int nRole) { OnRoleChosen(c, nRole); });
        }
    }
    QStringList headings;
    for (int c = 0; c < nShown; ++c) {
        const auto nColumn = static_cast<std::size_t>(c);
        headings << (nColumn < preview.arrColumnNames.size() ? Utf8(preview.arrColumnNames[nColumn])
                                                             : QString::number(c + 1));
        QComboBox* pBox = m_arrRoleBoxes[nColumn];
        const QSignalBlocker blocker(pBox);
        pBox->setCurrentIndex(m_choices.arrRoles[nColumn]);
        for (int r = 1; r < nRows; ++r) {
            const auto& arrCells = preview.arrLines[static_cast<std::size_t>(r - 1)];
            m_pColumns->setItem(r, c,
                                new QTableWidgetItem(nColumn < arrCells.size()
                                                         ? Utf8(arrCells[nColumn])
                                                         : QString()));
        }
    }
    m_pColumns->setHorizontalHeaderLabels(headings);
    m_pColumns->resizeColumnsToContents();
}

void CImportDlg::ShowPreview(const CLayoutPreview& preview)
{
    m_pPreview->setRowCount(static_cast<int>(preview.arrRecords.size()));
    for (int r = 0; r < m_pPreview->rowCount(); ++r) {
        const QStringList texts =
            PreviewRowTexts(preview.arrRecords[static_cast<std::size_t>(r)], m_layout);
        for (int c = 0; c < texts.size(); ++c) {
            auto* pItem = new QTableWidgetItem(texts[c]);
            if (c != 1)
                pItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_pPreview->setItem(r, c, pItem);
        }
    }
    m_pPreview->resizeColumnsToContents();
    m_pFaults->clear();
    for (const CLayoutPreview::CFault& fault : preview.arrFaults) {
        // The reader's message names the line already, in English; else the line is put
        // before it, in one pass over both: the message may hold a "%1" of its own.
        const QString strWhat = Utf8(fault.strWhat);
        m_pFaults->addItem(strWhat.startsWith(QStringLiteral("Line "))
                               ? strWhat
                               : res::LoadString(res::IDS_IMPORT_FAULT)
                                     .arg(QString::number(fault.nLine), strWhat));
    }
}

CLayout CImportDlg::GetLayout() const
{
    CLayout layout = m_layout;
    layout.strName = m_pName->text().trimmed().toStdString();
    return layout;
}

void CImportDlg::accept()
{
    const auto warn = [this](int nId) {
        QMessageBox::warning(this, res::LoadString(res::IDR_MAINFRAME), res::LoadString(nId));
    };
    if (m_pName->text().trimmed().isEmpty()) {
        warn(res::IDS_IMPORT_NO_NAME);
        return;
    }
    if (!HasTimeColumns(m_layout)) {
        warn(res::IDS_IMPORT_NO_TIME);
        return;
    }
    QDialog::accept();
}
