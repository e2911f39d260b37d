#include "components/MeterTick.h"

#include <QCoreApplication>

namespace corvane {

MeterTick* MeterTick::s_instance = nullptr;

MeterTickClient::~MeterTickClient() {
    if (m_tickSlot >= 0 && MeterTick::s_instance) {
        MeterTick::s_instance->remove(this);
    }
}

MeterTick& MeterTick::instance() {
    if (!s_instance) {
        // Owned by the application so that the timer goes away with the event loop.
        s_instance = new MeterTick(QCoreApplication::instance());
    }
    return *s_instance;
}

qint64 MeterTick::nowMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

MeterTick::MeterTick(QObject* parent) : QObject(parent) {
    m_timer.setInterval(kIntervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &MeterTick::tick);
}

MeterTick::~MeterTick() {
    for (auto* client : m_clients) {
        client->m_tickSlot = -1;
    }
    if (s_instance == this) {
        s_instance = nullptr;
    }
}

void MeterTick::wake(MeterTickClient* client) {
    if (!client || client->m_tickSlot >= 0) {
        return;
    }
    client->m_tickSlot = int(m_clients.size());
    m_clients.push_back(client);
    if (!m_timer.isActive()) {
        m_timer.start();
    }
}

void MeterTick::remove(MeterTickClient* client) {
    const int slot = client ? client->m_tickSlot : -1;
    if (slot < 0 || slot >= int(m_clients.size()) || m_clients[slot] != client) {
        return;
    }
    // Swap-remove keeps removal constant-time however many meters a panel holds.
    m_clients[slot] = m_clients.back();
    m_clients[slot]->m_tickSlot = slot;
    m_clients.pop_back();
    client->m_tickSlot = -1;
    if (m_clients.empty()) {
        m_timer.stop();
    }
}

void MeterTick::tick() {
    // Walk backwards so that a client removed during its own tick leaves the rest in place.
    for (int i = int(m_clients.size()) - 1; i >= 0; --i) {
        if (i >= int(m_clients.size())) {
            continue;
        }
        MeterTickClient* client = m_clients[i];
        if (!client->onMeterTick()) {
            remove(client);
        }
    }
}

} // namespace corvane
