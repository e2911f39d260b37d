#pragma once

#include <QAbstractButton>
#include <QColor>

namespace corvane {

// A small strip button that shows a state it does not own: clicking raises clicked() and
// leaves the light alone; whoever knows the real state sets it with setLit.
class LitButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit LitButton(const QString& text, const QColor& litColor, QWidget* parent = nullptr);

    void setLit(bool lit);
    bool isLit() const { return m_lit; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QColor m_litColor;
    QFont m_captionFont; // a share of the button's font, which follows the application's
    bool m_lit = false;
};

} // namespace corvane
