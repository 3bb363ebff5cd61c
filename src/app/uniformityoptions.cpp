#include "app/uniformityoptions.h"

#include "recording/recordingset.h"
#include "view/uniformitytext.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {

// Options that read or draw one recording, which a uniformity run has no use for.
constexpr const char* kOneRecordingOptions[] = {
    "statistics", "steps",         "export",         "interval",       "save-pages",
    "pages",      "scale",         "format",         "tolerance-temp", "tolerance-humi",
    "min-dwell",  "settle-window", "excursion-delay"};

} // namespace

QList<QCommandLineOption> UniformityOptions()
{
    return {
        QCommandLineOption(QString::fromLatin1(kOptionUniformity), QString()),
        QCommandLineOption(QString::fromLatin1(kOptionSetTemp), QString(), QStringLiteral("X")),
        QCommandLineOption(QString::fromLatin1(kOptionSetHumi), QString(), QStringLiteral("Y"))};
}

bool ReadUniformityOptions(const QCommandLineParser& parser, CUniformityOptions& options,
                           QStringList& files, QString& strError)
{
    options.bRun = parser.isSet(QString::fromLatin1(kOptionUniformity));
    for (const auto& [szName, pValue] : {std::pair(kOptionSetTemp, &options.setTemp),
                                         std::pair(kOptionSetHumi, &options.setHumi)}) {
        const QString strName = QString::fromLatin1(szName);
        if (!parser.isSet(strName))
            continue;
        if (parser.values(strName).size() > 1) {
            strError = QStringLiteral("--") + strName + QStringLiteral(" is given more than once.");
            return false;
        }
        if (!options.bRun) {
            strError =
                QStringLiteral("--") + strName + QStringLiteral(" applies to --uniformity only.");
            return false;
        }
        *pValue = ParseSetValue(parser.value(strName));
        if (!*pValue) {
            // Concatenated: the value is the user's text.
            strError = QStringLiteral("--") + strName + QStringLiteral(" \"") +
                       parser.value(strName) +
                       QStringLiteral("\" is not a number with at most two decimals, "
                                      "such as 25 or -40.5.");
            return false;
        }
    }
    if (!options.bRun)
        return true;
    for (const char* szName : kOneRecordingOptions) {
        if (parser.isSet(QString::fromLatin1(szName))) {
            strError = QStringLiteral("--") + QLatin1String(szName) +
                       QStringLiteral(" reads one recording: not with --uniformity.");
            return false;
        }
    }
    const QStringList given = parser.positionalArguments();
    if (given.size() < 2) {
        strError = QStringLiteral("--uniformity needs two or more recorder files, ") +
                   QString::number(given.size()) + QStringLiteral(" given.");
        return false;
    }
    if (given.size() > static_cast<qsizetype>(kMaxRecordings)) {
        strError = QStringLiteral("--uniformity takes at most ") + QString::number(kMaxRecordings) +
                   QStringLiteral(" recorder files.");
        return false;
    }
    files = given;
    return true;
}
