// What a Core sends to a running panel, and what the operator does meanwhile. A real main
// window builds a fixed panel with every kind of control (real widgets, offscreen); the bytes
// are decoded as the connection decodes them, cut into arrivals and fed through the real
// receive buffer and dispatcher: property changes, level and gain records, address replies,
// operator messages, new definitions. A byte 0x01 starts an operator action instead (two
// bytes: which action, and on which control), so that presses, fader moves, the load script
// and command texts with placeholders run between the Core's frames.
//
// After every input: every record is still registered under its own name, no record of the
// panel went away, every widget of the panel is still there, every frame that went out to the
// Core is whole, and a button press always told the Core about it.

#include "FuzzApp.h"
#include "FuzzCheck.h"
#include "app/frmCVMini.h"
#include "components/MeterFader.h"
#include "panel/ControlProperties.h"
#include "panel/PanelButton.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/ClientProtocolParser.h"
#include "protocol/FrameBuilder.h"
#include "runtime/CommandValues.h"
#include "runtime/PanelCommands.h"
#include "runtime/RuntimeTimings.h"
#include "support/UserPrompt.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace corvane;

namespace {

const QString kPanel = QStringLiteral(R"(<panel><name>Studio</name><width>9000</width>
<height>6000</height><onload>Load $$PanelName$$ $$Take.Caption$$ $$Pick.ListIndex$$</onload>
<defaultpicturepath>pics</defaultpicturepath><controllist>
<c><type>button</type><name>Take</name><left>100</left><top>100</top><width>1200</width>
  <height>600</height><caption>Take</caption><backcoloron>&amp;HFF00</backcoloron>
  <backcoloroff>red</backcoloroff><mousedown>Down $$Notes.Caption$$ $$Take.BackColor$$</mousedown>
  <mouseup>Up $$Pick.List$$ $$Fader.Left$$ $$$Studio.Width$$</mouseup><flash>on</flash>
  <pictureupoff>a.bmp</pictureupoff><flashpicture>f.bmp</flashpicture></c>
<c><type>button</type><name>Plain</name><left>1400</left><top>100</top><width>1200</width>
  <height>600</height><state>on</state></c>
<c><type>label</type><name>Title</name><left>100</left><top>800</top><caption>A &amp; B</caption>
  <forecolor>&amp;HFF</forecolor></c>
<c><type>textbox</type><name>Notes</name><left>100</left><top>1400</top><change>Changed</change></c>
<c><type>dropdown</type><name>Pick</name><left>100</left><top>2000</top><list>a|b|c</list>
  <listindex>1</listindex></c>
<c><type>webbrowser</type><name>Web</name><left>3000</left><top>100</top>
  <weburl>http://127.0.0.1/</weburl></c>
<c><type>meter</type><name>Meter</name><left>5000</left><top>100</top>
  <meterrouternumber>2</meterrouternumber><meterionumber>15</meterionumber></c>
<c><type>meterfader</type><name>Fader</name><left>6000</left><top>100</top>
  <meterrouternumber>2</meterrouternumber><meterionumber>16</meterionumber>
  <meterissource>true</meterissource></c>
<c><type>meterfader</type><name>Fader2</name><left>7000</left><top>100</top>
  <meterrouternumber>2</meterrouternumber><meterionumber>15</meterionumber></c>
<c><type>tsclock</type><name>Clock</name><left>3000</left><top>3000</top></c>
</controllist></panel>)");

// The main window with its ends towards the network cut: frames to the Core are checked and
// counted, and metering is noted instead of connecting anywhere.
class FuzzWindow : public frmCVMini {
public:
    FuzzWindow() : frmCVMini(timings(), &m_prompt) {}

    void SendCvpCommand(const QString& frame) override {
        FUZZ_CHECK(frame.startsWith(modClientProtocolConsts::strFrameStart) &&
                       frame.endsWith(modClientProtocolConsts::strFrameEnd) &&
                       frame.size() >= 2 + 1 + 12 + 2,
                   "a frame to the Core is not whole");
        m_lastFrame = frame;
        ++m_framesSent;
    }
    QString MasterRemoteHost() override { return QStringLiteral("127.0.0.1"); }
    void MeteringStart(const QString&) override {}

