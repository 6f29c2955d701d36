#include "update/core/UpdateText.h"

#include <climits>
#include <cwchar>
#include <cwctype>

namespace update {

namespace {

int FoldedCompare(const std::wstring& a, const std::wstring& b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const wint_t x = std::towlower(a[i]), y = std::towlower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualsNoCase(const CString& a, const wchar_t* b) { return FoldedCompare(a.str(), b) == 0; }

// Windows takes a name for a device by the part before its first dot, spaces around it dropped.
bool IsDeviceName(const std::wstring& name) {
    std::wstring base = name.substr(0, name.find(L'.'));
    base.erase(0, base.find_first_not_of(L' '));
    base.erase(base.find_last_not_of(L' ') + 1);
    for (wchar_t& c : base)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (base == device) return true;
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0)) return false;
    const wchar_t n = base[3];
    return (n >= L'0' && n <= L'9') || n == L'\u00B9' || n == L'\u00B2' || n == L'\u00B3';
}

}  // namespace

bool ParseVersion(const CString& text, uint16_t parts[4]) {
    const std::wstring& s = text.str();
    size_t i = 0;
    for (int p = 0; p < 4; ++p) {
        if (p > 0) {
            if (i >= s.size() || s[i] != L'.') return false;
            ++i;
        }
        unsigned value = 0;
        size_t digits = 0;
        while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') {
            value = value * 10 + static_cast<unsigned>(s[i] - L'0');
            if (value > 0xFFFF) return false;
            ++i;
            ++digits;
        }
        if (digits == 0) return false;
        parts[p] = static_cast<uint16_t>(value);
    }
    return i == s.size();
}

int CompareVersionText(const CString& a, const CString& b) {
    uint16_t va[4], vb[4];
    if (ParseVersion(a, va) && ParseVersion(b, vb)) {
        for (int i = 0; i < 4; ++i)
            if (va[i] != vb[i]) return va[i] < vb[i] ? -1 : 1;
        return 0;
    }
    return FoldedCompare(a.str(), b.str());
}

bool IsNewerThanRunning(const CString& published, const CString& running) {
    uint16_t vp[4], vr[4];
    if (ParseVersion(published, vp) && ParseVersion(running, vr)) return CompareVersionText(published, running) > 0;
    return published != running;
}

int32_t ParseDecimal32(const CString& text) {
    const std::wstring& s = text.str();
    size_t i = 0;
    while (i < s.size() && std::iswspace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
    long long value = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i) {
        value = value * 10 + (s[i] - L'0');
        if (value > 0x80000000LL) value = 0x80000000LL;  // enough to clamp either way
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool ParseYes(const CString& text) { return EqualsNoCase(text, L"YES"); }

FileKey KeyOfElement(const CString& name) {
    static const wchar_t* const kNames[] = {
        L"FileName", L"FileVersion", L"ProductVersion", L"Length", L"FileDateLow", L"FileDateHigh",
        L"InstallDir", L"Register", L"ZipFile", L"ForceOverwrite", L"Execute", L"ExecutePar",
        L"LocalPath", L"URL", L"UserName", L"Password"};
    for (size_t i = 0; i < sizeof(kNames) / sizeof(kNames[0]); ++i)
        if (EqualsNoCase(name, kNames[i])) return static_cast<FileKey>(i);
    return FileKey::None;
}

InstallDirKind KindOfInstallDir(const CString& installDir) {
    if (EqualsNoCase(installDir, L"WINDOWSDIR")) return InstallDirKind::Windows;
    if (EqualsNoCase(installDir, L"SYSTEMDIR")) return InstallDirKind::System;
    return InstallDirKind::Program;
}

CString JoinLocalPath(const CString& dir, const CString& localPath, const CString& fileName) {
    CString path;
    if (localPath.IsEmpty())
        path.Format(L"%s\\%s", dir.GetString(), fileName.GetString());
    else
        path.Format(L"%s\\%s\\%s", dir.GetString(), localPath.GetString(), fileName.GetString());
    return path;
}

bool IsPlainFileName(const CString& name) {
    const std::wstring& s = name.str();
    if (s.empty() || s.back() == L'.' || s.back() == L' ') return false;
    for (wchar_t c : s)
        if (c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c)) return false;
    return !IsDeviceName(s);
}

bool IsPlainRelativeFolder(const CString& path) {
    const std::wstring& s = path.str();
    for (size_t start = 0;;) {
        const size_t end = s.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) return start == s.size() ? start > 0 : IsPlainFileName(CString(s.substr(start)));
        if (!IsPlainFileName(CString(s.substr(start, end - start)))) return false;
        start = end + 1;
    }
}

