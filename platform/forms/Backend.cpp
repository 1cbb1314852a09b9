#include "platform/forms/Backend.h"

#include "platform/pixels/Gdi.h"

#include <cstdio>
#include <cstdlib>

namespace oz {

namespace {
Backend* current = nullptr;
} // namespace

Backend& CurrentBackend() {
    if (!current) {
        std::fprintf(stderr, "ozmir: no display backend is installed\n");
        std::abort();
    }
    return *current;
}

void SetBackend(Backend* backend) {
    current = backend;
}

std::uint32_t GetTickCount() {
    return CurrentBackend().TickCount();
}
void Sleep(std::uint32_t milliseconds) {
    CurrentBackend().Sleep(milliseconds);
}

} // namespace oz
