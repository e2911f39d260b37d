#include "panel/FormBuilder.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "components/TSClockInterop.h"
#include "meters/MeterPoint.h"
#include "panel/ControlArrays.h"
#include "panel/ControlProperties.h"
#include "panel/ListItems.h"
#include "panel/PanelBuildBatch.h"
#include "panel/PanelButton.h"
#include "panel/PanelDropDown.h"
#include "panel/PanelLimits.h"
#include "panel/PanelState.h"
#include "panel/PanelTiles.h"
#include "panel/PanelWidgets.h"
#include "support/ColorNumber.h"
#include "support/LogCategories.h"
#include "support/NumberRules.h"
#include "support/PanelFont.h"
#include "support/Twips.h"
#include "support/TwipsGeometry.h"

#include <QLabel>

#include <limits>

namespace corvane {

namespace CP = ControlProperties;

namespace {

// Loads a new element of the array, named, tagged, sized and placed from the record; it starts
// with its template's size, font and colours and stays hidden until the building pass shows it.
template <typename Widget>
int startElement(ControlArray<Widget>& array, Widget* element, clsUPControl& record,
                 bool withHeight = true) {
    QSize modelSize = element->size();
    if (Widget* model = array.templateElement()) {
        modelSize = model->size();
        // A template that only inherits its font and colours from the window passes on
        // nothing: copying them would cost a change passed down to every child for nothing.
        if (model->font().resolveMask() != 0) {
            element->setFont(model->font());
        }
        if (model->palette().resolveMask() != 0) {
            element->setPalette(model->palette());
        }
    }
    PanelBuildBatch::keepHidden(element);
    const int index = array.load(element);
    record.elementLoaded = true;
    if (record.Name.isEmpty()) {
        record.Name = QStringLiteral("Unknown") + QString::number(index);
    }
    CP::SetTag(element, record.Name);
    // What the record leaves unset is the template's size, kept in twips like the rest, so
    // that it scales with the panel. All four go in at once: the control is placed once.
    const double width = record.Width != 0 ? record.Width : pixelsToTwips(modelSize.width());
    const double height =
        withHeight && record.Height != 0 ? record.Height : pixelsToTwips(modelSize.height());
    TwipsGeometry::setRect(element, QRectF(record.Left, record.Top, width, height));
    return index;
}

// The fonts of buttons, labels and text boxes; the template's font stays for what is not set.
// The size is the definition's, in points at scale 1; the panel's scale is applied to it.
void applyFonts(QWidget* control, const clsUPControl& record) {
    QFont font = control->font();
    if (!record.FontName.isEmpty()) {
        font.setFamily(record.FontName);
    }
    const bool sized = record.FontSize > 0 && record.FontSize <= 1000;
    const double points = sized ? record.FontSize : PanelFont::pointsAtScaleOne(control);
    if (points > 0) {
        font.setPointSizeF(points);
    }
    font.setBold(record.FontBold);
    font.setUnderline(record.FontUnderline);
    font.setItalic(record.FontItalic);
    PanelFont::set(control, font);
}

// Items and selection of a drop-down list: every non-empty piece of the list text, untrimmed.
void fillDropDown(PanelDropDown* list, const clsUPControl& record) {
    if (record.List.isEmpty()) {
        return;
    }
    list->addItems(DropDownItems(record.List));
    list->setCurrentIndex(-1); // a list shows no selection unless its index gives one
    if (ListRejectsIndex(record.ListIndex, list->count())) {
        throw ConversionError("the list takes no selection index below -1");
    }
    if (record.ListIndex < list->count()) {
        list->setCurrentIndex(record.ListIndex);
    }
}

} // namespace

const QHash<QString, FormBuilder::Builder>& FormBuilder::builders() {
    static const QHash<QString, Builder> table{
        {QStringLiteral("form"), &FormBuilder::buildWindow},
        {QStringLiteral("textbox"), &FormBuilder::buildTextBox},
        {QStringLiteral("button"), &FormBuilder::buildButton},
        {QStringLiteral("dropdown"), &FormBuilder::buildDropDown},
        {QStringLiteral("label"), &FormBuilder::buildLabel},
        {QStringLiteral("webbrowser"), &FormBuilder::buildWebView},
        {QStringLiteral("meter"), &FormBuilder::buildMeter},
        {QStringLiteral("meterfader"), &FormBuilder::buildMeterFader},
        {QStringLiteral("tsclock"), &FormBuilder::buildClock},
    };
    return table;
}

bool FormBuilder::BuildsType(const QString& type) {
    return builders().contains(type);
}

QStringList FormBuilder::BuiltTypes() {
    return builders().keys();
}

qint16 FormBuilder::WindowHeight(qint16 panelHeight) {
    const double height = static_cast<double>(panelHeight) + kTitleBarTwips;
    if (height > std::numeric_limits<qint16>::max()) {
        throw ConversionError("the window's height with its title bar is beyond 32767 twips");
    }
    return ToInt16(height);
}

void FormBuilder::Events::SendMeterSubscription(qint32, qint32, bool) {}
void FormBuilder::Events::SetControlGraphic(clsUPControl&) {}
void FormBuilder::Events::EnableUPPing() {}
void FormBuilder::Events::ButtonLoaded(PanelButton&, int) {}

FormBuilder::FormBuilder(PanelState& state, ControlArrays& arrays, QWidget* window, Events* events)
    : m_state(state), m_arrays(arrays), m_window(window), m_events(events) {}

void FormBuilder::BuildForm() {
    PanelBuildBatch batch(m_window);
    m_batch = &batch;
    m_tiles = &PanelTiles::of(m_window);
    takeWindowColors();
    const clsUPControl* current = nullptr;
    try {
        for (auto& entry : m_state.collControls) {
            if (entry.value) {
                current = entry.value.get();
                buildRecord(*entry.value);
            }
        }
        current = nullptr;
        if (m_events) {
            m_events->EnableUPPing();
        }
        for (int i = 0; i < m_arrays.WebControl.count(); ++i) {
            if (QWidget* view = m_arrays.WebControl.at(i)) {
                batch.lower(view);
            }
        }
    } catch (const ConversionError& error) {
        // The building ends here; what was built stays, the rest waits for the next delivery.
        if (current != nullptr) {
            qCWarning(lcPanel).noquote()
                << QStringLiteral("Building the panel stopped at %1 \"%2\": %3; the controls "
                                  "after it are not built")
                       .arg(current->ControlType, current->Name, QString::fromUtf8(error.what()));
        }
    }
    m_batch = nullptr;
    m_tiles = nullptr;
}

void FormBuilder::takeWindowColors() {
    // The window's record comes after its controls, but its colours go on first: given to a
    // window that already holds the controls, they would be passed down to every one of them.
    for (const auto& entry : m_state.collControls) {
        const clsUPControl* record = entry.value.get();
        if (record != nullptr && !record->pntrControl &&
            record->ControlType.compare(QLatin1String("form"), Qt::CaseInsensitive) == 0) {
            CP::SetColors(m_window, record->BackColor, record->ForeColor);
        }
    }
}

void FormBuilder::buildRecord(clsUPControl& record) {
    const QString type = record.typeKey();
    if (record.pntrControl) {
        if (type == QLatin1String("meter") || type == QLatin1String("meterfader")) {
            subscribeIfPlaced(record);
        }
        return;
    }
    if (record.elementLoaded) {
        return; // its building failed once; it keeps that hidden element and no other
    }
    const auto builder = builders().constFind(type);
    if (builder != builders().cend()) {
        (this->*builder.value())(record);
    }
}

void FormBuilder::subscribeIfPlaced(const clsUPControl& record) {
    if (IsSubscribedPoint(record.lngMeterRTRNum, record.lngMeterIONum) && m_events) {
        m_events->SendMeterSubscription(record.lngMeterRTRNum, record.lngMeterIONum,
                                        record.boolMeterIsSource);
    }
}

void FormBuilder::buildWindow(clsUPControl& record) {
    if (record.Width != 0) {
        CP::SetWidth(m_window, record.Width);
    }
    if (record.Height != 0) {
        // The window's outer height is the panel's height plus room for its title bar, a 16-bit
        // sum.
        CP::SetHeight(m_window, WindowHeight(record.Height));
    }
    CP::SetColors(m_window, record.BackColor, record.ForeColor);
    CP::SetCaption(m_window, record.Caption.trimmed().isEmpty() ? record.Name : record.Caption);
    CP::SetTag(m_window, record.Name);
    m_state.windowTag = record.Name;
    record.pntrControl = m_window;
    if (m_events) {
        m_events->SetControlGraphic(record);
    }
}

void FormBuilder::buildTextBox(clsUPControl& record) {
    PanelTextBox* textBox = CreateTextBox(m_tiles->front());
    startElement(m_arrays.txtBox, textBox, record);
    CP::SetCaption(textBox, record.Caption);
    CP::SetColors(textBox, ColorNumberFromText(record.BackColorOff), record.ForeColor);
    CP::SetEnabled(textBox, record.Enabled);
    applyFonts(textBox, record);
    m_batch->show(textBox);
    record.pntrControl = textBox;
}

void FormBuilder::buildButton(clsUPControl& record) {
    PanelButton* button = CreateButton(m_tiles->front());
    const int index = startElement(m_arrays.butCommand, button, record);
    CP::SetCaption(button, record.Caption);
    CP::SetBackColor(
        button, ColorNumberFromText(record.isStateOn() ? record.BackColorOn : record.BackColorOff));
    CP::SetEnabled(button, record.Enabled);
    applyFonts(button, record);
    m_batch->show(button);
    record.pntrControl = button;
    if (m_events) {
        m_events->ButtonLoaded(*button, index);
    }
    if (m_events) {
        m_events->SetControlGraphic(record);
    }
}

void FormBuilder::buildDropDown(clsUPControl& record) {
    PanelDropDown* list = CreateDropDown(m_tiles->front());
    startElement(m_arrays.cmbBox, list, record, false); // the list keeps its own height
    CP::SetColors(list, ColorNumberFromText(record.BackColorOff), record.ForeColor);
    fillDropDown(list, record);
    CP::SetEnabled(list, record.Enabled);
    m_batch->show(list);
    record.pntrControl = list;
}

void FormBuilder::buildLabel(clsUPControl& record) {
    QLabel* label = CreateLabel(m_tiles->front());
    startElement(m_arrays.lblBox, label, record);
    CP::SetCaption(label, record.Caption);
    CP::SetColors(label, ColorNumberFromText(record.BackColorOff), record.ForeColor);
    CP::SetEnabled(label, record.Enabled);
    applyFonts(label, record);
    m_batch->show(label);
    record.pntrControl = label;
}

void FormBuilder::buildWebView(clsUPControl& record) {
    // Each web view runs a browser engine of its own; a broken definition must not start
    // thousands of them.
    if (m_arrays.WebControl.count() > PanelLimits::kMaxWebViews) {
        qCWarning(lcPanel) << "Web view" << record.Name << "not built: a panel has at most"
                           << PanelLimits::kMaxWebViews;
        return;
    }
    QWidget* view = CreateWebView(m_window);
    startElement(m_arrays.WebControl, view, record);
    m_batch->show(view);
    m_batch->lower(view);
    const double scale = PanelMapping::of(m_window).scale();
    if (scale != 1.0) {
        ZoomWebView(view, scale);
    }
    if (!record.strURL.isEmpty()) {
        OpenWebAddress(view, record.strURL);
    }
    record.pntrControl = view;
}

void FormBuilder::buildMeter(clsUPControl& record) {
    auto* meter = new LedMeter(m_tiles->back());
    startElement(m_arrays.TesselLED, meter, record);
    m_batch->show(meter);
    meter->setMeterStyle(record.mtrStyle);
    meter->setMeterScale(record.mtrScale);
    meter->setLevelLineColor(record.lngLevelLineColor);
    meter->setDecayRate(record.intDecayRate);
    meter->setCenterPad(record.intCenterPad);
    m_batch->lower(meter);
    subscribeIfPlaced(record);
    record.pntrControl = meter;
}

void FormBuilder::buildMeterFader(clsUPControl& record) {
    auto* strip = new MeterFader(m_tiles->back());
    strip->setIndex(startElement(m_arrays.TesselMeterFader, strip, record));
    m_batch->show(strip);
    strip->setMeterStyle(record.mtrStyle);
    strip->setMeterScale(record.mtrScale);
    strip->setLevelLineColor(record.lngLevelLineColor);
    strip->setDecayRate(record.intDecayRate);
    strip->setFaderNominal(record.sngFaderNominal);
    strip->setHideGainValue(record.boolHideGainValue);
    m_batch->lower(strip);
    subscribeIfPlaced(record);
    strip->setChannelName(record.Name);
    record.pntrControl = strip;
}

void FormBuilder::buildClock(clsUPControl& record) {
    // The clock takes its place, size and look from its own XML, and keeps a nameless name.
    auto* clock = new ClockWidget(m_tiles->front());
    PanelBuildBatch::keepHidden(clock);
    QSize size = clock->size();
    if (ClockWidget* model = m_arrays.TSClockInterop.templateElement()) {
        size = model->size();
    }
    const QSizeF twips(pixelsToTwips(size.width()), pixelsToTwips(size.height()));
    TwipsGeometry::setRect(clock, QRectF(QPointF(0, 0), twips));
    m_arrays.TSClockInterop.load(clock);
    record.elementLoaded = true;
    m_batch->show(clock);
    if (record.ingestSettings.isEmpty()) {
        clock->IngestXML(record.strIngestXML); // a record not read from a definition
    } else {
        clock->Ingest(record.ingestSettings);
    }
    CP::SetTag(clock, record.Name);
    record.pntrControl = clock;
}

} // namespace corvane
