#include "web/LockdownPolicy.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "common/DiagnosticLine.h"
#include "platform/StandardOutput.h"

namespace tessaro {

namespace {

bool isAttachment(std::string_view contentDisposition)
{
    constexpr std::string_view attachment = "attachment";
    return contentDisposition.size() >= attachment.size()
        && std::equal(attachment.begin(), attachment.end(), contentDisposition.begin(), [](char expected, char actual) {
               return std::tolower(static_cast<unsigned char>(actual)) == expected;
           });
}

}

LockdownPolicy::LockdownPolicy(StandardOutput& output)
    : m_output(output)
{
}

PermissionAnswer LockdownPolicy::permissionRequested(PermissionKind kind)
{
    // Exam services proctor through the camera and microphone; the student is asked first.
    return kind == PermissionKind::cameraOrMicrophone ? PermissionAnswer::askStudent : PermissionAnswer::deny;
}

bool LockdownPolicy::shouldShowResponse(const PageResponse& response)
{
    // What the web view cannot show would be saved into Downloads behind the student's back.
    if (response.viewable && !isAttachment(response.contentDisposition))
        return true;
    refuseSaving(response.address);
    return false;
}

bool LockdownPolicy::shouldDownload(const std::string& address)
{
    refuseSaving(address);
    return false;
}

bool LockdownPolicy::shouldPrint()
{
    // There is no printer dialog over a locked exam.
    return false;
}

bool LockdownPolicy::shouldShowContextMenu()
{
    return false;
}

void LockdownPolicy::refuseSaving(const std::string& address)
{
    m_output.writeLine(diagnosticLine("Not saving what the web view cannot show: " + address));
}

}
