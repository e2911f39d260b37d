// Panel definitions as the Core sends them: the text is read into a fresh panel state, then
// read again into the same state (a second delivery merges), and read as one control.

#include "FuzzCheck.h"
#include "panel/ControlReader.h"
#include "panel/DefinitionElement.h"
#include "panel/DefinitionXml.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"

#include <QString>

#include <cstddef>
#include <cstdint>

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    PanelState state;
    PanelDefinitionReader reader(state);
    const bool read = reader.AnalyzeXML(text);
    const qsizetype controls = state.collControls.size();
    const qsizetype points = state.collMeterPointers.size();

    DefinitionDocument document;
    const bool loaded = LoadDefinitionDocument(text, document);
    if (!loaded) {
        FUZZ_CHECK(read && controls == 1, "a refused definition registered more than the form");
        FUZZ_CHECK(points == 0, "a refused definition registered meter points");
    }

    // Whether a value converts depends on the text alone, and every name read the first time
    // is known the second time: the merge adds nothing.
    const bool readAgain = reader.AnalyzeXML(text);
    FUZZ_CHECK(readAgain == read, "the same definition read differently the second time");
    FUZZ_CHECK(state.collControls.size() == controls, "a second reading added records");
    FUZZ_CHECK(state.collMeterPointers.size() == points, "a second reading added meter points");

    // Text that is not a definition at all reads as a control with the defaults.
    const auto control = GetControl(text);
    FUZZ_CHECK(loaded || control.has_value(), "unreadable text stopped the reading");
    return 0;
}
