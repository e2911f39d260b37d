#pragma once

#include <QString>

#include <optional>

class QObject;

namespace corvane {

// What the panel set on one of its widgets and reads back: its tag, the colour numbers it was
// given, its place and size in twips, and its font size at scale 1. All of it rides on the
// widget in one record, so that it lives and dies with the widget; a value of its own for each
// would cost every control of a panel of thousands a named slot apiece, looked up by name at
// every placing. The panel's own controls hold the record as a member (HoldsControlFacts);
// any other widget carries it as a property.
struct ControlFacts {
    QString tag;
    std::optional<qint32> backColor;
    std::optional<qint32> foreColor;
    std::optional<double> left;
    std::optional<double> top;
    std::optional<double> width;
    std::optional<double> height;
    std::optional<double> fontPoints;

    // The record of the object; null when nothing was ever set on it.
    static const ControlFacts* find(const QObject* object);
    // The record of the object, made on first use.
    static ControlFacts& of(QObject* object);
};

// Base of the widgets that keep their record themselves.
class HoldsControlFacts {
public:
    virtual ~HoldsControlFacts() = default;

private:
    friend struct ControlFacts;
    ControlFacts m_controlFacts;
};

} // namespace corvane
