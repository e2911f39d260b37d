#include "panel/PanelPayload.h"

#include "panel/DefinitionXml.h"
#include "protocol/ClientProtocolConsts.h"

#include <algorithm>

namespace corvane {

namespace {
constexpr qsizetype kMaxDefinitionScan = DefinitionLimits::kMaxCharacters + 1;
}

std::optional<PanelPayloadView> SplitPanelPayloadView(QStringView payload) {
    const QString& separator = modClientProtocolConsts::strFieldSeparator;
    const qsizetype first = payload.indexOf(separator);
    if (first < 0) {
        return std::nullopt;
    }
    const qsizetype start = first + separator.size();
    // A definition longer than a panel may be is refused whatever follows it, so the search
    // for its end stops one character past the limit: a frame of any size costs no more than
    // a panel at the limit. What is handed on is then too long, and refused as such.
    const QStringView rest =
        payload.sliced(start).first(std::min(payload.size() - start, kMaxDefinitionScan));
    const qsizetype second = rest.indexOf(separator);
    return PanelPayloadView{payload.first(first), second < 0 ? rest : rest.first(second)};
}

std::optional<PanelPayload> SplitPanelPayload(const QString& payload) {
    const auto views = SplitPanelPayloadView(payload);
    if (!views) {
        return std::nullopt;
    }
    return PanelPayload{views->title.toString(), views->definition.toString()};
}

} // namespace corvane
