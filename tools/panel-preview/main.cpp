// Shows a panel definition file as the client would build it, without a Core, and drives its
// meters and channel strips with the demo meter server's programme levels; beside it, the
// problems the panel checker finds, each framing its control when selected. Each save of the
// file shows the panel anew, so a designer sees every edit at once. For designing panels and
// for screenshots.

#include "PanelPreview.h"
#include "app/EventLoopChoice.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <unistd.h>

int main(int argc, char** argv) {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    corvane::PreferQtEventLoop();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QCoreApplication::setApplicationName(QStringLiteral("corvane-panel-preview"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Shows a panel definition with moving meters and the problems the panel checker finds, "
        "and shows both anew whenever the file is saved.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("panel", "Panel definition file (XML).");
    parser.addOption({"quit-after", "Close after this many milliseconds.", "ms"});
    parser.addOption({"dir",
                      "Working folder, holding PanelGraphics (default: the panel file's "
                      "folder).",
                      "folder"});
    parser.process(app);
    if (parser.positionalArguments().isEmpty()) {
        parser.showHelp(1);
    }
    const QString path = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    if (!QFileInfo(path).isReadable()) {
        QTextStream(stderr) << "cannot read " << path << Qt::endl;
        return 1;
    }
    // Pictures and local pages are looked up from the working folder, as the client does.
    QDir::setCurrent(parser.isSet("dir") ? parser.value("dir") : QFileInfo(path).absolutePath());

    corvane::demo::PanelPreview preview(path);
    QObject::connect(&preview, &corvane::demo::PanelPreview::reloaded,
                     [&] { QTextStream(stdout) << "reloaded " << path << Qt::endl; });
    if (parser.isSet("quit-after")) {
        QTimer::singleShot(parser.value("quit-after").toInt(), &app, &QApplication::quit);
    }
    return QApplication::exec();
}
