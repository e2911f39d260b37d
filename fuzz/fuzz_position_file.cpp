// The window position file: any bytes read as start-up reads them, and a position written as
// shut-down writes it. The input's first 8 bytes are also a left and a top (float bit
// patterns): once written, the file must read back as those numbers rounded to whole twips.
// The rest of the input is appended to the written file as a hand edit would be, which may
// change what reads back only through its own lines.

#include "FuzzCheck.h"
#include "app/StartPosition.h"
#include "app/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

using namespace corvane;

namespace {

// What a written value reads back as: the nearest whole number, a half going to the even one,
// or nothing (the reading stops) outside 32 bits.
std::optional<qint32> expectedTwips(float value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double whole = std::nearbyint(static_cast<double>(value));
    if (whole < -2147483648.0 || whole > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<qint32>(whole);
}

bool samePosition(const StartPosition& a, const StartPosition& b) {
    return a.left == b.left && a.top == b.top;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory where the system has it: the writer syncs its file, which would cost more
    // than the reading it checks.
    static QTemporaryDir folder((QDir(QStringLiteral("/dev/shm")).exists()
                                     ? QStringLiteral("/dev/shm")
                                     : QDir::tempPath()) +
                                QStringLiteral("/corvane-fuzz-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("MiniPosition.inf"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Any text: the file and its text read the same.
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "no scratch file");
        FUZZ_CHECK(file.write(bytes) == bytes.size(), "scratch file not written");
    }
    FUZZ_CHECK(samePosition(GetStartPosition(path), ParseStartPosition(DecodeTextFile(bytes))),
               "the file and its text read differently");

    if (size < 2 * sizeof(float)) {
        return 0;
    }
    float left;
    float top;
    std::memcpy(&left, data, sizeof left);
    std::memcpy(&top, data + sizeof left, sizeof top);
    FUZZ_CHECK(SaveStartPosition(path, left, top), "the position was not written");
    const StartPosition back = GetStartPosition(path);
    const auto wantLeft = expectedTwips(left);
    const auto wantTop = expectedTwips(top);
    // A value that cannot be read ends the reading: what follows it stays 0.
    FUZZ_CHECK(back.left == wantLeft.value_or(0), "left did not read back");
    FUZZ_CHECK(back.top == (wantLeft ? wantTop.value_or(0) : 0), "top did not read back");

    // The written text with the rest of the input after it, as a hand-edited file: lines that
    // name neither value leave the written ones as they are.
    const QByteArray tail = bytes.mid(8);
    const QByteArray edited = StartPositionText(left, top).toUtf8() + tail;
    const StartPosition afterEdit = ParseStartPosition(DecodeTextFile(edited));
    const QByteArray tailWords = tail.toLower();
    if (wantLeft && wantTop && !tailWords.contains("left") && !tailWords.contains("top")) {
        FUZZ_CHECK(afterEdit.left == *wantLeft && afterEdit.top == *wantTop,
                   "an unrelated line changed the position");
    }
    return 0;
}
