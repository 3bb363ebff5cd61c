#include "view/uniformitywnd.h"

#include "analysis/programsteps.h"
#include "analysis/uniformity.h"
#include "res/resource.h"
#include "res/resources.h"
#include "view/shownrecording.h"
#include "view/statisticstext.h"
#include "view/stepstext.h"
#include "view/uniformitytext.h"

#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString CommonTime(std::int64_t t)
{
    return FormatFigureTime(static_cast<std::uint32_t>(t), 0);
}

} // namespace

CUniformityWnd::CUniformityWnd(CShownRecording* pShown, QWidget* pParent)
    : QWidget(pParent, Qt::Window), m_pShown(pShown)
{
    setWindowTitle(res::LoadString(res::IDS_UNIF_CAPTION));
    setObjectName(QStringLiteral("uniformity"));

    QLayout* pChoices = BuildChoices();
    m_pTable = new QTableWidget(0, 5, this);
    m_pTable->setAccessibleName(res::LoadString(res::IDS_UNIF_TABLE));
    m_pTable->setHorizontalHeaderLabels(
        res::LoadString(res::IDS_UNIF_COLUMNS).split(QLatin1Char('\t')));
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_pMessage = new QLabel(this);
    m_pMessage->setWordWrap(true);
    QLayout* pButtons = BuildButtons();

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pChoices);
    pLayout->addWidget(m_pTable, 1);
    pLayout->addWidget(m_pMessage);
    pLayout->addLayout(pButtons);

    connect(m_pShown, &CShownRecording::RecordingChanged, this, [this] {
        FindDwells();
        FillStretches();
        Update();
    });
    // A selection dragged on the plot changes at every pointer move: the figures are made
    // again only when the stretch they are of changed.
    connect(m_pShown, &CShownRecording::SelectionChanged, this, [this] {
        const std::optional<std::pair<std::int64_t, std::int64_t>> before = CurrentStretch();
        FillStretches();
        if (CurrentStretch() != before)
            Update();
    });
    FindDwells();
    FillStretches();
    Update();
    resize(720, 560);
}

QLayout* CUniformityWnd::BuildChoices()
{
    m_pStretch = new QComboBox(this);
    auto* pStretchCaption = new QLabel(res::LoadString(res::IDS_UNIF_STRETCH), this);
    pStretchCaption->setBuddy(m_pStretch);
    m_pStretch->setAccessibleName(pStretchCaption->text());

    m_pSetValue = new QComboBox(this);
    m_pSetValue->addItems(
        {res::LoadString(res::IDS_UNIF_FROM_RECORDING), res::LoadString(res::IDS_UNIF_TYPED)});
    auto* pSetValueCaption = new QLabel(res::LoadString(res::IDS_UNIF_SET_VALUE), this);
    pSetValueCaption->setBuddy(m_pSetValue);
    m_pSetValue->setAccessibleName(pSetValueCaption->text());

    const auto box = [this](int nCaption, QLabel*& pCaption) {
        auto* pBox = new QLineEdit(this);
        pBox->setMaxLength(8);
        pCaption = new QLabel(res::LoadString(nCaption), this);
        pCaption->setBuddy(pBox);
        pBox->setAccessibleName(pCaption->text());
        pBox->setEnabled(false);
        connect(pBox, &QLineEdit::editingFinished, this, &CUniformityWnd::Update);
        return pBox;
    };
    m_pTemp = box(res::IDS_UNIF_TEMP, m_pTempCaption);
    m_pHumi = box(res::IDS_UNIF_HUMI, m_pHumiCaption);

    connect(m_pStretch, &QComboBox::currentIndexChanged, this, &CUniformityWnd::Update);
    connect(m_pSetValue, &QComboBox::currentIndexChanged, this, [this](int nIndex) {
        m_pTemp->setEnabled(nIndex == 1);
        m_pHumi->setEnabled(nIndex == 1);
        Update();
    });

    auto* pGrid = new QGridLayout;
    pGrid->addWidget(pStretchCaption, 0, 0);
    pGrid->addWidget(m_pStretch, 0, 1, 1, 3);
    pGrid->addWidget(pSetValueCaption, 1, 0);
    pGrid->addWidget(m_pSetValue, 1, 1, 1, 3);
    pGrid->addWidget(m_pTempCaption, 2, 0);
    pGrid->addWidget(m_pTemp, 2, 1);
    pGrid->addWidget(m_pHumiCaption, 2, 2);
    pGrid->addWidget(m_pHumi, 2, 3);
    pGrid->setColumnStretch(4, 1);
    return pGrid;
}

QLayout* CUniformityWnd::BuildButtons()
{
    m_pCopy = new QPushButton(res::LoadString(res::IDS_UNIF_COPY), this);
    connect(m_pCopy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(TableText()); });
    auto* pClose = new QPushButton(res::LoadString(res::IDS_UNIF_CLOSE), this);
    connect(pClose, &QPushButton::clicked, this, &QWidget::close);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(m_pCopy);
    pButtons->addWidget(pClose);
    return pButtons;
}

