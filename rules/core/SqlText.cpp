#include "rules/core/SqlText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

std::string SqlEscapeText(const CString& text) {
    const std::string utf8 = Utf8FromWide(text.GetString());
    std::string out;
    out.reserve(utf8.size() + 8);
    for (char c : utf8) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

std::string SqlRealText(double value) {
    if (!std::isfinite(value)) value = 0.0;
    // The shortest text that reads back as the same double: six decimals would move a captured
    // zone by a pixel.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof(buf), value);
    if (res.ec != std::errc()) return "0";
    return std::string(buf, res.ptr);
}

std::string SqlArg::Render(char conversion) const {
    if (m_kind == Kind::Text) return SqlEscapeText(*m_text);
    if (m_kind == Kind::Real) return SqlRealText(m_real);
    return conversion == 'f' ? SqlRealText(m_int) : std::to_string(m_int);
}

std::string BuildSql(const char* format, std::initializer_list<SqlArg> args) {
    std::string out;
    if (!format) return out;
    auto next = args.begin();
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        const char conv = *++p;
        if (conv == '%') {
            out += '%';
        } else if (conv == 'd' || conv == 'f' || conv == 's') {
            if (next != args.end()) out += (next++)->Render(conv);
        } else {
            out += '%';
            out += conv;
        }
    }
    return out;
}

int CellToInt(const char* cell) {
    if (!cell) return 0;
    while (*cell == ' ' || *cell == '\t' || *cell == '\n' || *cell == '\r' || *cell == '\v' || *cell == '\f')
        ++cell;
    bool negative = false;
    if (*cell == '+' || *cell == '-') negative = *cell++ == '-';
    long long value = 0;
    for (; *cell >= '0' && *cell <= '9'; ++cell) {
        value = value * 10 + (*cell - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

double CellToDouble(const char* cell) {
    if (!cell) return 0.0;
    while (*cell == ' ' || *cell == '\t') ++cell;
    if (*cell == '+') ++cell;
    double value = 0.0;
    auto res = std::from_chars(cell, cell + std::strlen(cell), value);
    if (res.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

CString CellToText(const char* cell) { return cell ? WideFromUtf8(cell) : CString(); }
