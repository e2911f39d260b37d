#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

struct CommandLineSwitches {
    bool showDebugWindow = false; // exactly "-d"
    bool coreMeterMode = false;   // exactly "-m" or "-M"
};

// The whole argument text (the arguments after the program name, joined by blanks) is compared
// with each switch as a whole, case-sensitively: several switches together select nothing.
CommandLineSwitches ParseCommandLine(const QString& argumentText);
QString ArgumentText(const QStringList& arguments); // arguments without the program name

} // namespace corvane
