#pragma once

#include <QPointer>

#include <functional>

class QObject;

namespace corvane {

// Runs the program's end when it is asked for, but never in the middle of one of the main
// window's handlers: a Core frame being dispatched, a timer tick, a button press, or a
// message box that a timer tick has open. Asked for inside one, the end runs from the event
// loop once the outermost handler has returned, so no handler finds its panel released under
// it. It runs once, however often it is asked for.
class DeferredShutdown {
public:
    // The end runs through the context's event queue; it is dropped if the context goes first.
    DeferredShutdown(QObject* context, std::function<void()> shutDown);

    // Marks a handler as running for as long as the scope lives.
    class HandlerScope {
    public:
        explicit HandlerScope(DeferredShutdown& shutdown);
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        DeferredShutdown& m_shutdown;
    };

    void request();
    bool requested() const { return m_requested; }
    bool insideHandler() const { return m_depth > 0; }

private:
    void leaveHandler();

    QPointer<QObject> m_context;
    std::function<void()> m_shutDown;
    int m_depth = 0;
    bool m_requested = false;
    bool m_pending = false; // asked for inside a handler, not yet passed to the event loop
};

} // namespace corvane
