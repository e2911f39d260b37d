#include "StudioState.h"

#include "support/NumberRules.h"

namespace corvane::demo {

namespace {

QChar flag(bool on) {
    return on ? QLatin1Char('T') : QLatin1Char('F');
}

} // namespace

QString ChannelAbilities::toPayload() const {
    QStringList items{
        QStringLiteral("gainmin=") + QString::number(qRound(gainMinDb * 10)),
        QStringLiteral("gainmax=") + QString::number(qRound(gainMaxDb * 10)),
        QStringLiteral("hasonoff=") + BoolText(hasOnOff),
    };
    for (int bus = 0; bus < 4; ++bus) {
        items << QStringLiteral("pgm%1=").arg(bus + 1) + BoolText(hasPGMBus[bus]);
    }
    return items.join(QLatin1Char(','));
}

QString ChannelState::addOnsPayload() const {
    QString payload(flag(on));
    for (bool busOn : pgmBusOn) {
        payload += flag(busOn);
    }
    return payload;
}

QString PropertyChangePayload(const QString& panel, const QString& control, const QString& property,
                              const QString& value) {
    return panel + QLatin1Char('.') + control + QLatin1Char('.') + property + QLatin1Char('=') +
           value;
}

QString StudioState::propertyKey(const QString& control, const QString& property) {
    return control + QLatin1Char('.') + property;
}

void StudioState::setProperty(const QString& panel, const QString& control, const QString& property,
                              const QString& value) {
    const PropertySetting setting{panel, control, property, value};
    storeProperty(setting);
    if (m_sink) {
        m_sink(setting);
    }
}

void StudioState::apply(const StudioChange& change) {
    if (const auto* property = std::get_if<PropertySetting>(&change)) {
        storeProperty(*property);
    } else {
        storeChannel(std::get<ChannelSetting>(change));
    }
}

void StudioState::storeProperty(const PropertySetting& setting) {
    const QString& panel = setting.panel;
    PanelProperties* properties = m_panels.find(panel);
    if (!properties) {
        if (m_panels.size() >= kMaxPanels) {
            return;
        }
        m_panels.add(panel, PanelProperties{});
        properties = m_panels.find(panel);
    }
    const QString key = propertyKey(setting.control, setting.property);
    const bool known = properties->remove(key);
    if (!known && properties->size() >= kMaxPropertiesPerPanel) {
        return;
    }
    properties->add(key, Property{setting.control, setting.property, setting.value});
}

const StudioState::Property* StudioState::property(const QString& panel, const QString& control,
                                                   const QString& property) const {
    const PanelProperties* properties = m_panels.find(panel);
    return properties ? properties->find(propertyKey(control, property)) : nullptr;
}

QStringList StudioState::propertyChanges(const QString& panel) const {
    QStringList changes;
    if (const PanelProperties* properties = m_panels.find(panel)) {
        for (const auto& entry : *properties) {
            const Property& p = entry.value;
            changes << PropertyChangePayload(panel, p.control, p.property, p.value);
        }
    }
    return changes;
}

QList<StudioState::Property> StudioState::properties(const QString& panel) const {
    QList<Property> list;
    if (const PanelProperties* properties = m_panels.find(panel)) {
        for (const auto& entry : *properties) {
            list << entry.value;
        }
    }
    return list;
}

bool StudioState::buttonOn(const QString& panel, const QString& button, bool startsOn) const {
    const Property* state = property(panel, button, QStringLiteral("state"));
    return state ? state->value.trimmed().compare(QLatin1String("on"), Qt::CaseInsensitive) == 0
                 : startsOn;
}

ChannelAbilities StudioState::abilitiesOf(const DemoPoint& point) {
    ChannelAbilities abilities;
    if (point.isDest) {
        // Outputs have a level and a mute, but nothing to assign.
        abilities.gainMaxDb = 0.0;
        return abilities;
    }
    abilities.hasPGMBus = {true, true, point.io % 2 == 0, point.io % 3 == 0};
    return abilities;
}

ChannelState StudioState::channel(const DemoPoint& point) const {
    const auto found = m_channels.constFind(point);
    if (found != m_channels.cend()) {
        return found.value();
    }
    ChannelState state;
    state.on = ChannelStartsOn(point);
    state.gainDb = ChannelStartGainDb(point);
    state.pgmBusOn[0] = !point.isDest;
    return state;
}

void StudioState::setChannel(const DemoPoint& point, const ChannelState& state) {
    const ChannelSetting setting{point, state};
    storeChannel(setting);
    if (m_sink) {
        m_sink(setting);
    }
}

void StudioState::storeChannel(const ChannelSetting& setting) {
    if (m_channels.size() >= kMaxChannels && !m_channels.contains(setting.point)) {
        return;
    }
    m_channels.insert(setting.point, setting.state);
}

} // namespace corvane::demo
