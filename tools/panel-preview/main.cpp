// Shows a panel definition file as the client would build it, without a Core, and drives its
// meters and channel strips with moving levels. Each save of the file shows the panel anew,
// so a designer sees every edit at once. For designing panels and for screenshots.

#include "PanelFileWatcher.h"
#include "app/frmCVMini.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "panel/ControlArrays.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTimer>

#include <cmath>
#include <memory>
#include <unistd.h>

namespace {

using corvane::frmCVMini;

// Builds a fresh window for every version of the definition: a window merges a second
// definition into the first, which would keep controls that the edit removed or changed.
class Preview {
public:
    void show(const QByteArray& definition) {
        const QPoint position = m_window ? m_window->pos() : QPoint();
        const bool placed = m_window != nullptr;
        auto window = std::make_unique<frmCVMini>();
        window->panel().strGraphicsPath =
            QDir::current().filePath(QStringLiteral("PanelGraphics")) + QLatin1Char('/');
        if (placed) {
            window->move(position);
        }
        window->show();
        window->AnalyzeXML(QString::fromUtf8(definition));
        showStripButtons(*window);
        m_window = std::move(window); // the old window goes
    }

    frmCVMini* window() const { return m_window.get(); }

    // Levels in dB below full scale, moving like programme material.
    void moveLevels(double phase) {
        if (!m_window) {
            return;
        }
        auto& arrays = m_window->controlArrays();
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
    }

private:
    // Channel strips show their buttons once the Core reports what the channel can do; here
    // every strip has an on/off button and two programme buses.
    static void showStripButtons(frmCVMini& window) {
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
    }

    std::unique_ptr<frmCVMini> m_window;
};

} // namespace

int main(int argc, char** argv) {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Shows a panel definition with moving meters, and shows it anew whenever the file is "
        "saved.");
    parser.addHelpOption();
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

    corvane::demo::PanelFileWatcher watcher(path);
    Preview preview;
    preview.show(watcher.content());
    QObject::connect(&watcher, &corvane::demo::PanelFileWatcher::changed,
                     [&](const QByteArray& content) {
                         QTextStream(stdout) << "reloaded " << path << Qt::endl;
                         preview.show(content);
                     });

    QTimer levels;
    double phase = 0;
    QObject::connect(&levels, &QTimer::timeout, [&] {
        phase += 0.07;
        preview.moveLevels(phase);
    });
    levels.start(20);

    if (parser.isSet("quit-after")) {
        QTimer::singleShot(parser.value("quit-after").toInt(), &app, &QApplication::quit);
    }
    return QApplication::exec();
}
