#pragma once

#include "meters/MeterPoint.h"
#include "support/MeterCodes.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <utility>

namespace corvane {

// The panel's model of one control, or of the panel window itself (ControlType "Form").
// A plain record: reading the definition fills it, building gives it its visible control,
// property changes update it first and the control after.
struct clsUPControl {
    QString ControlType;
    QString Name;
    qint16 Width = 0; // twips; 0 keeps the template's size
    qint16 Height = 0;
    qint16 Left = 0;
    qint16 Top = 0;
    qint32 BackColor = 0; // colour numbers 0x00BBGGRR
    qint32 ForeColor = 0;
    QString PictureUpOff;
    QString PictureUpOn;
    QString PictureDownOff;
    QString PictureDownOn;
    QString Caption;
    QString FlashPicture;
    bool Flash = false;
    QString List;
    qint16 ListIndex = 0;
    QString Change;
    QString Click;
    QString MouseDown;
    QString MouseUp;
    QString OnLoad;
    bool Enabled = false;
    QString BackColorOn; // colour numbers as decimal text
    QString BackColorOff;
    QString strState;
    QString strURL;
    qint32 lngMeterIONum = 0;
    bool boolMeterIsSource = false;
    qint32 lngMeterRTRNum = 0;
    qint32 mtrScale = MeterScaleLinear;
    qint32 mtrStyle = MeterStyleLed;
    qint32 lngLevelLineColor = 0;
    qint16 intDecayRate = 0;
    qint16 intCenterPad = 0;
    float sngFaderNominal = 0;
    bool boolHideGainValue = false;
    QPointer<QWidget> pntrControl; // the visible control; the window for the form record
    // Building has loaded a control-array element for it. Set even when the building then
    // failed: a record never gets a second element, however often the panel is delivered.
    bool elementLoaded = false;
    QString strIngestXML;
    // Of a clock: its element's children as read with the definition, each as its name in lower
    // case and its text, so that the clock need not parse strIngestXML again.
    QList<std::pair<QString, QString>> ingestSettings;
    QString FontName = QStringLiteral("Arial");
    qint32 FontSize = 9;
    bool FontBold = true;
    bool FontUnderline = false;
    bool FontItalic = false;

    // The type keyword in lower case, as every test of the type compares it. It is asked for
    // many times for each control, so it is kept with the type text it was made from.
    const QString& typeKey() const {
        // The same characters in memory are the same text: m_typeKeyOf holds them, so a text
        // written since has been given memory of its own.
        if (m_typeKeyOf.constData() != ControlType.constData() ||
            m_typeKeyOf.size() != ControlType.size()) {
            m_typeKey = ControlType.toLower();
            m_typeKeyOf = ControlType;
        }
        return m_typeKey;
    }
    // Whether the state text means "on" (blanks around it and letter case ignored).
    bool isStateOn() const { return strState.trimmed().toLower() == QLatin1String("on"); }
    // The point a meter or channel strip shows.
    MeterPoint meterPoint() const { return {lngMeterRTRNum, lngMeterIONum, !boolMeterIsSource}; }

private:
    mutable QString m_typeKey;
    mutable QString m_typeKeyOf; // the ControlType it was made from, shared with it
};

} // namespace corvane
