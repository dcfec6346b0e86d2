#pragma once

#include "ServiceOptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

// The exam-service command line: options as "--name value" or "--name=value".
class CommandLine {
public:
    // `arguments` excludes the program name; `defaultPort` applies when --port is absent.
    CommandLine(const std::vector<std::string>& arguments, int defaultPort);

    bool wantsHelp() const { return helpWanted; }
    // Why the command line cannot be used, or empty when it can.
    const std::string& error() const { return problem; }
    const ServiceOptions& options() const { return serviceOptions; }
    int port() const { return listenPort; }

    static std::string usage();

private:
    void apply(std::string_view name, const std::string& value);
    void checkCombinations(bool statusBodyGiven, bool statusCodeGiven);
    void fail(std::string text);

    ServiceOptions serviceOptions;
    int listenPort;
    bool helpWanted = false;
    std::string problem;
};

}
