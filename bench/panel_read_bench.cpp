// Reading panel definitions of 1,000 to 10,000 mixed controls into records (no building).
// The per-control time should stay flat as the panel grows.
#include "panel/ControlReader.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"

#include <QString>

#include <benchmark/benchmark.h>

using namespace corvane;

namespace {

QString control(int i) {
    const QString n = QString::number(i);
    const QString place = QStringLiteral("<left>%1</left><top>%2</top><width>1200</width>"
                                         "<height>495</height>")
                              .arg(i % 20 * 1215)
                              .arg(i / 20 % 60 * 500);
    switch (i % 8) {
    case 0:
        return "<button><type>button</type><name>Btn" + n + "</name>" + place + "<caption>Take\\n" +
               n +
               "</caption><backcoloron>Red</backcoloron>"
               "<backcoloroff>&amp;H808080</backcoloroff><state>off</state>"
               "<picture>b" +
               n +
               ".bmp</picture><pictureupon>on.bmp</pictureupon>"
               "<mousedown>Take." +
               n + "</mousedown><mouseup>Release." + n +
               "</mouseup>"
               "<fontname>Arial</fontname><fontsize>10</fontsize><fontbold>false</fontbold>"
               "</button>";
    case 1:
        return "<label><type>label</type><name>Lbl" + n + "</name>" + place +
               "<caption>Studio &amp; " + n +
               "</caption><forecolor>White</forecolor>"
               "<backcoloroff>Grey</backcoloroff><flash>off</flash></label>";
    case 2:
        return "<textbox><type>textbox</type><name>Txt" + n + "</name>" + place +
               "<caption>text</caption><enabled>true</enabled></textbox>";
    case 3:
        return "<dropdown><type>dropdown</type><name>Cmb" + n + "</name>" + place +
               "<list>One,Two,Three,Four</list><listindex>1</listindex></dropdown>";
    case 4:
    case 5:
        return "<meter><type>meter</type><name>Mtr" + n + "</name>" + place +
               "<meterrouternumber>" + QString::number(1 + i % 4) +
               "</meterrouternumber>"
               "<meterionumber>" +
               QString::number(i / 8) +
               "</meterionumber>"
               "<meterissource>" +
               (i % 2 ? "true" : "false") +
               "</meterissource>"
               "<meterscale>british</meterscale><meterstyle>gradient</meterstyle>"
               "<levellinecolor></levellinecolor><decayrate>12</decayrate>"
               "<centerpad>2</centerpad></meter>";
    case 6:
        return "<mf><type>meterfader</type><name>Fdr" + n + "</name>" + place +
               "<meterrouternumber>1</meterrouternumber><meterionumber>" + QString::number(i / 8) +
               "</meterionumber><meterissource>true</meterissource>"
               "<fadernominal>-10.5</fadernominal><hidegainvalue>0</hidegainvalue></mf>";
    default:
        return "<clock><type>tsclock</type><name>Clk" + n + "</name>" + place +
               "<face mode=\"digital\"><format>HH:mm:ss</format></face></clock>";
    }
}

QString definition(int controls) {
    QString xml = QStringLiteral("<panel><name>Bench</name><width>30000</width>"
                                 "<height>20000</height><backcolor>Grey</backcolor>"
                                 "<caption>Bench</caption><controllist>");
    for (int i = 0; i < controls; ++i) {
        xml += control(i);
    }
    return xml + QStringLiteral("</controllist><onload>Bench.Loaded</onload></panel>");
}

void setPerControl(benchmark::State& state, int controls) {
    state.SetComplexityN(controls);
    state.counters["per_control"] = benchmark::Counter(
        controls, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_AnalyzeXML(benchmark::State& state) {
    const int controls = static_cast<int>(state.range(0));
    const QString xml = definition(controls);
    for (auto _ : state) {
        PanelState panel;
        const bool goOn = PanelDefinitionReader(panel).AnalyzeXML(xml);
        benchmark::DoNotOptimize(goOn);
        if (panel.collControls.size() != controls + 1) {
            state.SkipWithError("not every control was registered");
        }
    }
    setPerControl(state, controls);
}
BENCHMARK(BM_AnalyzeXML)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// What reading would cost if every control's own XML text were parsed again.
void BM_GetControlFromText(benchmark::State& state) {
    const int controls = static_cast<int>(state.range(0));
    QStringList texts;
    for (int i = 0; i < controls; ++i) {
        texts << control(i);
    }
    for (auto _ : state) {
        for (const QString& text : texts) {
            benchmark::DoNotOptimize(GetControl(text));
        }
    }
    setPerControl(state, controls);
}
BENCHMARK(BM_GetControlFromText)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