void CUniformityWnd::FillStretches()
{
    const CRecordingSet& set = m_pShown->Set();
    const auto [tFirst, tEnd] = set.CommonSeconds();
    // The choice made, kept where it still exists after the recordings or selection changed.
    const int nWas = m_pStretch->currentIndex();
    const bool bWas = nWas >= 0 && nWas < static_cast<int>(m_stretches.size());
    const std::pair<std::int64_t, std::int64_t> was =
        bWas ? m_stretches[static_cast<std::size_t>(nWas)]
             : std::pair<std::int64_t, std::int64_t>();
    QStringList names;
    m_stretches.clear();
    if (set.GetCount() >= 2 && tFirst < tEnd) {
        names << res::LoadString(res::IDS_UNIF_ALL);
        m_stretches.emplace_back(tFirst, tEnd);
        // The view counts the selection from the first recording's first second.
        if (m_pShown->HasSelection()) {
            const std::int64_t tBegin = set.StartOf(0) + m_pShown->SelectionFirst();
            const std::int64_t tLast = set.StartOf(0) + m_pShown->SelectionLast();
            names << res::LoadString(res::IDS_UNIF_SELECTION)
                         .arg(CommonTime(tBegin), CommonTime(tLast));
            m_stretches.emplace_back(tBegin, tLast + 1);
        }
        for (std::size_t k = 0; k < m_dwells.size(); ++k) {
            const auto [tBegin, tDwellEnd] = m_dwells[k];
            names << res::LoadString(res::IDS_UNIF_DWELL)
                         .arg(QString::number(k + 1), CommonTime(tBegin),
                              CommonTime(tDwellEnd - 1));
            m_stretches.emplace_back(tBegin, tDwellEnd);
        }
    }
    const QSignalBlocker blocker(m_pStretch);
    m_pStretch->clear();
    m_pStretch->addItems(names);
    const auto found =
        bWas ? std::find(m_stretches.begin(), m_stretches.end(), was) : m_stretches.end();
    m_pStretch->setCurrentIndex(found != m_stretches.end()
                                    ? static_cast<int>(found - m_stretches.begin())
                                    : (m_stretches.empty() ? -1 : 0));
}

void CUniformityWnd::FindDwells()
{
    m_dwells.clear();
    const CRecordingSet& set = m_pShown->Set();
    // The test program is read from the set values of the first recording that has them.
    for (std::size_t i = 0; i < set.GetCount(); ++i) {
        const CRecording& recording = set.Recording(i);
        if (!recording.HasSetValues())
            continue;
        const CProgramAnalysis steps =
            AnalyseProgramSteps(recording.View(), 0, recording.GetCount(), ReadStoredStepOptions());
        for (const CJudgedStep& step : steps.steps)
            if (step.bDwell)
                m_dwells.emplace_back(set.StartOf(i) + step.nBegin, set.StartOf(i) + step.nEnd);
        return;
    }
}

std::optional<std::pair<std::int64_t, std::int64_t>> CUniformityWnd::CurrentStretch() const
{
    const int n = m_pStretch->currentIndex();
    if (n < 0 || n >= static_cast<int>(m_stretches.size()))
        return std::nullopt;
    return m_stretches[static_cast<std::size_t>(n)];
}

std::optional<CSetValueChoice> CUniformityWnd::ReadSetValues()
{
    CSetValueChoice choice;
    if (m_pSetValue->currentIndex() != 1)
        return choice;
    const std::pair<QLineEdit*, QLabel*> boxes[2] = {{m_pTemp, m_pTempCaption},
                                                     {m_pHumi, m_pHumiCaption}};
    for (int q = 0; q < 2; ++q) {
        const auto [pBox, pCaption] = boxes[q];
        // An empty box leaves that quantity's set value to the recording.
        if (pBox->text().trimmed().isEmpty())
            continue;
        choice.aTyped[q] = ParseSetValue(pBox->text());
        if (!choice.aTyped[q]) {
            // Concatenated into the placeholders: the text is the user's own.
            QString strCaption = pCaption->text();
            strCaption.remove(QLatin1Char(':')).remove(QChar(0xFF1A));
            m_pMessage->setText(res::LoadString(res::IDS_UNIF_BAD_VALUE)
                                    .replace(QStringLiteral("%1"), strCaption)
                                    .replace(QStringLiteral("%2"), pBox->text()));
            return std::nullopt;
        }
    }
    return choice;
}

void CUniformityWnd::Update()
{
    const CRecordingSet& set = m_pShown->Set();
    const int nStretch = m_pStretch->currentIndex();
    if (set.GetCount() < 2 || nStretch < 0 || nStretch >= static_cast<int>(m_stretches.size())) {
        m_pMessage->setText(
            res::LoadString(set.GetCount() < 2 ? res::IDS_UNIF_TOO_FEW : res::IDS_UNIF_NO_SECONDS));
        ShowLines({});
        return;
    }
    const std::optional<CSetValueChoice> choice = ReadSetValues();
    if (!choice) {
        ShowLines({});
        return;
    }
    m_pMessage->clear();
    const auto [tBegin, tEnd] = m_stretches[static_cast<std::size_t>(nStretch)];
    const CUniformity uniformity = ComputeUniformity(set, tBegin, tEnd, *choice);
    ShowLines(UniformityReportLines(uniformity, UniformityMemberNames(set)) +
              QStringList{QString(), UniformityJudgedLine(uniformity)});
}

void CUniformityWnd::ShowLines(const QStringList& lines)
{
    m_lines = lines;
    m_pCopy->setEnabled(!lines.isEmpty());
    // The heading is the table's own, in the interface language; the judged line and the
    // empty line before it are for the copied text.
    QList<QStringList> rows;
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty() && lines[i].contains(QLatin1Char('\t')))
            rows << lines[i].split(QLatin1Char('\t'));
    m_pTable->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < m_pTable->columnCount(); ++c) {
            const QStringList& cells = rows[r];
            auto* pItem = new QTableWidgetItem(c < cells.size() ? cells[c] : QString());
            pItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            pItem->setTextAlignment((c == 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            m_pTable->setItem(r, c, pItem);
        }
    }
    m_pTable->resizeColumnsToContents();
}

QString CUniformityWnd::TableText() const
{
    return m_lines.isEmpty() ? QString() : m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
