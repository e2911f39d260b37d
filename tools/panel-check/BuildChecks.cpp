#include "CheckContext.h"
#include "PanelChecks.h"
#include "panel/ControlTypes.h"
#include "panel/FormBuilder.h"
#include "panel/ListItems.h"
#include "panel/PanelLimits.h"
#include "support/NumberRules.h"

#include <algorithm>

namespace corvane::check {

namespace {

// What holds a name: a control, or a comment that the reader registered as a nameless record.
QString holderText(const CheckContext& context, const clsUPControl* holder) {
    const ReadEntry* entry = context.read.entryOf(holder);
    if (entry == nullptr) {
        return Describe(*holder);
    }
    if (!entry->element) {
        return QStringLiteral("the comment or text at line %1 (the reader takes it for a "
                              "nameless control)")
            .arg(entry->place.line);
    }
    return QStringLiteral("%1 at line %2").arg(Describe(*holder)).arg(entry->place.line);
}

void checkDropped(CheckContext& context) {
    for (const ReadEntry& entry : context.read.entries()) {
        if (entry.registered || !entry.element || entry.holder == nullptr) {
            continue;
        }
        context.report(Severity::Warning, entry, {"name"},
                       QStringLiteral("%1: its name is taken by %2; it is dropped and not shown")
                           .arg(Describe(*entry.record), holderText(context, entry.holder)));
    }
    if (const clsUPControl* holder = context.read.panelHolder()) {
        context.report(Severity::Error, context.read.panel(), {"name"},
                       QStringLiteral("panel: its name \"%1\" is taken by %2; the window is not "
                                      "sized, coloured or named, and the Core cannot address it")
                           .arg(context.read.panel().record->Name, holderText(context, holder)));
    }
}

void checkOverLimit(CheckContext& context) {
    if (context.read.skipped() == 0) {
        return;
    }
    const ElementPlace& first = context.read.firstSkipped();
    ReadEntry at;
    at.place = first;
    context.report(Severity::Error, at, {},
                   QStringLiteral("more than %1 controls: this one and the %2 after it are skipped")
                       .arg(PanelLimits::kMaxControlsPerDelivery)
                       .arg(context.read.skipped() - 1));
}

// The records in building order, as FormBuilder walks them.
class BuildWalk {
public:
    explicit BuildWalk(CheckContext& context) : m_context(context) {}

    void run() {
        for (const auto& item : m_context.state.collControls) {
            const clsUPControl* record = item.value.get();
            if (record == nullptr) {
                continue;
            }
            const bool ownRecord = m_context.read.entryOf(record) == nullptr;
            if (ownRecord && record->typeKey() == QLatin1String("form")) {
                m_context.form = record;
            }
            if (!m_stopped && builds(*record, ownRecord)) {
                m_context.built.insert(record);
            }
        }
        if (m_context.form != nullptr && m_context.isBuilt(m_context.form)) {
            m_context.state.windowTag = m_context.form->Name;
        }
    }

private:
    bool builds(const clsUPControl& record, bool ownRecord) {
        const QString type = record.typeKey();
        const ReadEntry& entry = m_context.entryOf(&record);
        if (!FormBuilder::BuildsType(type)) {
            if (entry.element && !IsKeptUnshownType(type)) {
                m_context.report(
                    Severity::Warning, entry, {"type"},
                    type.isEmpty()
                        ? QStringLiteral("%1 has no type; it is not shown").arg(Describe(record))
                        : QStringLiteral("%1: the type \"%2\" is unknown; it is not "
                                         "shown")
                              .arg(Describe(record), record.ControlType));
            }
            return false;
        }
        if (type == QLatin1String("form")) {
            return ownRecord ? windowFits(record, entry) : true;
        }
        if (type == QLatin1String("webbrowser")) {
            return webViewFits(record, entry);
        }
        if (type == QLatin1String("dropdown")) {
            return listFits(record, entry);
        }
        return true;
    }

    bool windowFits(const clsUPControl& form, const ReadEntry& entry) {
        if (form.Height == 0) {
            return true;
        }
        try {
            FormBuilder::WindowHeight(form.Height);
            return true;
        } catch (const ConversionError&) {
            m_context.report(Severity::Error, entry, {"height"},
                             QStringLiteral("panel: height %1 and the title bar's %2 make the "
                                            "window higher than 32767 twips; the window is not "
                                            "sized or named, and the Core cannot address it")
                                 .arg(form.Height)
                                 .arg(FormBuilder::kTitleBarTwips));
            m_stopped = true;
            return false;
        }
    }

    bool webViewFits(const clsUPControl& record, const ReadEntry& entry) {
        if (m_webViews >= PanelLimits::kMaxWebViews) {
            m_context.report(Severity::Error, entry, {},
                             QStringLiteral("%1: not built, a panel shows at most %2 web views")
                                 .arg(Describe(record))
                                 .arg(PanelLimits::kMaxWebViews));
            return false;
        }
        ++m_webViews;
        return true;
    }

    bool listFits(const clsUPControl& record, const ReadEntry& entry) {
        if (record.List.isEmpty()) {
            return true; // the selection index is not applied either
        }
        const qsizetype items = DropDownItemCount(record.List);
        if (items > PanelLimits::kMaxListItems) {
            m_context.report(Severity::Warning, entry, {"list"},
                             QStringLiteral("%1: %2 items; a list shows at most %3, the rest are "
                                            "skipped")
                                 .arg(Describe(record))
                                 .arg(items)
                                 .arg(PanelLimits::kMaxListItems));
        }
        const qsizetype shown = std::min<qsizetype>(items, PanelLimits::kMaxListItems);
        if (ListRejectsIndex(record.ListIndex, shown)) {
            m_context.report(Severity::Error, entry, {"listindex"},
                             QStringLiteral("%1: listindex %2 is refused, a list takes -1 for no "
                                            "selection or the index of an item; building stops "
                                            "here and the controls after it are not shown")
                                 .arg(Describe(record))
                                 .arg(record.ListIndex));
            m_stopped = true;
            return false;
        }
        return true;
    }

    CheckContext& m_context;
    bool m_stopped = false;
    int m_webViews = 0;
};

} // namespace

void CheckBuilding(CheckContext& context) {
    checkOverLimit(context);
    checkDropped(context);
    BuildWalk(context).run();
}

} // namespace corvane::check
