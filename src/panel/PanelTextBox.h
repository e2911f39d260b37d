#pragma once

#include "support/ControlFacts.h"

#include <QFrame>
#include <QString>

class QPlainTextEdit;

namespace corvane {

// The text box of a panel. It draws its text itself until the operator clicks or tabs into
// it, and only then creates the editor that takes the typing. A full editor costs some 25 kB
// and a panel may hold hundreds of text boxes that nobody ever types into; the look is the
// same either way, since the editor covers the box with the same frame, font and colours.
//
// Its ground is the palette's Base colour, painted here rather than filled by Qt: Qt counts a
// control whose background it fills as opaque, and at every repaint of the window it works out
// the area that all opaque controls cover, at a cost that grows with the square of their number.
class PanelTextBox : public QFrame, public HoldsControlFacts {
    Q_OBJECT
public:
    explicit PanelTextBox(QWidget* parent = nullptr);

    // The text as shown, line breaks as "\n"; with an editor, what the operator has typed.
    QString text() const;
    void setText(const QString& text);

    // The ground and the text colour the panel gave the box; invalid for the palette's. Kept
    // beside the box rather than in a palette of its own, which would weigh some 900 bytes.
    void setColors(const QColor& back, const QColor& fore);
    QColor backColor() const { return m_backColor; }
    QColor foreColor() const { return m_foreColor; }

    // The editor once the operator has reached the box, else null.
    QPlainTextEdit* editor() const { return m_editor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QPlainTextEdit* createEditor();
    // The palette with the box's own colours in it.
    QPalette shownPalette() const;

    QString m_text;
    QColor m_backColor;
    QColor m_foreColor;
    QPlainTextEdit* m_editor = nullptr;
};

} // namespace corvane
