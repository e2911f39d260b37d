#include "app/TerminationSignals.h"
#include "support/Wait.h"

#include <QList>

#include <gtest/gtest.h>

#include <csignal>

using namespace corvane;
using namespace corvane::test;

namespace {

void (*currentHandler(int signalNumber))(int) {
    struct sigaction action = {};
    ::sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

} // namespace

TEST(TerminationSignals, TermAndIntArriveAsQtSignalsAndThePreviousHandlersComeBack) {
    const auto termBefore = currentHandler(SIGTERM);
    const auto intBefore = currentHandler(SIGINT);
    {
        TerminationSignals termination;
        ASSERT_TRUE(termination.isActive());
        // A second instance leaves the first in charge.
        TerminationSignals second;
        EXPECT_FALSE(second.isActive());

        QList<int> received;
        QObject::connect(&termination, &TerminationSignals::terminationRequested,
                         [&](int signalNumber) { received.append(signalNumber); });
        ::raise(SIGTERM);
        ::raise(SIGINT);
        ::raise(SIGTERM);
        ASSERT_TRUE(waitUntil([&] { return received.size() == 3; }));
        EXPECT_EQ(received, QList<int>({SIGTERM, SIGINT, SIGTERM}));
    }
    EXPECT_EQ(currentHandler(SIGTERM), termBefore);
    EXPECT_EQ(currentHandler(SIGINT), intBefore);
}
