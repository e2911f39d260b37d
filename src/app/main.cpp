#include "app/CommandLine.h"
#include "app/EventLoopChoice.h"
#include "app/TerminationSignals.h"
#include "app/frmCVMini.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

#include <unistd.h>

namespace {

QStringList rawArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

int finish(const corvane::CommandLineOutcome& outcome) {
    std::fputs(outcome.output.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.error.toLocal8Bit().constData(), stderr);
    return outcome.exitStatus;
}

} // namespace

int main(int argc, char** argv) {
    // The arguments are read before anything needs a display, so that --help, --version and a
    // mistake are answered on a machine without one. With options of Qt's own (-platform,
    // -style, ...) they are read again once Qt has taken those out.
    corvane::CommandLineOutcome arguments =
        corvane::ParseProgramArguments(rawArguments(argc, argv));
    if (!arguments.run && !arguments.qtOptions) {
        return finish(arguments);
    }
    // The web view's browser engine refuses to start its sandbox as root; operators' machines
    // do not run as root, but kiosks and test machines may.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    corvane::PreferQtEventLoop();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (arguments.qtOptions) {
        arguments = corvane::ParseProgramArguments(QApplication::arguments());
        if (!arguments.run) {
            return finish(arguments);
        }
    }
    QApplication::setApplicationName(corvane::frmCVMini::applicationTitle());
    // Panel colours come from the Core; a style that honours palettes shows them on any desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QIcon icon(QStringLiteral(":/icons/corvane-mini-48.png"));
    icon.addFile(QStringLiteral(":/icons/corvane-mini-128.png"));
    QApplication::setWindowIcon(icon);

    corvane::frmCVMini window;
    // A service stop, a session's end or Ctrl+C closes the window like the operator would,
    // from start-up on.
    corvane::TerminationSignals termination;
    QObject::connect(&termination, &corvane::TerminationSignals::terminationRequested, &window,
                     &QWidget::close);
    if (!window.Form_Load(QApplication::arguments().mid(1)) || window.programEnded()) {
        return 0;
    }
    return QApplication::exec();
}
