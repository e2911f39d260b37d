// Checks panel definition files as the client would meet them, and reports each problem on a
// line of its own: FILE:LINE:COLUMN: error|warning: MESSAGE. Exit status 0 when every file is
// clean, 1 for warnings only, 2 for any error (a wrong invocation included).

#include "PanelCheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>

using corvane::check::PanelCheck;
using corvane::check::PanelProblem;

namespace {

constexpr int kUsageError = 2;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-panel-check"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Checks panel definitions as the client reads and builds them, and reports every "
        "problem it would meet.\nExit status: 0 clean, 1 warnings only, 2 any error.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"json", "One JSON object a line per problem: file, line, column, "
                              "severity, control, message."});
    parser.addOption({"pictures",
                      "The picture folder the client uses (default: PanelGraphics in the "
                      "current folder, as the client has it).",
                      "DIR", QStringLiteral("PanelGraphics")});
    parser.addPositionalArgument("FILE", "Panel definition files (XML).", "FILE...");
    QTextStream err(stderr);
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << Qt::endl;
        return kUsageError;
    }
    // Help and version (once the arguments are known to be right, since a wrong one would exit
    // with status 1 here, the status of warnings).
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        err << "No panel definition given; see --help" << Qt::endl;
        return kUsageError;
    }

    const PanelCheck check(parser.value("pictures"));
    const bool json = parser.isSet("json");
    QTextStream out(stdout);
    int status = 0;
    for (const QString& file : files) {
        const QList<PanelProblem> problems = check.checkFile(file);
        for (const PanelProblem& problem : problems) {
            if (json) {
                out << QString::fromUtf8(corvane::check::ProblemJson(problem)) << '\n';
            } else {
                out << corvane::check::FormatProblem(problem) << '\n';
            }
        }
        status = std::max(status, corvane::check::ExitStatus(problems));
    }
    out.flush();
    return status;
}
