// The moments at which the saver window hands over to the scene.
//
// ScreenSaverProc calls them; the scene supplies them. Each runs on the GUI
// thread with the saver's GL context current.
#pragma once

// A monitor's rectangle in the client area's pixels: x from the left edge, y
// from the top edge, right and bottom edges excluded.
struct SceneMonitor {
    int left;
    int top;
    int right;
    int bottom;
};

// Once, at window creation, after the base GL state is set: size the views to
// the client area (pixels) and build everything the scene draws.
void InitialiseScene(int clientWidth, int clientHeight);

// Whenever the client area changes size or the monitors it covers change, and
// once after InitialiseScene: lays the views out for the new size, one
// letterboxed view per monitor the client area wholly covers when it covers
// two or more, else one view over the whole area. Makes no GL call: the next
// frame draws at the new size. A size with no pixels is ignored.
void ResizeScene(int clientWidth, int clientHeight, const SceneMonitor* monitors, int monitorCount);

// Before a frame whose buffer may not hold the previous one (a swap that
// keeps nothing, and no canvas): nothing drawn before is taken as still there.
void ForgetPreviousFrame();

// Once per timer message: draw one frame into the back buffer. The caller
// swaps the buffers afterwards.
void RenderFrame();

// Once, at window destruction, before the context is deleted: release what the
// scene holds in the context.
void ReleaseScene();
