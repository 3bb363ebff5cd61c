// The options of a uniformity run on the command line: --uniformity with two or more recorder
// files, and --set-temp and --set-humi for typed set values.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineOption;
class QCommandLineParser;

struct CUniformityOptions
{
    // --uniformity: every recorder file given is one recording of a mapping, placed by its
    // clock time; --set-temp and --set-humi type the set values the deviations are from.
    bool bRun = false;
    std::optional<double> setTemp;
    std::optional<double> setHumi;
};

inline constexpr const char* kOptionUniformity = "uniformity";
inline constexpr const char* kOptionSetTemp = "set-temp";
inline constexpr const char* kOptionSetHumi = "set-humi";

// The options the report parser adds for it.
QList<QCommandLineOption> UniformityOptions();

// Reads --uniformity (every positional argument is then one of its files), --set-temp and
// --set-humi into options and the files into files; false, with strError, when they are wrong or
// are given with an option that reads one recording.
bool ReadUniformityOptions(const QCommandLineParser& parser, CUniformityOptions& options,
                           QStringList& files, QString& strError);
