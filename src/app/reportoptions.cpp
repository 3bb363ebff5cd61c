#include "app/reportoptions.h"

#include "app/uniformityoptions.h"
#include "res/resource.h"
#include "res/resources.h"
#include "view/paging.h"
#include "view/statisticstext.h"
#include "view/stepstext.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <cstring>
#include <ctime>
#include <initializer_list>
#include <iterator>

namespace {

constexpr const char* kOptionPdf = "print-pdf";
constexpr const char* kOptionPages = "save-pages";
constexpr const char* kOptionStatistics = "statistics";
constexpr const char* kOptionTolTemp = "tolerance-temp";
constexpr const char* kOptionTolHumi = "tolerance-humi";
constexpr const char* kFormats[] = {"png", "jpg", "bmp"};
constexpr const char* kOptionSteps = "steps";
constexpr const char* kOptionMinDwell = "min-dwell";
constexpr const char* kOptionSettleWindow = "settle-window";
constexpr const char* kOptionExcursionDelay = "excursion-delay";
constexpr const char* kOptionExport = "export";
constexpr const char* kOptionInterval = "interval";
constexpr const char* kOptionFrom = "from";
constexpr const char* kOptionTo = "to";
constexpr const char* kOptionLayout = "layout";

// A plain positive decimal number that fits in an int, without sign or blanks.
std::optional<int> ReadPositive(const QString& strText)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(strText).hasMatch())
        return std::nullopt;
    const int n = strText.toInt();
    return n > 0 ? std::optional<int>(n) : std::nullopt;
}

// --steps and its options.
struct CStepOptionNames
{
    QCommandLineOption steps{QString::fromLatin1(kOptionSteps), QString()};
    QCommandLineOption minDwell{QString::fromLatin1(kOptionMinDwell), QString(),
                                QStringLiteral("MINUTES")};
    QCommandLineOption settleWindow{QString::fromLatin1(kOptionSettleWindow), QString(),
                                    QStringLiteral("MINUTES")};
    QCommandLineOption excursionDelay{QString::fromLatin1(kOptionExcursionDelay), QString(),
                                      QStringLiteral("SECONDS")};

    QList<QCommandLineOption> All() const
    {
        return {steps, minDwell, settleWindow, excursionDelay};
    }
};

// Every option of a report run.
struct CReportOptionNames
{
    QCommandLineOption pdf{QString::fromLatin1(kOptionPdf), QString(), QStringLiteral("OUT")};
    QCommandLineOption pages{QString::fromLatin1(kOptionPages), QString(),
                             QStringLiteral("FOLDER")};
    QCommandLineOption format{QStringLiteral("format"), QString(), QStringLiteral("FORMAT")};
    QCommandLineOption scale{QStringLiteral("scale"), QString(), QStringLiteral("NAME")};
    QCommandLineOption range{QStringLiteral("pages"), QString(), QStringLiteral("A-B")};
    QCommandLineOption statistics{QString::fromLatin1(kOptionStatistics), QString()};
    QCommandLineOption tolTemp{QString::fromLatin1(kOptionTolTemp), QString(), QStringLiteral("X")};
    QCommandLineOption tolHumi{QString::fromLatin1(kOptionTolHumi), QString(), QStringLiteral("Y")};
    QCommandLineOption exportTo{QString::fromLatin1(kOptionExport), QString(),
                                QStringLiteral("OUT")};
    QCommandLineOption interval{QString::fromLatin1(kOptionInterval), QString(),
                                QStringLiteral("SECONDS")};
    QCommandLineOption from{QString::fromLatin1(kOptionFrom), QString(), QStringLiteral("TIME")};
    QCommandLineOption to{QString::fromLatin1(kOptionTo), QString(), QStringLiteral("TIME")};
    QCommandLineOption layout{QString::fromLatin1(kOptionLayout), QString(),
                              QStringLiteral("FILE")};
    CStepOptionNames steps;

