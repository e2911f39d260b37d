#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <vector>

namespace corvane {

// Something animated by the shared meter tick. onMeterTick returns whether it still needs
// ticks; one that returns false is dropped until it asks again with MeterTick::wake.
class MeterTickClient {
public:
    virtual ~MeterTickClient();
    virtual bool onMeterTick() = 0;

private:
    friend class MeterTick;
    int m_tickSlot = -1; // position in the tick's list, -1 while not ticking
};

// One timer drives every meter of the program, so that a panel of hundreds of meters costs
// one wake-up per frame. Only meters that are still moving are visited; the timer stops when
// none are.
class MeterTick : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 33; // 30 frames a second

    static MeterTick& instance();
    // Milliseconds on one monotonic clock shared by all meters.
    static qint64 nowMs();

    void wake(MeterTickClient* client);
    void remove(MeterTickClient* client);
    int activeCount() const { return int(m_clients.size()); }

private:
    explicit MeterTick(QObject* parent);
    ~MeterTick() override;
    void tick();

    friend class MeterTickClient;

    QTimer m_timer;
    std::vector<MeterTickClient*> m_clients;
    static MeterTick* s_instance;
};

} // namespace corvane
