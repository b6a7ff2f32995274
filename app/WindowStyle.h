#pragma once

class QApplication;

namespace climate::app {

// The look of the tool: Fusion style, a cool blue-grey window, framed groups with their titles
// on the frame, and a compact sans-serif face that also carries the Chinese messages.
void applyWindowStyle(QApplication& application);

} // namespace climate::app
