// Shows a panel definition file as the client would build it, without a Core, and drives its
// meters and channel strips with the demo meter server's programme levels. Each save of the
// file shows the panel anew, so a designer sees every edit at once. For designing panels and
// for screenshots.

#include "LevelGenerator.h"
#include "PanelFileWatcher.h"
#include "app/frmCVMini.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "panel/PanelState.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QTextStream>
#include <QTimer>

#include <memory>
#include <vector>

#include <unistd.h>

namespace {

using corvane::frmCVMini;
using corvane::demo::DemoPoint;
using corvane::demo::LevelGenerator;

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
        m_feeds.clear(); // they point into the old window
        feedMeters(*window);
        m_window = std::move(window); // the old window goes
    }

    // The levels the demo meter server would send now.
    void moveLevels(qint64 nowMs) {
        for (Feed& feed : m_feeds) {
            if (!feed.control) {
                continue;
            }
            const auto levels = LevelGenerator::afterChannel(
                feed.generator.at(nowMs), corvane::demo::ChannelStartsOn(feed.point),
                corvane::demo::ChannelStartGainDb(feed.point));
            if (auto* meter = qobject_cast<corvane::LedMeter*>(feed.control)) {
                meter->SetPeakLevels(levels.peakLeft, levels.peakRight);
            } else if (auto* strip = qobject_cast<corvane::MeterFader*>(feed.control)) {
                strip->SetMeterLevels(levels.peakLeft, levels.peakRight, levels.rmsLeft,
                                      levels.rmsRight);
            }
        }
    }

private:
    struct Feed {
        QPointer<QWidget> control;
        DemoPoint point;
        LevelGenerator generator;
    };

    // Every meter and strip on a point of its own gets that point's programme; strips show
    // their channel as the demo studio starts it, with an on/off button and two buses.
    void feedMeters(frmCVMini& window) {
        int index = 0;
        for (const auto& entry : window.panel().collControls) {
            const corvane::clsUPControl& record = *entry.value;
            if (!record.pntrControl) {
                continue;
            }
            ++index;
            DemoPoint point{record.lngMeterRTRNum, record.lngMeterIONum, !record.boolMeterIsSource};
            if (!point.isValid()) {
                point = DemoPoint{1, index, false}; // something to show all the same
            }
            if (auto* strip = qobject_cast<corvane::MeterFader*>(record.pntrControl)) {
                strip->setHasOnOff(true);
                strip->setChannelOn(corvane::demo::ChannelStartsOn(point));
                strip->setHasPGMBus(1, true);
                strip->setHasPGMBus(2, true);
                strip->setPGMBusOn(1, true);
                strip->setFaderActive(true);
                strip->setFaderLevel(float(corvane::demo::ChannelStartGainDb(point)));
            } else if (!qobject_cast<corvane::LedMeter*>(record.pntrControl)) {
                continue;
            }
            m_feeds.push_back({record.pntrControl, point,
                               LevelGenerator(corvane::demo::ProgrammeOf(point), quint64(index))});
        }
    }

    std::vector<Feed> m_feeds;
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
    QCoreApplication::setApplicationName(QStringLiteral("corvane-panel-preview"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Shows a panel definition with moving meters, and shows it anew whenever the file is "
        "saved.");
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

    corvane::demo::PanelFileWatcher watcher(path);
    Preview preview;
    preview.show(watcher.content());
    QObject::connect(&watcher, &corvane::demo::PanelFileWatcher::changed,
                     [&](const QByteArray& content) {
                         QTextStream(stdout) << "reloaded " << path << Qt::endl;
                         preview.show(content);
                     });

    // As often as the client asks the meter server for levels.
    QTimer levels;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&levels, &QTimer::timeout, [&] { preview.moveLevels(clock.elapsed()); });
    levels.start(120);

    if (parser.isSet("quit-after")) {
        QTimer::singleShot(parser.value("quit-after").toInt(), &app, &QApplication::quit);
    }
    return QApplication::exec();
}
