#include "CheckContext.h"
#include "PanelChecks.h"
#include "runtime/CommandValues.h"

#include <vector>

namespace corvane::check {

namespace {

// One command of a control and the key that sets it.
struct Command {
    const clsUPControl& record;
    const QString& text;
    const char* key;
};

QString whyNothing(const QString& property, const clsUPControl& target) {
    if (!CommandPropertyNames().contains(property)) {
        return QStringLiteral("\"%1\" is not a property a command can read").arg(property);
    }
    return QStringLiteral("%1 has no %2 to give").arg(Describe(target), property);
}

QString whyFails(const CheckContext& context, const QString& property, const clsUPControl& target) {
    if (!context.isBuilt(&target)) {
        return QStringLiteral("%1 is not on the panel").arg(Describe(target));
    }
    return QStringLiteral("%1 has no %2 a command can read").arg(Describe(target), property);
}

void checkPlaceholder(CheckContext& context, const Command& command, const QString& inner) {
    const QString what =
        context.form == &command.record ? QStringLiteral("panel") : Describe(command.record);
    const QString placeholder = QStringLiteral("$$") + inner + QStringLiteral("$$");
    const auto report = [&](const QString& problem) {
        context.report(Severity::Warning, context.entryOf(&command.record), {command.key},
                       QStringLiteral("%1: %2 placeholder %3 %4")
                           .arg(what, QLatin1String(command.key), placeholder, problem));
    };
    const auto parts = SplitPlaceholder(inner);
    if (!parts) {
        report(QStringLiteral("is not CONTROL.PROPERTY; it is left out"));
        return;
    }
    const ControlRecordPtr* target = context.state.collControls.find(parts->control);
    if (target == nullptr || !*target) {
        report(QStringLiteral("names no control; it is left out"));
        return;
    }
    const QString property = parts->property.toString().toLower();
    switch (CommandReadOf((*target)->typeKey(), property, context.isBuilt(target->get()))) {
    case CommandRead::Value:
        return;
    case CommandRead::Nothing:
        report(QStringLiteral("gives nothing: ") + whyNothing(property, **target));
        return;
    case CommandRead::Fails:
        report(QStringLiteral("cannot be read: %1; the command goes out with its placeholders "
                              "unfilled")
                   .arg(whyFails(context, property, **target)));
        return;
    }
}

} // namespace

void CheckPlaceholders(CheckContext& context) {
    std::vector<Command> commands;
    for (const auto& item : context.state.collControls) {
        const clsUPControl* record = item.value.get();
        if (record == nullptr) {
            continue;
        }
        if (record == context.form) {
            // The load command goes out once the panel is read, built or not.
            commands.push_back({*record, record->OnLoad, "onload"});
        } else if (context.isBuilt(record) && record->typeKey() == QLatin1String("button")) {
            commands.push_back({*record, record->MouseDown, "mousedown"});
            commands.push_back({*record, record->MouseUp, "mouseup"});
        }
    }
    for (const Command& command : commands) {
        for (const QString& inner : CommandPlaceholders(command.text, context.state.windowTag)) {
            checkPlaceholder(context, command, inner);
        }
    }
}

} // namespace corvane::check