    QList<QCommandLineOption> All() const
    {
        return QList<QCommandLineOption>{pdf,        pages,   format,  scale,    range,
                                         statistics, tolTemp, tolHumi, exportTo, interval,
                                         from,       to,      layout} +
               steps.All();
    }
};

// False, with the error in options, when a step option is wrong.
bool ReadStepOptions(const QCommandLineParser& parser, const CStepOptionNames& names,
                     CReportOptions& options)
{
    options.bSteps = parser.isSet(names.steps);
    struct CNumber
    {
        const QCommandLineOption* pOption;
        int* pValue;
        std::int64_t nMin;
        std::int64_t nMax;
        const char* szUnit;
    };
    const CNumber numbers[] = {
        {&names.minDwell, &options.nMinDwell, kMinDwellMinutesMin, kMinDwellMinutesMax, "minutes"},
        {&names.settleWindow, &options.nSettleWindow, 0, kSettleWindowMinutesMax, "minutes"},
        {&names.excursionDelay, &options.nExcursionDelay, 0, kExcursionDelaySecondsMax, "seconds"},
    };
    for (const CNumber& n : numbers) {
        if (!parser.isSet(*n.pOption))
            continue;
        const QString strName = QStringLiteral("--") + n.pOption->names().constFirst();
        if (parser.values(*n.pOption).size() > 1) {
            options.strError = strName + QStringLiteral(" is given more than once.");
            return false;
        }
        if (!options.bSteps) {
            options.strError = strName + QStringLiteral(" applies to --steps only.");
            return false;
        }
        const QString strValue = parser.value(*n.pOption);
        const std::optional<std::int64_t> nValue = ParseStepNumber(strValue, n.nMin, n.nMax);
        if (!nValue) {
            // Concatenated: the value is the user's text.
            options.strError = strName + QStringLiteral(" \"") + strValue +
                               QStringLiteral("\" is not a whole number of ") +
                               QString::fromLatin1(n.szUnit) + QStringLiteral(" from ") +
                               QString::number(n.nMin) + QStringLiteral(" to ") +
                               QString::number(n.nMax) + u'.';
            return false;
        }
        *n.pValue = static_cast<int>(*nValue);
    }
    return true;
}

// --export, --interval, --from and --to; false, with options.strError, for a wrong one.
bool ParseStretchOptions(const QCommandLineParser& parser, const CReportOptionNames& names,
                         CReportOptions& options)
{
    const QCommandLineOption& exportTo = names.exportTo;
    const QCommandLineOption& interval = names.interval;
    const QCommandLineOption& from = names.from;
    const QCommandLineOption& to = names.to;
    options.strExport = parser.value(exportTo);
    if (parser.isSet(exportTo) && options.strExport.isEmpty()) {
        options.strError = QStringLiteral("--export needs a file name.");
        return false;
    }
    if (parser.isSet(interval)) {
        if (!parser.isSet(exportTo)) {
            options.strError = QStringLiteral("--interval applies to --export only.");
            return false;
        }
        const std::optional<int> n = ReadPositive(parser.value(interval));
        if (!n) {
            // Concatenated: the value is the user's text.
            options.strError = QStringLiteral("--interval \"") + parser.value(interval) +
                               QStringLiteral("\" is not a whole positive number of seconds.");
            return false;
        }
        options.nInterval = *n;
    }
    for (const auto& [pOption, pTime] :
         {std::pair(&from, &options.tFrom), std::pair(&to, &options.tTo)}) {
        if (!parser.isSet(*pOption))
            continue;
        const QString strName = QStringLiteral("--") + pOption->names().constFirst();
        if (!options.bStatistics && !options.bSteps && !parser.isSet(exportTo) &&
            !options.uniformity.bRun) {
            options.strError =
                strName + QStringLiteral(" applies to --statistics, --steps, --export and "
                                         "--uniformity only.");
            return false;
        }
        *pTime = ParseLocalTime(parser.value(*pOption));
        if (!*pTime) {
            options.strError = strName + QStringLiteral(" \"") + parser.value(*pOption) +
                               QStringLiteral("\" is not a local time \"YYYY-MM-DD HH:MM:SS\".");
            return false;
        }
    }
    if (options.tFrom && options.tTo && *options.tTo < *options.tFrom) {
        options.strError = QStringLiteral("--to \"") + parser.value(to) +
                           QStringLiteral("\" is before --from \"") + parser.value(from) +
                           QStringLiteral("\".");
        return false;
    }
    return true;
}

