#include "tests/support/FakeServices.h"

namespace tessaro::testing {

void FakeAlert::runModal(const AlertContent& content)
{
    m_calls.add("alert " + content.messageText);
    shown.push_back(content);
    m_clock.setHeld(true);
    m_clock.advance(secondsUp);
    m_clock.setHeld(false);
}

void FakeFileChooser::chooseOneFile(std::function<void(std::optional<std::string>)> completion)
{
    m_calls.add("fileChooser.chooseOneFile");
    open.push_back(std::move(completion));
}

void FakeFileChooser::choose(std::optional<std::string> path)
{
    auto completion = std::move(open.front());
    open.erase(open.begin());
    completion(std::move(path));
}

}
