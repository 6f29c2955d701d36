// Splitting a path into its last component, title and extension. Platform-free; the program's
// CAppFiles::GetFileNameFromPath and SplitFileName forward here.
#pragma once

#include "framework/CString.h"

// The last component of a path: the text after the last backslash, or after the last forward
// slash when the path holds no backslash; the whole path when it holds neither. With
// keepExtension 0 the component is cut before its last full stop (when it has one).
CString FileNameFromPath(const CString& path, int keepExtension);

// The last component (as above) split at its last full stop: returns the part before it and
// puts the part after it into `ext`. A component without a full stop is returned whole and is
// also its own extension.
CString SplitPathFileName(const CString& path, CString& ext);
