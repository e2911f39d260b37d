// Bytes from a meter server, through the meter client's receive path into a built panel of LED
// meters and channel strips (real widgets, offscreen). One byte chooses the arrival size, one
// how often the window paints, then the stream. A plain reference re-splits the whole text at
// CR LF on every arrival and reads each line on its own: the client must deliver exactly its
// readings, to exactly the controls that show each point, and the meters must stay readable.

#include "FuzzApp.h"
#include "FuzzCheck.h"
#include "ReferenceLines.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "meters/LevelLineParser.h"
#include "meters/MeterLineBuffer.h"
#include "meters/MeterRoutes.h"
#include "meters/frmMeterWinsock.h"
#include "panel/ControlArrays.h"
#include "panel/FormBuilder.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"
#include "protocol/FrameSender.h"
#include "runtime/PanelMeterPoints.h"
#include "support/AddressLookup.h"

#include <QApplication>
#include <QHash>
#include <QWidget>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

using namespace corvane;

namespace {

// Two meters on one destination point, a strip and a meter on a source point, a strip alone,
// and a meter on the highest point a 16-bit level line can name.
const QString kPanel = QStringLiteral(R"(<panel><name>Levels</name><controllist>
  <c><type>meter</type><name>PgmL</name><meterrouternumber>1</meterrouternumber>
     <meterionumber>1</meterionumber></c>
  <c><type>meter</type><name>PgmCopy</name><meterrouternumber>1</meterrouternumber>
     <meterionumber>1</meterionumber><meterscale>british</meterscale></c>
  <c><type>meterfader</type><name>Mic</name><meterrouternumber>2</meterrouternumber>
     <meterionumber>11</meterionumber><meterissource>true</meterissource></c>
  <c><type>meter</type><name>MicMeter</name><meterrouternumber>2</meterrouternumber>
     <meterionumber>11</meterionumber><meterissource>true</meterissource>
     <meterstyle>gradient</meterstyle></c>
  <c><type>meterfader</type><name>Line</name><meterrouternumber>3</meterrouternumber>
     <meterionumber>5</meterionumber><meterscale>linear</meterscale></c>
  <c><type>meter</type><name>Edge</name><meterrouternumber>32767</meterrouternumber>
     <meterionumber>32767</meterionumber><meterissource>true</meterissource></c>
</controllist></panel>)");

// How many LED meters and how many strips show each point of the panel above.
struct ControlsOnPoint {
    int meters = 0;
    int strips = 0;
};
const QHash<MeterPoint, ControlsOnPoint> kControlsOnPoint = {{{1, 1, true}, {2, 0}},
                                                             {{2, 11, false}, {1, 1}},
                                                             {{3, 5, true}, {0, 1}},
                                                             {{32767, 32767, false}, {1, 0}}};

// The controls a reading changes: meters take peaks only, strips peaks or RMS.
int updatesFor(const clsMeterData& reading) {
    const ControlsOnPoint on = kControlsOnPoint.value(reading.point());
    return (reading.hasPeaks ? on.meters : 0) +
           (reading.hasPeaks || reading.hasRms ? on.strips : 0);
}

class NoCore : public FrameSender {
public:
    void SendCvpCommand(const QString&) override {}
};

// The panel, its routes and a meter client on it, wired as the main window wires them; built
// once per process (the stream changes levels only).
struct MeterPanel {
    MeterPanel() {
        window.resize(800, 400);
        arrays.createTemplates(&window);
        FUZZ_CHECK(PanelDefinitionReader(panel).AnalyzeXML(kPanel), "the panel did not read");
        meters = std::make_unique<frmMeterWinsock>(
            core, routes, [this] { return PanelMeterPoints(panel); }, addresses);
        FormBuilder(panel, arrays, &window, &subscriber).BuildForm();
        window.show();
        FUZZ_CHECK(arrays.TesselLED.count() == 5 && arrays.TesselMeterFader.count() == 3,
                   "the panel was not built");
        openPoints = meters->collOpenMeters().size();
    }

    QWidget window;
    ControlArrays arrays;
    PanelState panel;
    MeterRoutes routes{panel};
    NoCore core;
    AddressLookup addresses;
    std::unique_ptr<frmMeterWinsock> meters;
    // Every meter the building places is subscribed at the meter client, as the window does.
    struct Subscriber : FormBuilder::Events {
        explicit Subscriber(MeterPanel& panel) : panel(panel) {}
        void SendMeterSubscription(qint32 router, qint32 io, bool isSource) override {
            panel.meters->SubscribeToMeter({router, io, !isSource});
        }
        MeterPanel& panel;
    } subscriber{*this};
    qsizetype openPoints = 0;
};

bool readable(double shownDb) {
    return !std::isnan(shownDb);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    fuzz::EnsureApplication();
    static MeterPanel* built = new MeterPanel;
    MeterPanel& p = *built;
    LevelReceiver& receiver = p.meters->receiver();
    receiver.clear(); // the previous input's unfinished line is no part of this one

    const int pieceSize = 1 + data[0] % 64;
    const int paintEvery = 1 + data[1] % 8;
    const QByteArrayView stream(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    fuzz::ReferenceLines reference;
    qint64 wantReadings = receiver.readingsDelivered();
    qint64 wantUpdates = receiver.controlUpdates();

    int arrivals = 0;
    for (qsizetype at = 0; at < stream.size(); at += pieceSize) {
        const QByteArrayView arrival =
            stream.sliced(at, std::min<qsizetype>(pieceSize, stream.size() - at));
        receiver.receive(arrival);
        for (const QByteArray& line : reference.append(arrival)) {
            std::optional<clsMeterData> reading;
            try {
                reading = ParseLevelLine(line);
            } catch (const std::exception&) {
            }
            if (reading) {
                ++wantReadings;
                wantUpdates += updatesFor(*reading);
            }
        }
        FUZZ_CHECK(receiver.readingsDelivered() == wantReadings, "readings lost or invented");
        FUZZ_CHECK(receiver.controlUpdates() == wantUpdates, "a reading missed a control");
        if (++arrivals % paintEvery == 0) {
            QApplication::processEvents();
        }
    }
    QApplication::processEvents();

    for (int index = 1; index < p.arrays.TesselLED.count(); ++index) {
        const LedMeter* meter = p.arrays.TesselLED.at(index);
        FUZZ_CHECK(meter != nullptr, "a meter went away");
        FUZZ_CHECK(readable(meter->shownLevelLeft()) && readable(meter->shownLevelRight()),
                   "a meter shows no number");
    }
    FUZZ_CHECK(p.meters->collOpenMeters().size() == p.openPoints,
               "levels changed the open meter points");
    return 0;
}
