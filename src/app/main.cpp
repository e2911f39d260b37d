#include "app/TerminationSignals.h"
#include "app/frmCVMini.h"

#include <QApplication>
#include <QIcon>

#include <unistd.h>

int main(int argc, char** argv) {
    // The web view's browser engine refuses to start its sandbox as root; operators' machines
    // do not run as root, but kiosks and test machines may.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(corvane::frmCVMini::applicationTitle());
    // Panel colours come from the Core; a style that honours palettes shows them on any desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QIcon icon(QStringLiteral(":/icons/corvane-mini-48.png"));
    icon.addFile(QStringLiteral(":/icons/corvane-mini-128.png"));
    QApplication::setWindowIcon(icon);

    corvane::frmCVMini window;
    // A service stop, a session's end or Ctrl+C closes the window like the operator would,
    // from start-up on.
    corvane::TerminationSignals termination;
    QObject::connect(&termination, &corvane::TerminationSignals::terminationRequested, &window,
                     &QWidget::close);
    if (!window.Form_Load(QApplication::arguments().mid(1)) || window.programEnded()) {
        return 0;
    }
    return QApplication::exec();
}
