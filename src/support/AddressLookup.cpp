#include "support/AddressLookup.h"

#include "support/LogCategories.h"
#include "support/MeterKey.h"

#include <exception>
#include <utility>

namespace corvane {

QString AddressLookup::GetAddress(qint32 router, qint32 io, bool isDest) const {
    const QString* address = m_entries.find(MeterKey(router, io, isDest));
    return address ? *address : QString();
}

void AddressLookup::UpdateAddressLookup(qint32 router, qint32 io, bool isDest,
                                        const QString& address) {
    const QString key = MeterKey(router, io, isDest);
    try {
        if (!store(key, address)) {
            // Checked now, the subscription would ask for the address again at once, and a
            // Core that keeps answering so would be asked without end. The meter client's
            // regular check asks again later.
            return;
        }
        if (m_checker) {
            m_checker(key);
        }
    } catch (const std::exception&) {
        // The stored address stands; the caller goes on as if the check had run.
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

void AddressLookup::setSubscriptionChecker(SubscriptionChecker checker) {
    m_checker = std::move(checker);
}

AddressLookup& colAddressLookup() {
    static AddressLookup table;
    return table;
}

} // namespace corvane
