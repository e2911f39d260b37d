#include "runtime/FaderActions.h"

#include "components/MeterFader.h"
#include "panel/ControlArrays.h"
#include "panel/ControlProperties.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/FrameSender.h"
#include "support/AddressLookup.h"
#include "support/NumberRules.h"

#include <QStringList>

namespace corvane {

FaderActions::FaderActions(PanelState& panel, ControlArrays& arrays, FrameSender& core,
                           const AddressLookup& addresses, int lockMs, QObject* parent)
    : QObject(parent), m_panel(panel), m_arrays(arrays), m_core(core), m_addresses(addresses),
      m_lockMs(lockMs) {}

void FaderActions::connectStrips() {
    for (int index = 1; index < m_arrays.TesselMeterFader.count(); ++index) {
        MeterFader* strip = m_arrays.TesselMeterFader.at(index);
        if (strip == nullptr) {
            continue;
        }
        connect(strip, &MeterFader::FaderLevelChanged, this,
                &FaderActions::TesselMeterFader_FaderLevelChanged, Qt::UniqueConnection);
        connect(strip, &MeterFader::FaderLevelDrag, this,
                &FaderActions::TesselMeterFader_FaderLevelDrag, Qt::UniqueConnection);
        connect(strip, &MeterFader::UserTimer, this, &FaderActions::TesselMeterFader_UserTimer,
                Qt::UniqueConnection);
        connect(strip, &MeterFader::OnOffClicked, this,
                &FaderActions::TesselMeterFader_OnOffClicked, Qt::UniqueConnection);
        connect(strip, &MeterFader::PGMBusClicked, this,
                &FaderActions::TesselMeterFader_PGMBusClicked, Qt::UniqueConnection);
    }
}

MeterFader* FaderActions::stripOf(int index, clsUPControl** record) const {
    MeterFader* strip = m_arrays.TesselMeterFader.at(index);
    if (strip == nullptr) {
        return nullptr;
    }
    const ControlRecordPtr* found =
        m_panel.collControls.find(ControlProperties::Tag(strip).toLower());
    if (found == nullptr || !*found || (*found)->typeKey() != QLatin1String("meterfader")) {
        return nullptr;
    }
    *record = found->get();
    return strip;
}

void FaderActions::restartLock(MeterFader& strip) const {
    strip.setUserTimerEnabled(false);
    strip.setUserTimerInterval(m_lockMs);
    strip.setUserTimerEnabled(true);
}

void FaderActions::sendForPoint(int command, const clsUPControl& record, const QString& payload) {
    m_core.SendCvpCommand(BuildFrame(
        command,
        PointAddressBlock(record.lngMeterRTRNum, record.lngMeterIONum, record.boolMeterIsSource),
        payload));
}

void FaderActions::TesselMeterFader_FaderLevelChanged(int index) {
    clsUPControl* record = nullptr;
    if (MeterFader* strip = stripOf(index, &record)) {
        strip->setUserAdjusting(true);
        // The lock runs out even when no drag follows this change.
        restartLock(*strip);
    }
}

void FaderActions::TesselMeterFader_FaderLevelDrag(int index) {
    clsUPControl* record = nullptr;
    MeterFader* strip = stripOf(index, &record);
    if (strip == nullptr) {
        return;
    }
    restartLock(*strip);
    // The Core reads "." as the decimal separator whatever this machine's locale writes.
    QString level = ShortestSingleText(strip->FaderLevel(), QLatin1Char('.'));
    level.remove(QLatin1Char(' '));
    level.replace(QLatin1Char(','), QLatin1Char('.'));
    sendForPoint(Command::FaderMove, *record, level);
}

void FaderActions::TesselMeterFader_UserTimer(int index) {
    // A fader still in the operator's hand takes no gains whatever this says (CoreMeterData).
    // The lock has cleared; the timer stays off until the operator's next move.
    clsUPControl* record = nullptr;
    if (MeterFader* strip = stripOf(index, &record)) {
        strip->setUserAdjusting(false);
        strip->setUserTimerEnabled(false);
    }
}

void FaderActions::TesselMeterFader_OnOffClicked(int index) {
    clsUPControl* record = nullptr;
    MeterFader* strip = stripOf(index, &record);
    if (strip == nullptr) {
        return;
    }
    sendForPoint(Command::ChannelRequest, *record,
                 strip->ChannelOn() ? QStringLiteral("ChannelOn=False")
                                    : QStringLiteral("ChannelOn=True"));
}

void FaderActions::TesselMeterFader_PGMBusClicked(int index, int bus) {
    clsUPControl* record = nullptr;
    MeterFader* strip = stripOf(index, &record);
    if (strip == nullptr) {
        return;
    }
    sendForPoint(
        Command::ChannelRequest, *record,
        QStringLiteral("PGM") + QString::number(bus) +
            (strip->PGMBusOn(bus) ? QStringLiteral("On=False") : QStringLiteral("On=True")));
}

void FaderActions::timCheckFader_Timer() {
    for (const auto& entry : m_panel.collControls) {
        const clsUPControl* record = entry.value.get();
        if (record == nullptr || record->typeKey() != QLatin1String("meterfader")) {
            continue;
        }
        const auto* strip = qobject_cast<const MeterFader*>(record->pntrControl.data());
        if (strip == nullptr || !strip->HasPGMBus(1)) {
            continue;
        }
        // A fader's I/O address names its audio device: host "/" channel.
        const QString address = m_addresses.GetAddress(
            record->lngMeterRTRNum, record->lngMeterIONum, !record->boolMeterIsSource);
        const QStringList parts = address.split(QLatin1Char('/'));
        if (address.isEmpty() || parts.size() != 2) {
            continue;
        }
        m_core.SendCvpCommand(BuildFrame(
            Command::FaderGainQuery, modClientProtocolConsts::strNoAddress,
            QStringLiteral("tcp://") + parts[0].trimmed() + QStringLiteral(":4010_GET FaCH#") +
                parts[1].trimmed() + QStringLiteral(" Fader_Gain")));
    }
}

} // namespace corvane
