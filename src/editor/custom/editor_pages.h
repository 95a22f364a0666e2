// The editor's two pages, synth and about: which controls each shows, and
// the tab buttons that switch between them.
#pragma once

#include <vector>

class IControl;
class IGraphics;

class EditorPages {
public:
    enum Page : int { kSynth = 0, kAbout = 1 };

    explicit EditorPages(IGraphics& graphics) : graphics_(graphics) {}

    // Adds the control at `index` of the graphics object to a page's list.
    void Add(Page page, int index);
    // The tab button of each page; the other page's tab is released when a page shows.
    void SetTab(Page page, IControl* tab);
    // Hides every control of the other page and shows this one's.
    void Show(Page page);
    Page Current() const { return current_; }
    const std::vector<int>& Controls(Page page) const { return page == kSynth ? synth_ : about_; }

private:
    IGraphics& graphics_;
    std::vector<int> synth_;
    std::vector<int> about_;
    IControl* synthTab_ = nullptr;
    IControl* aboutTab_ = nullptr;
    Page current_ = kSynth;
};
