// The three moments at which the saver window hands over to the scene.
//
// ScreenSaverProc calls them; the scene supplies them. Each runs on the GUI
// thread with the saver's GL context current.
#pragma once

// Once, at window creation, after the base GL state is set: size the views to
// the client area (pixels) and build everything the scene draws.
void InitialiseScene(int clientWidth, int clientHeight);

// Once per timer message: draw one frame into the back buffer. The caller
// swaps the buffers afterwards.
void RenderFrame();

// Once, at window destruction, before the context is deleted: release what the
// scene holds in the context.
void ReleaseScene();
