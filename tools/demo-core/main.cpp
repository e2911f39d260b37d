// A Core for demonstrations: a small studio that serves the panels of a folder, lights and
// latches buttons, switches and fades channels, and shares one state among all its clients.

#include "DemoCoreServer.h"
#include "common/ListenAddress.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

using corvane::demo::DemoCoreServer;
using corvane::demo::ListenAddress;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-demo-core"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A demonstration Core: a small studio for CorvaneMini clients.\n"
        "Control commands \"message TEXT\" and \"set PANEL.CONTROL.PROPERTY=VALUE\" act; "
        "every command is logged.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"listen", "Address and port to listen on (default 127.0.0.1:5200).",
                      "address:port", "127.0.0.1:5200"});
    parser.addOption(
        {"panels", "Folder of panel definitions, one NAME.xml per panel.", "folder", "."});
    parser.addOption({"user", "User name a client must log in with.", "name", "operator"});
    parser.addOption({"password", "Password a client must log in with.", "password", "demo"});
    parser.addOption({"trace", "Print every frame in and out on stderr."});
    parser.addOption({"churn",
                      "Keep the studio busy: this many changes a second (buttons pushed, faders "
                      "moved, channels switched, captions) to the clients that show them.",
                      "per-second", "0"});
    parser.addOption(
        {"stats", "Print the frames received and sent every this many seconds.", "seconds", "0"});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto listen = ListenAddress::parse(parser.value("listen"), 5200);
    if (!listen) {
        err << "--listen wants ADDRESS:PORT, not \"" << parser.value("listen") << "\"" << Qt::endl;
        return 2;
    }
    bool churnOk = false;
    const double churn = parser.value("churn").toDouble(&churnOk);
    bool statsOk = false;
    const int statsSeconds = parser.value("stats").toInt(&statsOk);
    if (!churnOk || churn < 0 || churn > 100000 || !statsOk || statsSeconds < 0) {
        err << "--churn wants a number of changes a second (0 to 100000), --stats a number of "
               "seconds"
            << Qt::endl;
        return 2;
    }
    const QDir panels(parser.value("panels"));
    if (!panels.exists()) {
        err << "no panel folder " << panels.path() << Qt::endl;
        return 2;
    }

    DemoCoreServer server(panels, {parser.value("user"), parser.value("password")});
    server.setLog([&out](const QString& line) { out << line << Qt::endl; });
    if (parser.isSet("trace")) {
        server.setTrace([&err](const QString& line) { err << line << Qt::endl; });
    }
    if (!server.listen(listen->address, listen->port)) {
        err << "cannot listen on " << ListenAddress::describe(listen->address, listen->port) << ": "
            << server.errorString() << Qt::endl;
        return 1;
    }
    out << "demo Core listening on "
        << ListenAddress::describe(server.serverAddress(), server.serverPort()) << ", panels in "
        << panels.absolutePath() << Qt::endl;
    server.setChurn(churn);
    QTimer stats;
    QObject::connect(&stats, &QTimer::timeout, [&] {
        out << "stats: frames received " << server.framesReceived() << ", sent "
            << server.framesSent() << ", changes " << server.studio().churnCount() << Qt::endl;
    });
    if (statsSeconds > 0) {
        stats.start(statsSeconds * 1000);
    }
    return QCoreApplication::exec();
}
