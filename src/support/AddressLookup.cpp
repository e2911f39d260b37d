#include "support/AddressLookup.h"

#include "support/LogCategories.h"
#include "support/MeterKey.h"

#include <exception>

namespace corvane {

QString AddressLookup::GetAddress(qint32 router, qint32 io, bool isDest) const {
    const QString* address = m_entries.find(MeterKey(router, io, isDest));
    return address ? *address : QString();
}

bool AddressLookup::UpdateAddressLookup(qint32 router, qint32 io, bool isDest,
                                        const QString& address) {
    try {
        return store(MeterKey(router, io, isDest), address);
    } catch (const std::exception&) {
        return false; // the table stays as it was
    }
}

bool AddressLookup::store(const QString& key, const QString& address) {
    const QString* stored = m_entries.find(key);
    if (address.isEmpty()) {
        qCDebug(lcMeters) << "the Core knows no address for" << key;
        return false;
    }
    if (address.size() > kMaxAddressLength) {
        qCWarning(lcMeters) << "an address of" << address.size() << "characters for" << key
                            << "is not stored";
        return false;
    }
    if (!stored && m_entries.size() >= kMaxEntries) {
        if (!m_fullTold) {
            m_fullTold = true;
            qCWarning(lcMeters) << "the address table is full at" << kMaxEntries
                                << "points: addresses of further points are not stored";
        }
        return false;
    }
    if (!stored) {
        m_entries.add(key, address);
    } else if (*stored != address) {
        m_entries.remove(key);
        m_entries.add(key, address);
    }
    return true;
}

} // namespace corvane
