#include "app/CommandLine.h"

#include "app/ProgramConfig.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace corvane {

namespace {

const QString kProgramName = QStringLiteral("corvane-mini");

QString usage(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    // The parser names the program by the path it was started with, or, read before there is
    // an application object (so that --help needs no display), by a placeholder.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, lineEnd, QStringLiteral("Usage: %1 [options]").arg(kProgramName));
    return text;
}

// Options that Qt's application object reads and takes out of the arguments itself.
bool isQtOption(const QString& name) {
    static const QStringList names{QStringLiteral("platform"),
                                   QStringLiteral("platformpluginpath"),
                                   QStringLiteral("platformtheme"),
                                   QStringLiteral("plugin"),
                                   QStringLiteral("qwindowgeometry"),
                                   QStringLiteral("geometry"),
                                   QStringLiteral("qwindowtitle"),
                                   QStringLiteral("title"),
                                   QStringLiteral("qwindowicon"),
                                   QStringLiteral("icon"),
                                   QStringLiteral("session"),
                                   QStringLiteral("display"),
                                   QStringLiteral("name"),
                                   QStringLiteral("style"),
                                   QStringLiteral("stylesheet"),
                                   QStringLiteral("reverse"),
                                   QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"),
                                   QStringLiteral("dograb"),
                                   QStringLiteral("sync"),
                                   QStringLiteral("qmljsdebugger"),
                                   QStringLiteral("testability")};
    return names.contains(name);
}

CommandLineOutcome mistake(const QCommandLineParser& parser, const QString& line) {
    CommandLineOutcome outcome;
    outcome.run = false;
    outcome.exitStatus = 2;
    outcome.error = kProgramName + QLatin1String(": ") + line + QLatin1Char('\n') + usage(parser);
    return outcome;
}

} // namespace

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

QString ProgramVersionLine() {
    return kProgramName + QLatin1Char(' ') + QStringLiteral(CORVANE_VERSION);
}

CommandLineOutcome ParseProgramArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Operator panel for a broadcast audio routing Core: connects to the Core "
                       "named in the configuration, shows the panel it serves, mirrors its "
                       "changes, reports the operator's actions and shows live levels."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption config(
        QStringLiteral("config"),
        QStringLiteral("Read the configuration from <file> instead of CVMiniConfig.txt in the "
                       "current folder. The file's folder becomes the program's folder: "
                       "MiniPosition.inf and PanelGraphics/ are kept there."),
        QStringLiteral("file"));
    const QCommandLineOption panel(
        QStringLiteral("panel"),
        QStringLiteral("Ask the Core for panel <name> (over panelname in the configuration)."),
        QStringLiteral("name"));
    const QCommandLineOption fullScreen(
        QStringLiteral("fullscreen"),
        QStringLiteral("Show the panel full screen, scaled to fit and centred (as "
                       "fullscreen=true). Ctrl+Shift+F leaves and enters full screen."));
    const QCommandLineOption scale(
        QStringLiteral("scale"),
        QStringLiteral("Scale the panel: fit, the largest scale at which it fits the screen, or "
                       "a factor from 0.25 to 4 (over panelscale). Ctrl+plus, Ctrl+minus and "
                       "Ctrl+0 step it up, down and back."),
        QStringLiteral("fit|factor"));
    const QCommandLineOption debug(
        QStringLiteral("d"), QStringLiteral("Show the debug window beside the panel: the Core "
                                            "servers tried, logins, connections made and lost."));
    const QCommandLineOption coreMeters(
        {QStringLiteral("m"), QStringLiteral("M")},
        QStringLiteral("Also feed levels sent by the Core into the meters. -d, -m and -M count "
                       "only when given alone among them."));
    for (const QCommandLineOption& option :
         {help, version, config, panel, fullScreen, scale, debug, coreMeters}) {
        parser.addOption(option);
    }

    // "-platform" is one option, as Qt reads it, not eight letters; -d, -m and -M are as ever.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const bool parsed = parser.parse(arguments);
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty() && std::all_of(unknown.cbegin(), unknown.cend(), isQtOption)) {
        CommandLineOutcome outcome = mistake(parser, parser.errorText());
        outcome.qtOptions = true;
        return outcome;
    }
    if (!parsed) {
        return mistake(parser, parser.errorText());
    }
    if (parser.isSet(help)) {
        CommandLineOutcome outcome;
        outcome.run = false;
        outcome.output = usage(parser);
        return outcome;
    }
    if (parser.isSet(version)) {
        CommandLineOutcome outcome;
        outcome.run = false;
        outcome.output = ProgramVersionLine() + QLatin1Char('\n');
        return outcome;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return mistake(parser, QStringLiteral("unexpected argument '%1'")
                                   .arg(parser.positionalArguments().constFirst()));
    }

    CommandLineOutcome outcome;
    ProgramOptions& options = outcome.options;
    QStringList switches;
    for (const QString& name : parser.optionNames()) {
        if (debug.names().contains(name) || coreMeters.names().contains(name)) {
            switches << QLatin1Char('-') + name;
        }
    }
    options.switches = ParseCommandLine(ArgumentText(switches));
    if (parser.isSet(config)) {
        const QFileInfo file(parser.value(config));
        if (!file.isFile()) {
            return mistake(parser, QStringLiteral("--config: there is no configuration file '%1'")
                                       .arg(parser.value(config)));
        }
        options.configFile = file.absoluteFilePath();
    }
    if (parser.isSet(panel)) {
        if (parser.value(panel).trimmed().isEmpty()) {
            return mistake(parser, QStringLiteral("--panel: the panel's name is empty"));
        }
        options.panelName = parser.value(panel);
    }
    options.fullScreen = parser.isSet(fullScreen);
    if (parser.isSet(scale)) {
        options.scale = ScaleChoice::fromText(parser.value(scale));
        if (!options.scale) {
            const QString line = QStringLiteral("--scale: '%1' is neither fit nor a factor from "
                                                "%2 to %3");
            return mistake(parser, line.arg(parser.value(scale))
                                       .arg(ScaleChoice::kMinFactor)
                                       .arg(ScaleChoice::kMaxFactor));
        }
    }
    return outcome;
}

QString EnterProgramFolder(const ProgramOptions& options) {
    if (options.configFile.isEmpty()) {
        return kConfigFileName;
    }
    const QFileInfo config(options.configFile);
    QDir::setCurrent(config.absolutePath());
    return config.fileName();
}

void ApplyProgramOptions(const ProgramOptions& options, ProgramData& data) {
    if (options.panelName) {
        data.strPanelName = *options.panelName;
    }
    if (options.scale) {
        data.panelScale = options.scale;
    }
    data.boolFullScreen = data.boolFullScreen || options.fullScreen;
}

} // namespace corvane
