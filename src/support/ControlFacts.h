#pragma once

#include <QString>

#include <optional>

class QObject;

namespace corvane {

// What the panel set on one of its widgets and reads back: its tag, the colour numbers it was
// given, and its place and size in twips. All of it rides on the widget in one record, so
// that it lives and dies with the widget; a value of its own for each would cost every
// control of a panel of thousands a named slot apiece, looked up by name at every placing.
struct ControlFacts {
    QString tag;
    std::optional<qint32> backColor;
    std::optional<qint32> foreColor;
    std::optional<double> left;
    std::optional<double> top;
    std::optional<double> width;
    std::optional<double> height;

    // The record of the object; null when nothing was ever set on it.
    static const ControlFacts* find(const QObject* object);
    // The record of the object, made on first use.
    static ControlFacts& of(QObject* object);
};

} // namespace corvane
