// Menu 128 in the three languages. The item order of the File menu differs between them, and
// each template checks its own language.
#include "res/resource.h"
#include "res/resources.h"

#include <algorithm>

namespace res {

namespace {

QString Text(const char* pszUtf8)
{
    return QString::fromUtf8(pszUtf8);
}

CMenuItemDef Item(int nCommand, const char* pszText, bool bChecked = false)
{
    return {nCommand, Text(pszText), bChecked};
}

CMenuItemDef Separator()
{
    return {};
}

std::vector<CMenuPopupDef> MenuCHT()
{
    return {
        {Text("檔案(&F)"),
         {
             Item(ID_FILE_OPEN, "開啟檔案(&O)"),
             Item(ID_FILE_IMPORT, "匯入(&I)..."),
             Item(ID_FILE_ADD_RECORDING, "加入記錄(&R)..."),
             Item(ID_FILE_SAVE_AS, "另存圖檔(&A)"),
             Item(ID_FILE_COPY_PICTURE, "複製圖片(&Y)"),
             Item(ID_FILE_CLOSE, "關閉檔案(&C)"),
             Item(ID_FILE_PRINT, "列印文件(&P)"),
             Separator(),
             Separator(),
             Item(ID_APP_EXIT, "結束程式(&X)"),
         }},
        {Text("檢視(&V)"),
         {
             Item(ID_VIEW_TEMP_PV, "顯示溫度", true),
             Item(ID_VIEW_HUMI_PV, "顯示濕度", true),
             Item(ID_VIEW_TEMP_SV, "顯示溫度設定值", true),
             Item(ID_VIEW_HUMI_SV, "顯示濕度設定值", true),
             Separator(),
             Item(ID_VIEW_STATISTICS, "統計(&T)..."),
             Item(ID_VIEW_PROGRAM_STEPS, "程式段(&P)..."),
             Item(ID_VIEW_MARK_STEPS, "標示程式段(&M)"),
             Item(ID_VIEW_UNIFORMITY, "均勻度(&U)..."),
         }},
        {Text("設定(&S)"),
         {
             Item(ID_SET_COLOR, "曲線顏色/線條樣式"),
             Item(ID_SET_BKCOLOR, "曲線背景顏色設定"),
             Item(ID_SET_LIMIT, "曲線顯示刻度設定"),
             Separator(),
             Item(ID_SET_TITLE, "設定曲線標題"),
             Item(ID_SET_HIDE_TITLE, "隱藏曲線標題"),
         }},
        {Text("語言(&L)"),
         {
             Item(ID_LANG_CHT, "繁體中文", true),
             Item(ID_LANG_CHS, "简体中文"),
             Item(ID_LANG_ENG, "English"),
         }},
        {Text("說明(&H)"),
         {
             Item(ID_HELP_FINDER, "說明主題(&H)"),
             Item(ID_HELP_CONTACT, "聯繫我們(&C)"),
             Separator(),
             Item(ID_APP_ABOUT, "關於....(&A)"),
         }},
    };
}

std::vector<CMenuPopupDef> MenuENG()
{
    return {
        {Text("File(&F)"),
         {
             Item(ID_FILE_OPEN, "Open(&O)"),
             Item(ID_FILE_IMPORT, "Import(&I)..."),
             Item(ID_FILE_ADD_RECORDING, "Add Recording(&R)..."),
             Item(ID_FILE_SAVE_AS, "Save as JPG..(&A)"),
             Item(ID_FILE_COPY_PICTURE, "Copy Picture(&Y)"),
             Item(ID_FILE_PRINT, "Print(&P)"),
             Item(ID_FILE_CLOSE, "Close(&C)"),
             Separator(),
             Separator(),
             Item(ID_APP_EXIT, "Exit(&X)"),
         }},
        {Text("View(&V)"),
         {
             Item(ID_VIEW_TEMP_PV, "Temp PV Curve", true),
             Item(ID_VIEW_HUMI_PV, "Humi PV Curve", true),
             Item(ID_VIEW_TEMP_SV, "Temp SV Curve", true),
             Item(ID_VIEW_HUMI_SV, "Humi SV Curve", true),
             Separator(),
             Item(ID_VIEW_STATISTICS, "Statistics(&T)..."),
             Item(ID_VIEW_PROGRAM_STEPS, "Program Steps(&P)..."),
             Item(ID_VIEW_MARK_STEPS, "Mark Steps(&M)"),
             Item(ID_VIEW_UNIFORMITY, "Uniformity(&U)..."),
         }},
        {Text("Set(&S)"),
         {
             Item(ID_SET_COLOR, "Curve Color/Line Pattern"),
             Item(ID_SET_BKCOLOR, "Background Color"),
             Item(ID_SET_LIMIT, "Limit"),
             Separator(),
             Item(ID_SET_TITLE, "Title"),
             Item(ID_SET_HIDE_TITLE, "Hide Title"),
         }},
        {Text("Language(&L)"),
         {
             Item(ID_LANG_CHT, "繁體中文"),
             Item(ID_LANG_CHS, "简体中文"),
             Item(ID_LANG_ENG, "English", true),
         }},
        {Text("Help(&H)"),
         {
             Item(ID_HELP_FINDER, "Help Topics(&H)"),
             Item(ID_HELP_CONTACT, "Contact Us(&C)"),
             Separator(),
             Item(ID_APP_ABOUT, "About....(&A)"),
         }},
    };
}

std::vector<CMenuPopupDef> MenuCHS()
{
    return {
        {Text("档案(&F)"),
         {
             Item(ID_FILE_OPEN, "打开(&O)"),
             Item(ID_FILE_IMPORT, "导入(&I)..."),
             Item(ID_FILE_ADD_RECORDING, "加入记录(&R)..."),
             Item(ID_FILE_SAVE_AS, "另存图档(&A)"),
             Item(ID_FILE_COPY_PICTURE, "复制图片(&Y)"),
             Item(ID_FILE_PRINT, "打印文件(&P)"),
             Item(ID_FILE_CLOSE, "关闭档案(&C)"),
             Separator(),
             Separator(),
             Item(ID_APP_EXIT, "结束程序(&X)"),
         }},
        {Text("检视(&V)"),
         {
             Item(ID_VIEW_TEMP_PV, "显示温度", true),
             Item(ID_VIEW_HUMI_PV, "显示湿度", true),
             Item(ID_VIEW_TEMP_SV, "显示温度设定值", true),
             Item(ID_VIEW_HUMI_SV, "显示湿度设定值", true),
             Separator(),
             Item(ID_VIEW_STATISTICS, "统计(&T)..."),
             Item(ID_VIEW_PROGRAM_STEPS, "程序段(&P)..."),
             Item(ID_VIEW_MARK_STEPS, "标示程序段(&M)"),
             Item(ID_VIEW_UNIFORMITY, "均匀度(&U)..."),
         }},
        {Text("设定(&S)"),
         {
             Item(ID_SET_COLOR, "曲线颜色/线条样式"),
             Item(ID_SET_BKCOLOR, "曲线背景颜色设定"),
             Item(ID_SET_LIMIT, "曲线显示刻度设定"),
             Separator(),
             Item(ID_SET_TITLE, "设定曲线标题"),
             Item(ID_SET_HIDE_TITLE, "隐藏曲线标题"),
         }},
        {Text("语言(&L)"),
         {
             Item(ID_LANG_CHT, "繁體中文"),
             Item(ID_LANG_CHS, "简体中文", true),
             Item(ID_LANG_ENG, "English"),
         }},
        {Text("说明(&H)"),
         {
             Item(ID_HELP_FINDER, "说明主题(&H)"),
             Item(ID_HELP_CONTACT, "联系我们(&C)"),
             Separator(),
             Item(ID_APP_ABOUT, "关于....(&A)"),
         }},
    };
}

// File > Export goes between the two separators before Exit, View > Clear Selection last.
void AddStretchItems(std::vector<CMenuPopupDef>& menu, const char* pszExport, const char* pszClear)
{
    std::vector<CMenuItemDef>& file = menu[0].items;
    const auto exit = std::find_if(file.begin(), file.end(), [](const CMenuItemDef& item) {
        return item.nCommand == ID_APP_EXIT;
    });
    file.insert(exit - 1, Item(ID_FILE_EXPORT, pszExport));
    menu[1].items.push_back(Item(ID_VIEW_CLEAR_SELECTION, pszClear));
}

std::vector<CMenuPopupDef> WithStretchItems(std::vector<CMenuPopupDef> menu, int nLangId)
{
    switch (nLangId) {
    case kLangCHT:
        AddStretchItems(menu, "匯出(&E)...", "清除選取(&N)");
        break;
    case kLangCHS:
        AddStretchItems(menu, "导出(&E)...", "清除选择(&N)");
        break;
    default:
        AddStretchItems(menu, "Export(&E)...", "Clear Selection(&N)");
        break;
    }
    return menu;
}

} // namespace

std::vector<CMenuPopupDef> LoadMenu(int nId, int nLangId)
{
    if (nId != IDR_MAINFRAME)
        return {};
    static const std::vector<CMenuPopupDef> menuCHT = WithStretchItems(MenuCHT(), kLangCHT);
    static const std::vector<CMenuPopupDef> menuENG = WithStretchItems(MenuENG(), kLangENG);
    static const std::vector<CMenuPopupDef> menuCHS = WithStretchItems(MenuCHS(), kLangCHS);
    switch (nLangId) {
    case kLangCHT:
        return menuCHT;
    case kLangENG:
        return menuENG;
    case kLangCHS:
        return menuCHS;
    default:
        return {};
    }
}

std::vector<CMenuPopupDef> LoadMenu(int nId)
{
    return LoadMenu(nId, ActiveLanguage());
}

const std::vector<int>& ToolbarCommands()
{
    // Eleven picture buttons; 0 is a separator. Bitmap 131 holds their images in this order.
    static const std::vector<int> commands = {ID_FILE_OPEN,
                                              ID_FILE_SAVE_AS,
                                              ID_FILE_PRINT,
                                              0,
                                              ID_SET_LIMIT,
                                              ID_SET_COLOR,
                                              ID_SET_BKCOLOR,
                                              0,
                                              ID_VIEW_TEMP_PV,
                                              ID_VIEW_HUMI_PV,
                                              ID_VIEW_TEMP_SV,
                                              ID_VIEW_HUMI_SV,
                                              0,
                                              ID_APP_ABOUT};
    return commands;
}

} // namespace res
