#include "view/childview.h"

#include "curve/curvectrl.h"
#include "res/colorref.h"
#include "res/resource.h"
#include "res/resources.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"
#include "skin/formbuilder.h"
#include "skin/statictext.h"
#include "view/commandui.h"
#include "view/curvekeys.h"
#include "view/paging.h"
#include "view/statisticswnd.h"
#include "view/stepsanalyser.h"
#include "view/stepstext.h"

#include <QChildEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace {

constexpr std::uint32_t kDateLabelColor = 0x000099;

int ReadInt(const char* szSection, const char* szEntry, int nDefault)
{
    return ReadSettingInt(QString::fromLatin1(szSection), QString::fromLatin1(szEntry), nDefault);
}

} // namespace

CChildView::CChildView(ICommandUi* pUi, QWidget* pParent) : CBitMapFormView(pParent), m_pUi(pUi)
{
    setFixedSize(FormSize());
    setAcceptDrops(true);
    if (const res::CDialogDef* pForm = res::FindDialog(res::IDD_MAINFORM)) {
        m_controls = BuildForm(*pForm, this, [](const res::CControlDef& c, QWidget* pParent) {
            return c.nId == res::IDC_PLOT ? new CCurveCtrl(pParent) : nullptr;
        });
    }
    BindControls();
    InitSteps();
}

CChildView::~CChildView()
{
    // The plot goes before the analyser among the children: no run may still read its samples.
    ForgetSteps();
}

QSize CChildView::FormSize()
{
    const res::CDialogDef* pForm = res::FindDialog(res::IDD_MAINFORM);
    return DluToPixels(pForm ? pForm->sizeDlu : QSize(508, 308));
}

int CChildView::PlotWidth()
{
    if (const res::CDialogDef* pForm = res::FindDialog(res::IDD_MAINFORM)) {
        for (const res::CControlDef& c : pForm->controls)
            if (c.nId == res::IDC_PLOT)
                return DluToPixels(c.rcDlu).width();
    }
    return 0;
}

CStaticText* CChildView::GetLabel(int nId) const
{
    return qobject_cast<CStaticText*>(m_controls.value(nId));
}

void CChildView::BindControls()
{
    // Every control the view drives must exist, whatever the template held.
    auto ensure = [this](int nId, auto* pNull) {
        using T = std::remove_pointer_t<decltype(pNull)>;
        if (auto* p = qobject_cast<T*>(m_controls.value(nId)))
            return p;
        auto* pNew = new T(this);
        m_controls.insert(nId, pNew);
        return pNew;
    };
    m_pPlot = ensure(res::IDC_PLOT, static_cast<CCurveCtrl*>(nullptr));
    m_pScale = ensure(res::IDC_SCALE, static_cast<QComboBox*>(nullptr));
    m_pScaleBar = ensure(res::IDC_SCALEBAR, static_cast<QScrollBar*>(nullptr));
    m_pPage = ensure(res::IDC_PAGE, static_cast<QLineEdit*>(nullptr));
    m_pTotal = ensure(res::IDC_TOTAL_PAGES, static_cast<QLineEdit*>(nullptr));
    const auto label = static_cast<CStaticText*>(nullptr);
    for (int i = 0; i < res::kAxisLabelCount; ++i) {
        m_arrTempAxis[i] = ensure(res::IDC_TEMP_AXIS0 + i, label);
        m_arrHumiAxis[i] = ensure(res::IDC_HUMI_AXIS0 + i, label);
    }
    for (int k = 0; k < res::kTimeLabelCount; ++k) {
        m_arrTimeLabels[k] = ensure(res::IDC_TIME_LABEL0 + k, label);
        m_arrDateLabels[k] = ensure(res::IDC_DATE_LABEL0 + k, label);
    }
    for (int nId : {res::IDC_TITLE, res::IDC_FILENAME, res::IDC_DATE, res::IDC_TIME,
                    res::IDC_TEMP_PV, res::IDC_HUMI_PV, res::IDC_TEMP_SV, res::IDC_HUMI_SV})
        ensure(nId, label);
    m_pScaleBar->setOrientation(Qt::Horizontal);
    NameControls();

    // A drag of the scale bar applies only when the thumb is released.
    m_pScaleBar->setTracking(false);
    connect(m_pScaleBar, &QScrollBar::actionTriggered, this, [this](int nAction) {
        switch (nAction) {
        case QAbstractSlider::SliderSingleStepSub:
            OnScaleBarScroll(kLineLeft, 0);
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            OnScaleBarScroll(kLineRight, 0);
            break;
        case QAbstractSlider::SliderPageStepSub:
            OnScaleBarScroll(kPageLeft, 0);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            OnScaleBarScroll(kPageRight, 0);
            break;
        case QAbstractSlider::SliderToMinimum:
        case QAbstractSlider::SliderToMaximum:
            // The ends (Home, End, the context menu's edges) leave the scale as it is.
            m_pScaleBar->setSliderPosition(m_pScaleBar->value());
            break;
        default:
            break;
        }
    });
    // The wheel and the context menu's "Scroll here" set the value without an action; they
    // go through the scroll handler too, as a thumb released at the new position, so the
    // paging always follows the scale.
    connect(m_pScaleBar, &QScrollBar::valueChanged, this, [this](int nValue) {
        if (!m_bInScaleScroll)
            OnScaleBarScroll(kThumbPosition, nValue);
    });
    connect(m_pScaleBar, &QScrollBar::sliderReleased, this,
            [this] { OnScaleBarScroll(kThumbPosition, m_pScaleBar->sliderPosition()); });
    connect(m_pScale, &QComboBox::activated, this, &CChildView::OnScaleChanged);
    connect(m_pPage, &QLineEdit::textChanged, this, &CChildView::ApplyPage);
    m_pPage->installEventFilter(this);
    m_pPlot->installEventFilter(this);
    m_pScaleBar->installEventFilter(this);
    auto button = [this](int nId, void (CChildView::*pHandler)()) {
        if (auto* p = qobject_cast<QPushButton*>(m_controls.value(nId)))
            connect(p, &QPushButton::clicked, this, pHandler);
    };
    button(res::IDC_FIRST_PAGE, &CChildView::OnFirstPage);
    button(res::IDC_PREV_PAGE, &CChildView::OnPrevPage);
    button(res::IDC_NEXT_PAGE, &CChildView::OnNextPage);
    button(res::IDC_LAST_PAGE, &CChildView::OnLastPage);
}

