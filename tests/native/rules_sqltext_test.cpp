#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <limits>

#include "rules/core/SqlText.h"

namespace {

TEST(RulesSqlText, BuildSqlFillsPlaceholders) {
    const CString quoted(L"it's 'x'"), empty, awkward(L"C:\\it's\\\U0001F600\\\"x\"");
    const std::pair<std::string, std::string> cases[] = {
        {BuildSql("DELETE FROM t WHERE id=%d;", {42}), "DELETE FROM t WHERE id=42;"},
        {BuildSql("v(%d, %d)", {-1, INT_MIN}), "v(-1, -2147483648)"},
        {BuildSql("name='%s','%s'", {quoted, empty}), "name='it''s ''x''',''"},
        // UTF-8, and only single quotes doubled
        {BuildSql("'%s'", {awkward}), "'C:\\it''s\\\xF0\x9F\x98\x80\\\"x\"'"},
        {BuildSql("%f %f %f %f", {0.5, 1.0 / 3, -0.25, 1}), "0.5 0.3333333333333333 -0.25 1"},
        {BuildSql("100%% %d", {1}), "100% 1"},
        // a placeholder without an argument stays empty rather than reading past the list
        {BuildSql("a=%d b=%d", {1}), "a=1 b="},
    };
    for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}

TEST(RulesSqlText, RealsIgnoreTheLocaleAndNonFiniteValues) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    const bool commaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(SqlRealText(0.25), "0.25");
    EXPECT_EQ(CellToDouble("0.25"), 0.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!commaLocale) std::printf("(no comma-decimal locale installed; checked in the C locale only)\n");

    EXPECT_EQ(SqlRealText(std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(SqlRealText(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(SqlRealText(1e300), "1e+300");
}

TEST(RulesSqlText, CellReaders) {
    const std::pair<const char*, int> ints[] = {
        {nullptr, 0}, {"", 0},   {"17", 17}, {" -7", -7},  {"12abc", 12},           {"0.9", 0},
        {"+3", 3},    {"abc", 0}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}};
    for (const auto& [cell, want] : ints) EXPECT_EQ(CellToInt(cell), want) << (cell ? cell : "NULL");

    const std::pair<const char*, double> reals[] = {
        {nullptr, 0.0}, {"", 0.0},  {"0.5", 0.5},   {"1e-05", 1e-05}, {"0.33333333333333331", 1.0 / 3},
        {"2", 2.0},     {"x", 0.0}, {"inf", 0.0},  {"NaN", 0.0},     {" +0.75", 0.75}};
    for (const auto& [cell, want] : reals) EXPECT_EQ(CellToDouble(cell), want) << (cell ? cell : "NULL");

    EXPECT_EQ(CellToText(nullptr), CString());
    EXPECT_EQ(CellToText("caf\xC3\xA9 \xF0\x9F\x98\x80"), CString(L"caf\u00E9 \U0001F600"));
}

}  // namespace
