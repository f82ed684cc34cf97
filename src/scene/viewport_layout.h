// The window's division into viewport slots, and the start-of-frame clear that
// gives the picture its fading trails and its letterbox bars.
//
// Slot 0 always spans the whole window and serves the two-dimensional passes,
// in which one unit is one pixel; slots 1 to `slotCount` − 1 are the
// three-dimensional views. When the window spans several monitors, each
// monitor has bars, a veil and a view of its own: slot i shows monitor i − 1.
// All sizes are in window pixels, y growing upwards.
#pragma once

#include "scene/depth_marks.h"
#include "scene/viewport_slot.h"

// A rectangle of the window in pixels, y growing upwards.
struct PixelRect {
    float x0;
    float y0;
    float x1;
    float y1;
};

struct ViewportLayout {
    static constexpr int maxSlots = 10;
    // One three-dimensional slot per monitor.
    static constexpr int maxMonitors = maxSlots - 1;
    // The most pieces the window's parts outside every monitor can take: one
    // per column between monitor edges, every other column, in each row.
    static constexpr int maxGaps = (2 * maxMonitors + 1) * (maxMonitors + 1);

    float width;  // right − left (100)
    float height; // top − bottom (100)
    // Opacity with which `clear` paints the clear colour over the previous
    // frame; 1 paints it opaque. (1)
    float fadeAlpha;
    // The window rectangle. (0, 100, 100, 0)
    float left;
    float top;
    float right;
    float bottom;
    // r, g and b colour the veil of `clear`; a is kept but not used. (0, 0, 0, 1)
    float clearColor[4];
    float windowWidth;  // as last set, used by `clear` (100)
    float windowHeight; // (100)
    // Height of each letterbox bar as a fraction of the window height. (0)
    float barFraction;
    int slotCount;   // slots in use, at most maxSlots (1)
    int currentSlot; // the slot last selected (0)
    ViewportSlot slots[maxSlots];
    // The monitors the window spans, each with a view of its own; none: the
    // whole window is one screen. (0)
    int monitorCount;
    PixelRect monitors[maxMonitors];
    // The parts of the window on no monitor, painted black by `clear`. (0)
    int gapCount;
    PixelRect gaps[maxGaps];
    // Window rows, from `drawnRowsBegin` up to but not including
    // `drawnRowsEnd`, that anything but the bars may have coloured since the
    // bars last covered them: every other row holds the bars' opaque black
    // across the whole width. Assumes the colour buffer still holds the
    // previous frame when a frame starts, as the veil does. The whole window
    // until a clear through a slot 0 that spans the window has covered it.
    int drawnRowsBegin;
    int drawnRowsEnd;
    // What has been written into the depth buffer since `clear` set every
    // pixel to the far value: nothing after a clear; before the first,
    // anything anywhere. Whatever writes depth marks it here.
    DepthMarks depthMarks;

    ViewportLayout();
    virtual ~ViewportLayout() = default;

    // Stores the window size and rectangle; the slots keep their rectangles
    // until the next `relayout`. Every row counts as drawn.
    void setWindowSize(float w, float h);
    void setClearColor(float r, float g, float b, float a);
    // Gives each of `count` monitors (at most maxMonitors; 0 for none) its own
    // bars, veil and slot, after `setWindowSize`: each is clipped to the
    // window. The slots keep their rectangles until the next `relayout`.
    void setMonitors(const PixelRect* areas, int count);
    // What slot `i` is laid out in: its monitor, or the whole window.
    PixelRect slotArea(int i) const;

    // Starts a frame in slot 0's viewport and pixel projection, lighting off.
    // Clears depth; on each monitor (or the whole window) draws black bars of
    // `barFraction` × its height at its bottom and top, each reaching one
    // pixel further in than the letterboxed band, and veils the rest in the
    // clear colour at opacity `fadeAlpha`, so that earlier frames fade out;
    // paints what lies on no monitor black. With no bars and an opaque veil,
    // it clears colour and depth instead. Leaves depth writes on, blending on
    // exactly when the veil is translucent, the scissor test off, and the
    // veil's colour current.
    //
    // Depth is cleared only within the box of `depthMarks` (everywhere the
    // first time): every other pixel holds the far value already. Once slot
    // 0 spans a window that is one screen, the bars are painted only over
    // the drawn rows: the rest of each bar is black already. Afterwards the
    // rows the bars covered no longer count as drawn, and the veil's rows do.
    void clear();
    // Counts the rows of slot `i`'s viewport as drawn, and `reach` rows more
    // beyond each edge, for points wider than a pixel centred near it.
    void markDrawn(int i, int reach);
    // The colour buffer may not hold the previous frame (a swap that keeps
    // nothing): every row counts as drawn, so the next clear paints the bars
    // whole.
    void forgetPreviousFrame();

    // Makes slot `i` (0 to 9) current and applies its viewport.
    void selectViewport(int i);
    // Makes slot `i` (0 to 9) current and loads its pixel projection.
    void selectOrtho(int i);
    // Recomputes the frame and pixel rectangle of every slot in use: its area
    // (`slotArea`), or for a letterboxed slot the band between its bars.
    void relayout();

private:
    // The bars and the veil over one monitor's rectangle.
    void clearArea(const PixelRect& area);
    void findGaps();
    // The window's height in whole rows, and all its pixels.
    int windowRows() const;
    PixelBox windowBox() const;
    // Clears the depth of every pixel that may have been written since the
    // last clear, and only those.
    void clearDepth();
    void markAllDrawn();
    void markAllDepthWritten();
    // Widens the drawn rows to take in rows `begin` to `end` (exclusive),
    // cut to the window.
    void markRows(int begin, int end);
};
