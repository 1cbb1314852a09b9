// ozmir: fly through a field of stars.

#include "platform/Backend.h"
#include "platform/SdlBackend.h"
#include "ui/Form1.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc > 1) {
        std::fprintf(stderr, "usage: %s\n  (ozmir takes no arguments; see README.md for keys)\n",
                     argv[0]);
        return 2;
    }
    std::string error;
    auto backend = oz::SdlBackend::Create(error);
    if (!backend) {
        std::fprintf(stderr, "ozmir: cannot open a display: %s\n",
                     error.empty() ? "no display available" : error.c_str());
        return 1;
    }
    oz::SetBackend(backend.get());
    {
        oz::Form1 form;
        form.Run();
    }
    oz::SetBackend(nullptr);
    return 0;
}
