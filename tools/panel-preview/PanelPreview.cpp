#include "PanelPreview.h"

#include "ControlHighlight.h"
#include "PanelCheck.h"
#include "app/frmCVMini.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "panel/PanelState.h"

#include <QDir>

namespace corvane::demo {

namespace {

// As often as the client asks the meter server for levels.
constexpr int kLevelIntervalMs = 120;
// Room between the panel window and the problem list beside it.
constexpr int kGapPx = 12;

QString graphicsFolder() {
    return QDir::current().filePath(QStringLiteral("PanelGraphics")) + QLatin1Char('/');
}

} // namespace

PanelPreview::PanelPreview(const QString& path, QObject* parent)
    : QObject(parent), m_watcher(path) {
    connect(&m_watcher, &PanelFileWatcher::changed, this, [this](const QByteArray& content) {
        show(content);
        emit reloaded();
    });
    connect(&m_problems, &ProblemList::controlChosen, this, &PanelPreview::frameControl);
    connect(&m_levels, &QTimer::timeout, this, [this] { moveLevels(m_clock.elapsed()); });
    m_clock.start();
    m_levels.start(kLevelIntervalMs);
    show(m_watcher.content());
    m_problems.show();
}

PanelPreview::~PanelPreview() = default;

// A fresh window for every version of the definition: a window merges a second definition
// into the first, which would keep controls that the edit removed or changed.
void PanelPreview::show(const QByteArray& definition) {
    const bool placed = m_window != nullptr;
    const QPoint position = placed ? m_window->pos() : QPoint();
    auto window = std::make_unique<frmCVMini>();
    window->panel().strGraphicsPath = graphicsFolder();
    if (placed) {
        window->move(position);
    }
    window->show();
    window->AnalyzeXML(QString::fromUtf8(definition));
    m_feeds.clear(); // they point into the old window
    feedMeters(*window);
    m_highlight = new ControlHighlight(window.get());
    m_window = std::move(window); // the old window goes
    showProblems(definition);
    if (!placed) {
        m_problems.move(m_window->frameGeometry().topRight() + QPoint(kGapPx, 0));
    }
}

void PanelPreview::showProblems(const QByteArray& definition) {
    const check::PanelCheck check(graphicsFolder());
    m_problems.setWindowTitle(QStringLiteral("Problems: %1").arg(m_watcher.path()));
    m_problems.setProblems(
        check.checkText(QFileInfo(m_watcher.path()).fileName(), QString::fromUtf8(definition)));
}

void PanelPreview::frameControl(const QString& name) {
    if (!m_highlight) {
        return;
    }
    const ControlRecordPtr* record =
        name.isEmpty() ? nullptr : m_window->panel().collControls.find(name);
    QWidget* control = record != nullptr && *record ? (*record)->pntrControl.data() : nullptr;
    if (control == m_window.get()) {
        control = nullptr; // the panel itself: nothing to frame within it
    }
    m_highlight->frame(control);
    if (name.isEmpty()) {
        return;
    }
    m_problems.setNote(control != nullptr
                           ? QStringLiteral("\"%1\" is framed on the panel.").arg(name)
                           : QStringLiteral("\"%1\" is not on the panel.").arg(name));
}

// The levels the demo meter server would send now.
void PanelPreview::moveLevels(qint64 nowMs) {
    for (Feed& feed : m_feeds) {
        if (!feed.control) {
            continue;
        }
        const auto levels = LevelGenerator::afterChannel(
            feed.generator.at(nowMs), ChannelStartsOn(feed.point), ChannelStartGainDb(feed.point));
        if (auto* meter = qobject_cast<LedMeter*>(feed.control)) {
            meter->SetPeakLevels(levels.peakLeft, levels.peakRight);
        } else if (auto* strip = qobject_cast<MeterFader*>(feed.control)) {
            strip->SetMeterLevels(levels.peakLeft, levels.peakRight, levels.rmsLeft,
                                  levels.rmsRight);
        }
    }
}

// Every meter and strip on a point of its own gets that point's programme; strips show their
// channel as the demo studio starts it, with an on/off button and two buses.
void PanelPreview::feedMeters(frmCVMini& window) {
    int index = 0;
    for (const auto& entry : window.panel().collControls) {
        const clsUPControl& record = *entry.value;
        if (!record.pntrControl) {
            continue;
        }
        ++index;
        DemoPoint point{record.lngMeterRTRNum, record.lngMeterIONum, !record.boolMeterIsSource};
        if (!point.isValid()) {
            point = DemoPoint{1, index, false}; // something to show all the same
        }
        if (auto* strip = qobject_cast<MeterFader*>(record.pntrControl)) {
            strip->setHasOnOff(true);
            strip->setChannelOn(ChannelStartsOn(point));
            strip->setHasPGMBus(1, true);
            strip->setHasPGMBus(2, true);
            strip->setPGMBusOn(1, true);
            strip->setFaderActive(true);
            strip->setFaderLevel(float(ChannelStartGainDb(point)));
        } else if (!qobject_cast<LedMeter*>(record.pntrControl)) {
            continue;
        }
        m_feeds.push_back(
            {record.pntrControl, point, LevelGenerator(ProgrammeOf(point), quint64(index))});
    }
}

} // namespace corvane::demo
