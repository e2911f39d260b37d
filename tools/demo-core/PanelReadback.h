#pragma once

#include "PanelCatalog.h"
#include "StudioState.h"

#include <QList>
#include <QString>

namespace corvane::demo {

// Reading a client's panel back, to see whether it shows the studio. The Core serves a panel
// with a load command of its own: the word "readback", then, for every value the studio can
// vouch for, a record separator, "CONTROL.PROPERTY=" and the placeholder that the client fills
// in with what that control shows. The client sends it after every delivery of the panel.
namespace PanelReadback {

struct Value {
    QString key; // "Control.property"
    QString text;
};

struct Difference {
    QString key;
    QString studio;
    QString client; // empty, and missing set, when the answer lacks the value
    bool missing = false;
};

// The load command that reads the panel's controls back.
QString LoadCommand(const StudioPanel& panel);
// The definition with that command as its load command (a later panel key overrides an
// earlier one, so the panel's own load command gives way).
QString WithLoadCommand(const QString& definition, const QString& command);

// Whether a control command's text is a readback answer.
bool IsAnswer(const QString& text);
// The values of an answer, in its order.
QList<Value> ParseAnswer(const QString& text);
// Whether the client left placeholders unfilled: it could not read some value.
bool IsUnfilled(const QString& text);

// What the client must show now, in the order of the load command: the panel as defined, with
// every property the studio has set since and its channels as they stand.
QList<Value> Expected(const StudioPanel& panel, const StudioState& state);
// How many controls the load command reads.
int ControlCount(const StudioPanel& panel);

QList<Difference> Compare(const QList<Value>& expected, const QList<Value>& answer);

} // namespace PanelReadback

} // namespace corvane::demo