size_t PickOwnEntry(const std::vector<CString>& fileNames, const CString& exeName) {
    for (size_t i = 0; i < fileNames.size(); ++i)
        if (!exeName.IsEmpty() && FoldedCompare(fileNames[i].str(), exeName.str()) == 0) return i;
    return static_cast<size_t>(-1);
}

bool SplitUrl(const CString& url, UrlParts& out) {
    out = UrlParts();
    const std::wstring& s = url.str();
    const size_t colon = s.find(L"://");
    if (colon == std::wstring::npos || colon == 0) return false;
    const std::wstring scheme = s.substr(0, colon);
    for (wchar_t c : scheme)
        if (!std::iswalnum(c) && c != L'+' && c != L'-' && c != L'.') return false;
    const size_t hostStart = colon + 3;
    size_t hostEnd = s.find_first_of(L"/?#", hostStart);
    if (hostEnd == std::wstring::npos) hostEnd = s.size();
    std::wstring authority = s.substr(hostStart, hostEnd - hostStart);
    if (authority.find(L'@') != std::wstring::npos) return false;  // no credentials in our URLs
    uint16_t defaultPort = 0;
    if (FoldedCompare(scheme, L"http") == 0) {
        out.service = kServiceHttp;
        defaultPort = 80;
    } else if (FoldedCompare(scheme, L"https") == 0) {
        out.service = kServiceHttps;
        defaultPort = 443;
    } else if (FoldedCompare(scheme, L"ftp") == 0) {
        out.service = kServiceFtp;
        defaultPort = 21;
    }
    out.port = defaultPort;
    const size_t portColon = authority.rfind(L':');
    if (portColon != std::wstring::npos && authority.find(L']') == std::wstring::npos) {
        const std::wstring port = authority.substr(portColon + 1);
        if (port.empty() || port.size() > 5) return false;
        unsigned value = 0;
        for (wchar_t c : port) {
            if (c < L'0' || c > L'9') return false;
            value = value * 10 + static_cast<unsigned>(c - L'0');
        }
        if (value == 0 || value > 0xFFFF) return false;
        out.port = static_cast<uint16_t>(value);
        authority.resize(portColon);
    }
    if (authority.empty()) return false;
    for (wchar_t c : authority)
        if (std::iswspace(c) || c < 0x20) return false;
    out.server = CString(authority);
    out.object = hostEnd < s.size() ? CString(s.substr(hostEnd)) : CString(L"/");
    if (out.object.GetAt(0) != L'/') out.object.Insert(0, L"/");
    return true;
}

bool DeclaresDocumentType(const std::string& bytes) {
    static const char kMark[] = "<!DOCTYPE";
    const size_t n = sizeof(kMark) - 1;
    // stride 1: 8-bit text; stride 2: UTF-16 either way round (the zero bytes are skipped)
    for (size_t stride = 1; stride <= 2; ++stride) {
        for (size_t start = 0; start + (n - 1) * stride < bytes.size(); ++start) {
            size_t k = 0;
            while (k < n && bytes[start + k * stride] == kMark[k]) ++k;
            if (k == n) return true;
        }
    }
    return false;
}

}  // namespace update