void CChildView::NameControls()
{
    const QHash<int, QString> names = res::ControlNames(res::IDD_MAINFORM);
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        if (auto* pLabel = qobject_cast<CStaticText*>(m_controls.value(it.key())))
            pLabel->SetAccessibleCaption(it.value());
        else if (QWidget* p = m_controls.value(it.key()))
            p->setAccessibleName(it.value());
    }
    // Over AT-SPI a drop-down list is named by its text and by the caption that labels it.
    for (QLabel* pCaption : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (pCaption->text() == m_pScale->accessibleName())
            pCaption->setBuddy(m_pScale);
    }
}

namespace {

// The curves' colours and widths as stored, in creation order.
struct CCurvePens
{
    std::uint32_t crColor[4];
    int nWidth[4];
};

CCurvePens ReadCurvePens()
{
    CCurvePens pens;
    const int nDefaultWidth[4] = {3, 3, 1, 1};
    for (int i = 0; i < 4; ++i) {
        pens.crColor[i] =
            static_cast<std::uint32_t>(ReadInt(settings::kSectionColor, kCurveOrder[i], 0));
        pens.nWidth[i] = ReadInt(settings::kSectionWidth, kCurveOrder[i], nDefaultWidth[i]);
    }
    return pens;
}

} // namespace

