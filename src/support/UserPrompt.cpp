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
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    // The Core's texts are shown as written: a "<b>" is two angle brackets and a letter, not
    // bold type, whatever the text looks like.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

UserPrompt::Handler UserPrompt::setHandler(Handler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace corvane
