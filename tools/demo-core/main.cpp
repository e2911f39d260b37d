#include "DemoCore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("A demonstration Core that serves panel definitions.");
    parser.addHelpOption();
    parser.addOption({"port", "TCP port to listen on.", "port", "5200"});
    parser.addOption({"panels", "Folder of panel definitions (name.xml).", "folder", "."});
    parser.process(app);

    corvane::demo::DemoCore core(QDir(parser.value("panels")));
    const quint16 port = parser.value("port").toUShort();
    if (!core.listen(port)) {
        QTextStream(stderr) << "cannot listen on port " << port << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "demo Core listening on port " << port << Qt::endl;
    return QCoreApplication::exec();
}
