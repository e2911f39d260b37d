#include "protocol/ClientDispatcher.h"

#include "protocol/ClientProtocolConsts.h"
#include "protocol/ProtocolHandlers.h"
#include "support/NumberRules.h"

#include <exception>

namespace corvane {

namespace {

constexpr qsizetype kCommandPos = 2;
constexpr qsizetype kRouterPos = 3;
constexpr qsizetype kSourcePos = 7;
constexpr qsizetype kDestPos = 11;
constexpr qsizetype kFieldLength = 4;

qint32 addressField(QStringView piece, qsizetype pos) {
    return static_cast<qint32>(ParseHexDigits(piece.sliced(pos, kFieldLength)).value_or(0));
}

// The meter point a frame addresses: the source when its I/O is set, else the destination.
struct Point {
    qint32 io;
    bool isDest;
};

std::optional<Point> addressedPoint(const IncomingFrame& frame) {
    if (frame.sourceIo >= 1) {
        return Point{frame.sourceIo, false};
    }
    if (frame.destIo >= 1) {
        return Point{frame.destIo, true};
    }
    return std::nullopt;
}

// A status text as the replies are compared: blanks around it removed, lower case.
QString replyWord(QStringView payload) {
    qsizetype begin = 0;
    qsizetype end = payload.size();
    while (begin < end && payload[begin] == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && payload[end - 1] == QLatin1Char(' ')) {
        --end;
    }
    return payload.sliced(begin, end - begin).toString().toLower();
}

} // namespace

ClientDispatcher::ClientDispatcher(ProtocolHandlers& handlers) : m_handlers(handlers) {}

std::optional<IncomingFrame> ClientDispatcher::decode(QStringView piece) {
    if (!piece.startsWith(modClientProtocolConsts::strFrameStart) ||
        piece.size() < kFrameHeaderLength) {
        return std::nullopt;
    }
    IncomingFrame frame;
    frame.command = piece[kCommandPos].unicode();
    frame.router = addressField(piece, kRouterPos);
    frame.sourceIo = addressField(piece, kSourcePos);
    frame.destIo = addressField(piece, kDestPos);
    frame.payload = piece.sliced(kFrameHeaderLength);
    return frame;
}

void ClientDispatcher::dispatch(QString piece) noexcept {
    try {
        const auto frame = decode(piece);
        if (!frame) {
            return;
        }
        // Dropping the header from the front of a text of our own moves no characters, so a
        // panel definition of many megabytes reaches its handler without a copy.
        IncomingFrame header = *frame;
        header.payload = {};
        piece.remove(0, kFrameHeaderLength);
        handle(header, piece);
    } catch (const std::exception&) {
        // A frame the window could not apply is dropped; the next one is handled as usual.
    } catch (...) {
    }
}

void ClientDispatcher::handle(const IncomingFrame& frame, const QString& payload) {
    switch (frame.command) {
    case Command::StatusReply:
        handleStatusReply(payload);
        break;
    case Command::OperatorMessage:
        m_handlers.AppendPendingMessage(payload);
        break;
    case Command::MeterAbilities:
        if (const auto point = addressedPoint(frame)) {
            m_handlers.CheckUPMeterAbilities(frame.router, point->io, point->isDest, payload);
        }
        break;
    case Command::MeterAddOns:
        if (const auto point = addressedPoint(frame)) {
            m_handlers.CheckUPMeterAddOns(frame.router, point->io, point->isDest, payload);
        }
        break;
    case Command::LevelData:
        m_handlers.CheckUserFormMeters(payload);
        break;
    case Command::PropertyChange:
        // Panel, control and property: anything with fewer parts cannot name a property.
        if (payload.count(QLatin1Char('.')) >= 2) {
            m_handlers.ChangePanelProperty(payload);
        }
        break;
    case Command::Login:
        handleLoginReply(payload);
        break;
    case Command::PanelDefinition:
        handlePanelDefinition(payload);
        break;
    case Command::IoAddress:
        handleIoAddress(frame, payload);
        break;
    default:
        break;
    }
}

void ClientDispatcher::handleStatusReply(QStringView payload) {
    const QString reply = replyWord(payload);
    if (reply == u"no" || reply == u"yes" || reply == u"no0" || reply == u"no1") {
        return;
    }
    // Anything else is a server notice: the meter server we use is no longer the right one.
    m_handlers.StopMetering();
}

void ClientDispatcher::handleLoginReply(QStringView payload) {
    if (payload.size() <= 2 || replyWord(payload) == u"no") {
        return;
    }
    if (payload.startsWith(u"Yes")) {
        return;
    }
    m_handlers.StopMetering();
}

void ClientDispatcher::handlePanelDefinition(const QString& payload) {
    m_handlers.SetConnectingLabelLoading();
    m_handlers.UpdateUserPanel(payload);
    m_handlers.MeteringStart(m_handlers.MasterRemoteHost());
    m_handlers.HideConnecting();
}

void ClientDispatcher::handleIoAddress(const IncomingFrame& frame, const QString& payload) {
    if (const auto point = addressedPoint(frame)) {
        m_handlers.UpdateAddressLookup(frame.router, point->io, point->isDest, payload);
        m_handlers.CheckMeterConnection(frame.router, point->io);
    }
}

} // namespace corvane
