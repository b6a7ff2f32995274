#pragma once

#include <QString>

#include <cstdio>

namespace climate::cli {

// Whether `stream` goes to a terminal (and not to a file or a pipe).
[[nodiscard]] bool isTerminal(std::FILE* stream);

// A line of progress on a terminal, rewritten in place: each text goes over the one before it
// after a carriage return, blanked to its end, and the line is closed with a newline at the end.
// On a stream that is not a terminal nothing at all is written, so that what a script or a log
// captures stays as it was.
class ProgressLine {
public:
    explicit ProgressLine(std::FILE* stream) : ProgressLine(stream, isTerminal(stream)) {}
    ProgressLine(std::FILE* stream, bool shown) : m_stream(stream), m_shown(shown) {}
    ~ProgressLine() { end(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const QString& text);
    // Closes the line (once, and only if something was shown).
    void end();

private:
    std::FILE* m_stream;
    bool m_shown;
    qsizetype m_width = 0; // of the text shown last; 0 while nothing is
};

} // namespace climate::cli
