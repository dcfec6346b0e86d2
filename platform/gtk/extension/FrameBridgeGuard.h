#pragma once

namespace tessaro {

// The bridge belongs to the exam: the top-level document and the frames of its origin.
// In every other frame's document (an embedded site, a widget, an advertisement)
// window.webkit has no messageHandlers, decided afresh for each document before its first
// script runs, and one diagnostic line says so.
void withholdBridgeFromForeignFrames();

}
