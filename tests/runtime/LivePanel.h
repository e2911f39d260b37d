#pragma once

#include "app/frmCVMini.h"
#include "panel/ControlProperties.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/ClientProtocolParser.h"
#include "protocol/FrameBuilder.h"
#include "runtime/CommandValues.h"

#include <QTimer>
#include <QWidget>

namespace corvane::test {

// A panel built by the real main window from a definition, with the Core's frames fed through
// the real receive buffer and dispatcher into the window, as the Core connection feeds them.
class LivePanel {
public:
    explicit LivePanel(const QString& definition) : LivePanel() { m_window.AnalyzeXML(definition); }
    // A window that waits for its panel from the Core.
    LivePanel() { m_window.show(); }

    frmCVMini& window() { return m_window; }

    // Text from the Core as the connection hands it on: whole frames, or pieces of them.
    void receive(const QString& text) { m_parser.receive(text); }

    // One property-change frame (command 35) from the Core.
    void change(const QString& payload) {
        m_parser.receive(
            BuildFrame(Command::PropertyChange, modClientProtocolConsts::strNoAddress, payload));
    }

    // A command text with its placeholders filled from the live panel.
    QString readCommand(const QString& commandText) {
        return ReplaceValueInCommand(commandText, m_window.panel());
    }

    // A timer of the window, by its name, and one tick of it, as if it had run out.
    QTimer& timer(const char* name) { return *m_window.findChild<QTimer*>(QLatin1String(name)); }
    void tick(const char* name) { QMetaObject::invokeMethod(&timer(name), "timeout"); }

    clsUPControl* record(const QString& name) {
        ControlRecordPtr* found = m_window.panel().collControls.find(name);
        return found ? found->get() : nullptr;
    }
    QWidget* control(const QString& name) {
        clsUPControl* found = record(name);
        return found ? found->pntrControl.data() : nullptr;
    }
    template <typename Widget> Widget* control(const QString& name) {
        return qobject_cast<Widget*>(control(name));
    }

private:
    frmCVMini m_window;
    ClientProtocolParser m_parser{m_window};
};

} // namespace corvane::test
