#pragma once
// The pointer's display count, as the saver hides and shows the pointer.
//
// Every "show" adds one to the count and every "hide" takes one away; the
// pointer is drawn only while the count is 0 or more. Here the pointer is
// blanked for the whole application by pushing a blank override cursor when
// the count falls below 0, and popping it when the count climbs back to 0.
// At most one override is pushed at a time, and one still pushed when the
// counter goes away is popped, so the application's override stack stays
// balanced whatever the count.

namespace wm {

class CursorDisplayCount {
  public:
    CursorDisplayCount() = default;
    ~CursorDisplayCount();
    CursorDisplayCount(const CursorDisplayCount&) = delete;
    CursorDisplayCount& operator=(const CursorDisplayCount&) = delete;

    // Adds one (show) or takes one away (hide) and returns the new count.
    int change(bool show);

    int count() const { return count_; }
    // True while this counter holds a blank override cursor.
    bool blanking() const { return blanking_; }

  private:
    void set_blank(bool blank);

    int count_ = 0;
    bool blanking_ = false;
};

}  // namespace wm
