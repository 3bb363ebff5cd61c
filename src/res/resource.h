// Numeric ids of commands, controls, strings, dialogs and pictures.
// ID_ commands, IDC_ controls, IDD_ dialogs, IDR_/IDB_ menus, toolbar and pictures, IDS_ strings,
// ID_INDICATOR_ status bar panes, IDW_ frame bar windows.
#pragma once

namespace res {

// Application-wide names
inline constexpr const char* kCompanyKey = "MirevaleStudio";
inline constexpr const char* kApplicationName = "Trendora";

// Commands. The ones from 57600 up are the standard File and Help command ids.
inline constexpr int ID_VIEW_TEMP_PV = 1000;
inline constexpr int ID_VIEW_HUMI_PV = 1001;
inline constexpr int ID_SET_LIMIT = 1003;
inline constexpr int ID_SET_COLOR = 1004;
inline constexpr int ID_SET_HIDE_TITLE = 32770;
inline constexpr int ID_SET_TITLE = 32771;
inline constexpr int ID_HELP_CONTACT = 32772;
inline constexpr int ID_VIEW_HUMI_SV = 32773;
inline constexpr int ID_VIEW_TEMP_SV = 32774;
inline constexpr int ID_SET_BKCOLOR = 32775;
inline constexpr int ID_LANG_CHT = 32779;
inline constexpr int ID_LANG_CHS = 32780;
inline constexpr int ID_LANG_ENG = 32781;
inline constexpr int ID_VIEW_STATISTICS = 32782;   // the statistics window
inline constexpr int ID_FILE_COPY_PICTURE = 32783; // the picture of the view to the clipboard
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_CLOSE = 57602;
inline constexpr int ID_FILE_SAVE_AS = 57604; // saves the picture of the view
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_HELP_FINDER = 57667;
inline constexpr int ID_CONTEXT_HELP = 57669; // Shift+F1
inline constexpr int ID_HELP = 57670;         // F1

// Templates and pictures. Menu, toolbar, accelerator table, icon and the title string share
// IDR_MAINFRAME; bitmap 128 holds the toolbar's own 16 x 15 images.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDB_TOOLBAR = 131;    // eleven 40 x 40 button pictures, 440 x 40
inline constexpr int IDB_BACKGROUND = 134; // the main form's background, 1017 x 618
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAINFORM = 130;
inline constexpr int IDD_LIMIT = 135;
inline constexpr int IDD_TITLE = 136;
inline constexpr int IDD_COLOR = 137;

// Dialog buttons. Not IDOK/IDCANCEL: the Windows headers define those as macros.
inline constexpr int IDC_OK = 1;
inline constexpr int IDC_CANCEL = 2;

// Controls of the main form (IDD_MAINFORM)
inline constexpr int IDC_SCALE = 1002; // scale choice
inline constexpr int IDC_DATE = 1005;  // date readout
inline constexpr int IDC_TIME = 1006;  // time readout
inline constexpr int IDC_NEXT_PAGE = 1007;
inline constexpr int IDC_SCALEBAR = 1008; // seconds per pixel
inline constexpr int IDC_LAST_PAGE = 1009;
inline constexpr int IDC_FIRST_PAGE = 1010;
inline constexpr int IDC_PREV_PAGE = 1011;
inline constexpr int IDC_HUMI_AXIS0 = 1012; // 1012..1022, bottom to top
inline constexpr int IDC_TEMP_AXIS0 = 1023; // 1023..1033, bottom to top
inline constexpr int IDC_TEMP_PV = 1034;
inline constexpr int IDC_FILENAME = 1035;
inline constexpr int IDC_PLOT = 1036;
inline constexpr int IDC_HUMI_PV = 1037;
inline constexpr int IDC_HUMI_SV = 1038;
inline constexpr int IDC_TEMP_SV = 1039;
inline constexpr int IDC_TIME_LABEL0 = 1044; // 1044..1050, left to right
inline constexpr int IDC_DATE_LABEL0 = 1051; // 1051..1057, left to right
inline constexpr int IDC_PAGE = 1062;
inline constexpr int IDC_TOTAL_PAGES = 1064;
inline constexpr int IDC_TITLE = 1069;
inline constexpr int kAxisLabelCount = 11;
inline constexpr int kTimeLabelCount = 7;

// Controls of the limit dialog (IDD_LIMIT); the boxes hold tens of degrees or percent.
inline constexpr int IDC_MAX_TEMP = 1058;
inline constexpr int IDC_MIN_TEMP = 1059;
inline constexpr int IDC_MAX_HUMI = 1060;
inline constexpr int IDC_MIN_HUMI = 1061;

// Control of the title dialog (IDD_TITLE)
inline constexpr int IDC_TITLE_EDIT = 1063;

// Controls of the colour dialog (IDD_COLOR): a line width box and a colour swatch per curve
inline constexpr int IDC_WIDTH_TEMP_PV = 1040;
inline constexpr int IDC_WIDTH_TEMP_SV = 1041;
inline constexpr int IDC_WIDTH_HUMI_PV = 1042;
inline constexpr int IDC_WIDTH_HUMI_SV = 1043;
inline constexpr int IDC_SWATCH_TEMP_PV = 1065;
inline constexpr int IDC_SWATCH_TEMP_SV = 1066;
inline constexpr int IDC_SWATCH_HUMI_PV = 1067;
inline constexpr int IDC_SWATCH_HUMI_SV = 1068;

// Strings. A command's prompt is the string with the command's id; the title is
// IDR_MAINFRAME.
inline constexpr int IDS_OLE_INIT_FAILED = 100;
inline constexpr int IDS_LIMIT_ORDER = 101; // upper limit not above lower limit
inline constexpr int IDS_SCALE_AUTO = 102;  // scale choice item 0; items 1..7 follow in order
inline constexpr int IDS_SCALE_1HOUR = 103;
inline constexpr int IDS_SCALE_2HOUR = 104;
inline constexpr int IDS_SCALE_4HOUR = 105;
inline constexpr int IDS_SCALE_8HOUR = 106;
inline constexpr int IDS_SCALE_1DAY = 107;
inline constexpr int IDS_SCALE_1WEEK = 108;
inline constexpr int IDS_SCALE_1MONTH = 109;
inline constexpr int kScaleChoiceCount = 8;
// Messages of Save as image and Print; %1 is the file, %2 the suffix or the system's reason.
inline constexpr int IDS_SAVE_UNKNOWN_FORMAT = 200;
inline constexpr int IDS_SAVE_TOO_SMALL = 201;
inline constexpr int IDS_SAVE_FAILED = 202;
inline constexpr int IDS_PRINT_NOT_STARTED = 203;
inline constexpr int IDS_PRINT_FAILED = 204;
// File Open: the progress text, then the messages; each wraps the reader's English detail.
inline constexpr int IDS_OPEN_READING = 230;        // "Reading %1"
inline constexpr int IDS_OPEN_CANNOT_READ = 231;    // %1 file name, %2 detail
inline constexpr int IDS_OPEN_NO_RECORD = 232;      // fewer than two lines; %1, %2
inline constexpr int IDS_OPEN_NO_READABLE = 233;    // line 2 is invalid; %1, %2
inline constexpr int IDS_OPEN_INVALID_RECORD = 234; // %1 file name, %2 line, %3 detail
inline constexpr int IDS_OPEN_SPAN_REFUSED = 235;   // %1 file name, %2 line, %3 detail
inline constexpr int IDS_OPEN_OUT_OF_MEMORY = 236;  // %1 file name, %2 line, %3 detail
// The statistics window. IDS_STAT_TEMP_PV..IDS_STAT_HUMI_SV name the curves in the order
// Temp PV, Temp SV, Humi PV, Humi SV; IDS_STAT_WITHIN holds %1, the tolerance.
inline constexpr int IDS_STAT_CAPTION = 240;
inline constexpr int IDS_STAT_WHOLE = 241;
inline constexpr int IDS_STAT_PAGE = 242;
inline constexpr int IDS_STAT_CURVE = 243;
inline constexpr int IDS_STAT_FIGURE = 244;
inline constexpr int IDS_STAT_MINIMUM = 245;
inline constexpr int IDS_STAT_MAXIMUM = 246;
inline constexpr int IDS_STAT_AT = 247;
inline constexpr int IDS_STAT_MEAN = 248;
inline constexpr int IDS_STAT_WITHIN = 249;
inline constexpr int IDS_STAT_LARGEST = 250;
inline constexpr int IDS_STAT_TEMP = 251;
inline constexpr int IDS_STAT_HUMI = 252;
inline constexpr int IDS_STAT_TEMP_PV = 253;
inline constexpr int IDS_STAT_TEMP_SV = 254;
inline constexpr int IDS_STAT_HUMI_PV = 255;
inline constexpr int IDS_STAT_HUMI_SV = 256;
inline constexpr int IDS_STAT_TOLERANCE_TEMP = 257;
inline constexpr int IDS_STAT_TOLERANCE_HUMI = 258;
inline constexpr int IDS_STAT_TOLERANCE_RANGE = 259;
inline constexpr int IDS_STAT_COPY = 260;
inline constexpr int IDS_STAT_CLOSE = 261;
inline constexpr int IDS_STAT_TABLE = 262;
// Dialog input messages; they exist in English only and every language finds them.
inline constexpr int IDS_PARSE_INT = 61712;       // "Please enter an integer."
inline constexpr int IDS_PARSE_INT_RANGE = 61714; // "... between %1 and %2."
inline constexpr int IDS_PARSE_UINT = 61719;      // "Please enter a positive integer."

// Status bar panes after the message pane; each pane's text is the string of its id.
inline constexpr int ID_INDICATOR_CAPS = 59137;
inline constexpr int ID_INDICATOR_NUM = 59138;
inline constexpr int ID_INDICATOR_SCRL = 59139;

// Frame bars and the view's pane
inline constexpr int IDW_TOOLBAR = 59392;
inline constexpr int IDW_STATUSBAR = 59393;
inline constexpr int IDW_PANE_FIRST = 59648;

// The view's repeating 100 ms timer
inline constexpr int IDT_VIEW = 100;

// Program steps: the window, the marks on the plot and their texts (commands 32784-32789,
// strings 270-319). IDS_STEPS_VERDICT_* hold %1 dwells passed of %2;
// IDS_STEPS_COLUMNS and IDS_STEPS_EXC_COLUMNS are the tables' headings, tab-separated.
inline constexpr int ID_VIEW_PROGRAM_STEPS = 32784;
inline constexpr int ID_VIEW_MARK_STEPS = 32785;
inline constexpr int IDS_STEPS_CAPTION = 270;
inline constexpr int IDS_STEPS_VERDICT_PASS = 271;
inline constexpr int IDS_STEPS_VERDICT_FAIL = 272;
inline constexpr int IDS_STEPS_VERDICT_NONE = 273;
inline constexpr int IDS_STEPS_STEP_TABLE = 274;
inline constexpr int IDS_STEPS_EXC_TABLE = 275;
inline constexpr int IDS_STEPS_MIN_DWELL = 276;
inline constexpr int IDS_STEPS_SETTLE = 277;
inline constexpr int IDS_STEPS_DELAY = 278;
inline constexpr int IDS_STEPS_MIN_DWELL_RANGE = 279;
inline constexpr int IDS_STEPS_SETTLE_RANGE = 280;
inline constexpr int IDS_STEPS_DELAY_RANGE = 281;
inline constexpr int IDS_STEPS_TOL_TEMP_RANGE = 282;
inline constexpr int IDS_STEPS_TOL_HUMI_RANGE = 283;
inline constexpr int IDS_STEPS_DWELL = 284;
inline constexpr int IDS_STEPS_RAMP = 285;
inline constexpr int IDS_STEPS_PASS = 286;
inline constexpr int IDS_STEPS_FAIL = 287;
inline constexpr int IDS_STEPS_NEVER = 288;
inline constexpr int IDS_STEPS_COLUMNS = 289;
inline constexpr int IDS_STEPS_EXC_COLUMNS = 290;
inline constexpr int IDS_STEPS_ANALYSING = 291;
inline constexpr int IDS_STEPS_COPY = 292;
inline constexpr int IDS_STEPS_CLOSE = 293;
inline constexpr int IDS_STEPS_NO_RECORDING = 294;
inline constexpr int IDS_STEPS_INCOMPLETE = 295;
// An analysis that failed (IDS_STEPS_INCOMPLETE: memory ran out), and Copy's progress.
inline constexpr int IDS_STEPS_FAILED = 296;         // %1 the failure's own text
inline constexpr int IDS_STEPS_FAILED_UNKNOWN = 297; // the same without a text
inline constexpr int IDS_STEPS_COPYING = 298;
inline constexpr int IDS_STEPS_CANCEL = 299;
inline constexpr int IDS_STEPS_COPY_NO_MEMORY = 300;
// A file of another logger without Temp SV and Humi SV: no steps to judge.
inline constexpr int IDS_STEPS_NO_SET_VALUES = 301;
// A stretch of the recording: selecting it on the plot, its figures and File > Export.
inline constexpr int ID_FILE_EXPORT = 32790;          // the selection as a recorder file
inline constexpr int ID_VIEW_CLEAR_SELECTION = 32791; // Esc as well
inline constexpr int IDS_STAT_SELECTION = 320;        // the statistics window's third column
inline constexpr int IDS_SEL_STATUS = 321;            // %1 first second, %2 last, %3 duration
inline constexpr int IDS_EXPORT_CAPTION = 322;
inline constexpr int IDS_EXPORT_INTERVAL = 323;
inline constexpr int IDS_EXPORT_1S = 324; // the interval choices, shortest first
inline constexpr int IDS_EXPORT_10S = 325;
inline constexpr int IDS_EXPORT_1MIN = 326;
inline constexpr int IDS_EXPORT_10MIN = 327;
inline constexpr int IDS_EXPORT_RECORDS = 328;  // %1 the number of records
inline constexpr int IDS_EXPORT_MANY = 329;     // %1 the number of records
inline constexpr int IDS_EXPORT_WRITING = 330;  // %1 the file name
inline constexpr int IDS_EXPORT_FAILED = 331;   // %1 the file, %2 the system's reason
inline constexpr int IDS_EXPORT_IS_INPUT = 332; // %1 the file
inline constexpr int IDS_EXPORT_NOTHING = 333;
inline constexpr int IDS_EXPORT_FILTER = 334;
// Export's own reasons for the %2 of IDS_EXPORT_FAILED.
inline constexpr int IDS_EXPORT_NO_MEMORY = 335;
inline constexpr int IDS_EXPORT_BAD_TIME = 336;
// The report sheets' line that names the stretch judged.
inline constexpr int IDS_REPORT_JUDGED = 350; // %1 the first and last second
inline constexpr int IDS_REPORT_JUDGED_WHOLE = 351;

// File > Import: reading a file of another logger's layout, chosen in the import dialog,
// and the layouts saved for such files. IDS_IMPORT_ROLES and the other lists of choices are
// tab-separated in the order of their enums in recorder/layout.h.
inline constexpr int ID_FILE_IMPORT = 32792;
inline constexpr int IDS_OPEN_LAYOUT = 360;    // status bar: %1 describes the layout read by
inline constexpr int IDS_IMPORT_CAPTION = 361; // %1 the file name
inline constexpr int IDS_IMPORT_DOUBT = 362;   // %1 what is in doubt, in English
inline constexpr int IDS_IMPORT_UNKNOWN = 363; // %1 why, in English
inline constexpr int IDS_IMPORT_NAME = 364;
inline constexpr int IDS_IMPORT_COLUMNS = 365;
inline constexpr int IDS_IMPORT_ROLES = 366;
inline constexpr int IDS_IMPORT_DELIMITER = 367;
inline constexpr int IDS_IMPORT_DELIMITERS = 368;
inline constexpr int IDS_IMPORT_DECIMAL = 369;
inline constexpr int IDS_IMPORT_DECIMALS = 370;
inline constexpr int IDS_IMPORT_QUOTE = 371;
inline constexpr int IDS_IMPORT_QUOTES = 372;
inline constexpr int IDS_IMPORT_SKIP = 373;
inline constexpr int IDS_IMPORT_HEADER = 374;
inline constexpr int IDS_IMPORT_DATE_ORDER = 375;
inline constexpr int IDS_IMPORT_DATE_ORDERS = 376;
inline constexpr int IDS_IMPORT_CLOCK = 377;
inline constexpr int IDS_IMPORT_CLOCKS = 378;
inline constexpr int IDS_IMPORT_ZONE = 379;
inline constexpr int IDS_IMPORT_ZONES = 380;
inline constexpr int IDS_IMPORT_OFFSET = 381;
inline constexpr int IDS_IMPORT_TEMP_UNIT = 382;
inline constexpr int IDS_IMPORT_UNIT_IN_CELLS = 383;
inline constexpr int IDS_IMPORT_ENCODING = 384;
inline constexpr int IDS_IMPORT_PREVIEW = 385;
inline constexpr int IDS_IMPORT_PREVIEW_COLUMNS = 386; // line, time and the four channels
inline constexpr int IDS_IMPORT_FAULTS = 387;
inline constexpr int IDS_IMPORT_FAULT = 388;     // %1 the line, %2 what is wrong, in English
inline constexpr int IDS_IMPORT_NO_NAME = 389;
inline constexpr int IDS_IMPORT_NO_TIME = 390;
inline constexpr int IDS_IMPORT_SAVE_FAILED = 391; // %1 the layout's file, %2 the reason
inline constexpr int IDS_IMPORT_OK = 392;
inline constexpr int IDS_IMPORT_CANCEL = 393;
inline constexpr int IDS_IMPORT_RECOGNISING = 394; // %1 the file name

// View > Uniformity: several recordings shown together compared second by second (strings
// 600-629). IDS_UNIF_COLUMNS is the table's heading, tab-separated; IDS_UNIF_SELECTION holds
// %1 and %2, the first and last second; IDS_UNIF_DWELL %1 the dwell's number and %2, %3 its
// seconds; IDS_UNIF_BAD_VALUE %1 the box's caption and %2 the text typed.
inline constexpr int ID_VIEW_UNIFORMITY = 32810;
inline constexpr int IDS_UNIF_CAPTION = 600;
inline constexpr int IDS_UNIF_STRETCH = 601;
inline constexpr int IDS_UNIF_ALL = 602;
inline constexpr int IDS_UNIF_SELECTION = 603;
inline constexpr int IDS_UNIF_DWELL = 604;
inline constexpr int IDS_UNIF_SET_VALUE = 605;
inline constexpr int IDS_UNIF_FROM_RECORDING = 606;
inline constexpr int IDS_UNIF_TYPED = 607;
inline constexpr int IDS_UNIF_TEMP = 608;
inline constexpr int IDS_UNIF_HUMI = 609;
inline constexpr int IDS_UNIF_BAD_VALUE = 610;
inline constexpr int IDS_UNIF_COPY = 611;
inline constexpr int IDS_UNIF_CLOSE = 612;
inline constexpr int IDS_UNIF_TABLE = 613;
inline constexpr int IDS_UNIF_COLUMNS = 614;
inline constexpr int IDS_UNIF_TOO_FEW = 615;
inline constexpr int IDS_UNIF_NO_SECONDS = 616;

// Several recordings side by side: File > Add Recording, the legend's context menu and the
// offset dialog.
inline constexpr int ID_FILE_ADD_RECORDING = 32820;
inline constexpr int IDS_SIDE_FULL = 440; // %1 how many recordings can be shown
inline constexpr int IDS_SIDE_CLOSE = 441;
inline constexpr int IDS_SIDE_OFFSET = 442;
inline constexpr int IDS_SIDE_ALIGN_CLOCK = 443;
inline constexpr int IDS_SIDE_ALIGN_STARTS = 444;
inline constexpr int IDS_SIDE_OFFSET_CAPTION = 445; // %1 the recording's name
inline constexpr int IDS_SIDE_OFFSET_BOX = 446;
inline constexpr int IDS_SIDE_OFFSET_BAD = 447; // %1 the box, %2 the text typed, %3 the value kept
inline constexpr int IDS_SIDE_NO_SAMPLE = 448;  // the readout of a recording at a second it has not
// The status bar after several files of one run were joined into one recording.
inline constexpr int IDS_SIDE_JOINED = 449;  // %1 the files' names
inline constexpr int IDS_SIDE_GAP = 450;     // %1 the later file, %2 the first and last second
inline constexpr int IDS_SIDE_OVERLAP = 451; // %1 the later file, %2 the first and last second
// The first word of the statistics window's lines on the files joined.
inline constexpr int IDS_STAT_JOIN_FILE = 452;
inline constexpr int IDS_STAT_JOIN_GAP = 453;
inline constexpr int IDS_STAT_JOIN_OVERLAP = 454;

} // namespace res