    // One tick of a timer of the window, as if it had run out.
    void tick(const char* timer) {
        QMetaObject::invokeMethod(findChild<QTimer*>(QLatin1String(timer)), "timeout");
    }

    const QString& lastFrame() const { return m_lastFrame; }
    qint64 framesSent() const { return m_framesSent; }

private:
    // Operator messages show within the input; their boxes are answered at once.
    static RuntimeTimings timings() {
        RuntimeTimings timings;
        timings.messageTickMs = 0;
        timings.forceVisibleMs = 0;
        return timings;
    }
    class SilentPrompt : public UserPrompt {
    protected:
        void answer(QWidget*, const QString&, const QString&) override {}
    };

    SilentPrompt m_prompt;
    QString m_lastFrame;
    qint64 m_framesSent = 0;
};

// The built panel and what it had when it was built.
struct BuiltPanel {
    BuiltPanel() {
        window.show();
        window.AnalyzeXML(kPanel);
        for (const auto& entry : window.panel().collControls) {
            names.append(entry.value->Name);
            controls.emplace_back(entry.value->pntrControl.data());
            if (entry.value->typeKey() == QLatin1String("label")) {
                label = qobject_cast<QLabel*>(entry.value->pntrControl.data());
            }
        }
        tag = window.panel().windowTag;
        FUZZ_CHECK(tag == QLatin1String("Studio") && names.size() == 11 && label,
                   "the fixed panel was not built");
    }

