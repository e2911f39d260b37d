#pragma once

#include <QObject>
#include <QPixmap>

class QWidget;

namespace corvane {

// The background picture of the panel window: drawn at the panel's top-left corner at the
// panel's scale, over the window's background colour, under its controls. It lives beside the
// window's own painting (as an event filter), so that later colour changes keep the picture.
class WindowPicture : public QObject {
    Q_OBJECT
public:
    // Shows the picture on the window, replacing an earlier one.
    static void set(QWidget* window, const QPixmap& picture);
    // The picture shown on the window; a null pixmap when it has none.
    static QPixmap current(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WindowPicture(QWidget* window);
    static WindowPicture* of(const QWidget* window);

    QPixmap m_picture;
};

} // namespace corvane
