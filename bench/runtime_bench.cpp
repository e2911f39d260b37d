// The running panel: how many property changes from the Core a shown panel of 1,000 and of
// 10,000 controls takes a second (target: 100,000, at the same cost per change for both sizes),
// how long filling ten placeholders of a command takes (target: 10 us), and how long an
// operator's press takes to reach the Core as a frame (target: 1 ms at the median).
// BM_PropertyChanges times the changes; BM_PropertyChangesRepainted also times the repaint that
// follows each arrival, which is Qt's painting of the changed widgets.

#include "app/EventLoopChoice.h"
#include "app/frmCVMini.h"
#include "panel/ControlArrays.h"
#include "panel/PanelButton.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/ClientProtocolParser.h"
#include "protocol/FrameBuilder.h"
#include "runtime/CommandValues.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace corvane;

namespace {

// Kinds of control in a bench panel, by the control's number modulo 10, as real panels mix
// them: mostly buttons and labels.
enum class Kind { Button, Label, TextBox, DropDown, Meter };

Kind kindOf(int i) {
    switch (i % 10) {
    case 0:
    case 1:
    case 2:
    case 3:
        return Kind::Button;
    case 4:
    case 5:
    case 6:
        return Kind::Label;
    case 7:
        return Kind::TextBox;
    case 8:
        return Kind::DropDown;
    default:
        return Kind::Meter;
    }
}

// Controls side by side on a grid, none covering another, on a window that shows them all.
constexpr int kPitchTwips = 300;

int columnsFor(int controls) {
    return controls > 1000 ? 100 : 40;
}

QString panelDefinition(int controls) {
    const int columns = columnsFor(controls);
    const int rows = (controls + columns - 1) / columns;
    QString xml = QStringLiteral("<panel><name>Bench</name><width>%1</width><height>%2</height>"
                                 "<controllist>")
                      .arg(columns * kPitchTwips)
                      .arg(rows * kPitchTwips);
    xml.reserve(controls * 220);
    for (int i = 0; i < controls; ++i) {
        const QString common = QStringLiteral("<name>C%1</name><left>%2</left><top>%3</top>"
                                              "<width>285</width><height>285</height>")
                                   .arg(i)
                                   .arg((i % columns) * kPitchTwips)
                                   .arg((i / columns) * kPitchTwips);
        switch (kindOf(i)) {
        case Kind::Button:
            xml += "<c><type>button</type>" + common +
                   "<caption>Take</caption><backcoloron>red</backcoloron></c>";
            break;
        case Kind::Label:
            xml += "<c><type>label</type>" + common + "<caption>Studio</caption></c>";
            break;
        case Kind::TextBox:
            xml += "<c><type>textbox</type>" + common + "<caption>note</caption></c>";
            break;
        case Kind::DropDown:
            xml += "<c><type>dropdown</type>" + common + "<list>A,B,C</list></c>";
            break;
        case Kind::Meter:
            xml += "<c><type>meter</type>" + common + "</c>";
            break;
        }
    }
    return xml + QStringLiteral("</controllist></panel>");
}

// What a Core sends while a panel runs: states, captions, colours and selections, each for a
// control anywhere on the panel.
QString changeFor(int control, int serial) {
    const QString target = QStringLiteral("Bench.C%1.").arg(control);
    const QString state = serial % 2 ? QStringLiteral("State=on") : QStringLiteral("State=off");
    switch (kindOf(control)) {
    case Kind::Button:
    case Kind::Meter:
        return target + state;
    case Kind::Label:
        return target + (serial % 2 ? QStringLiteral("Caption=On air %1").arg(serial)
                                    : QStringLiteral("BackColor=%1").arg(serial % 0xFFFFFF));
    case Kind::TextBox:
        return target + QStringLiteral("Caption=Line %1").arg(serial);
    case Kind::DropDown:
        return target + QStringLiteral("ListIndex=%1").arg(serial % 3);
    }
    return {};
}

// Changes arrive as the Core writes them, many frames to one read of the socket.
constexpr int kFramesPerArrival = 100;

// Frames through the receive buffer and the dispatcher into a shown panel. With `timePaint`
// the repaint that follows each arrival is timed too; without, it still runs (so that the
// widgets stay painted, as on screen) but only the changes are timed.
void runPropertyChanges(benchmark::State& state, bool timePaint) {
    const int controls = static_cast<int>(state.range(0));
    frmCVMini window;
    window.show();
    window.AnalyzeXML(panelDefinition(controls));
    QCoreApplication::processEvents();
    if (window.controlArrays().butCommand.count() <= 1) {
        state.SkipWithError("the panel was not built");
        return;
    }
    ClientProtocolParser parser(window);

    QRandomGenerator random(7);
    std::vector<QString> arrivals(64);
    int serial = 0;
    for (QString& arrival : arrivals) {
        for (int f = 0; f < kFramesPerArrival; ++f) {
            arrival += BuildFrame(Command::PropertyChange, modClientProtocolConsts::strNoAddress,
                                  changeFor(random.bounded(controls), ++serial));
        }
    }
    // The first paint of the whole window, and one round of every arrival, before timing.
    window.repaint();
    for (const QString& arrival : arrivals) {
        parser.receive(arrival);
        QCoreApplication::processEvents();
    }
    std::size_t next = 0;
    for (auto _ : state) {
        parser.receive(arrivals[next++ % arrivals.size()]);
        if (timePaint) {
            QCoreApplication::processEvents();
        } else {
            state.PauseTiming();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * kFramesPerArrival);
    state.counters["controls"] = controls;
}

void BM_PropertyChanges(benchmark::State& state) {
    runPropertyChanges(state, false);
}
BENCHMARK(BM_PropertyChanges)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_PropertyChangesRepainted(benchmark::State& state) {
    runPropertyChanges(state, true);
}
BENCHMARK(BM_PropertyChangesRepainted)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_ReplaceValueInCommand(benchmark::State& state) {
    frmCVMini window;
    window.AnalyzeXML(panelDefinition(1000));
    const QString command = QStringLiteral(
        "$$PanelName$$.Route src=$$C8.listindex$$ list=$$C8.list$$ cap=$$C4.caption$$ "
        "at=$$C0.left$$,$$C0.top$$ colour=$$C0.backcolor$$ on=$$C1.backcoloron$$ "
        "name=$$C2.name$$ enabled=$$C3.enabled$$ flash=$$C5.flash$$ note=$$C7.caption$$");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReplaceValueInCommand(command, window.panel()));
    }
    state.counters["placeholders"] = 11;
}
BENCHMARK(BM_ReplaceValueInCommand)->Unit(benchmark::kMicrosecond);