    FuzzWindow window;
    QStringList names;
    std::vector<QPointer<QWidget>> controls;
    QPointer<QLabel> label;
    QString tag;
};

void operatorAction(BuiltPanel& p, uint8_t action, uint8_t which, QStringView text) {
    FuzzWindow& w = p.window;
    const ControlArrays& arrays = w.controlArrays();
    const int button = which % (arrays.butCommand.count() + 1);
    const int strip = which % (arrays.TesselMeterFader.count() + 1);
    MeterFader* fader = arrays.TesselMeterFader.at(strip);
    switch (action % 8) {
    case 0:
    case 1: {
        const qint64 before = p.window.framesSent();
        const bool down = action % 8 == 0;
        // A press or release of a button of the panel always reaches the Core.
        PanelButton* pressed = arrays.butCommand.at(button);
        if (button > 0 && pressed != nullptr && down) {
            emit pressed->pressedByOperator();
        } else if (button > 0 && pressed != nullptr) {
            emit pressed->releasedByOperator();
        }
        if (button > 0 && pressed != nullptr) {
            const QString name = ControlProperties::Tag(pressed);
            const ControlRecordPtr* record = w.panel().collControls.find(name);
            if (record && *record && (*record)->typeKey() == QLatin1String("button")) {
                FUZZ_CHECK(p.window.framesSent() > before, "a press went nowhere");
                const QString push = (down ? QLatin1Char('T') : QLatin1Char('F')) +
                                     w.panel().windowTag + QLatin1Char('.') + name;
                FUZZ_CHECK(p.window.lastFrame() == BuildFrame(Command::ButtonPush,
                                                              modClientProtocolConsts::strNoAddress,
                                                              push),
                           "the press was not the last word to the Core");
            }
        }
        break;
    }
    case 2:
        PanelCommands(w.panel(), w).RunLoadScript();
        break;
    case 3:
        w.tick("timFlash");
        break;
    case 4:
        // The strip's events, as the operator's hand on it gives them.
        if (fader != nullptr) {
            fader->setFaderLevel(float(which) / 2 - 100);
            emit fader->FaderLevelChanged(strip);
            emit fader->FaderLevelDrag(strip, fader->FaderLevel());
        }
        break;
    case 5:
        if (fader != nullptr) {
            emit fader->OnOffClicked(strip);
            emit fader->PGMBusClicked(strip, 1 + which % 4);
            emit fader->UserTimer(strip);
        }
        break;
    case 6:
        w.tick("timCheckFader");
        break;
    default:
        // A command text as a button would send it: the text up to the next action.
        PanelCommands(w.panel(), w)
            .SendControlCommand(QStringLiteral("Take"),
                                ReplaceValueInCommand(text.toString(), w.panel()));
        break;
    }
}

void checkPanel(BuiltPanel& p) {
    const PanelState& panel = p.window.panel();
    for (const auto& entry : panel.collControls) {
        FUZZ_CHECK(entry.value != nullptr, "an empty record");
        FUZZ_CHECK(entry.key.toLower() == entry.value->Name.toLower(),
                   "a record is registered under another name than its own");
    }
    for (size_t i = 0; i < p.controls.size(); ++i) {
        FUZZ_CHECK(p.controls[i] || i == 0, "a control of the panel went away");
    }
    FUZZ_CHECK(panel.collControls.size() >= p.names.size(), "a record went away");

    // The panel still takes changes: a caption sent to the label under whatever name it has
    // now shows on it.
    QLabel* label = p.label.data();
    FUZZ_CHECK(label != nullptr, "the label went away");
    QString name;
    for (const auto& entry : panel.collControls) {
        if (entry.value->pntrControl == label) {
            name = entry.value->Name;
        }
    }
    // A frame to the client carries no character of code 3 (half a frame end): a name renamed
    // to one holding it can be named by no change either.
    const QChar frameEndHalf = modClientProtocolConsts::strFrameEnd.front();
    if (name.isEmpty() || name.contains(QLatin1Char('.')) || name.contains(QLatin1Char('=')) ||
        name.startsWith(QLatin1Char('$')) || name.contains(frameEndHalf) ||
        panel.windowTag.contains(QLatin1Char('.')) || panel.windowTag.contains(QLatin1Char('=')) ||
        panel.windowTag.contains(frameEndHalf)) {
        return; // a name (or a panel name from a new definition) that no change can address
    }
    static int probes = 0;
    const QString caption = QStringLiteral("probe %1").arg(++probes);
    ClientProtocolParser parser(p.window);
    parser.receive(BuildFrame(Command::PropertyChange, modClientProtocolConsts::strNoAddress,
                              panel.windowTag + QLatin1Char('.') + name +
                                  QStringLiteral(".Caption=") + caption));
    FUZZ_CHECK(label->text() == caption, "the panel no longer takes changes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    fuzz::EnsureApplication();
    // A new panel for every input would cost more than the input; it is built again when an
    // input has changed what it is made of, and every so often. It is never destroyed at exit,
    // where the program's tables it refers to may already be gone.
    static BuiltPanel* built = nullptr;
    static int runs = 0;
    if (!built || ++runs % 500 == 0 || built->window.panel().windowTag != built->tag ||
        built->window.panel().collControls.size() != built->names.size()) {
        delete built;
        built = new BuiltPanel;
    }
    BuiltPanel& p = *built;

    uint32_t cuts = (uint32_t(data[0]) << 8 | data[1]) * 2654435761u + 1;
    const uint32_t maxArrival = 1 + (data[0] >> 4) * 16u;
    const char* script = reinterpret_cast<const char*>(data + 2);
    const size_t scriptSize = size - 2;
    QStringDecoder utf8(QStringDecoder::Utf8);
    // What an input leaves unfinished in the receive buffer is no part of the next input.
    ClientProtocolParser parser(p.window);

    size_t at = 0;
    while (at < scriptSize) {
        if (script[at] == '\x01' && at + 2 < scriptSize) {
            const auto action = uint8_t(script[at + 1]);
            const auto which = uint8_t(script[at + 2]);
            at += 3;
            size_t end = at;
            while (end < scriptSize && script[end] != '\x01') {
                ++end;
            }
            QString text;
            if (action % 8 == 7) {
                text = QString::fromUtf8(script + at, qsizetype(end - at));
                at = end;
            }
            operatorAction(p, action, which, text);
            continue;
        }
        size_t end = at;
        while (end < scriptSize && script[end] != '\x01') {
            ++end;
        }
        cuts = cuts * 1664525u + 1013904223u;
        const size_t length =
            std::max<size_t>(1, std::min<size_t>((cuts >> 8) % (maxArrival + 1), end - at));
        parser.receive(QString(utf8.decode(QByteArrayView(script + at, qsizetype(length)))));
        at += length;
    }
    QApplication::processEvents();
    checkPanel(p);
    return 0;
}
