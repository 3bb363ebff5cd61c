// Dialog templates 100, 130, 135, 136 and 137 in the three languages. The variants of one
// template share their controls and tab order; only texts and a few positions differ.
#include "res/resource.h"
#include "res/resources.h"
#include "res/version.h"

#include <QHash>
#include <QStringList>

namespace res {

namespace {

const char* const kDialogFace = "細明體";

QString Text(const char* pszUtf8)
{
    return QString::fromUtf8(pszUtf8);
}

CControlDef Control(int nId, EControlKind eKind, unsigned nStyle, QRect rcDlu,
                    const char* pszText = "")
{
    return {nId, eKind, nStyle, rcDlu, Text(pszText)};
}

// A fixed caption: a static without id.
CControlDef Caption(unsigned nStyle, QRect rcDlu, const char* pszText)
{
    return Control(kIdStatic, EControlKind::Static, nStyle, rcDlu, pszText);
}

CControlDef Label(int nId, unsigned nStyle, QRect rcDlu, const char* pszText = "")
{
    return Control(nId, EControlKind::Static, nStyle, rcDlu, pszText);
}

CControlDef Button(int nId, QRect rcDlu, const char* pszText, bool bDefault = false)
{
    return Control(nId, bDefault ? EControlKind::DefPushButton : EControlKind::PushButton,
                   kStyleTabStop, rcDlu, pszText);
}

// ---- 100: about box ----

struct CAboutTexts
{
    const char* pszCaption;
    const char* pszOk;
    const char* pszContact;
};

CDialogDef AboutBox(const CAboutTexts& t)
{
    CDialogDef def{IDD_ABOUTBOX, QSize(235, 55), Text(kDialogFace), 9, Text(t.pszCaption), {}};
    def.controls = {
        Control(kIdStatic, EControlKind::Icon, kStyleLeft, QRect(11, 17, 20, 20)),
        {kIdStatic, EControlKind::Static, kStyleLeft | kStyleNoPrefix | kStyleGroup,
         QRect(40, 10, 119, 8),
         QStringLiteral("%1 %2").arg(QLatin1String(kApplicationName), QLatin1String(kVersion))},
        Caption(kStyleLeft | kStyleGroup, QRect(40, 25, 119, 8), "Mirevale Studio"),
        Control(IDC_OK, EControlKind::DefPushButton, kStyleTabStop | kStyleGroup,
                QRect(178, 7, 50, 16), t.pszOk),
        Caption(kStyleLeft | kStyleGroup, QRect(40, 40, 119, 8), t.pszContact),
    };
    return def;
}

// ---- 130: main form ----

struct CMainFormTexts
{
    const char* pszFileName;
    const char* pszTemp;
    const char* pszHumi;
    const char* pszDateTime;
    const char* pszViewSetting;
    const char* pszSetScale;
    const char* pszSetPage;
    const char* pszTotal;
    const char* pszPage;
    // The Chinese captions are narrower, so the two boxes beside them move left.
    int nSetScaleWidth;
    int nScaleChoiceX;
    int nPageBoxX;
    int nPageWidth;
};

// Names for assistive technology of the form's controls that no caption of the form names.
struct CMainFormNames
{
    const char* pszScaleBar;
    const char* pszFirstPage;
    const char* pszPrevPage;
    const char* pszNextPage;
    const char* pszLastPage;
};

// A caption as a name: without the colon that ends it.
QString CaptionName(const char* pszCaption)
{
    QString str = Text(pszCaption);
    while (str.endsWith(QChar(0xFF1A)) || str.endsWith(u':'))
        str.chop(1);
    return str.trimmed();
}

// The names a screen reader announces for the main form's readouts, boxes and buttons, taken
// from the form's own captions where it has them.
QHash<int, QString> MainFormNames(const CMainFormTexts& t, const CMainFormNames& n)
{
    const QString strTemp = Text(t.pszTemp);
    const QString strHumi = Text(t.pszHumi);
    const QStringList arrDateTime = Text(t.pszDateTime).split(u'/');
    return {
        {IDC_FILENAME, CaptionName(t.pszFileName)},
        {IDC_TEMP_PV, strTemp + QStringLiteral(" PV")},
        {IDC_TEMP_SV, strTemp + QStringLiteral(" SV")},
        {IDC_HUMI_PV, strHumi + QStringLiteral(" PV")},
        {IDC_HUMI_SV, strHumi + QStringLiteral(" SV")},
        {IDC_DATE, arrDateTime.value(0)},
        {IDC_TIME, arrDateTime.value(1, arrDateTime.value(0))},
        {IDC_SCALE, CaptionName(t.pszSetScale)},
        {IDC_SCALEBAR, Text(n.pszScaleBar)},
        {IDC_PAGE, CaptionName(t.pszSetPage)},
        {IDC_TOTAL_PAGES, CaptionName(t.pszTotal)},
        {IDC_FIRST_PAGE, Text(n.pszFirstPage)},
        {IDC_PREV_PAGE, Text(n.pszPrevPage)},
        {IDC_NEXT_PAGE, Text(n.pszNextPage)},
        {IDC_LAST_PAGE, Text(n.pszLastPage)},
    };
}

CDialogDef MainForm(const CMainFormTexts& t)
{
    CDialogDef def{IDD_MAINFORM, QSize(508, 308), Text(kDialogFace), 12, QString(), {}};
    std::vector<CControlDef>& c = def.controls;

    c.push_back(Caption(kStyleLeft, QRect(4, 4, 41, 12), t.pszFileName));
    c.push_back(Label(IDC_FILENAME, kStyleLeft | kStyleVCenter, QRect(48, 4, 124, 12)));
    c.push_back(Label(IDC_TITLE, kStyleLeft | kStyleVCenter, QRect(176, 4, 228, 12)));

    // Axis labels, top label first; label i counts from the bottom and is centred on the
    // grid line 10 - i rows from the top of the plot.
    for (int i = kAxisLabelCount - 1; i >= 0; --i) {
        c.push_back({IDC_TEMP_AXIS0 + i, EControlKind::Static, kStyleRight,
                     QRect(3, 24 + 20 * (10 - i), 16, 8), QString::number(-100 + 30 * i)});
    }
    for (int i = kAxisLabelCount - 1; i >= 0; --i) {
        c.push_back({IDC_HUMI_AXIS0 + i, EControlKind::Static, kStyleRight,
                     QRect(28, 24 + 20 * (10 - i), 14, 8), QString::number(10 * i)});
    }

    c.push_back(Label(IDC_PLOT, kStyleNotify, QRect(44, 28, 360, 200)));
    c.push_back(Control(IDC_SCALEBAR, EControlKind::HScrollBar, 0, QRect(44, 228, 360, 11)));

    for (int k = 0; k < kTimeLabelCount; ++k) {
        c.push_back({IDC_TIME_LABEL0 + k, EControlKind::Static, kStyleCenter,
                     QRect(30 + 59 * k, 242, 28, 8),
                     QStringLiteral("0000:%1").arg(2 * k, 2, 10, QLatin1Char('0'))});
    }
    for (int k = 0; k < kTimeLabelCount; ++k) {
        c.push_back({IDC_DATE_LABEL0 + k, EControlKind::Static, kStyleCenter,
                     QRect(22 + 59 * k, 254, 40, 8),
                     QStringLiteral("2007-09-%1").arg(k + 1, 2, 10, QLatin1Char('0'))});
    }

    c.push_back(Caption(kStyleCenter, QRect(410, 5, 96, 13), t.pszTemp));
    c.push_back(Label(IDC_TEMP_PV, kStyleRight | kStyleVCenter, QRect(416, 28, 72, 24), "100.00"));
    c.push_back(Label(IDC_TEMP_SV, kStyleLeft, QRect(475, 20, 32, 12), "100.00"));
    c.push_back(Caption(kStyleRight, QRect(492, 39, 12, 12), "℃"));

    c.push_back(Caption(kStyleCenter, QRect(410, 56, 96, 13), t.pszHumi));
    c.push_back(Label(IDC_HUMI_PV, kStyleRight | kStyleVCenter, QRect(416, 79, 72, 24), "100.00"));
    c.push_back(Label(IDC_HUMI_SV, kStyleLeft, QRect(475, 71, 32, 12), "100.00"));
    c.push_back(Caption(kStyleRight, QRect(492, 89, 12, 12), "RH%"));

    c.push_back(Caption(kStyleCenter, QRect(410, 106, 96, 13), t.pszDateTime));
    c.push_back(
        Label(IDC_DATE, kStyleCenter | kStyleVCenter, QRect(419, 120, 80, 20), "2007-08-27"));
    c.push_back(Label(IDC_TIME, kStyleCenter | kStyleVCenter, QRect(419, 136, 80, 20), "23:59:59"));

    c.push_back(Caption(kStyleCenter, QRect(410, 164, 96, 13), t.pszViewSetting));
    c.push_back(Caption(kStyleLeft, QRect(422, 184, t.nSetScaleWidth, 12), t.pszSetScale));
    // The height includes the open list.
    c.push_back(Control(IDC_SCALE, EControlKind::DropList, kStyleVScroll | kStyleTabStop,
                        QRect(t.nScaleChoiceX, 184, 44, 447)));
    c.push_back(Caption(kStyleLeft, QRect(421, 202, 32, 12), t.pszSetPage));
    c.push_back(Control(IDC_PAGE, EControlKind::Edit,
                        kStyleBorder | kStyleAutoHScroll | kStyleTabStop,
                        QRect(t.nPageBoxX, 202, 44, 12)));
    c.push_back(Caption(kStyleLeft, QRect(421, 220, 24, 12), t.pszTotal));
    c.push_back(Control(IDC_TOTAL_PAGES, EControlKind::Edit,
                        kStyleReadOnly | kStyleBorder | kStyleTabStop, QRect(444, 220, 44, 12)));
    c.push_back(Caption(kStyleLeft, QRect(492, 220, t.nPageWidth, 12), t.pszPage));

    c.push_back(Button(IDC_FIRST_PAGE, QRect(207, 275, 20, 20), "|<"));
    c.push_back(Button(IDC_PREV_PAGE, QRect(227, 275, 20, 20), "<"));
    c.push_back(Button(IDC_NEXT_PAGE, QRect(247, 275, 20, 20), ">"));
    c.push_back(Button(IDC_LAST_PAGE, QRect(267, 275, 20, 20), ">|"));
    return def;
}

// ---- 135: limit dialog ----

struct CLimitTexts
{
    const char* pszCaption;
    const char* pszOk;
    const char* pszCancel;
    const char* pszDown;
    const char* pszUp;
    const char* pszTemp;
    const char* pszHumi;
};

CDialogDef LimitDialog(const CLimitTexts& t)
{
    constexpr unsigned kBox = kStyleBorder | kStyleAutoHScroll | kStyleTabStop;
    CDialogDef def{IDD_LIMIT, QSize(240, 120), Text(kDialogFace), 12, Text(t.pszCaption), {}};
    // OK comes first in tab order, so the dialog opens with the focus on it.
    def.controls = {
        Button(IDC_OK, QRect(41, 97, 50, 14), t.pszOk, true),
        Button(IDC_CANCEL, QRect(145, 97, 50, 14), t.pszCancel),
        Caption(kStyleLeft, QRect(59, 18, 40, 8), t.pszDown),
        Caption(kStyleLeft, QRect(133, 18, 44, 8), t.pszUp),
        Caption(kStyleLeft, QRect(33, 31, 17, 8), t.pszTemp),
        Control(IDC_MIN_TEMP, EControlKind::Edit, kBox, QRect(59, 28, 40, 14)),
        Caption(kStyleLeft, QRect(102, 32, 21, 8), "x10 ~"),
        Control(IDC_MAX_TEMP, EControlKind::Edit, kBox, QRect(133, 28, 40, 14)),
        Caption(kStyleLeft, QRect(176, 35, 13, 8), "x10"),
        Caption(kStyleLeft, QRect(32, 57, 17, 8), t.pszHumi),
        Control(IDC_MIN_HUMI, EControlKind::Edit, kBox, QRect(58, 54, 40, 14)),
        Caption(kStyleLeft, QRect(101, 57, 21, 8), "x10 ~"),
        Control(IDC_MAX_HUMI, EControlKind::Edit, kBox, QRect(133, 54, 40, 14)),
        Caption(kStyleLeft, QRect(176, 59, 13, 8), "x10"),
    };
    return def;
}

// ---- 136: title dialog ----

struct CTitleTexts
{
    const char* pszCaption;
    const char* pszOk;
    const char* pszCancel;
    const char* pszPrompt;
};

CDialogDef TitleDialog(const CTitleTexts& t)
{
    CDialogDef def{IDD_TITLE, QSize(200, 100), Text(kDialogFace), 12, Text(t.pszCaption), {}};
    // The edit comes first in tab order, so it has the focus when the dialog opens.
    def.controls = {
        Control(IDC_TITLE_EDIT, EControlKind::Edit,
                kStyleBorder | kStyleAutoHScroll | kStyleTabStop, QRect(4, 28, 192, 12)),
        Button(IDC_OK, QRect(11, 77, 48, 16), t.pszOk, true),
        Button(IDC_CANCEL, QRect(141, 77, 48, 16), t.pszCancel),
        Caption(kStyleLeft, QRect(4, 12, 110, 8), t.pszPrompt),
    };
    return def;
}

// ---- 137: curve colour and line width dialog ----

struct CColorTexts
{
    const char* pszCaption;
    const char* pszOk;
    const char* pszCancel;
    const char* pszTempCurve;
    const char* pszHumiCurve;
    const char* pszSolid;
    const char* pszDotted;
    const char* pszLineSize;
    const char* pszPixels;
    // Row texts of Temp PV, Temp SV, Humi PV, Humi SV; the swatches and Cancel move with them.
    QRect rcRowText[4];
    int nSwatchX;
    int nCancelX;
};

CDialogDef ColorDialog(const CColorTexts& t)
{
    CDialogDef def{IDD_COLOR, QSize(269, 201), Text(kDialogFace), 12, Text(t.pszCaption), {}};
    std::vector<CControlDef>& c = def.controls;
    c.push_back(Button(IDC_OK, QRect(56, 172, 48, 16), t.pszOk, true));
    c.push_back(Button(IDC_CANCEL, QRect(t.nCancelX, 172, 48, 16), t.pszCancel));

    struct CRow
    {
        int nSwatch;
        int nWidthBox;
        const char* pszText;
    };
    const CRow rows[4] = {{IDC_SWATCH_TEMP_PV, IDC_WIDTH_TEMP_PV, t.pszSolid},
                          {IDC_SWATCH_TEMP_SV, IDC_WIDTH_TEMP_SV, t.pszDotted},
                          {IDC_SWATCH_HUMI_PV, IDC_WIDTH_HUMI_PV, t.pszSolid},
                          {IDC_SWATCH_HUMI_SV, IDC_WIDTH_HUMI_SV, t.pszDotted}};
    for (int r = 0; r < 4; ++r) {
        if (r == 0)
            c.push_back(Caption(kStyleLeft, QRect(12, 12, 45, 12), t.pszTempCurve));
        if (r == 2)
            c.push_back(Caption(kStyleLeft, QRect(12, 80, 48, 12), t.pszHumiCurve));
        const int y = t.rcRowText[r].y();
        c.push_back(Caption(kStyleLeft, t.rcRowText[r], rows[r].pszText));
        c.push_back(Control(rows[r].nSwatch, EControlKind::Frame, kStyleNotify,
                            QRect(t.nSwatchX, y, 14, 12)));
        c.push_back(Caption(kStyleLeft, QRect(115, y, 37, 12), t.pszLineSize));
        c.push_back(Control(rows[r].nWidthBox, EControlKind::Edit,
                            kStyleNumber | kStyleBorder | kStyleAutoHScroll | kStyleTabStop,
                            QRect(156, y, 40, 12)));
        c.push_back(Caption(kStyleLeft, QRect(200, y, 45, 12), t.pszPixels));
    }
    return def;
}

// ---- the three languages ----

struct CLanguageDialogs
{
    int nLangId;
    CDialogDef def;
    QHash<int, QString> names; // of controls, for assistive technology
};

std::vector<CLanguageDialogs> BuildDialogs()
{
    std::vector<CLanguageDialogs> all;
    auto add = [&all](int nLangId, CDialogDef def, QHash<int, QString> names = {}) {
        all.push_back({nLangId, std::move(def), std::move(names)});
    };

    add(kLangCHT, AboutBox({"關於 Trendora", "確定", "技術支援：請參閱 README"}));
    add(kLangENG, AboutBox({"About Trendora", "OK", "Support: see README"}));
    add(kLangCHS, AboutBox({"关于 Trendora", "确定", "技术支持：请参阅 README"}));

    const CMainFormTexts formCHT{"曲線檔名：", "溫度", "濕度", "日期/時間", "顯示設定", "顯示刻度",
                                 "顯示頁碼", "總共：", "頁", 32, 457, 456, 8};
    const CMainFormTexts formENG{"File Name：", "Temp", "Humi", "Date/Time", "View Setting",
                                 "Set Scale", "Set Page", "Total：", "Pg.", 38, 461, 461, 15};
    const CMainFormTexts formCHS{"曲线文档：", "温度", "湿度", "日期/时间", "显示设定", "显示刻度",
                                 "显示页码", "总共：", "页", 32, 457, 456, 8};
    add(kLangCHT, MainForm(formCHT),
        MainFormNames(formCHT, {"每像素秒數", "第一頁", "上一頁", "下一頁", "最後一頁"}));
    add(kLangENG, MainForm(formENG),
        MainFormNames(formENG, {"Seconds per Pixel", "First Page", "Previous Page", "Next Page",
                                "Last Page"}));
    add(kLangCHS, MainForm(formCHS),
        MainFormNames(formCHS, {"每像素秒数", "第一页", "上一页", "下一页", "最后一页"}));

    add(kLangCHT,
        LimitDialog({"曲線顯示刻度設定", "確定", "取消", "下限", "上限", "溫度", "濕度"}));
    add(kLangENG,
        LimitDialog({"Limit Setting", "OK", "Cancel", "Limit Down", "Limit Up", "Temp", "Humi"}));
    add(kLangCHS,
        LimitDialog({"曲线显示刻度设定", "确定", "取消", "下限", "上限", "温度", "湿度"}));

    add(kLangCHT, TitleDialog({"設定曲線標題", "確定", "取消", "請輸入標題"}));
    add(kLangENG, TitleDialog({"Title Setting", "OK", "Cancel", "Input Your Title"}));
    add(kLangCHS, TitleDialog({"设定曲线标题", "确定", "取消", "请输入标题"}));

    // The Chinese row texts are shorter: they start further right, with the swatches closer.
    const QRect rcChineseRows[4] = {QRect(34, 28, 44, 12), QRect(34, 52, 44, 12),
                                    QRect(34, 104, 44, 12), QRect(34, 128, 44, 12)};
    add(kLangCHT,
        ColorDialog({"曲線顏色/線條樣式",
                     "確定",
                     "取消",
                     "溫度曲線",
                     "濕度曲線",
                     "實線(PV)",
                     "虛線(SV)",
                     "線條粗細",
                     "(1~10)像素",
                     {rcChineseRows[0], rcChineseRows[1], rcChineseRows[2], rcChineseRows[3]},
                     84,
                     164}));
    add(kLangENG, ColorDialog({"Curve Color/Line Pattern",
                               "OK",
                               "Cancel",
                               "Temp Curve",
                               "Humi Curve",
                               "Solid Line(PV)",
                               "Dotted Line(SV)",
                               "Line Size",
                               "(1~10)pixel",
                               {QRect(26, 28, 58, 12), QRect(22, 52, 61, 12),
                                QRect(26, 104, 61, 12), QRect(22, 128, 61, 12)},
                               88,
                               156}));
    add(kLangCHS,
        ColorDialog({"曲线颜色/线条样式",
                     "确定",
                     "取消",
                     "温度曲线",
                     "湿度曲线",
                     "实线(PV)",
                     "虚线(SV)",
                     "线条粗细",
                     "(1~10)像素",
                     {rcChineseRows[0], rcChineseRows[1], rcChineseRows[2], rcChineseRows[3]},
                     84,
                     164}));
    return all;
}

const CLanguageDialogs* FindEntry(int nId, int nLangId)
{
    static const std::vector<CLanguageDialogs> dialogs = BuildDialogs();
    for (const CLanguageDialogs& entry : dialogs) {
        if (entry.nLangId == nLangId && entry.def.nId == nId)
            return &entry;
    }
    return nullptr;
}

} // namespace

const CDialogDef* FindDialog(int nId, int nLangId)
{
    const CLanguageDialogs* pEntry = FindEntry(nId, nLangId);
    return pEntry ? &pEntry->def : nullptr;
}

const CDialogDef* FindDialog(int nId)
{
    return FindDialog(nId, ActiveLanguage());
}

QHash<int, QString> ControlNames(int nId, int nLangId)
{
    const CLanguageDialogs* pEntry = FindEntry(nId, nLangId);
    return pEntry ? pEntry->names : QHash<int, QString>();
}

QHash<int, QString> ControlNames(int nId)
{
    return ControlNames(nId, ActiveLanguage());
}

} // namespace res
