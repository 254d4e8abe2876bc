// A progress bar for long work, drawn on standard error only when that is a terminal: a script
// that captures the error output sees nothing of it.
#ifndef OIVWINTAV_TOOLS_VIEWPROGRESS_H
#define OIVWINTAV_TOOLS_VIEWPROGRESS_H

#include <string>

// A one-line bar that fills as steps are done and ends its line when destroyed.
class ViewProgress {
public:
    // A bar titled `title` for `steps` steps; drawn at once, empty.
    ViewProgress(const std::string& title, int steps);
    ~ViewProgress();
    ViewProgress(const ViewProgress&) = delete;
    ViewProgress& operator=(const ViewProgress&) = delete;

    // One more step done; the bar is redrawn when its filled part or its percentage changes.
    void advance();
    // Steps done up to the fraction `done` of all steps (0 to 1); never goes back.
    void advanceTo(float done);

private:
    void draw();

    std::string m_Title;
    int m_Steps;
    int m_Done;
    int m_DrawnPercent;
    bool m_Shown;
};

#endif // OIVWINTAV_TOOLS_VIEWPROGRESS_H