void CChildView::OnInitialUpdate()
{
    ForgetSteps();
    LoadBackground(QStringLiteral(":/images/bitmap%1.png").arg(res::IDB_BACKGROUND));
    m_pPlot->m_nGridRows = 10;
    m_pPlot->m_nGridCols = 6;
    {
        const QScopedValueRollback<bool> inScroll(m_bInScaleScroll, true);
        m_pScaleBar->setRange(kMinSecondsPerPixel, kMaxSecondsPerPixel);
        m_pScaleBar->setSingleStep(1);
        m_pScaleBar->setPageStep(1);
        m_pScaleBar->setValue(kMinSecondsPerPixel);
    }

    m_pPlot->m_brBack = QBrush(ColorFromRef(
        static_cast<std::uint32_t>(ReadInt(settings::kSectionApp, settings::kEntryBkColor, 0))));
    const CCurvePens pens = ReadCurvePens();
    StyleLabels(pens.crColor);
    UpdateVerticalAxes(ReadInt(settings::kSectionLimit, settings::kEntryMaxTemp, 0),
                       ReadInt(settings::kSectionLimit, settings::kEntryMinTemp, 0),
                       ReadInt(settings::kSectionLimit, settings::kEntryMaxHumi, 0),
                       ReadInt(settings::kSectionLimit, settings::kEntryMinHumi, 0));
    SetUpCurves(pens.crColor, pens.nWidth);

    // The title is read whether it is shown or not, so Hide Title later shows the stored text.
    CStaticText* pTitle = GetLabel(res::IDC_TITLE);
    pTitle->SetText(ReadSettingText(QString::fromLatin1(settings::kSectionApp),
                                    QString::fromLatin1(settings::kEntryTitle)));
    const bool bShowTitle = ReadInt(settings::kSectionApp, settings::kEntryHideTitle, 1) != 0;
    if (m_pUi)
        m_pUi->SetCommandChecked(res::ID_SET_HIDE_TITLE, !bShowTitle);
    pTitle->setVisible(bShowTitle);
    m_set.SetAlignment(ReadInt(settings::kSectionApp, settings::kEntryAlignment, 0) == 1
                           ? EAlignment::Starts
                           : EAlignment::ClockTime);
    m_bMarkSteps = ReadStoredMarkSteps();
    if (m_pUi)
        m_pUi->SetCommandChecked(res::ID_VIEW_MARK_STEPS, m_bMarkSteps);

    if (m_pScale->count() == 0)
        for (int i = 0; i < 8; ++i)
            m_pScale->insertItem(i, res::LoadString(res::IDS_SCALE_AUTO + i));
    m_pScale->setCurrentIndex(0);

    m_pager.Reset(0, m_pPlot->width(), kMinSecondsPerPixel);
    SetPageText(QStringLiteral("1"));
    m_pTotal->setText(QString::number(m_pager.GetTotalPages()));
    m_pPlot->m_bCrossHair = 1;
    update();
}

void CChildView::StyleLabels(const std::uint32_t (&crColor)[4])
{
    // In creation order: Temp PV, Humi PV, Temp SV, Humi SV.
    const std::uint32_t crTempPV = crColor[0];
    const std::uint32_t crHumiPV = crColor[1];
    const std::uint32_t crTempSV = crColor[2];
    const std::uint32_t crHumiSV = crColor[3];
    for (CStaticText* p : m_arrTempAxis) {
        p->SetFontSize(120);
        p->m_crText = crTempPV;
    }
    for (CStaticText* p : m_arrHumiAxis) {
        p->SetFontSize(120);
        p->m_crText = crHumiPV;
    }
    for (CStaticText* p : m_arrDateLabels) {
        p->SetFontSize(100);
        p->m_crText = kDateLabelColor;
    }
    for (CStaticText* p : m_arrTimeLabels) {
        p->SetFontSize(100);
        p->m_crText = 0;
    }
    for (int nId : {res::IDC_DATE, res::IDC_TIME}) {
        GetLabel(nId)->SetFontSize(180);
        GetLabel(nId)->m_crText = 0;
    }
    GetLabel(res::IDC_TEMP_PV)->SetFontSize(340);
    GetLabel(res::IDC_TEMP_PV)->m_crText = crTempPV;
    GetLabel(res::IDC_HUMI_PV)->SetFontSize(340);
    GetLabel(res::IDC_HUMI_PV)->m_crText = crHumiPV;
    GetLabel(res::IDC_TEMP_SV)->SetFontSize(140);
    GetLabel(res::IDC_TEMP_SV)->m_crText = crTempSV;
    GetLabel(res::IDC_HUMI_SV)->SetFontSize(140);
    GetLabel(res::IDC_HUMI_SV)->m_crText = crHumiSV;
}

void CChildView::SetUpCurves(const std::uint32_t (&crColor)[4], const int (&nWidth)[4])
{
    const int w = m_pPlot->width();
    for (int i = 0; i < 4; ++i) {
        const bool bSetValue = i >= 2;
        const bool bHumidity = i == 1 || i == 3;
        CCurve* pCurve =
            m_pPlot->AddCurve(kCurveOrder[i], crColor[i], bSetValue ? 2 : 0, nWidth[i]);
        pCurve->m_nAxis = bHumidity ? 1 : 0;
        m_pPlot->ResetCurve(pCurve);
        if (bHumidity)
            m_pPlot->SetVertRange(pCurve, 0.0f, 100.0f);
        else
            m_pPlot->SetVertRange(pCurve, -100.0f, 200.0f);
        m_pPlot->SetHorzRange(pCurve, 0.0f, static_cast<float>(w));
    }
}

