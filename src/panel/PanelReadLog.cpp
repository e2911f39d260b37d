#include "panel/PanelReadLog.h"

#include "panel/ControlTypes.h"
#include "panel/DefinitionXml.h"
#include "panel/FormBuilder.h"
#include "panel/PanelLimits.h"
#include "support/LogCategories.h"

namespace corvane {

namespace {

QString describe(const QString& type, const QString& name) {
    return QStringLiteral("%1 \"%2\"").arg(type.isEmpty() ? QStringLiteral("control") : type, name);
}

} // namespace

void PanelReadLog::startDefinition() {
    m_lines.clear();
    m_controlLines = 0;
}

void PanelReadLog::unreadable(const DefinitionLoadFailure& failure) {
    qCWarning(lcPanel).noquote()
        << QStringLiteral("A panel definition %1 (line %2, column %3: %4): none of it is read")
               .arg(failure.beyondLimits ? QStringLiteral("beyond the client's limits")
                                         : QStringLiteral("that is not well-formed XML"))
               .arg(failure.line)
               .arg(failure.column)
               .arg(failure.reason);
}

void PanelReadLog::notConverted(const FieldFailure& failure) {
    const QString what = failure.panelKey ? QStringLiteral("the panel")
                                          : describe(failure.controlType, failure.controlName);
    qCWarning(lcPanel).noquote() << QStringLiteral(
                                        "Nothing is built from a panel definition: %1, line %2: %3")
                                        .arg(what)
                                        .arg(failure.line)
                                        .arg(failure.reason);
}

void PanelReadLog::registered(const ControlRecordPtr& record, const DefinitionElement& node) {
    const int line = node.line();
    m_lines.insert(record.get(), line);
    const QString type = record->typeKey();
    if (!node.isElement() || FormBuilder::BuildsType(type) || IsKeptUnshownType(type)) {
        return;
    }
    controlLine(
        QStringLiteral("Control \"%1\" at line %2 is not shown: %3")
            .arg(record->Name)
            .arg(line)
            .arg(type.isEmpty()
                     ? QStringLiteral("it has no type")
                     : QStringLiteral("its type \"%1\" is unknown").arg(record->ControlType)));
}

void PanelReadLog::dropped(const clsUPControl& record, const DefinitionElement& node,
                           const ControlRecordPtr& holder) {
    const auto held = m_lines.constFind(holder.get());
    if (held == m_lines.cend()) {
        return; // held since an earlier delivery: the panel keeps what it has
    }
    if (node.isNull()) {
        qCWarning(lcPanel).noquote()
            << QStringLiteral("The panel's name \"%1\" is taken by what stands at line %2: the "
                              "window is not sized, coloured or named from this definition")
                   .arg(record.Name)
                   .arg(*held);
        return;
    }
    if (!node.isElement()) {
        return; // a comment or the like: nothing an author means as a control
    }
    controlLine(QStringLiteral("%1 at line %2 is dropped: its name is taken by the control at "
                               "line %3")
                    .arg(describe(record.ControlType, record.Name))
                    .arg(node.line())
                    .arg(*held));
}

void PanelReadLog::overLimit(qsizetype skipped, const DefinitionElement& first) {
    qCWarning(lcPanel).noquote()
        << QStringLiteral("A delivery holds more than %1 controls: %2 skipped, from line %3 on")
               .arg(PanelLimits::kMaxControlsPerDelivery)
               .arg(skipped)
               .arg(first.line());
}

void PanelReadLog::controlLine(const QString& text) {
    if (m_controlLines == kMaxControlLines) {
        qCInfo(lcPanel) << "Further controls of this delivery that are not shown go unlisted";
    }
    if (m_controlLines++ < kMaxControlLines) {
        qCInfo(lcPanel).noquote() << text;
    }
}

} // namespace corvane
