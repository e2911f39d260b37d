#include "connection/frmConnecting.h"

#include "support/ColorNumber.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

namespace {
const QString kFormName = QStringLiteral("frmConnecting");
const QString kLoading = QStringLiteral("Loading");
const QString kConnecting = QStringLiteral("Connecting");
const QString kLineBreak = QStringLiteral("\r\n");
} // namespace

frmConnecting::frmConnecting(QWidget* parent)
    : QWidget(parent, Qt::Tool), m_lblConnecting(new QLabel(kConnecting, this)),
      m_timConnecting(new QTimer(this)) {
    setObjectName(kFormName);
    setWindowTitle(kConnecting);
    setFixedSize(260, 90);

    m_lblConnecting->setObjectName(QStringLiteral("lblConnecting"));
    m_lblConnecting->setAlignment(Qt::AlignCenter);
    m_lblConnecting->setAutoFillBackground(true);
    QFont font = m_lblConnecting->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    m_lblConnecting->setFont(font);
    // Dark text stays readable on both back colours whatever the style's palette.
    QPalette palette = m_lblConnecting->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    m_lblConnecting->setPalette(palette);
    setLabelBackColor(kSystemButtonFace);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lblConnecting);

    m_timConnecting->setObjectName(QStringLiteral("timConnecting"));
    m_timConnecting->setInterval(kTickMs);
    connect(m_timConnecting, &QTimer::timeout, this, &frmConnecting::timConnecting_Timer);
}

void frmConnecting::setStrToAddress(const QString& address) {
    m_strToAddress = address;
}

void frmConnecting::timConnecting_Timer() {
    m_step = m_step % 4 + 1;
    // The panel request turns the word into "Loading"; it stays until the window goes.
    const QString word = m_lblConnecting->text().contains(kLoading) ? kLoading : kConnecting;
    static const QString kDots[] = {QStringLiteral("."), QStringLiteral(". ."),
                                    QStringLiteral(". . ."), QString()};
    m_lblConnecting->setText(word + kDots[m_step - 1] + kLineBreak + m_strToAddress);
    setLabelBackColor(m_step % 2 == 1 ? kYellow : kSystemButtonFace);
}

void frmConnecting::setLabelBackColor(qint32 colorNumber) {
    QPalette palette = m_lblConnecting->palette();
    palette.setColor(QPalette::Window, colorFromNumber(colorNumber));
    m_lblConnecting->setPalette(palette);
}

void frmConnecting::closeEvent(QCloseEvent* event) {
    m_timConnecting->stop();
    QWidget::closeEvent(event);
}

} // namespace corvane
