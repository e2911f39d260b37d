#include "FuzzApp.h"

#include <QApplication>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace corvane::fuzz {

namespace {

void dropMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    }
}

} // namespace

void EnsureApplication() {
    if (QApplication::instance()) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(dropMessages);
    static int argc = 1;
    static char name[] = "corvane-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

} // namespace corvane::fuzz
