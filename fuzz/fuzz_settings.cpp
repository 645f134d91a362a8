// The settings file as the grids read it: whatever the file holds, every
// colour is a colour and every style one of its enumeration.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "frame/grid/SpreadSettings.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzQt.h"

namespace {
std::string dir;
unsigned long serial = 0;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    promofuzz::QuietQtLog();
    // A file per input: in memory where the system has a tmpfs for it.
    std::string tmpl = access("/dev/shm", W_OK) == 0 ? "/dev/shm/fuzz_settings.XXXXXX" : "/tmp/fuzz_settings.XXXXXX";
    FUZZ_CHECK(mkdtemp(tmpl.data()));
    dir = tmpl;
    std::atexit([] { rmdir(dir.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A new name each time: QSettings caches files by path.
    const std::string path = dir + "/promo" + std::to_string(serial++) + ".ini";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f);
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    const grid::SpreadSettings s = grid::SpreadSettings::Read(QString::fromStdString(path));
    std::remove(path.c_str());
    FUZZ_CHECK(s.appearanceStyle >= 0 && s.appearanceStyle <= 2);
    FUZZ_CHECK(s.useVisualStyles >= 0 && s.useVisualStyles <= 2);
    FUZZ_CHECK(s.scrollBarStyle >= 0 && s.scrollBarStyle <= 3);
    for (const grid::COLORREF c : {s.grayAreaBack, s.backOdd, s.foreOdd, s.backEven, s.foreEven, s.selBack, s.selFore})
        FUZZ_CHECK(c <= 0xFFFFFF);
    for (const grid::COLORREF c : s.corner) FUZZ_CHECK(c <= 0xFFFFFF);
    for (int i = 0; i < 10; ++i) FUZZ_CHECK(s.rowHeader[i] <= 0xFFFFFF && s.colHeader[i] <= 0xFFFFFF);
    return 0;
}
