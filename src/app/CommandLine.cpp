#include "app/CommandLine.h"

namespace corvane {

CommandLineSwitches ParseCommandLine(const QString& argumentText) {
    CommandLineSwitches switches;
    if (argumentText == QLatin1String("-d")) {
        switches.showDebugWindow = true;
    } else if (argumentText == QLatin1String("-m") || argumentText == QLatin1String("-M")) {
        switches.coreMeterMode = true;
    }
    return switches;
}

QString ArgumentText(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

} // namespace corvane
