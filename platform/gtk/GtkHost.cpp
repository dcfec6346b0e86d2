#include "platform/gtk/GtkHost.h"

#include <csignal>

#include <curl/curl.h>
#include <gio/gio.h>

#include "platform/HostFactory.h"
#include "platform/curl/CurlHttpClient.h"
#include "platform/glib/GLibOwners.h"
#include "platform/gtk/GtkExamWebView.h"

extern "C" void tessaro_register_resource(void);

namespace tessaro {

namespace {

// The web process extension lives beside the program in a build tree, and in the
// library folder beside the program's folder once installed.
std::string webProcessExtensionsDirectory()
{
    const GCharPtr program(g_file_read_link("/proc/self/exe", nullptr));
    if (!program)
        return {};
    const std::string programFolder = GCharPtr(g_path_get_dirname(program.get())).get();
    for (const auto& candidate :
         { programFolder + "/web-process-extensions", programFolder + "/" + TESSARO_INSTALLED_EXTENSIONS_DIR }) {
        if (g_file_test((candidate + "/libtessaro-web-extension.so").c_str(), G_FILE_TEST_IS_REGULAR))
            return candidate;
    }
    return {};
}

std::string httpUserAgent(const std::string& applicationVersion)
{
    return "Tessaro/" + applicationVersion + " libcurl/" + curl_version_info(CURLVERSION_NOW)->version;
}

}

GtkHost::GtkHost(int argc, char** argv, const std::string& applicationId, const std::string& applicationVersion)
    : m_alert(m_timers)
    , m_systemInfo(applicationVersion)
    , m_runningApplicationScans(std::make_unique<WorkerRunningApplicationScans>(m_runningApplications, m_mainQueue))
    , m_httpClient(std::make_unique<CurlHttpClient>(httpUserAgent(applicationVersion)))
    , m_application(applicationId, argc, argv, [this] { stopBackgroundWork(); })
    , m_fileChooser([this] { return m_application.examWindow(); })
{
    // A reader of our diagnostic lines that goes away must not take the exam with it.
    signal(SIGPIPE, SIG_IGN);
    // Called, not left to a constructor function, so the linker keeps the resources.
    tessaro_register_resource();
}

GtkHost::~GtkHost()
{
    stopBackgroundWork();
}

HttpClient& GtkHost::httpClient()
{
    return *m_httpClient;
}

std::unique_ptr<WebView> GtkHost::createWebView()
{
    std::string extensions = webProcessExtensionsDirectory();
    if (extensions.empty()) {
        m_standardOutput.writeLine("The web process extension is missing: requests carry the user agent without its "
                                   "backslashes");
    }
    return std::make_unique<GtkExamWebView>(std::move(extensions));
}

void GtkHost::stopBackgroundWork()
{
    m_runningApplicationScans.reset();
    m_httpClient.reset();
}

std::unique_ptr<Host> makeHost(int argc, char** argv, const std::string& applicationId,
                               const std::string& applicationVersion)
{
    return std::make_unique<GtkHost>(argc, argv, applicationId, applicationVersion);
}

}
