#include "support/UserPrompt.h"

#include <QMessageBox>

namespace corvane {

namespace {
UserPrompt::Handler& currentHandler() {
    static UserPrompt::Handler handler;
    return handler;
}
} // namespace

void UserPrompt::showMessage(QWidget* parent, const QString& title, const QString& text) {
    if (currentHandler()) {
        currentHandler()(parent, title, text);
        return;
    }
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

UserPrompt::Handler UserPrompt::setHandler(Handler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace corvane
