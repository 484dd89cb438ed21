// The decoration at the movie's place in the About window. No player is embedded: a small loop of
// twelve frames drawn with GDI (a film strip running past the program's ring and play mark, with a
// spark circling the ring), advanced by the window's timer only while the window is shown.
#pragma once

#include <windows.h>

namespace quenlor {

class AboutMovie {
  public:
    static constexpr int kFrames = 12;
    static constexpr int kFrameIntervalMs = 83;  // 12 frames a second

    int Frame() const { return frame_; }
    void Advance() { frame_ = (frame_ + 1) % kFrames; }

    // Draws the current frame to fill `area` of `dc`.
    void Draw(HDC dc, const RECT& area) const;

  private:
    int frame_ = 0;
};

}  // namespace quenlor
