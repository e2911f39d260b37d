// A meter server for demonstrations: sends programme-like levels for every point a client
// subscribes, silent where a channel is off.

#include "DemoMeterServer.h"
#include "common/ListenAddress.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>
#include <QTimer>

using corvane::demo::DemoMeterServer;
using corvane::demo::ListenAddress;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-demo-meters"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A demonstration meter server: programme-like levels for every subscribed point.\n"
        "Without --core, every eighth source is off (silent) and channels keep their starting "
        "gains; with --core, switches and faders follow that Core.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"listen", "Address and port to listen on (default 127.0.0.1:9501).",
                      "address:port", "127.0.0.1:9501"});
    parser.addOption(
        {"core", "Follow channel switches and faders of the Core at this address.", "host:port"});
    parser.addOption({"user", "User name for the Core.", "name", "operator"});
    parser.addOption({"password", "Password for the Core.", "password", "demo"});
    parser.addOption({"trace", "Print every line received on stderr."});
    parser.addOption(
        {"stats", "Print the level lines sent every this many seconds.", "seconds", "0"});
    parser.addOption({"remember",
                      "Keep the points listened to in this file and report when those listened to "
                      "before this start are all subscribed again.",
                      "file"});
    parser.addOption({"timestamps", "Begin every log line with milliseconds since 1970."});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto listen = ListenAddress::parse(parser.value("listen"), 9501);
    if (!listen) {
        err << "--listen wants ADDRESS:PORT, not \"" << parser.value("listen") << "\"" << Qt::endl;
        return 2;
    }

    bool statsOk = false;
    const int statsSeconds = parser.value("stats").toInt(&statsOk);
    if (!statsOk || statsSeconds < 0) {
        err << "--stats wants a number of seconds" << Qt::endl;
        return 2;
    }

    DemoMeterServer server;
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
    if (parser.isSet("remember")) {
        server.rememberPoints(parser.value("remember"));
    }
    if (parser.isSet("core")) {
        server.followCore(parser.value("core"), parser.value("user"), parser.value("password"));
    }
    out << "demo meter server listening on "
        << ListenAddress::describe(server.serverAddress(), server.serverPort()) << Qt::endl;
    QTimer stats;
    QObject::connect(&stats, &QTimer::timeout,
                     [&] { out << "stats: level lines sent " << server.linesSent() << Qt::endl; });
    if (statsSeconds > 0) {
        stats.start(statsSeconds * 1000);
    }
    return QCoreApplication::exec();
}
