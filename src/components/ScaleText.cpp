#include "components/ScaleText.h"

#include <QFontMetrics>

#include <algorithm>
#include <array>
#include <utility>

namespace corvane {

namespace {

struct Measured {
    QFont font;
    QString sample;
    ScaleTextSize size;
};

constexpr std::size_t kRemembered = 8;

} // namespace

ScaleTextSize MeasureScaleText(const QFont& font, const QString& sample) {
    // Never destroyed: a font that has been measured holds on to Qt's font engines, which are
    // gone once the application object is.
    static auto& remembered = *new std::array<Measured, kRemembered>;
    static std::size_t filled = 0;
    static std::size_t next = 0;
    for (std::size_t i = 0; i < filled; ++i) {
        if (remembered[i].sample == sample && remembered[i].font == font) {
            return remembered[i].size;
        }
    }
    const QFontMetrics metrics(font);
    const ScaleTextSize size{metrics.horizontalAdvance(sample), metrics.height()};
    remembered[next] = Measured{font, sample, size};
    next = (next + 1) % kRemembered;
    filled = std::max(filled, next == 0 ? kRemembered : next);
    return size;
}

} // namespace corvane
