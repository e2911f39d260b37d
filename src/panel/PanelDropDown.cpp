#include "panel/PanelDropDown.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringListModel>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QWheelEvent>

#include <map>
#include <tuple>

namespace corvane {

namespace {
constexpr std::size_t kMaxSharedPalettes = 256;
}

PanelDropDown::PanelDropDown(QWidget* parent) : QWidget(parent) {
    // What a list takes: focus by click, tab and wheel.
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

int PanelDropDown::count() const {
    return m_list ? m_list->count() : int(m_items.size());
}

QString PanelDropDown::itemText(int index) const {
    if (m_list) {
        return m_list->itemText(index);
    }
    return index >= 0 && index < m_items.size() ? m_items.at(index) : QString();
}

int PanelDropDown::currentIndex() const {
    return m_list ? m_list->currentIndex() : m_current;
}

QString PanelDropDown::currentText() const {
    return itemText(currentIndex());
}

void PanelDropDown::addItems(const QStringList& items) {
    if (m_list) {
        m_list->addItems(items);
        return;
    }
    if (items.isEmpty()) {
        return;
    }
    m_items += items;
    if (m_current < 0) {
        m_current = 0;
    }
    update();
}

void PanelDropDown::clear() {
    if (m_list) {
        m_list->clear();
        return;
    }
    m_items.clear();
    m_current = -1;
    update();
}

void PanelDropDown::setCurrentIndex(int index) {
    if (m_list) {
        m_list->setCurrentIndex(index);
        return;
    }
    m_current = index >= 0 && index < m_items.size() ? index : -1;
    update();
}

void PanelDropDown::setColors(const QColor& back, const QColor& fore) {
    if (back == m_backColor && fore == m_foreColor) {
        return;
    }
    m_backColor = back;
    m_foreColor = fore;
    if (m_list) {
        m_list->setPalette(shownPalette());
    }
    update();
}

QPalette PanelDropDown::shownPalette() const {
    if (!m_backColor.isValid() && !m_foreColor.isValid()) {
        return palette();
    }
    // One palette for all the lists of the same colours on the same ground: the style keeps
    // what it drew under the palette's key, and a palette made anew at every paint would miss
    // it every time.
    static std::map<std::tuple<qint64, QRgb, QRgb, bool, bool>, QPalette> shared;
    const auto key = std::make_tuple(palette().cacheKey(), m_backColor.rgba(), m_foreColor.rgba(),
                                     m_backColor.isValid(), m_foreColor.isValid());
    if (const auto found = shared.find(key); found != shared.end()) {
        return found->second;
    }
    if (shared.size() >= kMaxSharedPalettes) {
        shared.clear(); // the colours of a panel are few; this only bounds a pathological one
    }
    QPalette shown = palette();
    if (m_backColor.isValid()) {
        shown.setColor(QPalette::Button, m_backColor);
        shown.setColor(QPalette::Base, m_backColor);
    }
    if (m_foreColor.isValid()) {
        shown.setColor(QPalette::WindowText, m_foreColor);
        shown.setColor(QPalette::Text, m_foreColor);
        shown.setColor(QPalette::ButtonText, m_foreColor);
    }
    shared.emplace(key, shown);
    return shown;
}

QSize PanelDropDown::sizeHint() const {
    QStyleOptionComboBox option;
    option.initFrom(this);
    int widest = fontMetrics().horizontalAdvance(QLatin1Char('x')) * 7;
    for (const QString& item : std::as_const(m_items)) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(item));
    }
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                     QSize(widest, fontMetrics().height()), this);
}

void PanelDropDown::paintEvent(QPaintEvent*) {
    if (m_list) {
        return; // the list covers the control
    }
    // As the list paints itself when closed.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.palette = shownPalette();
    painter.setPen(option.palette.color(QPalette::Text));
    option.editable = false;
    option.frame = true;
    option.currentText = currentText();
    option.subControls = QStyle::SC_All;
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void PanelDropDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_list) {
        m_list->setGeometry(rect());
    }
}

void PanelDropDown::mousePressEvent(QMouseEvent* event) {
    QComboBox* list = createList();
    list->setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        list->showPopup();
    }
    event->accept();
}

void PanelDropDown::keyPressEvent(QKeyEvent* event) {
    QCoreApplication::sendEvent(createList(), event);
}

void PanelDropDown::wheelEvent(QWheelEvent* event) {
    QCoreApplication::sendEvent(createList(), event);
}

void PanelDropDown::focusInEvent(QFocusEvent* event) {
    createList()->setFocus(event->reason());
}

QComboBox* PanelDropDown::createList() {
    if (m_list) {
        return m_list;
    }
    m_list = new QComboBox(this);
    m_list->setEditable(false);
    if (m_backColor.isValid() || m_foreColor.isValid()) {
        m_list->setPalette(shownPalette());
    }
    // A list of plain texts: an item of the general model carries a table of roles.
    m_list->setModel(new QStringListModel(m_items, m_list));
    m_list->setCurrentIndex(m_current);
    m_items.clear(); // the list holds the items from now on
    m_list->setGeometry(rect());
    setFocusProxy(m_list);
    m_list->show();
    return m_list;
}

} // namespace corvane
