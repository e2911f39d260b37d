#include "panel/PanelPayload.h"

#include "protocol/ClientProtocolConsts.h"

namespace corvane {

std::optional<PanelPayloadView> SplitPanelPayloadView(QStringView payload) {
    const QString& separator = modClientProtocolConsts::strFieldSeparator;
    const qsizetype first = payload.indexOf(separator);
    if (first < 0) {
        return std::nullopt;
    }
    const qsizetype start = first + separator.size();
    const qsizetype second = payload.indexOf(separator, start);
    return PanelPayloadView{payload.first(first), second < 0
                                                      ? payload.sliced(start)
                                                      : payload.sliced(start, second - start)};
}

std::optional<PanelPayload> SplitPanelPayload(const QString& payload) {
    const auto views = SplitPanelPayloadView(payload);
    if (!views) {
        return std::nullopt;
    }
    return PanelPayload{views->title.toString(), views->definition.toString()};
}

} // namespace corvane
