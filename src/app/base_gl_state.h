// The fixed OpenGL state the scene is built on.
#pragma once

// Sets the base state, then hands over to InitialiseScene with the client
// size of the render context. Needs the saver's context current.
void SetBaseGLState();
