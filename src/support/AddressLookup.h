#pragma once

#include "support/KeyedCollection.h"

#include <QString>

namespace corvane {

// The I/O address table (colAddressLookup): the text by which the meter server knows a meter
// point, as the Core reported it, keyed by meter key. The main window keeps it for the whole
// run and never clears it, so a point's address is asked for once; a later reply replaces it.
//
// A Core may name any point, wanted or not, so the table is bounded: twice as many points as a
// panel can hold controls, each address at most kMaxAddressLength characters. A new point over
// the bound, or an address over the length, is not stored (and logged); points already stored
// still take new addresses.
class AddressLookup {
public:
    static constexpr qsizetype kMaxEntries = 100000;
    static constexpr qsizetype kMaxAddressLength = 1024;

    AddressLookup() = default;
    AddressLookup(const AddressLookup&) = delete;
    AddressLookup& operator=(const AddressLookup&) = delete;

    // The stored address, or empty text when none is stored.
    QString GetAddress(qint32 router, qint32 io, bool isDest) const;

    // Stores the address exactly as received (a changed address replaces the old one and
    // moves to the end of the order) and returns true: a subscription that waited for it can
    // go out now. An address that is not stored (empty, the Core's way of saying it knows
    // none; too long; a new point when the table is full) leaves the table as it was: false.
    // Never throws.
    bool UpdateAddressLookup(qint32 router, qint32 io, bool isDest, const QString& address);

    // The entries in order, for whoever needs to go through them.
    const KeyedCollection<QString>& entries() const { return m_entries; }

private:
    // False when the address is not stored.
    bool store(const QString& key, const QString& address);

    KeyedCollection<QString> m_entries;
    bool m_fullTold = false;
};

} // namespace corvane
