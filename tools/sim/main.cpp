#include <signal.h>

#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "history.h"
#include "options.h"
#include "simulator.h"
#include "version.h"

namespace {

sim::Simulator* running = nullptr;

void StopOnSignal(int) {
    if (running)
        running->Stop();
}

void StopOnSignals() {
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    sim::ParsedOptions parsed = sim::ParseOptions(args);
    if (!parsed.error.empty()) {
        std::cerr << "qm4250-sim: " << parsed.error << "\nTry 'qm4250-sim --help'.\n";
        return 2;
    }
    if (parsed.options.help) {
        std::cout << sim::kHelpText;
        return 0;
    }
    if (parsed.options.version) {
        std::cout << "qm4250-sim " << qm4250::kVersion << '\n';
        return 0;
    }
    sim::LoadedHistory loaded = sim::BuildHistory(parsed.options);
    if (!loaded.error.empty()) {
        std::cerr << "qm4250-sim: " << loaded.error << '\n';
        return 2;
    }
    try {
        sim::Simulator simulator(parsed.options, std::move(loaded.history));
        // Whoever started the simulator waits for this line before opening the port.
        std::cout << simulator.devicePath() << std::endl;
        running = &simulator;
        StopOnSignals();
        simulator.Run();
        running = nullptr;
    } catch (const std::exception& error) {
        std::cerr << "qm4250-sim: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
