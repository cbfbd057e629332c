// The graphics statements: the bitmap size and the world window, the drawing statements (PSET,
// PRESET, LINE, CIRCLE, PAINT, FILEPSET), the text output (GLOCATE, GFLOCATE, GPRINT), GREFRESH, CLS
// and the opening, closing, scrolling and stretching of the graphics window.
//
// Drawing runs on the interpreter thread straight into the window's drawing surface, under the
// surface's lock; the window repaints from the surface at display rate, so a PSET costs no thread
// round trip. Creating, closing and switching the window is handed over to the user-interface
// thread (engine/handover.h) through hooks that the window's unit installs.
#pragma once

#include "platform/canvas.h"

#include <atomic>
#include <memory>
#include <mutex>

// The graphics window's drawing surface, shared by the engine and the window that shows it.
class GraphSurface {
public:
    GraphSurface(int width, int height);

    // Held while anyone reads or changes Image1 or Image2 (pictures and GETRGBPIXEL too); never
    // held across a Synchronize call, since the window's repaint takes it on the other thread.
    std::mutex Lock;
    Canvas Image1; // the drawing surface: what the window shows
    Canvas Image2; // the picture buffer of LOADPICTURE and SAVEPICTURE

    // Set after every change of Image1; the window's repaint timer takes it.
    std::atomic<bool> Dirty{true};
    void Changed() { Dirty.store(true, std::memory_order_release); }
    // A change of Image1 within `part` alone, made under Lock: the window repaints that part and
    // not the whole picture, so that its copy keeps the lock from the drawing for a short while.
    void ChangedPart(const QRect& part) {
        ChangedArea |= part;
        PartDirty.store(true, std::memory_order_release);
    }
    QRect ChangedArea;                  // what ChangedPart gathered since the window took it; under Lock
    std::atomic<bool> PartDirty{false}; // set by ChangedPart; the window's repaint timer takes it

    // How the window shows Image1 (written by the window): stretched over its client area, and the
    // size shown. MOUSE scales a stretched window's pixel position back to the bitmap by it.
    std::atomic<bool> Stretched{false};
    std::atomic<int> ShownWidth{0}, ShownHeight{0};
};

// The surface of the open graphics window, or null. Any thread may ask; the engine replaces it only
// while the user-interface thread opens a window for it.
std::shared_ptr<GraphSurface> CurrentGraphSurface();
void SetCurrentGraphSurface(std::shared_ptr<GraphSurface> surface);

// Installed by the graphics window's unit; each runs on the user-interface thread inside Synchronize.
struct GraphFormHooks {
    // Replaces the graphics window by a new one that shows `surface` (the old picture stays in the
    // second graphics window), places it and sets GScreenOpen. True when the window opened.
    bool (*Open)(const std::shared_ptr<GraphSurface>& surface) = nullptr;
    // Closes the graphics window (GScreenOpen := 0).
    void (*Close)() = nullptr;
    // GSCROLL ON / OFF and GSTRETCH ON / OFF: how the bitmap is shown.
    void (*Scroll)(bool on) = nullptr;
    void (*Stretch)(bool on) = nullptr;
};
extern GraphFormHooks GraphFormHook;

// GSCREEN and OPENGSCREEN (both forms), CLOSEGSCREEN, PSET and PRESET (by code).
void ExecGScreenStatement(int code);
void ExecCloseGScreen(int code);
void ExecPSetStatement(int code);

// The check before a drawing statement (and GETRGBPIXEL and the picture statements): error 50006
// when no graphics window is open. The error is positioned at the statement itself (the run loop
// does not fetch past it); for the statement `code` its optional operand items are stepped over, so
// that a trapped error goes on after them.
bool RequireGraphForm(int code = 0);

// GSCREEN w, h / OPENGSCREEN w, h and their four-size forms: the bitmap (and client) size.
void ExecGScreen(bool fourSizes);
// Creates the graphics window anew for the sizes set: world window reset to the bitmap, pen, brush
// and font from the screen state, the bitmap filled with GBackColor.
void SyncOpenGraphForm();
// CLOSEGSCREEN
void SyncCloseGraphForm();
// GSCROLL ON | OFF and GSTRETCH ON | OFF: only while the window was opened with a client size.
void SyncGScroll();
void SyncGStretch();
// WINDOW (x1, y1)-(x2, y2)
void ExecWindow();
// MATHGRAPH ON | OFF
void ExecMathGraph();
// PSET (x, y)[, colour] and PRESET (x, y)[, colour]
void ExecPSet(bool reset);
// LINE (x1, y1)-(x2, y2)[, colour[, B | BF]]
void ExecLine();
// CIRCLE (x, y), r[, colour, start, end, aspect, F, fill colour]
void ExecCircle();
// PAINT (x, y)[, fill colour[, border colour]]
void ExecPaint();
// FILEPSET file: "x y colour" per line
void ExecFilePSet();
// GLOCATE (x, y) and GFLOCATE (x, y)
void ExecGLocate();
void ExecGFLocate();
// GREFRESH: the window shows the drawing surface as it is now.
void ExecGRefresh();
// GPRINT value
void ExecGPrint();
// CLS [mode]: 1 the run window, 2 the graphics window, 3 both.
void ExecCls();
// Fills the graphics window with GBackColor; world window, graphics position and pen stay.
void ClearGraphForm();
