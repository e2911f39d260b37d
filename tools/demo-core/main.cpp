// A Core for demonstrations: a small studio that serves the panels of a folder, lights and
// latches buttons, switches and fades channels, and shares one state among all its clients.

#include "DemoCoreServer.h"
#include "common/ListenAddress.h"
#include "common/SignalPipe.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>
#include <QTimer>

#include <csignal>

using corvane::demo::DemoCoreServer;
using corvane::demo::ListenAddress;
using corvane::demo::SignalPipe;

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
    parser.addOption({"share",
                      "Share the studio with other Cores through this file: whichever serves a "
                      "client serves the same studio, and a Core started again finds it as it "
                      "was.",
                      "file"});
    parser.addOption({"readback",
                      "Serve panels with a load command that reads every control back; SIGUSR1 "
                      "then checks what every client shows against the studio."});
    parser.addOption(
        {"burst", "Changes in the one-second burst that SIGUSR2 sets off.", "count", "5000"});
    parser.addOption(
        {"pace", "Send no faster than this many bytes a second to each client.", "bytes", "0"});
    parser.addOption({"timestamps", "Begin every log line with milliseconds since 1970."});
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
    bool burstOk = false;
    const int burst = parser.value("burst").toInt(&burstOk);
    bool paceOk = false;
    const qint64 pace = parser.value("pace").toLongLong(&paceOk);
    if (!churnOk || churn < 0 || churn > 100000 || !statsOk || statsSeconds < 0 || !burstOk ||
        burst < 0 || burst > 1000000 || !paceOk || pace < 0) {
        err << "--churn wants a number of changes a second (0 to 100000), --stats a number of "
               "seconds, --burst a number of changes (0 to 1000000), --pace bytes a second"
            << Qt::endl;
        return 2;
    }
    const QDir panels(parser.value("panels"));
    if (!panels.exists()) {
        err << "no panel folder " << panels.path() << Qt::endl;
        return 2;
    }

    DemoCoreServer server(panels, {parser.value("user"), parser.value("password")});
    const bool timestamps = parser.isSet("timestamps");
    server.setLog([&out, timestamps](const QString& line) {
        if (timestamps) {
            out << QDateTime::currentMSecsSinceEpoch() << ' ';
        }
        out << line << Qt::endl;
    });
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
    if (parser.isSet("share") && !server.shareStudio(parser.value("share"))) {
        err << "cannot share the studio through " << parser.value("share") << ": "
            << server.shareError() << Qt::endl;
        return 1;
    }
    server.setReadback(parser.isSet("readback"));
    server.setPace(pace);
    server.setChurn(churn);
    // kill -USR1: check the clients; -USR2: a burst of changes; -HUP: every panel again.
    SignalPipe signalPipe({SIGUSR1, SIGUSR2, SIGHUP});
    QObject::connect(&signalPipe, &SignalPipe::received, [&server, burst](int number) {
        if (number == SIGUSR1) {
            server.check();
        } else if (number == SIGUSR2) {
            server.burst(burst);
        } else if (number == SIGHUP) {
            server.redeliver();
        }
    });
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
