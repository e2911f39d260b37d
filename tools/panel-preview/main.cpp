// Shows a panel definition file as the client would build it, without a Core, and drives its
// meters and channel strips with moving levels. For designing panels and for screenshots.

#include "app/frmCVMini.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "panel/ControlArrays.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTimer>

#include <cmath>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows a panel definition with moving meters.");
    parser.addHelpOption();
    parser.addPositionalArgument("panel", "Panel definition file (XML).");
    parser.addOption({"quit-after", "Close after this many milliseconds.", "ms"});
    parser.addOption({"dir", "Working folder, holding PanelGraphics (default: the panel file's "
                             "folder).", "folder"});
    parser.process(app);
    if (parser.positionalArguments().isEmpty()) {
        parser.showHelp(1);
    }
    QFile file(parser.positionalArguments().first());
    if (!file.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "cannot read " << file.fileName() << Qt::endl;
        return 1;
    }
    // Pictures and local pages are looked up from the working folder, as the client does.
    QDir::setCurrent(parser.isSet("dir") ? parser.value("dir") : QFileInfo(file).absolutePath());

    corvane::frmCVMini window;
    window.panel().strGraphicsPath =
        QDir::current().filePath(QStringLiteral("PanelGraphics")) + QLatin1Char('/');
    window.show();
    window.AnalyzeXML(QString::fromUtf8(file.readAll()));

    // Channel strips show their buttons once the Core reports what the channel can do; here
    // every strip has an on/off button and two programme buses.
    auto& arrays = window.controlArrays();
    for (int i = 1; i < arrays.TesselMeterFader.count(); ++i) {
        corvane::MeterFader* strip = arrays.TesselMeterFader.at(i);
        strip->setHasOnOff(true);
        strip->setChannelOn(i != 2);
        strip->setHasPGMBus(1, true);
        strip->setHasPGMBus(2, true);
        strip->setPGMBusOn(1, i == 1);
        strip->setFaderActive(true);
        strip->setFaderLevel(-5.0f * i);
    }

    // Levels in dB below full scale, moving like programme material.
    QTimer levels;
    double phase = 0;
    QObject::connect(&levels, &QTimer::timeout, [&] {
        phase += 0.07;
        auto* random = QRandomGenerator::global();
        for (int i = 1; i < arrays.TesselLED.count(); ++i) {
            const double base = -18 + 12 * std::sin(phase + i);
            arrays.TesselLED.at(i)->SetPeakLevels(int(base + random->bounded(6)),
                                                  int(base + random->bounded(6)));
        }
        for (int i = 1; i < arrays.TesselMeterFader.count(); ++i) {
            const double base = -20 + 14 * std::sin(phase * 1.3 + i);
            const int left = int(base + random->bounded(5));
            const int right = int(base + random->bounded(5));
            arrays.TesselMeterFader.at(i)->SetMeterLevels(left, right, left - 8, right - 8);
        }
    });
    levels.start(20);

    if (parser.isSet("quit-after")) {
        QTimer::singleShot(parser.value("quit-after").toInt(), &app, &QApplication::quit);
    }
    return QApplication::exec();
}
