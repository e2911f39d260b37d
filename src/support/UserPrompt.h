#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace corvane {

// The one seam through which the program shows a modal message box. Tests replace the
// handler so that nothing blocks; the default shows a QMessageBox with an OK button and the
// text as plain text.
class UserPrompt {
public:
    using Handler = std::function<void(QWidget* parent, const QString& title, const QString& text)>;

    // Returns once the box has been answered, or dismissed by dismissOpen().
    static void showMessage(QWidget* parent, const QString& title, const QString& text);

    // Replaces the handler; returns the previous one. An empty handler restores the default.
    static Handler setHandler(Handler handler);

    // Closes every box that is open now, as if the operator had answered it, so that the
    // program's end need not wait for a click. A handler that stands in for the box sees it
    // through dismissed().
    static void dismissOpen();
    // Whether the innermost box open now has been dismissed.
    static bool dismissed();
};

} // namespace corvane
