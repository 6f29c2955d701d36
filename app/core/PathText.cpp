#include "app/core/PathText.h"

namespace {

// A backslash anywhere wins over forward slashes, even one that comes after it.
CString LastComponent(const CString& path) {
    int sep = path.ReverseFind(L'\\');
    if (sep < 0) sep = path.ReverseFind(L'/');
    return sep < 0 ? path : path.Mid(sep + 1);
}

}  // namespace

CString FileNameFromPath(const CString& path, int keepExtension) {
    CString name = LastComponent(path);
    if (keepExtension == 0) {
        const int dot = name.ReverseFind(L'.');
        if (dot >= 0) name = name.Left(dot);
    }
    return name;
}

CString SplitPathFileName(const CString& path, CString& ext) {
    const CString name = LastComponent(path);
    const int dot = name.ReverseFind(L'.');
    if (dot < 0) {
        ext = name;
        return name;
    }
    ext = name.Mid(dot + 1);
    return name.Left(dot);
}
