#include "CheckContext.h"
#include "PanelChecks.h"

#include <QHash>

namespace corvane::check {

namespace {

// A control's place and size in twips as building sets them; 0 for a size means the
// template's, which a definition does not tell.
struct Box {
    int left;
    int top;
    int width;
    int height;

    static Box of(const clsUPControl& record) {
        // A list keeps its own height.
        const bool ownHeight = record.typeKey() == QLatin1String("dropdown");
        return Box{record.Left, record.Top, record.Width, ownHeight ? 0 : record.Height};
    }
};

// How the control lies wholly outside a window of the given size (0: not known), or empty.
QString outside(const Box& box, int windowWidth, int windowHeight) {
    if (windowWidth > 0 && box.left >= windowWidth) {
        return QStringLiteral("right of the window, which is %1 twips wide").arg(windowWidth);
    }
    if (windowHeight > 0 && box.top >= windowHeight) {
        return QStringLiteral("below the window, which is %1 twips high").arg(windowHeight);
    }
    if (box.width > 0 && box.left + box.width <= 0) {
        return QStringLiteral("left of the window");
    }
    if (box.height > 0 && box.top + box.height <= 0) {
        return QStringLiteral("above the window");
    }
    return {};
}

QString boxKey(const QString& type, const Box& box) {
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(type)
        .arg(box.left)
        .arg(box.top)
        .arg(box.width)
        .arg(box.height);
}

} // namespace

void CheckLayout(CheckContext& context) {
    const clsUPControl* form = context.form;
    const bool windowKnown = form != nullptr && context.isBuilt(form);
    const int windowWidth = windowKnown ? form->Width : 0;
    const int windowHeight = windowKnown ? form->Height : 0;
    QHash<QString, const clsUPControl*> placed;
    for (const ReadEntry& entry : context.read.entries()) {
        const clsUPControl& record = *entry.record;
        if (!entry.registered || !context.isBuilt(&record) ||
            record.typeKey() == QLatin1String("form")) {
            continue;
        }
        const Box box = Box::of(record);
        const QString side = outside(box, windowWidth, windowHeight);
        if (!side.isEmpty()) {
            context.report(Severity::Warning, entry, {},
                           QStringLiteral("%1 lies wholly %2").arg(Describe(record), side));
        }
        const QString key = boxKey(record.typeKey(), box);
        const auto first = placed.constFind(key);
        if (first == placed.cend()) {
            placed.insert(key, &record);
            continue;
        }
        context.report(Severity::Warning, entry, {},
                       QStringLiteral("%1 lies exactly on %2 at line %3")
                           .arg(Describe(record), Describe(**first))
                           .arg(context.entryOf(*first).place.line));
    }
}

} // namespace corvane::check
