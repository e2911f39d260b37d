#pragma once

#include "protocol/ProtocolHandlers.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace corvane::test {

// Writes down every operation the dispatcher calls, in order, with its arguments. An
// operation named in throwOn throws instead of returning, after being written down; afterCall,
// when set, runs inside every operation once it is written down.
class RecordingHandlers : public ProtocolHandlers {
public:
    QStringList calls;
    QString throwOn;
    std::function<void(const QString& call)> afterCall;
    QString remoteHost = QStringLiteral("core-a.example");

    void StopMetering() override { record(QStringLiteral("StopMetering()")); }
    void AppendPendingMessage(const QString& text) override {
        record(QStringLiteral("AppendPendingMessage(%1)").arg(text));
    }
    void CheckUPMeterAbilities(qint32 router, qint32 io, bool isDest,
                               const QString& payload) override {
        record(point(QStringLiteral("CheckUPMeterAbilities"), router, io, isDest, payload));
    }
    void CheckUPMeterAddOns(qint32 router, qint32 io, bool isDest,
                            const QString& payload) override {
        record(point(QStringLiteral("CheckUPMeterAddOns"), router, io, isDest, payload));
    }
    void CheckUserFormMeters(const QString& payload) override {
        record(QStringLiteral("CheckUserFormMeters(%1)").arg(payload));
    }
    void ChangePanelProperty(const QString& payload) override {
        record(QStringLiteral("ChangePanelProperty(%1)").arg(payload));
    }
    void SetConnectingLabelLoading() override {
        record(QStringLiteral("SetConnectingLabelLoading()"));
    }
    void UpdateUserPanel(const QString& payload) override {
        record(QStringLiteral("UpdateUserPanel(%1)").arg(payload));
    }
    QString MasterRemoteHost() override {
        record(QStringLiteral("MasterRemoteHost()"));
        return remoteHost;
    }
    void MeteringStart(const QString& host) override {
        record(QStringLiteral("MeteringStart(%1)").arg(host));
    }
    void HideConnecting() override { record(QStringLiteral("HideConnecting()")); }
    void UpdateAddressLookup(qint32 router, qint32 io, bool isDest,
                             const QString& address) override {
        record(point(QStringLiteral("UpdateAddressLookup"), router, io, isDest, address));
    }
    void CheckMeterConnection(qint32 router, qint32 io) override {
        record(QStringLiteral("CheckMeterConnection(%1,%2)").arg(router).arg(io));
    }

private:
    static QString point(const QString& name, qint32 router, qint32 io, bool isDest,
                         const QString& text) {
        return QStringLiteral("%1(%2,%3,%4,%5)")
            .arg(name)
            .arg(router)
            .arg(io)
            .arg(isDest ? QStringLiteral("dest") : QStringLiteral("source"))
            .arg(text);
    }

    void record(const QString& call) {
        calls.append(call);
        if (afterCall) {
            afterCall(call);
        }
        if (!throwOn.isEmpty() && call.startsWith(throwOn)) {
            throw std::runtime_error("handler failed");
        }
    }
};

} // namespace corvane::test
