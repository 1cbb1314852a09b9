// ozmir: fly through a field of stars.

#include "platform/displays/SdlBackend.h"
#include "platform/displays/Termination.h"
#include "platform/forms/Backend.h"
#include "ui/Form1.h"
#include "ui/Options.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    oz::Options options;
    std::string error;
    if (!oz::ParseOptions(std::vector<std::string>(argv + 1, argv + argc),
                          std::getenv("XSCREENSAVER_WINDOW"), options, error)) {
        std::fprintf(stderr, "ozmir: %s\n", error.c_str());
        return 2;
    }
    if (options.Help) {
        std::fputs(oz::UsageText().c_str(), stdout);
        return 0;
    }
    if (options.Version) {
        std::printf("%s\n", oz::VersionText().c_str());
        return 0;
    }
    oz::CatchTermination();
    oz::SdlDisplayRequest request;
    request.display = options.Display.value_or(-1);
    request.root = options.Root;
    request.window = options.Window.value_or(0);
    request.windowFromHost = options.WindowFromHost;
    oz::SdlStartProblem problem = oz::SdlStartProblem::NoProblem;
    auto backend = oz::SdlBackend::Create(error, request, &problem);
    if (!backend) {
        if (!error.empty())
            std::fprintf(stderr, "ozmir: %s\n", error.c_str());
        switch (problem) {
        case oz::SdlStartProblem::HostWindowGone:
            return 0; // the screensaver is done with its window already
        case oz::SdlStartProblem::Refused:
            return 2;
        default:
            return 1;
        }
    }
    oz::SetBackend(backend.get());
    {
        oz::Form1 form;
        form.Run(options.Start);
    }
    oz::SetBackend(nullptr);
    const std::string failure = backend->Failure();
    backend.reset();
    if (!failure.empty()) {
        std::fprintf(stderr, "ozmir: %s\n", failure.c_str());
        return 1;
    }
    // Asked to stop by a signal: end by it, as the host that sent it expects.
    oz::EndByTerminationSignal();
    return 0;
}