// False, with the error in options, when an option that takes one value is given twice.
bool CheckGivenOnce(const QCommandLineParser& parser, const CReportOptionNames& names,
                    CReportOptions& options)
{
    for (const QCommandLineOption* p :
         {&names.pdf, &names.pages, &names.format, &names.scale, &names.range, &names.tolTemp,
          &names.tolHumi, &names.exportTo, &names.interval, &names.from, &names.to,
          &names.layout}) {
        if (parser.values(*p).size() > 1) {
            options.strError =
                QStringLiteral("--%1 is given more than once.").arg(p->names().constFirst());
            return false;
        }
    }
    return true;
}

// --print-pdf, --save-pages and --format: where the pages go and in what form.
bool ReadOutputOptions(const QCommandLineParser& parser, const CReportOptionNames& names,
                       CReportOptions& options)
{
    options.strPdf = parser.value(names.pdf);
    options.strFolder = parser.value(names.pages);
    if (parser.isSet(names.pdf) && options.strPdf.isEmpty()) {
        options.strError = QStringLiteral("--print-pdf needs a file name.");
        return false;
    }
    if (parser.isSet(names.pages) && options.strFolder.isEmpty()) {
        options.strError = QStringLiteral("--save-pages needs a folder.");
        return false;
    }

    options.strFormat =
        parser.isSet(names.format) ? parser.value(names.format).toLower() : QStringLiteral("png");
    if (parser.isSet(names.format) && !parser.isSet(names.pages)) {
        options.strError = QStringLiteral("--format applies to --save-pages only.");
        return false;
    }
    if (std::none_of(std::begin(kFormats), std::end(kFormats),
                     [&](const char* sz) { return options.strFormat == QLatin1String(sz); })) {
        options.strError = QStringLiteral("Unknown picture format \"%1\": use png, jpg or bmp.")
                               .arg(parser.value(names.format));
        return false;
    }
    return true;
}

// --scale and --pages: which pages are drawn, and at what scale.
bool ReadPageOptions(const QCommandLineParser& parser, const CReportOptionNames& names,
                     CReportOptions& options)
{
    if (parser.isSet(names.scale)) {
        const std::optional<int> s = ScaleSecondsPerPixel(parser.value(names.scale));
        if (!s) {
            options.strError = QStringLiteral("Unknown scale \"%1\": use Auto, 1Hour, 2Hour, "
                                              "4Hour, 8Hour, 1Day, 1Week, 1Month or seconds "
                                              "per pixel from 1 to 3600.")
                                   .arg(parser.value(names.scale));
            return false;
        }
        options.nSecondsPerPixel = *s;
    }
    if (parser.isSet(names.range)) {
        const auto fromTo = ParsePageRange(parser.value(names.range));
        if (!fromTo) {
            options.strError = QStringLiteral("Pages \"%1\" are not a range A-B with 1 <= A <= B.")
                                   .arg(parser.value(names.range));
            return false;
        }
        std::tie(options.nFrom, options.nTo) = *fromTo;
    }
    return true;
}

