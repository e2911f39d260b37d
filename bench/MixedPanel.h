#pragma once

#include <QString>

namespace corvane::bench {

// A panel definition of the given number of controls, every built kind in turn (web views
// aside: each starts a browser engine, and a panel may have only a few), one in six a meter or
// a meter-fader, laid out on a grid within the 16-bit twips range as large panels are. The
// panel is named "Bench" and has a load command, so the client answers a delivery with
// command 44 addressed "Bench.MainForm" once the panel is built.
inline QString MixedPanelDefinition(int controls) {
    // Twelve kinds in turn: meters at 5 and 11, so one in six.
    static const char* const kKinds[] = {"button",  "label",    "textbox", "dropdown",
                                         "button",  "meter",    "button",  "label",
                                         "textbox", "dropdown", "tsclock", "meterfader"};
    constexpr int kColumns = 90; // 90 × 360 twips stay below 32,767
    constexpr int kRows = 90;
    constexpr int kStep = 360;

    QString xml = QStringLiteral("<panel><name>Bench</name><width>15000</width>"
                                 "<height>11000</height><onload>Bench.Loaded</onload>"
                                 "<controllist>");
    xml.reserve(controls * 300);
    for (int i = 0; i < controls; ++i) {
        const QString kind = QLatin1String(kKinds[i % 12]);
        const int left = (i % kColumns) * kStep;
        const int top = ((i / kColumns) % kRows) * kStep;
        const bool meter = kind.startsWith(QLatin1String("meter"));
        xml += QStringLiteral("<c><type>%1</type><name>C%2</name><left>%3</left><top>%4</top>"
                              "<width>330</width><height>%5</height>")
                   .arg(kind)
                   .arg(i)
                   .arg(left)
                   .arg(top)
                   .arg(meter ? 1400 : 330);
        if (kind == QLatin1String("button")) {
            xml += QStringLiteral("<caption>Take\\nLine</caption><backcoloron>red</backcoloron>"
                                  "<mousedown>$$PanelName$$.Go</mousedown>");
        } else if (kind == QLatin1String("label")) {
            xml += QStringLiteral("<caption>Studio &amp; line</caption>"
                                  "<forecolor>white</forecolor>");
        } else if (kind == QLatin1String("textbox")) {
            xml += QStringLiteral("<caption>note</caption>");
        } else if (kind == QLatin1String("dropdown")) {
            xml += QStringLiteral("<list>A,B,C</list><listindex>1</listindex>");
        } else if (meter) {
            xml += QStringLiteral("<meterrouternumber>1</meterrouternumber>"
                                  "<meterionumber>%1</meterionumber>")
                       .arg(i % 60000 + 1);
        }
        xml += QStringLiteral("</c>");
    }
    xml += QStringLiteral("</controllist></panel>");
    return xml;
}

} // namespace corvane::bench
