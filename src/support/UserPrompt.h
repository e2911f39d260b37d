#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace corvane {

// The one way the program shows a modal message box: an OK button and the text as plain
// text. The main window owns one; a test gives the window one whose answer() stands in for
// the box, so that nothing blocks.
class UserPrompt {
public:
    UserPrompt() = default;
    virtual ~UserPrompt() = default;
    UserPrompt(const UserPrompt&) = delete;
    UserPrompt& operator=(const UserPrompt&) = delete;

    // Returns once the box has been answered, or dismissed by dismissOpen().
    void showMessage(QWidget* parent, const QString& title, const QString& text);

    // Closes every box of this prompt that is open now, as if the operator had answered it,
    // so that the program's end need not wait for a click. A stand-in sees it through
    // dismissed().
    void dismissOpen();
    // Whether the innermost box open now has been dismissed.
    bool dismissed() const;

protected:
    // Shows the box and returns when it is answered or dismissed.
    virtual void answer(QWidget* parent, const QString& title, const QString& text);

private:
    struct OpenBox;
    QList<OpenBox*> m_open; // the boxes shown now, innermost last
};

} // namespace corvane