void CChildView::UpdateVerticalAxes(int nMaxTemp, int nMinTemp, int nMaxHumi, int nMinHumi)
{
    // In 64 bits: limits typed into the store by hand may lie far apart or the wrong way
    // round, and then the labels simply count down.
    const std::int64_t nStepT = (static_cast<std::int64_t>(nMaxTemp) - nMinTemp) / 10;
    const std::int64_t nStepH = (static_cast<std::int64_t>(nMaxHumi) - nMinHumi) / 10;
    for (int i = 0; i < res::kAxisLabelCount; ++i) {
        m_arrTempAxis[i]->SetText(QString::number(nMinTemp + i * nStepT));
        m_arrHumiAxis[i]->SetText(QString::number(nMinHumi + i * nStepH));
    }
    for (const auto& pCurve : m_pPlot->m_arrCurves) {
        if (pCurve->m_nAxis) {
            pCurve->m_fVertMin = static_cast<float>(nMinHumi);
            pCurve->m_fVertMax = static_cast<float>(nMaxHumi);
        } else {
            pCurve->m_fVertMin = static_cast<float>(nMinTemp);
            pCurve->m_fVertMax = static_cast<float>(nMaxTemp);
        }
    }
}

const CChildView::CCommand* CChildView::FindCommand(int nId)
{
    static const CCommand kCommands[] = {
        {res::ID_FILE_OPEN, [](CChildView& v, int) { v.OpenRecorderFile(); }},
        {res::ID_FILE_IMPORT, [](CChildView& v, int) { v.OnFileImport(); }},
        {res::ID_FILE_ADD_RECORDING, [](CChildView& v, int) { v.OnAddRecording(); }},
        {res::ID_FILE_CLOSE, [](CChildView& v, int) { v.CloseRecorderFile(); }},
        {res::ID_FILE_SAVE_AS, [](CChildView& v, int) { v.OnFileSaveAs(); }},
        {res::ID_FILE_PRINT, [](CChildView& v, int) { v.OnFilePrint(); }},
        {res::ID_FILE_COPY_PICTURE, [](CChildView& v, int) { v.OnCopyPicture(); }},
        {res::ID_FILE_EXPORT, [](CChildView& v, int) { v.OnExport(); }},
        {res::ID_VIEW_STATISTICS, [](CChildView& v, int) { v.OnStatistics(); }},
        {res::ID_VIEW_PROGRAM_STEPS, [](CChildView& v, int) { v.OnProgramSteps(); }},
        {res::ID_VIEW_MARK_STEPS, [](CChildView& v, int) { v.OnMarkSteps(); }},
        {res::ID_VIEW_TEMP_PV, [](CChildView& v, int nId) { v.OnToggleCurve(nId); }},
        {res::ID_VIEW_HUMI_PV, [](CChildView& v, int nId) { v.OnToggleCurve(nId); }},
        {res::ID_VIEW_TEMP_SV, [](CChildView& v, int nId) { v.OnToggleCurve(nId); }},
        {res::ID_VIEW_HUMI_SV, [](CChildView& v, int nId) { v.OnToggleCurve(nId); }},
        {res::ID_VIEW_CLEAR_SELECTION, [](CChildView& v, int) { v.ClearSelection(); }},
        {res::ID_SET_LIMIT, [](CChildView& v, int) { v.OnLimit(); }},
        {res::ID_SET_COLOR, [](CChildView& v, int) { v.OnCurveColor(); }},
        {res::ID_SET_BKCOLOR, [](CChildView& v, int) { v.OnBackgroundColor(); }},
        {res::ID_SET_TITLE, [](CChildView& v, int) { v.OnTitle(); }},
        {res::ID_SET_HIDE_TITLE, [](CChildView& v, int) { v.OnHideTitle(); }},
    };
    for (const CCommand& command : kCommands)
        if (command.nId == nId)
            return &command;
    return nullptr;
}

bool CChildView::HasCommand(int nId) const
{
    return FindCommand(nId) != nullptr;
}

bool CChildView::OnCommand(int nId)
{
    const CCommand* pCommand = FindCommand(nId);
    if (!pCommand)
        return false;
    // While a file is read the command is refused, but no one else may run it either.
    if (!m_fileWork.IsBusy())
        pCommand->fnRun(*this, nId);
    return true;
}

