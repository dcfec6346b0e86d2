#pragma once

#include "common/PageText.h"

namespace tessaro {

struct MessageBody;

// The text form a diagnostic line gives a body: a text as itself, any other value as its
// compact JSON text. Long texts are read as they are written, in pieces, so the form is
// never held whole; a body with a long text that cannot be read whole is "null", as its
// value tree would be. The form reads the body where it lies: use it while the body lives.
PageText bodyTextForm(const MessageBody& body);

}