// --tolerance-temp and --tolerance-humi, once --statistics and --steps are read.
bool ReadToleranceOptions(const QCommandLineParser& parser, const CReportOptionNames& names,
                          CReportOptions& options)
{
    for (const auto& [pOption, pValue] : {std::pair(&names.tolTemp, &options.nToleranceTemp),
                                          std::pair(&names.tolHumi, &options.nToleranceHumi)}) {
        if (!parser.isSet(*pOption))
            continue;
        const QString strName = pOption->names().constFirst();
        if (!options.bStatistics && !options.bSteps) {
            options.strError =
                QStringLiteral("--%1 applies to --statistics and --steps only.").arg(strName);
            return false;
        }
        const std::optional<int> n = ParseTolerance(parser.value(*pOption));
        if (!n) {
            options.strError = QStringLiteral("--") + strName + QStringLiteral(" \"") +
                               parser.value(*pOption) +
                               QStringLiteral("\" is not a number from 0 to 999.99 with at most "
                                              "two decimals.");
            return false;
        }
        *pValue = *n;
    }
    return true;
}

// The recorder files a report run reads: one, or several of one run.
bool ReadRecorderFileArgument(const QCommandLineParser& parser, CReportOptions& options)
{
    options.files = parser.positionalArguments();
    if (options.files.isEmpty()) {
        options.strError = QStringLiteral("No recorder file is given.");
        return false;
    }
    return true;
}

} // namespace

