#ifndef PROCESSSETUP_H
#define PROCESSSETUP_H

// Sets up the process before anything else runs; main calls it first.
// - Attribute order: Qt 5 writes an element's attributes in the order of a hash whose seed is
//   random per process. With seed 0 every run on every machine with the same Qt orders them
//   alike, so an unchanged source gives the same bytes. A QT_HASH_SEED in the environment wins.
// - No OpenGL: the file dialog paints with Qt's raster engine, but on X11 Qt would load its GLX
//   integration, and the system's OpenGL driver with it, at every start. A QT_XCB_GL_INTEGRATION
//   set by the user stays as it is.
// - The file size limit: reaching it must fail the one write, which the output writer then undoes,
//   instead of killing the whole batch half-way through a file.
void setUpProcess();

#endif
