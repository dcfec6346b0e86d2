// The text of /proc files and cgroup paths: any process may name itself, its
// executable and its arguments as it likes, so every parser takes arbitrary bytes.
// The listing around these parsers is pinned by the platform tests' tables.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/linux/CgroupApplicationId.h"
#include "platform/linux/ProcFields.h"
#include "tests/fuzz/Invariant.h"
#include "window/ShownName.h"

namespace tessaro::fuzzing {
namespace {

void checkFileName(const std::optional<std::string>& name, std::string_view what)
{
    require(!name || (!name->empty() && name->find('/') == std::string::npos), what);
}

void parse(std::string_view text)
{
    parseProcStat(text);
    parseRealUid(text);
    const auto name = commandName(text);
    require(!name || !name->empty(), "a process name is never empty");
    require(!name || isOneTerminalLine(shownName(*name)), "a name in the launch gate's alert stays on its line");
    checkFileName(executableName(text), "an executable's name is one non-empty path element");
    checkFileName(firstArgumentName(text), "argv[0]'s name is one non-empty path element");

    const auto path = cgroupPathOf(text);
    require(!path || path->find('\n') == std::string::npos, "a cgroup path is one line of the file");
    for (const auto& id : { applicationIdFromCgroupPath(text), applicationIdFromCgroupPath(path.value_or("")) })
        require(!id || !id->empty(), "an application ID is never empty");
}

}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tessaro::fuzzing::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
