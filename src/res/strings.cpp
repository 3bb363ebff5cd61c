// The string tables. Texts are UTF-8 in this file and become QString on lookup.
#include "res/resource.h"
#include "res/resources.h"

#include <span>

namespace res {

namespace {

struct CStringEntry
{
    int nId;
    const char* pszText;
};

// Command prompts hold the status-bar text and, after the line break, the tooltip.

constexpr CStringEntry kStringsCHT[] = {
    // The OLE message is the same in both Chinese tables.
    {IDS_OLE_INIT_FAILED, "OLE 初始化失敗。請確認 OLE 程式庫的版本是否正確。"},
    {IDS_LIMIT_ORDER, "輸入錯誤，上限必須大於下限，\n請重新輸入數值。"},
    {IDS_SCALE_AUTO, "自動"},
    {IDS_SCALE_1HOUR, "1時"},
    {IDS_SCALE_2HOUR, "2時"},
    {IDS_SCALE_4HOUR, "4時"},
    {IDS_SCALE_8HOUR, "8時"},
    {IDS_SCALE_1DAY, "1天"},
    {IDS_SCALE_1WEEK, "1週"},
    {IDS_SCALE_1MONTH, "1月"},
    {IDS_OPEN_READING, "正在讀取 %1"},
    {IDS_OPEN_CANNOT_READ, "無法讀取 %1。\n\n%2"},
    {IDS_OPEN_NO_RECORD, "%1 中沒有記錄。\n\n%2\n\n畫面上的曲線保持不變。"},
    {IDS_OPEN_NO_READABLE, "%1 中沒有可讀取的記錄。\n\n%2\n\n畫面上的曲線保持不變。"},
    {IDS_OPEN_INVALID_RECORD, "讀取 %1 時在第 %2 行停止：該行的記錄無效。\n\n%3\n\n已顯示該行之前的記錄。"},
    {IDS_OPEN_SPAN_REFUSED, "讀取 %1 時在第 %2 行停止：該行的時間距第一筆記錄太遠。\n\n%3\n\n已顯示該行之前的記錄。"},
    {IDS_OPEN_OUT_OF_MEMORY, "讀取 %1 時在第 %2 行停止：記憶體不足。\n\n%3\n\n已顯示該行之前的記錄。"},
    {ID_FILE_OPEN, "開啟現有文件\n開啟舊檔"},
    {ID_FILE_CLOSE, "關閉使用中文件\n關閉檔案"},
    {ID_FILE_SAVE_AS, "儲存使用中文件\n儲存檔案"},
    {ID_FILE_PRINT, "列印使用中文件\n列印"},
    {ID_SET_LIMIT, "曲線顯示刻度設定\n曲線刻度"},
    {ID_SET_COLOR, "曲線顯示顏色&線條樣式設定\n曲線顏色&線條樣式設定"},
    {ID_SET_BKCOLOR, "曲線背景顏色設定\n曲線背景顏色"},
    {ID_VIEW_TEMP_PV, "溫度曲線\n溫度曲線"},
    {ID_VIEW_HUMI_PV, "濕度曲線\n濕度曲線"},
    {ID_VIEW_TEMP_SV, "溫度設定值曲線\n溫度設定值曲線"},
    {ID_VIEW_HUMI_SV, "濕度設定值曲線\n濕度設定值曲線"},
    {ID_APP_ABOUT, "顯示程式資訊、版本號碼及著作權\n關於"},
    {ID_APP_EXIT, "結束應用程式; 提示使用者儲存文件\n結束"},
    {ID_HELP_FINDER, "列出說明主題\n說明主題"},
    {IDS_SAVE_UNKNOWN_FORMAT, "%1 未儲存：不支援的圖檔格式「%2」。"},
    {IDS_SAVE_TOO_SMALL, "%1 未儲存：視窗太小，容不下圖片。"},
    {IDS_SAVE_FAILED, "%1 未儲存：%2"},
    {IDS_PRINT_NOT_STARTED, "無法開始列印。"},
    {IDS_PRINT_FAILED, "列印失敗。"},
    {ID_VIEW_STATISTICS, "顯示整個記錄與本頁的最小值、最大值、平均值及偏差\n統計"},
    {ID_FILE_COPY_PICTURE, "將畫面上的圖片複製到剪貼簿\n複製圖片"},
    {IDS_STAT_CAPTION, "統計"},
    {IDS_STAT_WHOLE, "整個記錄"},
    {IDS_STAT_PAGE, "本頁"},
    {IDS_STAT_CURVE, "曲線"},
    {IDS_STAT_FIGURE, "項目"},
    {IDS_STAT_MINIMUM, "最小值"},
    {IDS_STAT_MAXIMUM, "最大值"},
    {IDS_STAT_AT, "發生時間"},
    {IDS_STAT_MEAN, "平均值"},
    {IDS_STAT_WITHIN, "與設定值相差 ±%1 以內"},
    {IDS_STAT_LARGEST, "最大偏差 (PV − SV)"},
    {IDS_STAT_TEMP, "溫度"},
    {IDS_STAT_HUMI, "濕度"},
    {IDS_STAT_TEMP_PV, "溫度 PV"},
    {IDS_STAT_TEMP_SV, "溫度 SV"},
    {IDS_STAT_HUMI_PV, "濕度 PV"},
    {IDS_STAT_HUMI_SV, "濕度 SV"},
    {IDS_STAT_TOLERANCE_TEMP, "溫度容許偏差 ± (°C)："},
    {IDS_STAT_TOLERANCE_HUMI, "濕度容許偏差 ± (%RH)："},
    {IDS_STAT_TOLERANCE_RANGE, "請輸入 0 到 999.99 之間的數值，最多兩位小數。"},
    {IDS_STAT_COPY, "複製(&C)"},
    {IDS_STAT_CLOSE, "關閉"},
    {IDS_STAT_TABLE, "統計數值"},
    // Selecting a stretch and exporting it.
    {IDS_STAT_SELECTION, "選取範圍"},
    {IDS_SEL_STATUS, "%1 – %2，%3"},
    {IDS_EXPORT_CAPTION, "匯出"},
    {IDS_EXPORT_INTERVAL, "記錄間隔："},
    {IDS_EXPORT_1S, "1 秒"},
    {IDS_EXPORT_10S, "10 秒"},
    {IDS_EXPORT_1MIN, "1 分"},
    {IDS_EXPORT_10MIN, "10 分"},
    {IDS_EXPORT_RECORDS, "共 %1 筆記錄"},
    {IDS_EXPORT_MANY, "匯出將包含 %1 筆記錄，超過試算表的 1,048,576 列上限。較長的間隔可減少記錄數。\n\n仍要匯出全部 %1 筆記錄嗎？"},
    {IDS_EXPORT_WRITING, "正在匯出 %1"},
    {IDS_EXPORT_FAILED, "未寫入 %1：%2\n\n原有的同名檔案保持不變。"},
    {IDS_EXPORT_IS_INPUT, "%1 是畫面上的記錄檔，匯出不會取代它。請選擇其他檔名。"},
    {IDS_EXPORT_NOTHING, "請先開啟記錄檔：沒有可匯出的資料。"},
    {IDS_EXPORT_FILTER, "記錄檔 (*.csv)"},
    {ID_FILE_EXPORT, "將選取範圍或整個記錄寫成記錄檔\n匯出"},
    {ID_VIEW_CLEAR_SELECTION, "清除曲線上的選取範圍\n清除選取"},
};

constexpr CStringEntry kStringsENG[] = {
    {IDS_OLE_INIT_FAILED, "OLE Error。"},
    {IDS_LIMIT_ORDER, "Input error,up-limit must bigger than down-limit,\nplease re-input value."},
    {IDS_SCALE_AUTO, "Auto"},
    {IDS_SCALE_1HOUR, "1Hour"},
    {IDS_SCALE_2HOUR, "2Hour"},
    {IDS_SCALE_4HOUR, "4Hour"},
    {IDS_SCALE_8HOUR, "8Hour"},
    {IDS_SCALE_1DAY, "1Day"},
    {IDS_SCALE_1WEEK, "1Week"},
    {IDS_SCALE_1MONTH, "1Month"},
    {IDS_OPEN_READING, "Reading %1"},
    {IDS_OPEN_CANNOT_READ, "%1 cannot be read.\n\n%2"},
    {IDS_OPEN_NO_RECORD, "%1 holds no record.\n\n%2\n\nThe recording on screen is kept."},
    {IDS_OPEN_NO_READABLE, "%1 holds no readable record.\n\n%2\n\nThe recording on screen is kept."},
    {IDS_OPEN_INVALID_RECORD, "Reading %1 stopped at line %2: the record there is invalid.\n\n%3\n\nThe records before that line are shown."},
    {IDS_OPEN_SPAN_REFUSED, "Reading %1 stopped at line %2: its time lies too far after the first record.\n\n%3\n\nThe records before that line are shown."},
    {IDS_OPEN_OUT_OF_MEMORY, "Reading %1 stopped at line %2: memory ran out.\n\n%3\n\nThe records before that line are shown."},
    {ID_FILE_OPEN, "Open file\nOpen file"},
    {ID_FILE_CLOSE, "Close file\nClose file"},
    {ID_FILE_SAVE_AS, "Save file\nSave file"},
    {ID_FILE_PRINT, "Print\nPrint"},
    {ID_SET_LIMIT, "Limit Setting\nLimit Setting"},
    {ID_SET_COLOR, "Curve Color/Line Pattern Setting\nCurve Color/Line Pattern Setting"},
    {ID_SET_BKCOLOR, "Background Color\nBackground Color"},
    {ID_VIEW_TEMP_PV, "Temp Curve\nTemp Curve"},
    {ID_VIEW_HUMI_PV, "Humi Curve\nHumi Curve"},
    {ID_VIEW_TEMP_SV, "Temp SV\nTemp SV"},
    {ID_VIEW_HUMI_SV, "Humi SV\nHumi SV"},
    {ID_APP_ABOUT, "Show program message、version and copy right.\nAbout"},
    {ID_APP_EXIT, "Close used window and Saves document\nExit"},
    {ID_HELP_FINDER, "Print Help\nHelp"},
    {IDS_SAVE_UNKNOWN_FORMAT, "%1 was not saved: unknown image format \"%2\"."},
    {IDS_SAVE_TOO_SMALL, "%1 was not saved: the window is too small to hold the picture."},
    {IDS_SAVE_FAILED, "%1 was not saved: %2"},
    {IDS_PRINT_NOT_STARTED, "The print job could not be started."},
    {IDS_PRINT_FAILED, "The print job failed."},
    {ID_VIEW_STATISTICS, "Show minimum, maximum, mean and deviation of the recording and the page\nStatistics"},
    {ID_FILE_COPY_PICTURE, "Copy the picture on screen to the clipboard\nCopy Picture"},
    {IDS_STAT_CAPTION, "Statistics"},
    {IDS_STAT_WHOLE, "Whole recording"},
    {IDS_STAT_PAGE, "This page"},
    {IDS_STAT_CURVE, "Curve"},
    {IDS_STAT_FIGURE, "Figure"},
    {IDS_STAT_MINIMUM, "Minimum"},
    {IDS_STAT_MAXIMUM, "Maximum"},
    {IDS_STAT_AT, "at"},
    {IDS_STAT_MEAN, "Mean"},
    {IDS_STAT_WITHIN, "Within ±%1 of SV"},
    {IDS_STAT_LARGEST, "Largest deviation (PV − SV)"},
    {IDS_STAT_TEMP, "Temp"},
    {IDS_STAT_HUMI, "Humi"},
    {IDS_STAT_TEMP_PV, "Temp PV"},
    {IDS_STAT_TEMP_SV, "Temp SV"},
    {IDS_STAT_HUMI_PV, "Humi PV"},
    {IDS_STAT_HUMI_SV, "Humi SV"},
    {IDS_STAT_TOLERANCE_TEMP, "Temp tolerance ± (°C):"},
    {IDS_STAT_TOLERANCE_HUMI, "Humi tolerance ± (%RH):"},
    {IDS_STAT_TOLERANCE_RANGE, "Enter a number from 0 to 999.99 with at most two decimals."},
    {IDS_STAT_COPY, "&Copy"},
    {IDS_STAT_CLOSE, "Close"},
    {IDS_STAT_TABLE, "Figures"},
    // Selecting a stretch and exporting it.
    {IDS_STAT_SELECTION, "Selection"},
    {IDS_SEL_STATUS, "%1 – %2, %3"},
    {IDS_EXPORT_CAPTION, "Export"},
    {IDS_EXPORT_INTERVAL, "Interval between records:"},
    {IDS_EXPORT_1S, "1 s"},
    {IDS_EXPORT_10S, "10 s"},
    {IDS_EXPORT_1MIN, "1 min"},
    {IDS_EXPORT_10MIN, "10 min"},
    {IDS_EXPORT_RECORDS, "%1 records"},
    {IDS_EXPORT_MANY, "The export holds %1 records, more than the 1,048,576 rows a spreadsheet takes. A longer interval gives fewer records.\n\nExport all %1 records anyway?"},
    {IDS_EXPORT_WRITING, "Exporting %1"},
    {IDS_EXPORT_FAILED, "%1 was not written: %2\n\nAn earlier file of that name is as it was."},
    {IDS_EXPORT_IS_INPUT, "%1 is the recording on screen: an export never replaces it. Choose another name."},
    {IDS_EXPORT_NOTHING, "Open a recording first: there is nothing to export."},
    {IDS_EXPORT_FILTER, "Recorder Files (*.csv)"},
    {ID_FILE_EXPORT, "Write the selection, or the whole recording, as a recorder file\nExport"},
    {ID_VIEW_CLEAR_SELECTION, "Clear the selection on the plot\nClear Selection"},
};

constexpr CStringEntry kStringsCHS[] = {
    {IDS_OLE_INIT_FAILED, "OLE 初始化失敗。請確認 OLE 程式庫的版本是否正確。"},
    {IDS_LIMIT_ORDER, "输入错误，上限必须大于下限，\n请重新输入数值。"},
    {IDS_SCALE_AUTO, "自动"},
    {IDS_SCALE_1HOUR, "1时"},
    {IDS_SCALE_2HOUR, "2时"},
    {IDS_SCALE_4HOUR, "4时"},
    {IDS_SCALE_8HOUR, "8时"},
    {IDS_SCALE_1DAY, "1天"},
    {IDS_SCALE_1WEEK, "1週"},
    {IDS_SCALE_1MONTH, "1月"},
    {IDS_OPEN_READING, "正在读取 %1"},
    {IDS_OPEN_CANNOT_READ, "无法读取 %1。\n\n%2"},
    {IDS_OPEN_NO_RECORD, "%1 中没有记录。\n\n%2\n\n画面上的曲线保持不变。"},
    {IDS_OPEN_NO_READABLE, "%1 中没有可读取的记录。\n\n%2\n\n画面上的曲线保持不变。"},
    {IDS_OPEN_INVALID_RECORD, "读取 %1 时在第 %2 行停止：该行的记录无效。\n\n%3\n\n已显示该行之前的记录。"},
    {IDS_OPEN_SPAN_REFUSED, "读取 %1 时在第 %2 行停止：该行的时间距第一条记录太远。\n\n%3\n\n已显示该行之前的记录。"},
    {IDS_OPEN_OUT_OF_MEMORY, "读取 %1 时在第 %2 行停止：内存不足。\n\n%3\n\n已显示该行之前的记录。"},
    {ID_FILE_OPEN, "打开现有文件\n打开文件"},
    {ID_FILE_CLOSE, "关闭使用中的文件\n关闭文件"},
    {ID_FILE_SAVE_AS, "保存使用中的文件\n保存文件"},
    {ID_FILE_PRINT, "打印使用中的文件\n打印"},
    {ID_SET_LIMIT, "曲线显示刻度设定\n曲线刻度"},
    {ID_SET_COLOR, "曲线显示颜色&线条样式设定\n曲线显示颜色&线条样式设定"},
    {ID_SET_BKCOLOR, "曲线背景颜色设定\n曲线背景颜色"},
    {ID_VIEW_TEMP_PV, "温度曲线\n温度曲线"},
    {ID_VIEW_HUMI_PV, "湿度曲线\n湿度曲线"},
    {ID_VIEW_TEMP_SV, "温度设定值曲线\n温度设定值曲线"},
    {ID_VIEW_HUMI_SV, "湿度设定值曲线\n湿度设定值曲线"},
    {ID_APP_ABOUT, "显示程序信息、版本号码及著作权\n关于"},
    {ID_APP_EXIT, "结束应用程序；提示使用者储存文件\n结束"},
    {ID_HELP_FINDER, "列出说明主题\n说明主题"},
    {IDS_SAVE_UNKNOWN_FORMAT, "%1 未保存：不支持的图像格式“%2”。"},
    {IDS_SAVE_TOO_SMALL, "%1 未保存：窗口太小，容不下图片。"},
    {IDS_SAVE_FAILED, "%1 未保存：%2"},
    {IDS_PRINT_NOT_STARTED, "无法开始打印。"},
    {IDS_PRINT_FAILED, "打印失败。"},
    {ID_VIEW_STATISTICS, "显示整个记录与本页的最小值、最大值、平均值及偏差\n统计"},
    {ID_FILE_COPY_PICTURE, "将画面上的图片复制到剪贴板\n复制图片"},
    {IDS_STAT_CAPTION, "统计"},
    {IDS_STAT_WHOLE, "整个记录"},
    {IDS_STAT_PAGE, "本页"},
    {IDS_STAT_CURVE, "曲线"},
    {IDS_STAT_FIGURE, "项目"},
    {IDS_STAT_MINIMUM, "最小值"},
    {IDS_STAT_MAXIMUM, "最大值"},
    {IDS_STAT_AT, "发生时间"},
    {IDS_STAT_MEAN, "平均值"},
    {IDS_STAT_WITHIN, "与设定值相差 ±%1 以内"},
    {IDS_STAT_LARGEST, "最大偏差 (PV − SV)"},
    {IDS_STAT_TEMP, "温度"},
    {IDS_STAT_HUMI, "湿度"},
    {IDS_STAT_TEMP_PV, "温度 PV"},
    {IDS_STAT_TEMP_SV, "温度 SV"},
    {IDS_STAT_HUMI_PV, "湿度 PV"},
    {IDS_STAT_HUMI_SV, "湿度 SV"},
    {IDS_STAT_TOLERANCE_TEMP, "温度容许偏差 ± (°C)："},
    {IDS_STAT_TOLERANCE_HUMI, "湿度容许偏差 ± (%RH)："},
    {IDS_STAT_TOLERANCE_RANGE, "请输入 0 到 999.99 之间的数值，最多两位小数。"},
    {IDS_STAT_COPY, "复制(&C)"},
    {IDS_STAT_CLOSE, "关闭"},
    {IDS_STAT_TABLE, "统计数值"},
    // Selecting a stretch and exporting it.
    {IDS_STAT_SELECTION, "选择范围"},
    {IDS_SEL_STATUS, "%1 – %2，%3"},
    {IDS_EXPORT_CAPTION, "导出"},
    {IDS_EXPORT_INTERVAL, "记录间隔："},
    {IDS_EXPORT_1S, "1 秒"},
    {IDS_EXPORT_10S, "10 秒"},
    {IDS_EXPORT_1MIN, "1 分"},
    {IDS_EXPORT_10MIN, "10 分"},
    {IDS_EXPORT_RECORDS, "共 %1 条记录"},
    {IDS_EXPORT_MANY, "导出将包含 %1 条记录，超过电子表格的 1,048,576 行上限。较长的间隔可减少记录数。\n\n仍要导出全部 %1 条记录吗？"},
    {IDS_EXPORT_WRITING, "正在导出 %1"},
    {IDS_EXPORT_FAILED, "未写入 %1：%2\n\n原有的同名文件保持不变。"},
    {IDS_EXPORT_IS_INPUT, "%1 是画面上的记录文件，导出不会取代它。请选择其他文件名。"},
    {IDS_EXPORT_NOTHING, "请先打开记录文件：没有可导出的数据。"},
    {IDS_EXPORT_FILTER, "记录文件 (*.csv)"},
    {ID_FILE_EXPORT, "将选择范围或整个记录写成记录文件\n导出"},
    {ID_VIEW_CLEAR_SELECTION, "清除曲线上的选择范围\n清除选择"},
};

// Texts that read the same in every language.
constexpr CStringEntry kStringsNeutral[] = {
    {IDR_MAINFRAME, "Trendora"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {IDS_PARSE_INT, "Please enter an integer."},
    {IDS_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
    {IDS_PARSE_UINT, "Please enter a positive integer."},
};

std::span<const CStringEntry> TableOf(int nLangId)
{
    switch (nLangId) {
    case kLangCHT:
        return kStringsCHT;
    case kLangENG:
        return kStringsENG;
    case kLangCHS:
        return kStringsCHS;
    default:
        return {};
    }
}

const char* Find(std::span<const CStringEntry> table, int nId)
{
    for (const CStringEntry& entry : table) {
        if (entry.nId == nId)
            return entry.pszText;
    }
    return nullptr;
}

} // namespace

QString LoadString(int nId, int nLangId)
{
    const std::span<const CStringEntry> table = TableOf(nLangId);
    if (table.empty())
        return {};
    const char* pszText = Find(table, nId);
    if (!pszText)
        pszText = Find(kStringsNeutral, nId);
    return pszText ? QString::fromUtf8(pszText) : QString();
}

QString LoadString(int nId)
{
    return LoadString(nId, ActiveLanguage());
}

} // namespace res
