#pragma once

#include "common/DemoPoints.h"
#include "support/KeyedCollection.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <variant>

namespace corvane::demo {

// What the studio offers on a channel: its gain range and which buttons its strip shows.
struct ChannelAbilities {
    double gainMinDb = -80.0;
    double gainMaxDb = 10.0;
    bool hasOnOff = true;
    std::array<bool, 4> hasPGMBus{};

    // The capability message: "gainmin=-800,gainmax=100,hasonoff=True,pgm1=True,..." (tenths
    // of a dB for the range).
    QString toPayload() const;
};

struct ChannelState {
    bool on = true;
    std::array<bool, 4> pgmBusOn{};
    double gainDb = 0.0;

    bool operator==(const ChannelState&) const = default;

    // The add-on message: one "T" or "F" for the channel, then one for each bus.
    QString addOnsPayload() const;
};

// A property the Core set on a control of a panel.
struct PropertySetting {
    QString panel;
    QString control;
    QString property;
    QString value;
    bool operator==(const PropertySetting&) const = default;
};

// How a channel stands after a change.
struct ChannelSetting {
    DemoPoint point;
    ChannelState state;
    bool operator==(const ChannelSetting&) const = default;
};

// One change of the studio, as it passes between Cores that share the studio.
using StudioChange = std::variant<PropertySetting, ChannelSetting>;

// The state of the whole studio, shared by everyone connected: the properties the Core has set
// on panel controls (button states among them) and the state of every channel. Memory is
// bounded: beyond the limits, changes still go out but are not remembered.
class StudioState {
public:
    static constexpr qsizetype kMaxPanels = 256;
    static constexpr qsizetype kMaxPropertiesPerPanel = 10000;
    static constexpr qsizetype kMaxChannels = 65536;

    // Told of every change made with setProperty and setChannel, so that it can be shared.
    using ChangeSink = std::function<void(const StudioChange&)>;
    void setChangeSink(ChangeSink sink) { m_sink = std::move(sink); }
    // Takes over a change made elsewhere (by another Core of the studio); no sink is told.
    void apply(const StudioChange& change);

    // A property the Core set on a control, as the property-change message that sets it.
    struct Property {
        QString control;
        QString property;
        QString value;
    };

    // Remembers a property of a control on a panel (a later value replaces an earlier one and
    // moves it last), so that clients loading the panel later see it.
    void setProperty(const QString& panel, const QString& control, const QString& property,
                     const QString& value);
    // The remembered property, or nothing.
    const Property* property(const QString& panel, const QString& control,
                             const QString& property) const;
    // Every remembered property of a panel as property-change payloads, oldest first.
    QStringList propertyChanges(const QString& panel) const;
    // The same as records, oldest first.
    QList<Property> properties(const QString& panel) const;

    // Whether a button is on now: its remembered state, or how its definition starts it.
    bool buttonOn(const QString& panel, const QString& button, bool startsOn) const;

    static ChannelAbilities abilitiesOf(const DemoPoint& point);
    ChannelState channel(const DemoPoint& point) const;
    void setChannel(const DemoPoint& point, const ChannelState& state);

private:
    using PanelProperties = KeyedCollection<Property>;

    static QString propertyKey(const QString& control, const QString& property);

    void storeProperty(const PropertySetting& setting);
    void storeChannel(const ChannelSetting& setting);

    KeyedCollection<PanelProperties> m_panels;
    QHash<DemoPoint, ChannelState> m_channels;
    ChangeSink m_sink;
};

// One property-change payload: panel "." control "." property "=" value.
QString PropertyChangePayload(const QString& panel, const QString& control, const QString& property,
                              const QString& value);

} // namespace corvane::demo
