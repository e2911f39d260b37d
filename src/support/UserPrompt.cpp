#include "support/UserPrompt.h"

#include <QMessageBox>
#include <QPointer>

namespace corvane {

// A box being shown; boxes opened while another is open nest.
struct UserPrompt::OpenBox {
    QPointer<QMessageBox> box; // none while a stand-in answers
    bool dismissed = false;
};

namespace {

// Keeps the box listed for as long as it is shown.
template <typename Box> class Listed {
public:
    Listed(QList<Box*>& list, Box& box) : m_list(list), m_box(box) { m_list.append(&m_box); }
    ~Listed() { m_list.removeOne(&m_box); }
    Listed(const Listed&) = delete;
    Listed& operator=(const Listed&) = delete;

private:
    QList<Box*>& m_list;
    Box& m_box;
};

} // namespace

void UserPrompt::showMessage(QWidget* parent, const QString& title, const QString& text) {
    OpenBox open;
    const Listed listed(m_open, open);
    answer(parent, title, text);
}

void UserPrompt::answer(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    // The Core's texts are shown as written: a "<b>" is two angle brackets and a letter, not
    // bold type, whatever the text looks like.
    box.setTextFormat(Qt::PlainText);
    m_open.last()->box = &box;
    box.exec();
}

void UserPrompt::dismissOpen() {
    for (OpenBox* open : std::as_const(m_open)) {
        open->dismissed = true;
        if (open->box) {
            open->box->done(QMessageBox::Ok);
        }
    }
}

bool UserPrompt::dismissed() const {
    return !m_open.isEmpty() && m_open.last()->dismissed;
}

} // namespace corvane
