// Building SQL statement texts and reading the text cells of result tables.
// Statements are built to whatever length their values need: a statement cut to a fixed buffer
// could lose its WHERE clause and rewrite every row.
#pragma once

#include <initializer_list>
#include <string>

#include "framework/CString.h"

// One value for a statement placeholder.
class SqlArg {
public:
    SqlArg(int v) : m_kind(Kind::Int), m_int(v) {}
    SqlArg(double v) : m_kind(Kind::Real), m_real(v) {}
    SqlArg(const CString& v) : m_kind(Kind::Text), m_text(&v) {}

    // The value as its placeholder writes it: an int in decimals (a real under 'f'), a real as
    // SqlRealText writes it, a text in UTF-8 with every single quote doubled (the format supplies the
    // quotes).
    std::string Render(char conversion) const;

private:
    enum class Kind { Int, Real, Text };
    Kind m_kind;
    int m_int = 0;
    double m_real = 0.0;
    const CString* m_text = nullptr;
};

// Fills the placeholders "%d", "%f" and "%s" of a statement's format text with the arguments in
// order; "%%" is a percent sign. A placeholder without an argument is left empty.
std::string BuildSql(const char* format, std::initializer_list<SqlArg> args);

// The text of a value inside an SQL string literal: UTF-8, single quotes doubled.
std::string SqlEscapeText(const CString& text);

// "%f" without the locale: the shortest text that reads back as the same double, with a full
// stop (and an exponent where that is shorter). A value that is not finite is written as 0, since
// the engine would read "nan" or "inf" as a column name.
std::string SqlRealText(double value);

// Cell readers. A null cell (SQL NULL, or a cell outside the table) reads as 0, 0.0 or empty.
// An int takes the leading decimal digits after optional blanks and a sign, clamped to the int
// range; a double is read without the locale, and one that is not finite reads as 0.0.
int CellToInt(const char* cell);
double CellToDouble(const char* cell);
CString CellToText(const char* cell);
