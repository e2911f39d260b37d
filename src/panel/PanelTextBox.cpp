#include "panel/PanelTextBox.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextOption>

namespace corvane {

namespace {

// The editor's text area, which paints its ground itself for the reason PanelTextBox does.
class TextBoxEditor : public QPlainTextEdit {
public:
    explicit TextBoxEditor(QWidget* parent) : QPlainTextEdit(parent) {
        viewport()->setAutoFillBackground(false);
        // No scroll bars, as panel text boxes have none: in a box of the usual single-line
        // height a vertical one stands over the text like a spin box. The text still scrolls
        // with the keys and the wheel.
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        setTabChangesFocus(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(viewport());
            painter.fillRect(event->rect(),
                             viewport()->palette().brush(viewport()->backgroundRole()));
        }
        QPlainTextEdit::paintEvent(event);
    }
};

// The editor's blank edge around its text: a fresh document's margin.
qreal documentMargin() {
    static const qreal margin = QTextDocument().documentMargin();
    return margin;
}

} // namespace

PanelTextBox::PanelTextBox(QWidget* parent) : QFrame(parent) {
    // The frame of a plain text editor, so that the box does not change when the editor
    // takes its place.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Text);
    setCursor(Qt::IBeamCursor);
}

QString PanelTextBox::text() const {
    return m_editor ? m_editor->toPlainText() : m_text;
}

void PanelTextBox::setText(const QString& text) {
    if (!m_editor) {
        m_text = text;
        update();
        return;
    }
    // New text scrolls the editor back to its start. Scrolling a shown view makes Qt compare
    // it with every other control on the panel; with its painting held the view is simply
    // repainted once.
    m_editor->viewport()->setUpdatesEnabled(false);
    m_editor->setPlainText(text);
    m_editor->viewport()->setUpdatesEnabled(true);
}

void PanelTextBox::setColors(const QColor& back, const QColor& fore) {
    if (back == m_backColor && fore == m_foreColor) {
        return;
    }
    m_backColor = back;
    m_foreColor = fore;
    if (m_editor) {
        m_editor->setPalette(shownPalette());
    }
    update();
}

QPalette PanelTextBox::shownPalette() const {
    QPalette shown = palette();
    if (m_backColor.isValid()) {
        shown.setColor(QPalette::Base, m_backColor);
    }
    if (m_foreColor.isValid()) {
        shown.setColor(QPalette::Text, m_foreColor);
        shown.setColor(QPalette::WindowText, m_foreColor);
    }
    return shown;
}

void PanelTextBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(),
                     m_backColor.isValid() ? QBrush(m_backColor) : palette().brush(QPalette::Base));
    if (m_editor) {
        return; // the editor covers the box
    }
    drawFrame(&painter);
    const qreal margin = documentMargin();
    const QRectF textArea = QRectF(contentsRect()).adjusted(margin, margin, -margin, -margin);
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.setClipRect(contentsRect());
    painter.setPen(
        m_foreColor.isValid()
            ? m_foreColor
            : palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(textArea, m_text, option);
}

void PanelTextBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (m_editor) {
        m_editor->setGeometry(rect());
    }
}

void PanelTextBox::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit* editor = createEditor();
    editor->setFocus(Qt::MouseFocusReason);
    editor->setTextCursor(
        editor->cursorForPosition(editor->viewport()->mapFrom(this, event->position().toPoint())));
    event->accept();
}

void PanelTextBox::focusInEvent(QFocusEvent* event) {
    createEditor()->setFocus(event->reason());
}

QPlainTextEdit* PanelTextBox::createEditor() {
    if (m_editor) {
        return m_editor;
    }
    m_editor = new TextBoxEditor(this);
    if (m_backColor.isValid() || m_foreColor.isValid()) {
        m_editor->setPalette(shownPalette());
    }
    m_editor->setPlainText(m_text);
    m_text.clear(); // the editor holds the text from now on
    m_editor->setGeometry(rect());
    setFocusProxy(m_editor);
    m_editor->show();
    return m_editor;
}

} // namespace corvane