// A Core on loopback that accepts the login, delivers the panel and counts the pushes.
class BenchCore : public QObject {
public:
    explicit BenchCore(QString definition) : m_definition(std::move(definition)) {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_socket = m_server.nextPendingConnection();
            connect(m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int pushes() const { return m_pushes; }
    bool panelSent() const { return m_panelSent; }

private:
    void read() {
        m_buffer += m_socket->readAll();
        static const QByteArray frameEnd = modClientProtocolConsts::strFrameEnd.toUtf8();
        qsizetype end;
        while ((end = m_buffer.indexOf(frameEnd)) >= 0) {
            const QByteArray frame = m_buffer.left(end);
            m_buffer.remove(0, end + frameEnd.size());
            handle(frame);
        }
    }
    void handle(const QByteArray& frame) {
        if (frame.size() < 15) {
            return;
        }
        const int command = frame.at(2);
        if (command == Command::Login) {
            send(Command::Login, QStringLiteral("Yes"));
        } else if (command == Command::PanelDefinition) {
            send(Command::PanelDefinition,
                 "Bench" + modClientProtocolConsts::strFieldSeparator + m_definition);
            m_panelSent = true;
        } else if (command == Command::PropertyChange && frame.at(15) == 'T') {
            ++m_pushes;
        }
    }
    void send(int command, const QString& payload) {
        m_socket->write(
            BuildFrame(command, modClientProtocolConsts::strNoAddress, payload).toUtf8());
    }

    QString m_definition;
    QTcpServer m_server;
    QTcpSocket* m_socket = nullptr;
    QByteArray m_buffer;
    int m_pushes = 0;
    bool m_panelSent = false;
};

bool spinUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents();
    }
    return true;
}

void mouse(QWidget* target, QEvent::Type type) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void BM_ButtonPressToCore(benchmark::State& state) {
    QTemporaryDir dir;
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString definition =
        "<panel><name>Bench</name><controllist>"
        "<c><type>dropdown</type><name>Source</name><list>A,B,C</list></c>"
        "<c><type>button</type><name>Take</name><caption>Take</caption>"
        "<mousedown>$$PanelName$$.Take src=$$Source.listindex$$ $$Take.caption$$</mousedown>"
        "</c></controllist></panel>";
    BenchCore core(definition);
    QFile config(dir.filePath("CVMiniConfig.txt"));
    config.open(QIODevice::WriteOnly);
    config.write("primaryserverip=127.0.0.1\r\nprimaryserverport=" +
                 QByteArray::number(core.port()) + "\r\npanelname=Bench\r\n");
    config.close();

    auto window = std::make_unique<frmCVMini>();
    window->Form_Load({});
    if (!spinUntil([&] { return window->controlArrays().butCommand.count() > 1; }, 10000)) {
        state.SkipWithError("no panel arrived");
        return;
    }
    PanelButton* button = window->controlArrays().butCommand.at(1);
    std::vector<double> micros;
    for (auto _ : state) {
        const int before = core.pushes();
        QElapsedTimer timer;
        timer.start();
        mouse(button, QEvent::MouseButtonPress);
        spinUntil([&] { return core.pushes() > before; }, 5000);
        const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(elapsed);
        micros.push_back(elapsed * 1e6);
        mouse(button, QEvent::MouseButtonRelease);
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    window->close();
    window.reset();
    QDir::setCurrent(previousDir);
}
BENCHMARK(BM_ButtonPressToCore)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    corvane::PreferQtEventLoop(); // as the program does
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
