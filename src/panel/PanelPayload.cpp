#include "panel/PanelPayload.h"

#include "protocol/ClientProtocolConsts.h"

namespace corvane {

std::optional<PanelPayload> SplitPanelPayload(const QString& payload) {
    const QString& separator = modClientProtocolConsts::strFieldSeparator;
    const qsizetype first = payload.indexOf(separator);
    if (first < 0) {
        return std::nullopt;
    }
    const qsizetype start = first + separator.size();
    const qsizetype second = payload.indexOf(separator, start);
    return PanelPayload{payload.left(first),
                        second < 0 ? payload.mid(start) : payload.mid(start, second - start)};
}

} // namespace corvane
