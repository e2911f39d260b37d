#include "support/frmDebug.h"

#include "support/Twips.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace corvane {

namespace {
const QString kFormName = QStringLiteral("frmDebug");
const QString kLineEnd = QStringLiteral("\r\n");

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}
} // namespace

frmDebug::frmDebug(QWidget* parent)
    : QWidget(parent, Qt::Window), m_txtDebug(new QPlainTextEdit(this)),
      m_btnCopy(new QPushButton(QStringLiteral("Copy"), this)) {
    setObjectName(kFormName);
    setWindowTitle(QStringLiteral("Debug"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsToPixels(7635), twipsToPixels(7965));

    m_txtDebug->setObjectName(QStringLiteral("txtDebug"));
    m_txtDebug->setGeometry(twipsRect(0, 0, 7575, 7335));
    m_txtDebug->setReadOnly(true);
    m_txtDebug->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtDebug->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Read-only, but the operator may still select part of it with the keyboard.
    m_txtDebug->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    m_btnCopy->setObjectName(QStringLiteral("btnCopy"));
    m_btnCopy->setGeometry(twipsRect(3120, 7440, 1215, 495));
    connect(m_btnCopy, &QPushButton::clicked, this, &frmDebug::btnCopy_Click);
}

void frmDebug::AddMessage(const QString& text) {
    m_log += text;
    m_log += kLineEnd;
    if (m_log.size() > kMaxLogChars) {
        // The oldest whole lines go; a newest line longer than the bound keeps its end.
        const qsizetype excess = m_log.size() - kMaxLogChars;
        const qsizetype lineEnd = m_log.indexOf(kLineEnd, std::max<qsizetype>(0, excess - 2));
        const qsizetype nextLine = lineEnd + kLineEnd.size();
        m_log.remove(0, nextLine < m_log.size() ? nextLine : excess);
    }
    m_txtDebug->setPlainText(m_log);
    if (!m_log.isEmpty()) {
        m_txtDebug->moveCursor(QTextCursor::End);
        m_txtDebug->ensureCursorVisible();
    }
}

void frmDebug::placeBeside(QWidget* panel) {
    if (m_panel != panel) {
        if (m_panel) {
            m_panel->removeEventFilter(this);
        }
        m_panel = panel;
        panel->installEventFilter(this);
    }
    followPanel();
}

bool frmDebug::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_panel && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        // Stays where the operator put it; otherwise keeps beside the panel as it grows.
        if (pos() == m_placedAt) {
            followPanel();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmDebug::followPanel() {
    const QRect beside = m_panel->frameGeometry();
    QPoint position(beside.right() + 1, beside.top());
    if (const QScreen* screen = m_panel->screen()) {
        const QRect area = screen->availableGeometry();
        if (position.x() + frameGeometry().width() > area.right() + 1 &&
            beside.left() - frameGeometry().width() >= area.left()) {
            position.setX(beside.left() - frameGeometry().width());
        }
    }
    m_placedAt = position;
    move(position);
}

void frmDebug::btnCopy_Click() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(m_log);
    }
}

} // namespace corvane
