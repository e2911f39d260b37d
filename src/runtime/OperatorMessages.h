#pragma once

#include <QString>
#include <QTimer>

#include <functional>

namespace corvane {

// Messages from the Core for the operator. They gather in arrival order, up to a bound, and a
// moment after the first one they are shown one box after another; messages that arrive while
// a box is open follow that series, never a second series inside it.
class OperatorMessages {
public:
    // Shows one message and returns when the operator has closed it.
    using Show = std::function<void(const QString&)>;
    // True once the program is ending: no further box is shown.
    using Ending = std::function<bool()>;

    // The timer is a child of owner, named "timMessage"; tick runs when it runs out and must
    // call showPending().
    OperatorMessages(QObject* owner, int tickMs, Show show, Ending ending,
                     std::function<void()> tick);

    void append(const QString& text);
    void showPending();
    void stop() { m_timer.stop(); }

private:
    Show m_show;
    Ending m_ending;
    QString m_pending; // messages separated as the Core separates fields
    QTimer m_timer;
    bool m_showing = false; // a box of a series is open
};

} // namespace corvane
