#include "StudioCore.h"

#include "PanelReadback.h"

#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "support/DataMod.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>

namespace corvane::demo {

namespace {

using Consts = modClientProtocolConsts;

// Level data from the Core carries levels as well as the gain; the studio leaves level
// metering to the meter server and reports its channels as silent: -96 dB as four
// hexadecimal digits of a 16-bit two's complement.
const QString kSilentLevel = QString::number(quint16(qint16(-96)), 16).toUpper();

QString pointBlock(const DemoPoint& point) {
    return PointAddressBlock(point.router, point.io, !point.isDest);
}

std::optional<bool> booleanWord(QStringView text) {
    if (text.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (text.trimmed().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    return std::nullopt;
}

// "PGM2On" gives bus 2; anything else nothing.
std::optional<int> busOfKey(QStringView key) {
    if (key.size() == 6 && key.startsWith(QLatin1String("pgm"), Qt::CaseInsensitive) &&
        key.endsWith(QLatin1String("on"), Qt::CaseInsensitive) && key[3] >= QLatin1Char('1') &&
        key[3] <= QLatin1Char('4')) {
        return key[3].unicode() - '0';
    }
    return std::nullopt;
}

bool startsWithWord(const QString& text, QLatin1String word) {
    return text.size() > word.size() && text.startsWith(word, Qt::CaseInsensitive) &&
           text[word.size()] == QLatin1Char(' ');
}

} // namespace

StudioCore::StudioCore(const PanelCatalog& catalog, StudioState& state, Credentials credentials,
                       StudioOutput& output)
    : m_catalog(catalog), m_state(state), m_credentials(std::move(credentials)), m_output(output) {}

void StudioCore::open(int connection) {
    m_clients.insert(connection, Client{});
}

void StudioCore::close(int connection) {
    m_clients.remove(connection);
}

bool StudioCore::isLoggedIn(int connection) const {
    const auto found = m_clients.constFind(connection);
    return found != m_clients.cend() && found->loggedIn;
}

QString StudioCore::panelOf(int connection) const {
    return m_clients.value(connection).panel;
}

qsizetype StudioCore::subscriptionCount(int connection) const {
    return m_clients.value(connection).subscriptions.size();
}

void StudioCore::handle(int connection, const QString& piece) {
    const auto found = m_clients.find(connection);
    if (found == m_clients.end() || !piece.startsWith(Consts::strFrameStart) ||
        piece.size() < kFrameHeaderLength) {
        return;
    }
    Client& client = found.value();
    const int command = piece.at(2).unicode();
    const QString addressBlock = piece.mid(3, 12);
    const QString payload = piece.mid(kFrameHeaderLength);
    if (command == Command::Login) {
        login(connection, client, payload);
        return;
    }
    if (!client.loggedIn) {
        return; // a Core hears nothing from a client that has not logged in
    }
    const auto point = PointOfAddressBlock(addressBlock);
    switch (command) {
    case Command::PanelDefinition:
        servePanel(connection, client, payload);
        break;
    case Command::ButtonPush:
        buttonPush(connection, client, payload);
        break;
    case Command::ControlCommand:
        controlCommand(connection, client, payload);
        break;
    case Command::KeepAlive:
        m_output.note(QStringLiteral("#%1 keep-alive from panel %2").arg(connection).arg(payload));
        break;
    case Command::MeterSubscription:
        if (point) {
            subscribe(connection, client, *point);
        }
        break;
    case Command::MeterUnsubscription: // the point is no longer shown
        if (point) {
            client.subscriptions.remove(*point);
        }
        break;
    case Command::FaderMove:
        if (point) {
            faderMoved(connection, *point, payload);
        }
        break;
    case Command::ChannelRequest:
        if (point) {
            channelRequest(connection, *point, payload);
        }
        break;
    case Command::IoAddress:
        if (point) {
            send(connection, Command::IoAddress, pointBlock(*point), IoAddressOf(*point));
        }
        break;
    case Command::FaderGainQuery:
        gainQuery(connection, payload);
        break;
    default: // keep-alives and anything else need no answer
        break;
    }
}

void StudioCore::login(int connection, Client& client, const QString& payload) {
    const QString word = payload.section(Consts::strFieldSeparator, 0, 0);
    const QString user = payload.section(Consts::strFieldSeparator, 1, 1);
    const QString password = payload.section(Consts::strFieldSeparator, 2);
    if (word == QLatin1String("LOGIN") && user == m_credentials.user &&
        password == m_credentials.password) {
        client.loggedIn = true;
        send(connection, Command::Login, Consts::strNoAddress, QStringLiteral("Yes"));
        m_output.note(QStringLiteral("#%1 logged in as %2").arg(connection).arg(user));
        return;
    }
    client.loggedIn = false;
    send(connection, Command::Login, Consts::strNoAddress, QStringLiteral("No"));
    m_output.note(QStringLiteral("#%1 login refused for user \"%2\"").arg(connection).arg(user));
    m_output.close(connection);
}

void StudioCore::servePanel(int connection, Client& client, const QString& name) {
    const auto panel = m_catalog.load(name);
    if (!panel) {
        m_output.note(QStringLiteral("#%1 asked for panel \"%2\": there is none in %3")
                          .arg(connection)
                          .arg(name, m_catalog.folder().path()));
        send(connection, Command::OperatorMessage, Consts::strNoAddress,
             QStringLiteral("This Core has no panel named \"%1\".").arg(name));
        return;
    }
    client.panel = panel->name;
    client.buttons = panel->buttons;
    ++client.deliveries;
    QString definition = panel->definition;
    if (m_readback) {
        definition = PanelReadback::WithLoadCommand(definition, PanelReadback::LoadCommand(*panel));
        client.served = panel;
    }
    send(connection, Command::PanelDefinition, Consts::strNoAddress,
         panel->title + Consts::strFieldSeparator + definition);
    m_output.note(QStringLiteral("#%1 panel %2 (%3 characters)")
                      .arg(connection)
                      .arg(panel->name)
                      .arg(panel->definition.size()));
    // A client that loads the panel later, or again, sees the studio as it is now.
    for (const QString& change : m_state.propertyChanges(panel->name)) {
        send(connection, Command::PropertyChange, Consts::strNoAddress, change);
    }
}

void StudioCore::buttonPush(int connection, Client& client, const QString& payload) {
    if (payload.size() < 2 || (payload[0] != QLatin1Char('T') && payload[0] != QLatin1Char('F'))) {
        return;
    }
    const bool push = payload[0] == QLatin1Char('T');
    const QString target = payload.mid(1);
    QString panel;
    QString button;
    const QString ownPrefix = client.panel + QLatin1Char('.');
    if (!client.panel.isEmpty() && target.startsWith(ownPrefix, Qt::CaseInsensitive)) {
        panel = client.panel;
        button = target.mid(ownPrefix.size());
    } else {
        panel = target.section(QLatin1Char('.'), 0, 0);
        button = target.section(QLatin1Char('.'), 1);
    }
    if (panel.isEmpty() || button.isEmpty()) {
        return;
    }
    StudioButton known{button, false, false};
    if (panel.compare(client.panel, Qt::CaseInsensitive) == 0) {
        known = client.buttons.value(button.toLower(), known);
    }
    bool on = push;
    if (known.latching) {
        if (!push) {
            return; // a latching button acts on the push alone
        }
        on = !m_state.buttonOn(panel, known.name, known.startsOn);
    }
    const QString value = on ? QStringLiteral("on") : QStringLiteral("off");
    m_state.setProperty(panel, known.name, QStringLiteral("state"), value);
    sendToPanel(panel, PropertyChangePayload(panel, known.name, QStringLiteral("state"), value));
    m_output.note(QStringLiteral("#%1 %2 %3.%4: now %5")
                      .arg(connection)
                      .arg(push ? QStringLiteral("pushed") : QStringLiteral("released"), panel,
                           known.name, value));
}

void StudioCore::controlCommand(int connection, Client& client, const QString& payload) {
    const QString source = payload.section(Consts::strFieldSeparator, 0, 0);
    const QString text = payload.section(Consts::strFieldSeparator, 1);
    if (m_readback && PanelReadback::IsAnswer(text)) {
        readbackAnswered(connection, client, text);
        return;
    }
    m_output.note(QStringLiteral("#%1 command from %2: %3").arg(connection).arg(source, text));
    const QString command = text.trimmed();
    if (startsWithWord(command, QLatin1String("message"))) {
        send(connection, Command::OperatorMessage, Consts::strNoAddress, command.mid(8).trimmed());
    } else if (startsWithWord(command, QLatin1String("set"))) {
        setCommand(connection, command.mid(4).trimmed());
    }
}

void StudioCore::readbackAnswered(int connection, Client& client, const QString& text) {
    ++client.readbacks;
    if (client.checkedDelivery == 0 || client.readbacks != client.checkedDelivery ||
        !client.served) {
        return; // the readback of a delivery nobody checks
    }
    client.checkedDelivery = 0;
    const StudioPanel& panel = *client.served;
    const QString who = QStringLiteral("check: #%1 panel %2:").arg(connection).arg(panel.name);
    if (PanelReadback::IsUnfilled(text)) {
        m_output.note(who + QStringLiteral(" failed: the client could not read its controls"));
        return;
    }
    const QList<PanelReadback::Value> expected = PanelReadback::Expected(panel, m_state);
    const auto differences = PanelReadback::Compare(expected, PanelReadback::ParseAnswer(text));
    m_output.note(who + QStringLiteral(" %1 values of %2 controls compared, %3 differences")
                            .arg(expected.size())
                            .arg(PanelReadback::ControlCount(panel))
                            .arg(differences.size()));
    for (const auto& difference : differences) {
        m_output.note(who + (difference.missing
                                 ? QStringLiteral(" difference %1: studio \"%2\", client none")
                                       .arg(difference.key, difference.studio)
                                 : QStringLiteral(" difference %1: studio \"%2\", client \"%3\"")
                                       .arg(difference.key, difference.studio, difference.client)));
    }
}

void StudioCore::redeliver() {
    for (auto it = m_clients.begin(); it != m_clients.end(); ++it) {
        if (it->loggedIn && !it->panel.isEmpty()) {
            servePanel(it.key(), *it, it->panel);
        }
    }
}

int StudioCore::check() {
    int checked = 0;
    for (auto it = m_clients.begin(); it != m_clients.end(); ++it) {
        if (it->loggedIn && !it->panel.isEmpty()) {
            it->checkedDelivery = it->deliveries + 1;
            ++checked;
        }
    }
    if (checked == 0) {
        m_output.note(QStringLiteral("check: no client shows a panel"));
    }
    redeliver();
    return checked;
}

void StudioCore::applyShared(const StudioChange& change) {
    m_state.apply(change);
    if (const auto* property = std::get_if<PropertySetting>(&change)) {
        sendToPanel(property->panel, PropertyChangePayload(property->panel, property->control,
                                                           property->property, property->value));
        return;
    }
    const auto& channel = std::get<ChannelSetting>(change);
    sendToListeners(-1, channel.point, Command::MeterAddOns, channel.state.addOnsPayload());
    sendToListeners(-1, channel.point, Command::LevelData, levelRecord(channel.point));
}

void StudioCore::setCommand(int connection, const QString& assignment) {
    const qsizetype equals = assignment.indexOf(QLatin1Char('='));
    const QStringList address = assignment.left(equals).split(QLatin1Char('.'));
    if (equals < 0 || address.size() < 3 || address[0].isEmpty() || address[1].isEmpty() ||
        address[2].isEmpty()) {
        m_output.note(QStringLiteral("#%1 cannot set \"%2\": PANEL.CONTROL.PROPERTY=VALUE")
                          .arg(connection)
                          .arg(assignment));
        return;
    }
    // The client reads a value up to a second "="; remember what it will show.
    const QString value = assignment.mid(equals + 1).section(QLatin1Char('='), 0, 0);
    m_state.setProperty(address[0], address[1], address[2], value);
    sendToPanel(address[0], PropertyChangePayload(address[0], address[1], address[2], value));
}

void StudioCore::subscribe(int connection, Client& client, const DemoPoint& point) {
    if (client.subscriptions.size() < kMaxSubscriptions) {
        client.subscriptions.insert(point);
    }
    // What the channel can do, then how it stands now.
    const QString block = pointBlock(point);
    send(connection, Command::MeterAbilities, block, StudioState::abilitiesOf(point).toPayload());
    send(connection, Command::MeterAddOns, block, m_state.channel(point).addOnsPayload());
    send(connection, Command::LevelData, block, levelRecord(point));
}

void StudioCore::faderMoved(int connection, const DemoPoint& point, const QString& payload) {
    bool ok = false;
    const double requested = payload.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(requested)) {
        m_output.note(QStringLiteral("#%1 fader %2: \"%3\" is no gain")
                          .arg(connection)
                          .arg(point.key(), payload));
        return;
    }
    const ChannelAbilities abilities = StudioState::abilitiesOf(point);
    ChannelState channel = m_state.channel(point);
    channel.gainDb =
        std::round(std::clamp(requested, abilities.gainMinDb, abilities.gainMaxDb) * 10) / 10;
    m_state.setChannel(point, channel);
    sendToListeners(connection, point, Command::LevelData, levelRecord(point));
}

void StudioCore::channelRequest(int connection, const DemoPoint& point, const QString& payload) {
    const QString key = payload.section(QLatin1Char('='), 0, 0).trimmed();
    const auto wanted = booleanWord(payload.section(QLatin1Char('='), 1, 1));
    const ChannelAbilities abilities = StudioState::abilitiesOf(point);
    ChannelState channel = m_state.channel(point);
    const auto bus = busOfKey(key);
    if (wanted && key.compare(QLatin1String("ChannelOn"), Qt::CaseInsensitive) == 0 &&
        abilities.hasOnOff) {
        channel.on = *wanted;
    } else if (wanted && bus && abilities.hasPGMBus[*bus - 1]) {
        channel.pgmBusOn[*bus - 1] = *wanted;
    } else {
        m_output.note(QStringLiteral("#%1 channel %2 cannot do \"%3\"")
                          .arg(connection)
                          .arg(point.key(), payload));
        return;
    }
    m_state.setChannel(point, channel);
    sendToListeners(connection, point, Command::MeterAddOns, channel.addOnsPayload());
}

void StudioCore::gainQuery(int connection, const QString& payload) {
    // "tcp://HOST:4010_GET FaCH#CHANNEL Fader_Gain"
    const QLatin1String scheme("tcp://");
    const QLatin1String channelMark("FaCH#");
    const qsizetype mark = payload.indexOf(channelMark, 0, Qt::CaseInsensitive);
    if (!payload.startsWith(scheme, Qt::CaseInsensitive) || mark < 0) {
        return;
    }
    const QString host = payload.mid(scheme.size()).section(QLatin1Char(':'), 0, 0);
    const QString channel = payload.mid(mark + channelMark.size()).section(QLatin1Char(' '), 0, 0);
    if (const auto point = PointOfIoAddress(host, channel)) {
        send(connection, Command::LevelData, pointBlock(*point), levelRecord(*point));
    }
}

void StudioCore::churn() {
    using Kind = bool (StudioCore::*)(quint64);
    static constexpr Kind kKinds[] = {&StudioCore::churnButton, &StudioCore::churnGain,
                                      &StudioCore::churnChannel, &StudioCore::churnCaption};
    constexpr quint64 kinds = std::size(kKinds);
    // Every kind in turn; one that finds nothing to change hands over to the next.
    const quint64 first = m_churnTurn;
    for (quint64 tried = 0; tried < kinds; ++tried) {
        const quint64 turn = m_churnTurn++;
        if ((this->*kKinds[turn % kinds])(turn / kinds)) {
            ++m_churnCount;
            return;
        }
    }
    m_churnTurn = first; // nothing to change: the turns wait for something to show
}

namespace {

// The turn-th of the distinct items, in a stable order, or nothing when there are none.
template <typename Item, typename Less>
std::optional<Item> pick(QList<Item> items, quint64 turn, Less less) {
    std::sort(items.begin(), items.end(), less);
    const auto equal = [&less](const Item& a, const Item& b) { return !less(a, b) && !less(b, a); };
    items.erase(std::unique(items.begin(), items.end(), equal), items.end());
    if (items.isEmpty()) {
        return std::nullopt;
    }
    return items.at(qsizetype(turn % quint64(items.size())));
}

bool pointLess(const DemoPoint& a, const DemoPoint& b) {
    return std::tie(a.router, a.io, a.isDest) < std::tie(b.router, b.io, b.isDest);
}

} // namespace

QList<DemoPoint> StudioCore::subscribedPoints() const {
    QList<DemoPoint> points;
    for (const Client& client : m_clients) {
        if (client.loggedIn) {
            points += client.subscriptions.values();
        }
    }
    return points;
}

bool StudioCore::churnButton(quint64 turn) {
    QList<std::tuple<QString, QString, bool>> buttons; // panel, button as defined, starts on
    for (const Client& client : m_clients) {
        if (client.loggedIn && !client.panel.isEmpty()) {
            for (const StudioButton& button : client.buttons) {
                buttons.append({client.panel, button.name, button.startsOn});
            }
        }
    }
    const auto chosen = pick(buttons, turn, std::less<>());
    if (!chosen) {
        return false;
    }
    const auto& [panel, button, startsOn] = *chosen;
    const bool on = !m_state.buttonOn(panel, button, startsOn);
    const QString value = on ? QStringLiteral("on") : QStringLiteral("off");
    m_state.setProperty(panel, button, QStringLiteral("state"), value);
    sendToPanel(panel, PropertyChangePayload(panel, button, QStringLiteral("state"), value));
    return true;
}

bool StudioCore::churnGain(quint64 turn) {
    const auto point = pick(subscribedPoints(), turn, pointLess);
    if (!point) {
        return false;
    }
    const ChannelAbilities abilities = StudioState::abilitiesOf(*point);
    ChannelState channel = m_state.channel(*point);
    // A slow sweep over the upper part of the range, different for each point.
    const double span = std::min(40.0, abilities.gainMaxDb - abilities.gainMinDb);
    channel.gainDb = abilities.gainMaxDb - double((turn * 7 + quint64(point->io)) % 41) * span / 40;
    channel.gainDb = std::round(channel.gainDb * 10) / 10;
    m_state.setChannel(*point, channel);
    sendToListeners(-1, *point, Command::LevelData, levelRecord(*point));
    return true;
}

bool StudioCore::churnChannel(quint64 turn) {
    const auto point = pick(subscribedPoints(), turn, pointLess);
    if (!point) {
        return false;
    }
    const ChannelAbilities abilities = StudioState::abilitiesOf(*point);
    ChannelState channel = m_state.channel(*point);
    // The channel switch and the buses the channel has, one after the other.
    QList<bool*> switches;
    if (abilities.hasOnOff) {
        switches.append(&channel.on);
    }
    for (int bus = 0; bus < 4; ++bus) {
        if (abilities.hasPGMBus[bus]) {
            switches.append(&channel.pgmBusOn[bus]);
        }
    }
    if (switches.isEmpty()) {
        return false;
    }
    bool* flipped = switches.at(qsizetype(turn / 7 % quint64(switches.size())));
    *flipped = !*flipped;
    m_state.setChannel(*point, channel);
    sendToListeners(-1, *point, Command::MeterAddOns, channel.addOnsPayload());
    return true;
}

bool StudioCore::churnCaption(quint64 turn) {
    QStringList panels;
    for (const Client& client : m_clients) {
        if (client.loggedIn && !client.panel.isEmpty()) {
            panels.append(client.panel);
        }
    }
    const auto panel = pick(panels, turn, std::less<>());
    if (!panel) {
        return false;
    }
    // The panel's own record carries its name; its caption is the window's title.
    const QString caption = QStringLiteral("%1 (%2)").arg(*panel).arg(turn);
    m_state.setProperty(*panel, *panel, QStringLiteral("caption"), caption);
    sendToPanel(*panel, PropertyChangePayload(*panel, *panel, QStringLiteral("caption"), caption));
    return true;
}

QString StudioCore::levelRecord(const DemoPoint& point) const {
    const QString& field = Consts::strFieldSeparator;
    const QChar colon = QLatin1Char(':');
    return GetHex4(point.router) + field + QString::number(point.io) + field +
           (point.isDest ? QStringLiteral("True") : QStringLiteral("False")) + field +
           kSilentLevel + colon + kSilentLevel + colon + kSilentLevel + colon + kSilentLevel +
           colon + QString::number(m_state.channel(point).gainDb);
}

void StudioCore::send(int connection, int command, const QString& addressBlock,
                      const QString& payload) {
    m_output.send(connection, BuildFrame(command, addressBlock, payload));
}

void StudioCore::sendToPanel(const QString& panel, const QString& propertyChange) {
    for (auto it = m_clients.cbegin(); it != m_clients.cend(); ++it) {
        if (it->loggedIn && it->panel.compare(panel, Qt::CaseInsensitive) == 0) {
            send(it.key(), Command::PropertyChange, Consts::strNoAddress, propertyChange);
        }
    }
}

void StudioCore::sendToListeners(int asker, const DemoPoint& point, int command,
                                 const QString& payload) {
    const QString block = pointBlock(point);
    for (auto it = m_clients.cbegin(); it != m_clients.cend(); ++it) {
        if (it->loggedIn && (it.key() == asker || it->subscriptions.contains(point))) {
            send(it.key(), command, block, payload);
        }
    }
}

} // namespace corvane::demo
