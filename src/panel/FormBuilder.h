#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QWidget;

namespace corvane {

struct ControlArrays;
class PanelButton;
class PanelBuildBatch;
class PanelTiles;
struct PanelState;
struct clsUPControl;

// Turns the control records into visible controls on the panel window, and sizes, colours and
// captions the window from the form record. Records that already have a control are not built
// again; their meters are subscribed again.
class FormBuilder {
public:
    // What the window does as the panel is built; each does nothing unless overridden.
    class Events {
    public:
        virtual void SendMeterSubscription(qint32 router, qint32 io, bool isSource);
        virtual void SetControlGraphic(clsUPControl& record);
        virtual void EnableUPPing(); // once every record is done
        // A button has joined butCommand under this index: the window wires its presses.
        virtual void ButtonLoaded(PanelButton& button, int index);

    protected:
        ~Events() = default;
    };

    // The window's height above the panel's own, for its title bar.
    static constexpr int kTitleBarTwips = 200;

    // events: told as the panel is built; none when null.
    FormBuilder(PanelState& state, ControlArrays& arrays, QWidget* window, Events* events);

    // A conversion error (a window height beyond 16 bits, a list index the list rejects) ends
    // the building, logged. Controls built before it stay; the record being built keeps no
    // control, and a control-array element it had loaded stays hidden and is its last: later
    // deliveries pass it by. The later records wait for the next delivery.
    void BuildForm();

    // Whether records of the type (lower case) get a control, and the types that do.
    static bool BuildsType(const QString& type);
    static QStringList BuiltTypes();
    // The window's height for the panel's height: a 16-bit sum, a ConversionError beyond it.
    static qint16 WindowHeight(qint16 panelHeight);

private:
    using Builder = void (FormBuilder::*)(clsUPControl&);
    static const QHash<QString, Builder>& builders();

    void takeWindowColors();
    void buildRecord(clsUPControl& record);
    void buildWindow(clsUPControl& record);
    void buildTextBox(clsUPControl& record);
    void buildButton(clsUPControl& record);
    void buildDropDown(clsUPControl& record);
    void buildLabel(clsUPControl& record);
    void buildWebView(clsUPControl& record);
    void buildMeter(clsUPControl& record);
    void buildMeterFader(clsUPControl& record);
    void buildClock(clsUPControl& record);
    void subscribeIfPlaced(const clsUPControl& record);

    PanelState& m_state;
    ControlArrays& m_arrays;
    QWidget* m_window;
    Events* m_events;
    PanelBuildBatch* m_batch = nullptr; // during BuildForm
    PanelTiles* m_tiles = nullptr;      // during BuildForm
};

} // namespace corvane
