#include "components/MeterScaleMap.h"

#include <cmath>

namespace corvane {

namespace {

using Mark = MeterScaleMap::Mark;

std::vector<Mark> marksFrom(std::initializer_list<int> dbs) {
    std::vector<Mark> marks;
    for (int db : dbs) {
        marks.push_back({double(db), QString::number(db)});
    }
    return marks;
}

} // namespace

MeterScaleMap::MeterScaleMap(int scaleCode)
    : m_kind(scaleCode == MeterScaleStandard  ? MeterScaleStandard
             : scaleCode == MeterScaleBritish ? MeterScaleBritish
                                              : MeterScaleLinear) {}

double MeterScaleMap::floorDb() const {
    return knots().front().db;
}

const std::vector<MeterScaleMap::Knot>& MeterScaleMap::knots() const {
    // Piecewise-linear in dB between knots. The standard scale gives the top 10 dB a third of
    // the length, where operators read levels; the british one spaces its seven marks evenly.
    static const std::vector<Knot> linear{{-60, 0.0}, {0, 1.0}};
    static const std::vector<Knot> standard{{-60, 0.0},   {-50, 0.05}, {-40, 0.125}, {-30, 0.25},
                                            {-20, 0.425}, {-10, 0.65}, {-6, 0.77},   {0, 1.0}};
    static const std::vector<Knot> british{{-42, 0.0}, {-30, 0.1}, {-6, 0.9}, {0, 1.0}};
    switch (m_kind) {
    case MeterScaleStandard:
        return standard;
    case MeterScaleBritish:
        return british;
    case MeterScaleLinear:
        break;
    }
    return linear;
}

double MeterScaleMap::fractionForDb(double db) const {
    const auto& k = knots();
    if (std::isnan(db) || db <= k.front().db) {
        return 0.0;
    }
    if (db >= k.back().db) {
        return 1.0;
    }
    for (size_t i = 1; i < k.size(); ++i) {
        if (db <= k[i].db) {
            const double t = (db - k[i - 1].db) / (k[i].db - k[i - 1].db);
            return k[i - 1].fraction + t * (k[i].fraction - k[i - 1].fraction);
        }
    }
    return 1.0;
}

double MeterScaleMap::warningDb() const {
    return -18.0;
}

double MeterScaleMap::dangerDb() const {
    // PPM 6 on the british scale; the last 6 dB below full scale elsewhere.
    return m_kind == MeterScaleBritish ? -10.0 : -6.0;
}

const std::vector<MeterScaleMap::Mark>& MeterScaleMap::marks() const {
    static const std::vector<Mark> linear =
        marksFrom({0, -6, -12, -18, -24, -30, -36, -42, -48, -54, -60});
    static const std::vector<Mark> standard =
        marksFrom({0, -3, -6, -9, -12, -15, -18, -20, -25, -30, -40, -50, -60});
    static const std::vector<Mark> british = [] {
        std::vector<Mark> marks;
        for (int ppm = 7; ppm >= 1; --ppm) {
            marks.push_back({-18.0 + 4.0 * (ppm - 4), QString::number(ppm)});
        }
        return marks;
    }();
    switch (m_kind) {
    case MeterScaleStandard:
        return standard;
    case MeterScaleBritish:
        return british;
    case MeterScaleLinear:
        break;
    }
    return linear;
}

} // namespace corvane