void CChildView::dragEnterEvent(QDragEnterEvent* pEvent)
{
    const QList<QUrl> urls = pEvent->mimeData()->urls();
    if (m_fileWork.IsBusy() || urls.isEmpty() ||
        urls.size() > static_cast<qsizetype>(kMaxRecordings))
        return;
    for (const QUrl& url : urls)
        if (!url.isLocalFile() ||
            !url.toLocalFile().endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
            return;
    pEvent->acceptProposedAction();
}

void CChildView::dropEvent(QDropEvent* pEvent)
{
    const QList<QUrl> urls = pEvent->mimeData()->urls();
    if (m_fileWork.IsBusy() || urls.isEmpty() ||
        urls.size() > static_cast<qsizetype>(kMaxRecordings))
        return;
    QStringList paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            return;
        paths << url.toLocalFile();
    }
    pEvent->acceptProposedAction();
    // Opened after the drop has finished, so the source application is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, paths] { OpenRecorderPaths(paths); }, Qt::QueuedConnection);
}

void CChildView::WatchScaleBarMenu(QMenu* pMenu)
{
    // The scale bar's context menu sets "Scroll here", its first item, by value alone, and a
    // value already set changes nothing: the position still applies then, as a thumb released
    // there, once the menu has set it.
    connect(pMenu, &QMenu::triggered, this, [this, pMenu](QAction* pAction) {
        if (pAction != pMenu->actions().value(0))
            return;
        const int nBefore = m_pScaleBar->value();
        QMetaObject::invokeMethod(
            this,
            [this, nBefore] {
                if (m_pScaleBar->value() == nBefore)
                    OnScaleBarScroll(kThumbPosition, nBefore);
            },
            Qt::QueuedConnection);
    });
}

bool CChildView::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pPlot && pEvent->type() == QEvent::MouseMove) {
        // While a button is held after a press on the plot, Qt goes on sending it the moves
        // outside it too; only the pointer over the plot is read out.
        const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        const QPoint pt = pMouse->position().toPoint();
        if (m_pPlot->rect().contains(pt))
            ShowCursorValues(pt.x(), pt.y());
        OnPlotMouse(pEvent->type(), *pMouse);
    } else if (pWatched == m_pPlot && (pEvent->type() == QEvent::MouseButtonPress ||
                                       pEvent->type() == QEvent::MouseButtonRelease)) {
        if (OnPlotMouse(pEvent->type(), *static_cast<QMouseEvent*>(pEvent)))
            return true;
    } else if (pWatched == m_pPlot && pEvent->type() == QEvent::ContextMenu) {
        // The legend's own menu; elsewhere the plot has none.
        const auto* pMenuEvent = static_cast<QContextMenuEvent*>(pEvent);
        const int nMember = m_pPlot->LegendEntryAt(pMenuEvent->pos());
        if (nMember >= 0 && !m_fileWork.IsBusy()) {
            QMenu menu(this);
            FillLegendMenu(menu, static_cast<std::size_t>(nMember));
            menu.exec(pMenuEvent->globalPos());
            return true;
        }
    } else if (pWatched == m_pPage && pEvent->type() == QEvent::FocusOut) {
        // A popup opening (a context menu, the menu bar) leaves the focus in the box.
        const Qt::FocusReason eReason = static_cast<QFocusEvent*>(pEvent)->reason();
        if (eReason != Qt::PopupFocusReason && eReason != Qt::MenuBarFocusReason)
            OnPageBoxLostFocus();
    } else if (pWatched == m_pScaleBar && pEvent->type() == QEvent::ChildPolished) {
        if (auto* pMenu = qobject_cast<QMenu*>(static_cast<QChildEvent*>(pEvent)->child()))
            WatchScaleBarMenu(pMenu);
    } else if (pWatched == m_pScaleBar && pEvent->type() == QEvent::KeyPress) {
        // A scroll bar's controls run inverted, which turns Qt's Left and Right keys round;
        // Left lowers the scale and Right raises it, as the arrows beside the bar do.
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if (pKey->modifiers() == Qt::NoModifier &&
            (pKey->key() == Qt::Key_Left || pKey->key() == Qt::Key_Right)) {
            OnScaleBarScroll(pKey->key() == Qt::Key_Left ? kLineLeft : kLineRight, 0);
            return true;
        }
    }
    return CBitMapFormView::eventFilter(pWatched, pEvent);
}

CStatisticsWnd* CChildView::GetStatisticsWindow() const
{
    return m_pStatistics;
}

void CChildView::OnStatistics()
{
    if (!m_pStatistics) {
        m_pStatistics = new CStatisticsWnd(m_pShown, this);
        m_pStatistics->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_pStatistics->show();
    m_pStatistics->raise();
    m_pStatistics->activateWindow();
}
