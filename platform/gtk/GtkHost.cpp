#include "platform/gtk/GtkHost.h"

#include <gio/gio.h>

#include "platform/HostFactory.h"
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

}

GtkHost::GtkHost(int argc, char** argv, const std::string& applicationId, const std::string& applicationVersion)
    : m_alert(m_timers)
    , m_machine(makeMachineServices(m_mainQueue, applicationVersion))
    , m_application(
          applicationId, argc, argv, [this] { m_machine->stopBackgroundWork(); }, [this] { m_alert.dismiss(); })
    , m_fileChooser([this] { return m_application.examWindow(); })
{
    // Called, not left to a constructor function, so the linker keeps the resources.
    tessaro_register_resource();
}

GtkHost::~GtkHost()
{
    m_machine->stopBackgroundWork();
}

std::unique_ptr<WebView> GtkHost::createWebView()
{
    std::string extensions = webProcessExtensionsDirectory();
    if (extensions.empty()) {
        standardOutput().writeLine("The web process extension is missing: requests carry the user agent without its "
                                   "backslashes");
    }
    return std::make_unique<GtkExamWebView>(std::move(extensions));
}

std::unique_ptr<Host> makeHost(int argc, char** argv, const std::string& applicationId,
                               const std::string& applicationVersion)
{
    return std::make_unique<GtkHost>(argc, argv, applicationId, applicationVersion);
}

}
