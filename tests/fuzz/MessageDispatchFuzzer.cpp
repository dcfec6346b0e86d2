// A page message, as the exam page can post it, carried out by the exam view
// controller on the fake host, and a "security" post after it. The first byte picks the
// name and how a download ends; the rest is the body's JSON text, turned into a value
// tree as the web view's host does.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "bridge/SecurityResponse.h"
#include "common/MessageBody.h"
#include "tests/fuzz/Invariant.h"
#include "tests/support/FakeHost.h"
#include "window/ViewController.h"

namespace tessaro::fuzzing {
namespace {

// The six names the page may post under, and near misses nothing listens to.
const std::array<std::string, 10> messageNames {
    "saveFile", "security", "log", "quit", "download", "processes", "Log", "download ", "", "fileSaved",
};

const Endpoints endpoints { "https://status.exam.test/status.json", "https://exam.test/native-launch" };

bool isInsideDownloads(const std::string& path)
{
    const std::filesystem::path file(path);
    const auto name = file.filename();
    return file.parent_path() == "/home/student/Downloads" && !name.empty() && name != "." && name != "..";
}

// A page call runs as one script line: a raw line break, or U+2028/U+2029 that older
// engines read as one, would end the string literal it sits in.
bool isOneScriptLine(std::string_view script)
{
    const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; };
    return std::none_of(script.begin(), script.end(), isControl)
        && script.find("\xe2\x80\xa8") == std::string_view::npos
        && script.find("\xe2\x80\xa9") == std::string_view::npos;
}

// How a download ends: stored, refused by the server, failed on the way, or stored
// with no Downloads folder to take it.
const HttpDownload downloadEnds[] = {
    { "/tmp/tessaro-download-1234", HttpResponse { 200 }, std::nullopt },
    { "/tmp/tessaro-download-1234", HttpResponse { 404 }, std::nullopt },
    { std::nullopt, std::nullopt, "Could not resolve host" },
    { "/tmp/tessaro-download-1234", HttpResponse { 200 }, std::nullopt },
};

void dispatch(const std::string& name, int downloadEnd, std::string_view json)
{
    // The controller keeps the key by reference, as it keeps the one a launch link sets.
    const std::string examKey = "EXAM-KEY";
    testing::FakeHost host;
    ViewController controller(host, endpoints, examKey);
    controller.loadView(host.window);
    require(host.webView != nullptr, "the controller makes its web view");
    // Names are bytes, not always UTF-8, and may hold anything a process chose.
    host.applications.applications = {
        ApplicationData { "org.gnome.Terminal", "gnome-terminal-" },
        std::nullopt,
        ApplicationData { "a\xff\"", "b\n\x1b[2J" },
    };

    if (downloadEnd == 3)
        host.disk.folder = FileError { "No Downloads folder: XDG_DOWNLOAD_DIR is not set" };

    host.webView->postMessage(name, messageBodyFromJSON(json));
    host.webView->postMessage("security", messageBodyFromJSON(R"({"examkey":"LAST"})"));
    for (std::size_t i = 0; i < host.http.downloads.size(); ++i)
        host.http.completeDownload(i, downloadEnds[downloadEnd]);
    host.clock.advance(ViewController::errorPageDelaySeconds + 1);

    for (const auto& line : host.output.lines)
        require(isOneTerminalLine(line), "every standard-output line is one terminal line");
    for (const auto& [path, content] : host.disk.written)
        require(isInsideDownloads(path), "saved files stay directly inside Downloads");
    for (const auto& path : host.disk.existing)
        require(isInsideDownloads(path), "downloaded files stay directly inside Downloads");
    for (const auto& script : host.webView->scripts)
        require(isOneScriptLine(script), "every page call is one script line");

    // Only the end of a download's transfer may come after the answer to a later post.
    const auto& scripts = host.webView->scripts;
    const auto lastAnswer = std::find_if(scripts.rbegin(), scripts.rend(), [](const std::string& script) {
        return script.find("'downloaded'") == std::string::npos;
    });
    require(lastAnswer != scripts.rend() && lastAnswer->find("'" + securityResponse("LAST") + "'") != std::string::npos,
            "no answer overtakes the answer to a later post");
}

}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tessaro::fuzzing;
    if (size == 0)
        return 0;
    const auto& name = messageNames[data[0] % messageNames.size()];
    const int downloadEnd = static_cast<int>(data[0] / messageNames.size() % 4);
    dispatch(name, downloadEnd, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    return 0;
}
