#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/support/Subprocess.h"

namespace tessaro::e2e {

// A helper program that stays for the whole test (a virtual input device lives as long
// as its client) and takes numbered requests, one a line, through a FIFO; it answers
// each with a line "NUMBER ANSWER" on its standard output.
class InputProgram {
public:
    // The FIFO's path is added to the command's end.
    InputProgram(std::vector<std::string> argv, const Environment& environment, const std::string& folder,
                 const std::string& name);

    // Sends one request and gives its answer, empty when none came.
    std::string request(const std::string& text);

private:
    std::string m_requests;
    int m_lastRequest = 0;
    std::unique_ptr<Subprocess> m_process;
};

}
