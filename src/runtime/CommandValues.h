#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace corvane {

struct PanelState;
struct clsUPControl;

// Fills the placeholders of a command text from the live panel before it goes to the Core:
// "$$PanelName$$" (any letter case) with the panel's name, then "$$control.property$$" with
// what that control holds at this moment, left to right. A placeholder that is malformed or
// names no control is removed, and so is a "$$" left without a partner. An inserted value is
// taken as it is and never scanned again, so a value holding "$$" cannot make the work endless.
// When a value cannot be read (the control lacks the property, a position beyond 16 bits) the
// whole substitution is abandoned: the command comes back exactly as it was given.
// Besides the properties of every control, a channel strip gives its channel switch and buses
// ("channelon", "pgm1on" to "pgm4on") and its gain ("faderlevel", once the Core has sent one).
QString ReplaceValueInCommand(const QString& commandText, const PanelState& state);

// The text that "$$name.property$$" stands for; property in lower case. Properties that give
// nothing for this kind of control give empty text. Throws when the value cannot be read.
QString CommandValue(const clsUPControl& record, const QString& property);

// What "$$name.property$$" gives for a control of the type (lower case) and the property (lower
// case): a value, nothing (the placeholder is left out), or a failure that abandons the whole
// substitution. onPanel tells whether the control is built; values read from the visible
// control fail without one.
enum class CommandRead { Value, Nothing, Fails };
CommandRead CommandReadOf(const QString& type, const QString& property, bool onPanel);
// The properties a placeholder can read (lower case), sorted.
QStringList CommandPropertyNames();

// The inner texts of the placeholders of a command ("Mic1.caption"), as the substitution meets
// them once "$$PanelName$$" is filled with the panel's name.
QStringList CommandPlaceholders(const QString& commandText, const QString& panelName);

// A placeholder's inner text split into control name and property: exactly one "." between.
struct PlaceholderParts {
    QStringView control;
    QStringView property;
};
std::optional<PlaceholderParts> SplitPlaceholder(QStringView inner);

} // namespace corvane
