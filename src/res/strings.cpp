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
    // Program steps
    {ID_VIEW_PROGRAM_STEPS, "顯示測試程式的各段，以及試驗箱是否保持住\n程式段"},
    {ID_VIEW_MARK_STEPS, "在曲線上標出每段的開始與每次超差\n標示程式段"},
    {IDS_STEPS_CAPTION, "程式段"},
    {IDS_STEPS_VERDICT_PASS, "合格：%2 個恆定段中 %1 個合格"},
    {IDS_STEPS_VERDICT_FAIL, "不合格：%2 個恆定段中 %1 個合格"},
    {IDS_STEPS_VERDICT_NONE, "無結論：記錄中沒有恆定段"},
    {IDS_STEPS_STEP_TABLE, "程式段"},
    {IDS_STEPS_EXC_TABLE, "超差"},
    {IDS_STEPS_MIN_DWELL, "最短恆定段（分鐘）："},
    {IDS_STEPS_SETTLE, "穩定時間窗（分鐘）："},
    {IDS_STEPS_DELAY, "超差延遲（秒）："},
    {IDS_STEPS_MIN_DWELL_RANGE, "最短恆定段：請輸入 1 到 10080 的整數分鐘。"},
    {IDS_STEPS_SETTLE_RANGE, "穩定時間窗：請輸入 0 到 1440 的整數分鐘。"},
    {IDS_STEPS_DELAY_RANGE, "超差延遲：請輸入 0 到 86400 的整數秒。"},
    {IDS_STEPS_TOL_TEMP_RANGE, "溫度容差：請輸入 0 到 999.99 的數字，最多兩位小數。"},
    {IDS_STEPS_TOL_HUMI_RANGE, "濕度容差：請輸入 0 到 999.99 的數字，最多兩位小數。"},
    {IDS_STEPS_DWELL, "恆定"},
    {IDS_STEPS_RAMP, "升降"},
    {IDS_STEPS_PASS, "合格"},
    {IDS_STEPS_FAIL, "不合格"},
    {IDS_STEPS_NEVER, "未穩定"},
    {IDS_STEPS_COLUMNS, "段\t類型\t曲線\t開始\t結束\t時長\t起始值\t結束值\t每分鐘變化\t穩定用時\t最小值\t最大值\t平均值\t容差內\t最大偏差\t超差次數\t結論"},
    {IDS_STEPS_EXC_COLUMNS, "超差\t段\t曲線\t開始\t結束\t時長\t峰值"},
    {IDS_STEPS_ANALYSING, "正在分析記錄……"},
    {IDS_STEPS_COPY, "複製(&C)"},
    {IDS_STEPS_CLOSE, "關閉"},
    {IDS_STEPS_NO_RECORDING, "沒有開啟的記錄。"},
    {IDS_STEPS_INCOMPLETE, "記憶體不足，分析未完成：表中只有已分析的部分。"},
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
    // Program steps
    {ID_VIEW_PROGRAM_STEPS, "Show the steps of the test program and whether the chamber held them\nProgram Steps"},
    {ID_VIEW_MARK_STEPS, "Mark each step's start and every excursion on the plot\nMark Steps"},
    {IDS_STEPS_CAPTION, "Program Steps"},
    {IDS_STEPS_VERDICT_PASS, "Pass: %1 of %2 dwells passed"},
    {IDS_STEPS_VERDICT_FAIL, "Fail: %1 of %2 dwells passed"},
    {IDS_STEPS_VERDICT_NONE, "No verdict: the recording has no dwell"},
    {IDS_STEPS_STEP_TABLE, "Steps"},
    {IDS_STEPS_EXC_TABLE, "Excursions"},
    {IDS_STEPS_MIN_DWELL, "Minimum dwell (minutes):"},
    {IDS_STEPS_SETTLE, "Settle window (minutes):"},
    {IDS_STEPS_DELAY, "Excursion delay (seconds):"},
    {IDS_STEPS_MIN_DWELL_RANGE, "Minimum dwell: enter a whole number of minutes from 1 to 10080."},
    {IDS_STEPS_SETTLE_RANGE, "Settle window: enter a whole number of minutes from 0 to 1440."},
    {IDS_STEPS_DELAY_RANGE, "Excursion delay: enter a whole number of seconds from 0 to 86400."},
    {IDS_STEPS_TOL_TEMP_RANGE, "Temp tolerance: enter a number from 0 to 999.99 with at most two decimals."},
    {IDS_STEPS_TOL_HUMI_RANGE, "Humi tolerance: enter a number from 0 to 999.99 with at most two decimals."},
    {IDS_STEPS_DWELL, "dwell"},
    {IDS_STEPS_RAMP, "ramp"},
    {IDS_STEPS_PASS, "pass"},
    {IDS_STEPS_FAIL, "fail"},
    {IDS_STEPS_NEVER, "never"},
    {IDS_STEPS_COLUMNS, "Step\tKind\tCurve\tStart\tEnd\tDuration\tFrom\tTo\tRate/min\tSettled after\tMinimum\tMaximum\tMean\tWithin\tLargest deviation\tExcursions\tVerdict"},
    {IDS_STEPS_EXC_COLUMNS, "Excursion\tStep\tCurve\tStart\tEnd\tDuration\tPeak"},
    {IDS_STEPS_ANALYSING, "Analysing the recording..."},
    {IDS_STEPS_COPY, "&Copy"},
    {IDS_STEPS_CLOSE, "Close"},
    {IDS_STEPS_NO_RECORDING, "No recording is open."},
    {IDS_STEPS_INCOMPLETE, "Memory ran out: the analysis is incomplete, the tables show only what was analysed."},
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
    // Program steps
    {ID_VIEW_PROGRAM_STEPS, "显示测试程序的各段，以及试验箱是否保持住\n程序段"},
    {ID_VIEW_MARK_STEPS, "在曲线上标出每段的开始与每次超差\n标示程序段"},
    {IDS_STEPS_CAPTION, "程序段"},
    {IDS_STEPS_VERDICT_PASS, "合格：%2 个恒定段中 %1 个合格"},
    {IDS_STEPS_VERDICT_FAIL, "不合格：%2 个恒定段中 %1 个合格"},
    {IDS_STEPS_VERDICT_NONE, "无结论：记录中没有恒定段"},
    {IDS_STEPS_STEP_TABLE, "程序段"},
    {IDS_STEPS_EXC_TABLE, "超差"},
    {IDS_STEPS_MIN_DWELL, "最短恒定段（分钟）："},
    {IDS_STEPS_SETTLE, "稳定时间窗（分钟）："},
    {IDS_STEPS_DELAY, "超差延迟（秒）："},
    {IDS_STEPS_MIN_DWELL_RANGE, "最短恒定段：请输入 1 到 10080 的整数分钟。"},
    {IDS_STEPS_SETTLE_RANGE, "稳定时间窗：请输入 0 到 1440 的整数分钟。"},
    {IDS_STEPS_DELAY_RANGE, "超差延迟：请输入 0 到 86400 的整数秒。"},
    {IDS_STEPS_TOL_TEMP_RANGE, "温度容差：请输入 0 到 999.99 的数字，最多两位小数。"},
    {IDS_STEPS_TOL_HUMI_RANGE, "湿度容差：请输入 0 到 999.99 的数字，最多两位小数。"},
    {IDS_STEPS_DWELL, "恒定"},
    {IDS_STEPS_RAMP, "升降"},
    {IDS_STEPS_PASS, "合格"},
    {IDS_STEPS_FAIL, "不合格"},
    {IDS_STEPS_NEVER, "未稳定"},
    {IDS_STEPS_COLUMNS, "段\t类型\t曲线\t开始\t结束\t时长\t起始值\t结束值\t每分钟变化\t稳定用时\t最小值\t最大值\t平均值\t容差内\t最大偏差\t超差次数\t结论"},
    {IDS_STEPS_EXC_COLUMNS, "超差\t段\t曲线\t开始\t结束\t时长\t峰值"},
    {IDS_STEPS_ANALYSING, "正在分析记录……"},
    {IDS_STEPS_COPY, "复制(&C)"},
    {IDS_STEPS_CLOSE, "关闭"},
    {IDS_STEPS_NO_RECORDING, "没有打开的记录。"},
    {IDS_STEPS_INCOMPLETE, "内存不足，分析未完成：表中只有已分析的部分。"},
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
