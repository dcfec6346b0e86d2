#pragma once

namespace tessaro {

// How /status.json answers: the documents and failures that tessaro-local must route on.
enum class StatusMode {
    Default, // a valid document, routing "default"
    Fallback, // a valid document, routing "fallback"
    Html404, // a not-found page in HTML: not a document at all
    Valid500, // a valid document carried by a server error; the status code must not matter
    Empty, // 200 with nothing in the body
    Drop, // the connection is cut mid-answer: a transport error for the client
    Custom, // any body and status code the test wants
};

}
