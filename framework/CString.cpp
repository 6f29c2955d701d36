#include "CString.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <cstdio>

// On Windows the msvcrt wide printf reads "%ls" as a wide string too, so the translated format
// means the same on both.

CString CString::Left(int n) const {
    if (n <= 0) return CString();
    return CString(m_s.substr(0, static_cast<size_t>(n)));
}

CString CString::Mid(int first) const {
    if (first < 0) first = 0;
    if (first >= GetLength()) return CString();
    return CString(m_s.substr(first));
}

CString CString::Mid(int first, int n) const {
    if (first < 0) first = 0;
    if (n <= 0 || first >= GetLength()) return CString();
    return CString(m_s.substr(first, static_cast<size_t>(n)));
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    size_t p = m_s.find(ch, start);
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const wchar_t* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    size_t p = m_s.find(sub, start);
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(wchar_t ch) const {
    size_t p = m_s.rfind(ch);
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < m_s.size() && std::iswspace(m_s[i])) ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimRight() {
    size_t n = m_s.size();
    while (n > 0 && std::iswspace(m_s[n - 1])) --n;
    m_s.resize(n);
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::MakeUpper() {
    for (auto& c : m_s) c = static_cast<wchar_t>(std::towupper(c));
    return *this;
}

int CString::Replace(const wchar_t* from, const wchar_t* to) {
    if (!from || !*from) return 0;
    const std::wstring f(from), t(to ? to : L"");
    int count = 0;
    for (size_t p = m_s.find(f); p != std::wstring::npos; p = m_s.find(f, p + t.size())) {
        m_s.replace(p, f.size(), t);
        ++count;
    }
    return count;
}

int CString::Insert(int index, const wchar_t* s) {
    if (index < 0) index = 0;
    if (index > GetLength()) index = GetLength();
    if (s) m_s.insert(static_cast<size_t>(index), s);
    return GetLength();
}

std::wstring ToIsoWideFormat(const wchar_t* fmt) {
    std::wstring out;
    if (!fmt) return out;
    for (const wchar_t* p = fmt; *p; ++p) {
        out += *p;
        if (*p != L'%') continue;
        ++p;
        if (*p == L'%') { out += *p; continue; }
        // flags, width, precision
        while (*p && std::wcschr(L"-+ #0123456789.*", *p)) out += *p++;
        // a bare s/c (no size prefix) is wide in the wide-printf convention
        if (*p == L's' || *p == L'c') out += L'l';
        if (!*p) break;
        out += *p;
    }
    return out;
}

void CString::FormatV(const wchar_t* fmt, va_list args) {
    const std::wstring iso = ToIsoWideFormat(fmt);
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
#ifdef _WIN32
        int n = _vsnwprintf(buf.data(), buf.size() - 1, iso.c_str(), copy);
#else
        int n = std::vswprintf(buf.data(), buf.size(), iso.c_str(), copy);
#endif
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buf.size() - 1) {
            m_s.assign(buf.data(), n);
            return;
        }
        if (buf.size() > (1u << 24)) { m_s.clear(); return; }
        buf.resize(buf.size() * 2);
    }
}

void CString::Format(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    FormatV(fmt, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* fmt, ...) {
    CString tail;
    va_list args;
    va_start(args, fmt);
    tail.FormatV(fmt, args);
    va_end(args);
    m_s += tail.m_s;
}

std::string Utf8FromWide(const wchar_t* s) {
    std::string out;
    if (!s) return out;
    for (; *s; ++s) {
        uint32_t c = static_cast<uint32_t>(*s);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(s[1]) - 0xDC00);
            ++s;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

static void AppendCodePoint(std::wstring& out, uint32_t c) {
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

CString WideFromUtf8(const char* s) {
    std::wstring out;
    if (!s) return CString();
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        uint32_t c = *p;
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0) { out += L'\xFFFD'; ++p; continue; }
        c &= extra == 0 ? 0x7F : extra == 1 ? 0x1F : extra == 2 ? 0x0F : 0x07;
        int i = 1;
        for (; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) break;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if (i <= extra) { out += L'\xFFFD'; p += i; continue; }
        p += extra + 1;
        static const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        AppendCodePoint(out, c);
    }
    return CString(std::move(out));
}
