#pragma once

#include <QMetaType>
#include <QPoint>
#include <QSize>

class QWidget;

namespace corvane {

// Records and the protocol speak twips (1/1440 inch); widgets are placed in pixels at the
// screen's logical dpi (15 twips a pixel at 96 dpi). Every conversion between the two is made
// here.
constexpr int kTwipsPerInch = 1440;

double logicalDpi();

// Windows of their own on the desktop (the panel window's place, the splash, the debug and
// "Connecting" windows): at the screen's logical dpi, whatever the panel's scale.
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

// How the twips of a panel become pixels of its window: scaled uniformly, and shifted by the
// place of the panel's top-left corner in the window (where a full-screen panel is centred,
// or room is kept above it). The window holds its mapping; a control takes its window's. A
// window that was never given one shows its panel at scale 1 from its top-left corner.
class PanelMapping {
public:
    PanelMapping() = default;
    PanelMapping(double scale, QPoint origin, QSize windowExtra = QSize(0, 0));

    double scale() const { return m_scale; }
    QPoint origin() const { return m_origin; }
    // Pixels a window of its own adds to its panel's size: room kept around the panel.
    QSize windowExtra() const { return m_windowExtra; }

    int lengthToPixels(double twips) const;
    int xToPixels(double twips) const;
    int yToPixels(double twips) const;
    double lengthToTwips(int pixels) const;
    double xToTwips(int pixels) const;
    double yToTwips(int pixels) const;
    // A font size in points at this scale.
    double points(double pointsAtScaleOne) const;

    // The mapping of the window that holds the widget (the widget's own, for a window).
    static PanelMapping of(const QWidget* widget);
    static void install(QWidget* window, const PanelMapping& mapping);

    bool operator==(const PanelMapping& other) const = default;

private:
    double m_scale = 1.0;
    QPoint m_origin;
    QSize m_windowExtra{0, 0};
};

} // namespace corvane

Q_DECLARE_METATYPE(corvane::PanelMapping)
