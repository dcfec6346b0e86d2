#pragma once

#include "common/MessageBody.h"

typedef struct _JSCValue JSCValue;

namespace tessaro {

// The page's value as a value tree, walked directly in the engine as JSON.stringify
// would write it: members without a JSON form (undefined, functions, symbols) are left
// out of objects and null in arrays, numbers that are not finite are null, toJSON is
// honoured. A value with no value tree (undefined, nesting deeper than the program
// walks, a cycle, a BigInt, text that is not Unicode, a script that raises) is null.
// A small body is read through its JSON text, which costs the engine fewer calls; the
// long text that is the body, or a top-level object's member, stays in the engine until
// it is read.
MessageBody scriptMessageBody(JSCValue* value);

}
