// How long the client takes to read a panel definition and build its window, for panels of
// 1,000 and 10,000 controls of mixed kinds. Target: 10,000 controls in under 1.5 s.

#include "app/frmCVMini.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Mostly buttons and labels, as real panels are, with text boxes, lists and meters between.
QString panelDefinition(int controls) {
    QString xml = QStringLiteral("<panel><name>Bench</name><width>15000</width>"
                                 "<height>11000</height><controllist>");
    xml.reserve(controls * 260);
    for (int i = 0; i < controls; ++i) {
        const int left = (i % 40) * 360;
        const int top = ((i / 40) % 30) * 360;
        const QString place = QStringLiteral("<left>%1</left><top>%2</top><width>330</width>"
                                             "<height>330</height>")
                                  .arg(left)
                                  .arg(top);
        const QString name = QStringLiteral("<name>C%1</name>").arg(i);
        switch (i % 10) {
        case 0:
        case 1:
        case 2:
        case 3:
            xml += "<c><type>button</type>" + name + place +
                   "<caption>Take\\nLine</caption><backcoloron>red</backcoloron>"
                   "<mousedown>$$PanelName$$.Go</mousedown></c>";
            break;
        case 4:
        case 5:
        case 6:
            xml += "<c><type>label</type>" + name + place +
                   "<caption>Studio &amp; line</caption><forecolor>white</forecolor></c>";
            break;
        case 7:
            xml += "<c><type>textbox</type>" + name + place + "<caption>note</caption></c>";
            break;
        case 8:
            xml += "<c><type>dropdown</type>" + name + place +
                   "<list>A,B,C</list><listindex>1</listindex></c>";
            break;
        default:
            xml += QStringLiteral("<c><type>meter</type>%1%2<meterrouternumber>1"
                                  "</meterrouternumber><meterionumber>%3</meterionumber></c>")
                       .arg(name, place)
                       .arg(i + 1);
            break;
        }
    }
    xml += QStringLiteral("</controllist></panel>");
    return xml;
}

void BM_BuildPanel(benchmark::State& state) {
    const QString definition = panelDefinition(static_cast<int>(state.range(0)));
    double showMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<corvane::frmCVMini>();
        window->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();

        window->AnalyzeXML(definition);

        state.PauseTiming();
        // The first paint of the built window, reported beside the build itself.
        QElapsedTimer shown;
        shown.start();
        QCoreApplication::processEvents();
        window->repaint();
        showMs += shown.nsecsElapsed() / 1e6;
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["controls"] = static_cast<double>(state.range(0));
    state.counters["first_paint_ms"] = showMs / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BuildPanel)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
