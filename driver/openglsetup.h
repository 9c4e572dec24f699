#ifndef OPENGLSETUP_H
#define OPENGLSETUP_H

// Nothing in the tool draws with OpenGL: Qt's file dialog paints with its raster engine. On X11,
// Qt still loads its GLX integration when the application object is made, and that loads the
// system's OpenGL driver (Mesa's, with LLVM): a sixth of a second and about 50 MB at every start.
// Call before the QApplication exists; a QT_XCB_GL_INTEGRATION set by the user stays as it is.
void skipOpenGlIntegration();

#endif
