#pragma once

#include "app/ScaleChoice.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

struct CommandLineSwitches {
    bool showDebugWindow = false; // exactly "-d"
    bool coreMeterMode = false;   // exactly "-m" or "-M"
};

// The whole switch text (the switches given, joined by blanks) is compared with each switch
// as a whole, case-sensitively: several switches together select nothing.
CommandLineSwitches ParseCommandLine(const QString& argumentText);
QString ArgumentText(const QStringList& arguments); // arguments without the program name

// What the command line asks of the program.
struct ProgramOptions {
    CommandLineSwitches switches;
    // --config: the configuration file, absolute. Empty: CVMiniConfig.txt in the current
    // folder. Its folder becomes the program's folder, where it keeps all its files.
    QString configFile;
    std::optional<QString> panelName; // --panel, over "panelname"
    bool fullScreen = false;          // --fullscreen, as "fullscreen=true"
    std::optional<ScaleChoice> scale; // --scale, over "panelscale"
};

struct ProgramData;

// Makes the configuration's folder the current one and gives the file's name there: the
// position file and PanelGraphics/ are read and written beside it, as in the current folder
// without --config.
QString EnterProgramFolder(const ProgramOptions& options);

// What the command line sets over the configuration file: the panel, the scale, full screen.
void ApplyProgramOptions(const ProgramOptions& options, ProgramData& data);

struct CommandLineOutcome {
    bool run = true;    // false: the program ends at once with exitStatus
    int exitStatus = 0; // 0 after --help or --version, 2 after a mistake
    QString output;     // for standard output: the help or the version
    QString error;      // for standard error: the mistake in one line, then the usage
    // The arguments hold options of Qt's own (-platform, -style, ...): they are read again
    // once Qt's application object has taken those out.
    bool qtOptions = false;
    ProgramOptions options;
};

// Reads the arguments (the program's name first) the way Linux programs do: --help, --version,
// --config FILE, --panel NAME, --fullscreen, --scale fit|FACTOR, and the switches -d, -m, -M,
// which count as they always did (alone among them). An unknown option, a bad value or a
// stray argument is a mistake.
CommandLineOutcome ParseProgramArguments(const QStringList& arguments);

// "corvane-mini VERSION", as --version prints it.
QString ProgramVersionLine();

} // namespace corvane
