// Export macro of the plotting components. The same object files are linked
// into the shared library quactl2006 and straight into the program, so the
// macro exports while they are built and is empty for the program's own copy.
#pragma once

#include <QtCore/qglobal.h>

#if defined(QUACTL_STATIC)
#define QUACTL_EXPORT
#elif defined(QUACTL_BUILDING)
#define QUACTL_EXPORT Q_DECL_EXPORT
#else
#define QUACTL_EXPORT Q_DECL_IMPORT
#endif
