#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <pthread.h>
#include <signal.h>

#include "CommandLine.h"
#include "ExamService.h"

int main(int argc, char** argv)
{
    try {
        tessaro::CommandLine commandLine(std::vector<std::string>(argv + 1, argv + argc), EXAM_SERVICE_PORT);
        if (!commandLine.error().empty()) {
            std::cerr << "exam-service: " << commandLine.error() << "\n\n" << tessaro::CommandLine::usage();
            return 2;
        }
        if (commandLine.wantsHelp()) {
            std::cout << tessaro::CommandLine::usage();
            return 0;
        }

        // Blocked before any server thread exists, so every thread inherits the mask and a stop
        // request waits for sigwait below instead of ending the process in the middle of an answer.
        sigset_t stopSignals;
        sigemptyset(&stopSignals);
        sigaddset(&stopSignals, SIGINT);
        sigaddset(&stopSignals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
        // A client that hangs up mid-download must cost that download, not the service.
        signal(SIGPIPE, SIG_IGN);

        tessaro::ExamService service(commandLine.options());
        if (std::optional<std::string> failure = service.start(commandLine.port())) {
            std::cerr << "exam-service: " << *failure << '\n';
            return 1;
        }
        std::cout << "exam-service listening on http://127.0.0.1:" << service.port() << std::endl;

        int received = 0;
        sigwait(&stopSignals, &received);
        service.stop();
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "exam-service: " << error.what() << '\n';
        return 1;
    }
}
