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

    static void showMessage(QWidget* parent, const QString& title, const QString& text);

    // Replaces the handler; returns the previous one. An empty handler restores the default.
    static Handler setHandler(Handler handler);
};

} // namespace corvane
