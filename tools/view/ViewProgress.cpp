#include "ViewProgress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kBarWidth = 40;

} // namespace

ViewProgress::ViewProgress(const std::string& title, int steps)
    : m_Title(title), m_Steps(std::max(steps, 1)), m_Done(0), m_DrawnPercent(-1),
      m_Shown(isatty(STDERR_FILENO) == 1) {
    draw();
}

ViewProgress::~ViewProgress() {
    if (m_Shown)
        std::fputc('\n', stderr);
}

void ViewProgress::advance() {
    m_Done = std::min(m_Done + 1, m_Steps);
    draw();
}

void ViewProgress::advanceTo(float done) {
    if (!(done > 0.0f))
        return;
    const int reached = done >= 1.0f ? m_Steps : int(done * float(m_Steps));
    m_Done = std::max(m_Done, reached);
    draw();
}

// Carriage return, not a new line: the bar is redrawn in place.
void ViewProgress::draw() {
    const int percent = m_Done * 100 / m_Steps;
    if (!m_Shown || percent == m_DrawnPercent)
        return;
    m_DrawnPercent = percent;
    const int filled = m_Done * kBarWidth / m_Steps;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", m_Title.c_str(), std::string(filled, '#').c_str(),
                 std::string(kBarWidth - filled, ' ').c_str(), percent);
    std::fflush(stderr);
}
