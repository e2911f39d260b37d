#include "DemoMeterServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("A demonstration meter server that sends moving levels.");
    parser.addHelpOption();
    parser.addOption({"port", "TCP port to listen on.", "port", "9501"});
    parser.process(app);

    corvane::demo::DemoMeterServer server;
    const quint16 port = parser.value("port").toUShort();
    if (!server.listen(port)) {
        QTextStream(stderr) << "cannot listen on port " << port << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "demo meter server listening on port " << port << Qt::endl;
    return QCoreApplication::exec();
}
