#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ServiceOptions.h"

namespace tessaro {

// The exam-service command line: options as "--name value" or "--name=value".
class CommandLine {
public:
    // `arguments` excludes the program name; `defaultPort` applies when --port is absent.
    CommandLine(const std::vector<std::string>& arguments, int defaultPort);

    bool wantsHelp() const { return m_helpWanted; }
    // Why the command line cannot be used, or empty when it can.
    const std::string& error() const { return m_problem; }
    const ServiceOptions& options() const { return m_serviceOptions; }
    int port() const { return m_listenPort; }

    static std::string usage();

private:
    void apply(std::string_view name, const std::string& value);
    void checkCombinations(bool statusBodyGiven, bool statusCodeGiven);
    void fail(std::string text);

    ServiceOptions m_serviceOptions;
    int m_listenPort;
    bool m_helpWanted = false;
    std::string m_problem;
};

}