std::optional<std::int64_t> ParseLocalTime(const QString& strText)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2}) ([0-9]{2}):([0-9]{2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = pattern.match(strText);
    if (!match.hasMatch())
        return std::nullopt;
    int n[6];
    for (int i = 0; i < 6; ++i)
        n[i] = match.captured(i + 1).toInt();
    std::tm tm{};
    tm.tm_year = n[0] - 1900;
    tm.tm_mon = n[1] - 1;
    tm.tm_mday = n[2];
    tm.tm_hour = n[3];
    tm.tm_min = n[4];
    tm.tm_sec = n[5];
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    // mktime moves a day past the month's end and a time in the spring gap on; such a time
    // names no second of a recording.
    std::tm back{};
#if defined(_WIN32)
    const bool bConverted = t != -1 && localtime_s(&back, &t) == 0;
#else
    const bool bConverted = t != -1 && localtime_r(&t, &back) != nullptr;
#endif
    if (!bConverted || back.tm_year != n[0] - 1900 || back.tm_mon != n[1] - 1 ||
        back.tm_mday != n[2] || back.tm_hour != n[3] || back.tm_min != n[4] || back.tm_sec != n[5])
        return std::nullopt;
    return static_cast<std::int64_t>(t);
}

std::optional<CSampleRange> ResolveSampleRange(const CReportOptions& options, std::int64_t tFirst,
                                               std::int64_t nCount, QString& strError)
{
    CSampleRange range{0, nCount};
    const auto outside = [&](const char* szName, std::int64_t t) {
        strError = QStringLiteral("--%1 %2 lies outside the recording, %3 to %4.")
                       .arg(QLatin1String(szName), FormatLocalTime(t, "%Y-%m-%d %H:%M:%S"),
                            FormatLocalTime(tFirst, "%Y-%m-%d %H:%M:%S"),
                            FormatLocalTime(tFirst + nCount - 1, "%Y-%m-%d %H:%M:%S"));
        return std::nullopt;
    };
    if (options.tFrom) {
        if (*options.tFrom < tFirst || *options.tFrom - tFirst >= nCount)
            return outside(kOptionFrom, *options.tFrom);
        range.nBegin = *options.tFrom - tFirst;
    }
    if (options.tTo) {
        if (*options.tTo < tFirst || *options.tTo - tFirst >= nCount)
            return outside(kOptionTo, *options.tTo);
        range.nEnd = *options.tTo - tFirst + 1;
    }
    return range;
}

namespace {

// Whether an argument names one of the options, as --name, --name=VALUE or -name, the forms
// the parser reads.
bool NamesOption(int argc, const char* const* argv, std::initializer_list<const char*> names)
{
    for (int i = 1; i < argc; ++i) {
        for (const char* szName : names) {
            // --name, --name=VALUE and -name, as the parser reads them.
            const char* p = argv[i];
            if (p[0] != '-')
                continue;
            p += p[1] == '-' ? 2 : 1;
            const std::size_t n = std::strlen(szName);
            if (std::strncmp(p, szName, n) == 0 && (p[n] == '\0' || p[n] == '='))
                return true;
        }
    }
    return false;
}

} // namespace

bool IsReportCommandLine(int argc, const char* const* argv)
{
    return NamesOption(argc, argv,
                       {kOptionPdf, kOptionPages, kOptionStatistics, kOptionTolTemp, kOptionTolHumi,
                        kOptionSteps, kOptionMinDwell, kOptionSettleWindow, kOptionExcursionDelay,
                        kOptionExport, kOptionInterval, kOptionFrom, kOptionTo, kOptionUniformity,
                        kOptionSetTemp, kOptionSetHumi});
}

bool DrawsPictures(int argc, const char* const* argv)
{
    return NamesOption(argc, argv, {kOptionPdf, kOptionPages});
}

std::optional<int> ScaleSecondsPerPixel(const QString& strScale)
{
    for (const int nLang : {res::kLangCHT, res::kLangENG, res::kLangCHS}) {
        for (int i = 0; i < static_cast<int>(std::size(kScaleSeconds)); ++i) {
            if (strScale.compare(res::LoadString(res::IDS_SCALE_AUTO + i, nLang),
                                 Qt::CaseInsensitive) == 0)
                return kScaleSeconds[i];
        }
    }
    const std::optional<int> n = ReadPositive(strScale);
    if (n && *n >= kMinSecondsPerPixel && *n <= kMaxSecondsPerPixel)
        return n;
    return std::nullopt;
}

std::optional<std::pair<int, int>> ParsePageRange(const QString& strPages)
{
    const qsizetype nDash = strPages.indexOf(QLatin1Char('-'));
    const std::optional<int> nFrom = ReadPositive(nDash < 0 ? strPages : strPages.left(nDash));
    const std::optional<int> nTo = nDash < 0 ? nFrom : ReadPositive(strPages.mid(nDash + 1));
    if (!nFrom || !nTo || *nFrom > *nTo)
        return std::nullopt;
    return std::pair(*nFrom, *nTo);
}

QString ReportUsage()
{
    return QStringLiteral(
        "usage: trendora --print-pdf OUT.pdf [--scale NAME] [--pages A-B] FILE\n"
        "       trendora --save-pages FOLDER [--format png|jpg|bmp] [--scale NAME]\n"
        "                [--pages A-B] FILE\n"
        "       trendora --statistics [--tolerance-temp X] [--tolerance-humi Y]\n"
        "                [--from TIME] [--to TIME] FILE\n"
        "       trendora --steps [--min-dwell M] [--settle-window M] [--excursion-delay S]\n"
        "                [--tolerance-temp X] [--tolerance-humi Y] [--from TIME] [--to TIME] FILE\n"
        "       trendora --export OUT.csv [--interval SECONDS] [--from TIME] [--to TIME] FILE\n"
        "       trendora --uniformity [--set-temp X] [--set-humi Y] [--from TIME] [--to TIME]\n"
        "                [--print-pdf OUT.pdf] FILE FILE...\n"
        "       each also with [--layout LAYOUT], and with several FILEs of one run\n"
        "\n"
        "Writes the pages of the recorder file FILE without opening a window, with the\n"
        "stored colours, widths, limits, title and language:\n"
        "--print-pdf   the sheets File > Print prints: landscape, one page a sheet\n"
        "--save-pages  one picture a page, as File > Save as writes it, named\n"
        "              FILE's title followed by -p0001.png, -p0002.png ...\n"
        "--format      the pictures' format (png when not given)\n"
        "--scale       a scale choice (Auto, 1Hour, 2Hour, 4Hour, 8Hour, 1Day, 1Week,\n"
        "              1Month, in any interface language) or seconds per pixel, 1 to 3600\n"
        "--pages       the pages to write, A-B or A (every page when not given)\n"
        "--statistics  the whole recording's minimum, maximum and mean of each curve, and\n"
        "              the share of seconds with PV within the tolerance of SV, to stdout\n"
        "              as tab-separated lines; with --print-pdf also as a last sheet\n"
        "--steps       the steps of the test program read from the set values, each\n"
        "              dwell's settling and excursions, and the verdict, to stdout as\n"
        "              tab-separated lines; with --print-pdf also as sheets at the end\n"
        "--min-dwell   minutes a set value must hold to make a dwell, 1 to 10080 (10)\n"
        "--settle-window\n"
        "              minutes every second must be within for a dwell to have settled,\n"
        "              0 to 1440 (5)\n"
        "--excursion-delay\n"
        "              seconds outside the tolerance that make an excursion, 0 to 86400\n"
        "              (0: every such second); the stored values where not given\n"
        "--tolerance-temp, --tolerance-humi\n"
        "              the tolerances, 0 to 999.99 (the stored ones, or 2.00 and 5.00)\n"
        "--export      the recording's seconds as a recorder file, one record a second or\n"
        "              one every --interval seconds, in local time\n"
        "--from, --to  \"YYYY-MM-DD HH:MM:SS\" in local time: the first and the last second\n"
        "              --statistics, --steps and --export take (the recording's ends when\n"
        "              not given)\n"
        "--uniformity  how evenly the recordings of one chamber, made together, held\n"
        "              temperature and humidity over the seconds they all cover: each one's\n"
        "              mean, extremes, fluctuation and deviation from the set value, the\n"
        "              spread across them and the gradient, as tab-separated lines (--from\n"
        "              and --to choose among those seconds); with --print-pdf on a sheet\n"
        "              with every file's SHA-256\n"
        "--set-temp, --set-humi\n"
        "              the set values to take the deviations from (the mean Temp SV and\n"
        "              Humi SV of the first file that has them when not given)\n"
        "--layout      a layout file (see the README) that FILE is read by, for a file of\n"
        "              another logger whose layout is not recognised from the file itself\n"
        "\n"
        "Exit status: 0 written, 1 stopped at an invalid record, 2 cannot open FILE,\n"
        "3 FILE has fewer than two lines, 4 stopped at a record whose gap makes the\n"
        "series too long, 5 out of memory (after 1, 4 and 5 the pages of the records\n"
        "before that record are written), 6 --steps found a dwell that failed,\n"
        "64 usage (also a wrong --layout file), 65 the layout of FILE is in doubt or\n"
        "unknown: nothing is written, 74 cannot write.\n");
}

CReportOptions ParseReportOptions(const QStringList& args)
{
    CReportOptions options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const CReportOptionNames names;
    parser.addOptions(names.All());
    parser.addOptions(UniformityOptions());
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(args)) {
        options.strError = parser.errorText();
        return options;
    }
    if (parser.isSet(help)) {
        options.bHelp = true;
        return options;
    }
    if (!CheckGivenOnce(parser, names, options) || !ReadOutputOptions(parser, names, options) ||
        !ReadPageOptions(parser, names, options))
        return options;
    options.bStatistics = parser.isSet(names.statistics);
    if (!ReadUniformityOptions(parser, options.uniformity, options.files, options.strError))
        return options;
    if (!ReadStepOptions(parser, names.steps, options) ||
        !ReadToleranceOptions(parser, names, options) ||
        !ParseStretchOptions(parser, names, options))
        return options;
    options.strLayout = parser.value(names.layout);
    if (parser.isSet(names.layout) && options.strLayout.isEmpty()) {
        options.strError = QStringLiteral("--layout needs a layout file.");
        return options;
    }
    if (!options.uniformity.bRun)
        ReadRecorderFileArgument(parser, options);
    return options;
}
