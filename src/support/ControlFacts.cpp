#include "support/ControlFacts.h"

#include <QObject>
#include <QSharedPointer>
#include <QVariant>

namespace corvane {

namespace {

constexpr char kProperty[] = "corvaneControlFacts";

using Holder = QSharedPointer<ControlFacts>;

} // namespace

const ControlFacts* ControlFacts::find(const QObject* object) {
    if (const auto* holder = dynamic_cast<const HoldsControlFacts*>(object)) {
        return &holder->m_controlFacts;
    }
    const QVariant held = object->property(kProperty);
    return held.isValid() ? held.value<Holder>().get() : nullptr;
}

ControlFacts& ControlFacts::of(QObject* object) {
    if (auto* holder = dynamic_cast<HoldsControlFacts*>(object)) {
        return holder->m_controlFacts;
    }
    if (const ControlFacts* facts = find(object)) {
        // The record is the object's own; only the object hands it out for writing.
        return *const_cast<ControlFacts*>(facts);
    }
    auto facts = Holder::create();
    object->setProperty(kProperty, QVariant::fromValue(facts));
    return *facts;
}

} // namespace corvane
