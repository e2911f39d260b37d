#include "support/UserPrompt.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>

#include <utility>

namespace corvane {

namespace {

UserPrompt::Handler& currentHandler() {
    static UserPrompt::Handler handler;
    return handler;
}

// A box being shown; boxes opened while another is open nest.
struct OpenBox {
    QPointer<QMessageBox> box; // none while a replaced handler stands in for it
    bool dismissed = false;
};

QList<OpenBox*>& openBoxes() {
    static QList<OpenBox*> boxes;
    return boxes;
}

// Keeps the box listed for as long as it is shown.
class Listed {
public:
    explicit Listed(OpenBox& box) : m_box(box) { openBoxes().append(&m_box); }
    ~Listed() { openBoxes().removeOne(&m_box); }
    Listed(const Listed&) = delete;
    Listed& operator=(const Listed&) = delete;

private:
    OpenBox& m_box;
};

} // namespace

void UserPrompt::showMessage(QWidget* parent, const QString& title, const QString& text) {
    OpenBox open;
    const Listed listed(open);
    if (currentHandler()) {
        // A copy: the handler may replace itself while it runs.
        const Handler handler = currentHandler();
        handler(parent, title, text);
        return;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    // The Core's texts are shown as written: a "<b>" is two angle brackets and a letter, not
    // bold type, whatever the text looks like.
    box.setTextFormat(Qt::PlainText);
    open.box = &box;
    box.exec();
}

UserPrompt::Handler UserPrompt::setHandler(Handler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

void UserPrompt::dismissOpen() {
    for (OpenBox* open : std::as_const(openBoxes())) {
        open->dismissed = true;
        if (open->box) {
            open->box->done(QMessageBox::Ok);
        }
    }
}

bool UserPrompt::dismissed() {
    return !openBoxes().isEmpty() && openBoxes().last()->dismissed;
}

} // namespace corvane
