#pragma once

#include "support/ControlFacts.h"

#include <QStringList>
#include <QWidget>

class QComboBox;

namespace corvane {

// The drop-down list of a panel. It draws itself as a closed list until the operator clicks,
// tabs, scrolls or types into it, and only then creates the list that opens and takes the
// choice. A full list costs some 5 kB and tens of microseconds to make, and a panel may hold
// thousands that nobody ever opens; the look is the same either way, since the style draws
// both, and the list covers the control with the same items, font and colours.
//
// Items and selection behave as the list's own: adding items to an empty list selects the
// first, an index outside the items selects nothing, and clearing selects nothing.
class PanelDropDown : public QWidget, public HoldsControlFacts {
    Q_OBJECT
public:
    explicit PanelDropDown(QWidget* parent = nullptr);

    int count() const;
    QString itemText(int index) const;
    int currentIndex() const;
    QString currentText() const;
    void addItems(const QStringList& items);
    void clear();
    void setCurrentIndex(int index);

    // The ground and the text colour the panel gave the list; invalid for the palette's. Kept
    // beside the control rather than in a palette of its own, which would weigh some 900
    // bytes.
    void setColors(const QColor& back, const QColor& fore);
    QColor backColor() const { return m_backColor; }
    QColor foreColor() const { return m_foreColor; }

    // The list once the operator has reached the control, else null.
    QComboBox* list() const { return m_list; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QComboBox* createList();
    // The palette with the control's own colours in it.
    QPalette shownPalette() const;

    QStringList m_items;
    int m_current = -1;
    QColor m_backColor;
    QColor m_foreColor;
    QComboBox* m_list = nullptr;
};

} // namespace corvane
