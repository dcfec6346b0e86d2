#pragma once

typedef struct _GtkWindow GtkWindow;
typedef struct _WebKitPermissionRequest WebKitPermissionRequest;
typedef struct _WebKitUserMediaPermissionRequest WebKitUserMediaPermissionRequest;

namespace tessaro {

// Asks the student whether the page may use the camera, the microphone or both: a
// modal prompt above the locked window naming the page's origin. The answer is for
// this one request; the request is answered exactly once, also when the prompt is
// closed without a choice (then it is denied).
void askForMediaPermission(GtkWindow* examWindow, const char* pageAddress, WebKitUserMediaPermissionRequest* request);

}
