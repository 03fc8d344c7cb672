// Jet SQL expressions translated into SQLite and run there: each gives the value Jet gives, or
// a reason instead of a guess.
#include <gtest/gtest.h>

#include "jet_support.h"
#include "knowledge/jet/jet_analyseur.h"
#include "knowledge/jet/jet_file.h"
#include "knowledge/jet/jet_sql.h"

using namespace tarvenko;

namespace {

struct Cas {
    const char *jet;
    const char *attendu; // the value as SQLite prints it, "NULL" for Null
};

std::string evalue(const std::string &jet)
{
    const jet::Traduction t = jet::traduitExpression(jet);
    if (!t.ok())
        return "not translated: " + t.raison;
    sqlite::Database db;
    sqlite::Error e;
    db.openReadWrite(":memory:", e);
    return test::valeur(db, "SELECT " + t.sql);
}

class JetExpression : public ::testing::TestWithParam<Cas> {};

TEST_P(JetExpression, givesJetsValue)
{
    EXPECT_EQ(evalue(GetParam().jet), GetParam().attendu) << GetParam().jet;
}

INSTANTIATE_TEST_SUITE_P(Operators, JetExpression, ::testing::Values(
    // & reads Null as "" and gives Null only from Nulls; reals lose a trailing .0
    Cas{R"("a" & Null & "b")", "ab"}, Cas{"Null & Null", "NULL"}, Cas{R"(CDbl(12) & "")", "12"},
    Cas{R"("It""s" & ' ok')", "It\"s ok"}, Cas{R"("a" + "b")", "ab"},
    // Yes/No values are -1 and 0, comparisons too
    Cas{"True", "-1"}, Cas{"No", "0"}, Cas{"1 < 2", "-1"}, Cas{"(1 < 2) = True", "-1"}, Cas{"Not 1 > 2", "-1"},
    // / divides as reals, \ and Mod round their operands first
    Cas{"7 / 2", "3.5"}, Cas{"7 \\ 2", "3"}, Cas{"7 Mod 3", "1"}, Cas{"-7 Mod 3", "-1"}, Cas{"7.5 \\ 2", "4"},
    Cas{"2 + 3 * 4", "14"}, Cas{"- -1", "1"}, Cas{R"("x" & 1 + 2)", "x3"},
    Cas{"5 Between 1 And 10", "-1"}, Cas{"5 Not Between 1 And 4", "-1"}, Cas{"3 In (1, 2)", "0"},
    Cas{"Null Is Null", "-1"}, Cas{"1 Is Not Null", "-1"}, Cas{"1 = 1 And 2 = 3 Or 4 = 4", "-1"}));

INSTANTIATE_TEST_SUITE_P(Like, JetExpression, ::testing::Values(
    Cas{R"("Abc" Like "a*")", "-1"}, Cas{R"("a_c" Like "a?c")", "-1"},
    // % and _ are plain characters in Jet's patterns
    Cas{R"("abc" Like "a%c")", "0"}, Cas{R"("a%c" Like "a%c")", "-1"}, Cas{R"("a*c" Like "a[*]c")", "-1"},
    Cas{R"("abc" Not Like "b*")", "-1"}));

INSTANTIATE_TEST_SUITE_P(Functions, JetExpression, ::testing::Values(
    // VBA rounds halves to even
    Cas{"CInt(2.5)", "2"}, Cas{"CInt(3.5)", "4"}, Cas{"CLng(-2.5)", "-2"}, Cas{"CInt(2.6)", "3"},
    Cas{"Round(0.125, 2)", "0.12"}, Cas{"Round(0.375, 2)", "0.38"}, Cas{"CCur(1.23456)", "1.2346"},
    Cas{"Int(-1.5)", "-2"}, Cas{"Fix(-1.5)", "-1"}, Cas{"Int(Null)", "NULL"}, Cas{"Sgn(-3)", "-1"},
    Cas{R"(IIf(1 < 2, "yes", "no"))", "yes"}, Cas{"IIf(Null, 1, 2)", "2"}, Cas{"Nz(Null, 5)", "5"},
    Cas{"Switch(False, 1, True, 2)", "2"}, Cas{R"(Choose(2, "a", "b"))", "b"}, Cas{"IsNull(Null)", "-1"},
    Cas{R"(Left("abcdef", 2))", "ab"}, Cas{R"(Right("abc", 0))", ""}, Cas{R"(Right("abc", 5))", "abc"},
    Cas{R"(Mid("abcdef", 2, 3))", "bcd"}, Cas{R"(Mid$("abcdef", 5))", "ef"}, Cas{R"(Len("été"))", "3"},
    Cas{R"(InStr("Hello", "LL"))", "3"}, Cas{R"(UCase("abc"))", "ABC"}, Cas{R"(Trim("  a "))", "a"},
    Cas{R"(Chr(65) & Asc("B"))", "A66"}, Cas{R"(Val("12abc"))", "12.0"}, Cas{"CStr(1.5)", "1.5"}));

INSTANTIATE_TEST_SUITE_P(Dates, JetExpression, ::testing::Values(
    Cas{"#1/2/95#", "1995-01-02 00:00:00"}, Cas{"Year(#12/31/1995#)", "1995"}, Cas{R"(DatePart("q", #8/15/95#))", "3"},
    Cas{R"(DatePart("w", #1/1/95#))", "1"}, Cas{"Weekday(#1/2/1995#)", "2"},
    Cas{R"(Format(#1/2/1995 13:05#, "yyyy-mm-dd hh:nn"))", "1995-01-02 13:05"},
    Cas{R"(DateDiff("d", #1/1/95#, #3/1/95#))", "59"}, Cas{R"(DateDiff("m", #12/31/94#, #1/1/95#))", "1"},
    Cas{R"(DateAdd("d", 1, #12/31/1995#))", "1996-01-01 00:00:00"},
    Cas{"#12/31/1995# > #1/1/1995 11:00 PM#", "-1"}));

struct Refus {
    const char *jet;
    const char *raison; // part of the reason given
};

class JetSansEquivalent : public ::testing::TestWithParam<Refus> {};

TEST_P(JetSansEquivalent, isReportedWithAReason)
{
    const jet::Traduction t = jet::traduitExpression(GetParam().jet);
    EXPECT_FALSE(t.ok()) << GetParam().jet << " gave " << t.sql;
    EXPECT_NE(t.raison.find(GetParam().raison), std::string::npos) << t.raison;
}

INSTANTIATE_TEST_SUITE_P(Constructs, JetSansEquivalent, ::testing::Values(
    Refus{"[Forms]![Orders]![OrderID]", "form"}, Refus{"Forms!Orders!OrderID", "form"},
    Refus{"2 ^ 3", "power"}, Refus{"First([x])", "aggregate"}, Refus{"MaFonction([x])", "VBA"},
    Refus{R"(DLookup("a", "b"))", "run time"}, Refus{R"("a" + [x])", "+"}, Refus{"#2/30/95#", "not a date"},
    Refus{"Nz([x])", "Nz"}, Refus{"#1/1/95# + 1", "dates"}, Refus{"1 Xor 0", "Xor"},
    Refus{R"([x] Like "[!a]*")", "character list"}, Refus{"[x] Like [y]", "pattern"},
    Refus{R"(DateAdd("m", 1, [d]))", "months"}, Refus{R"(Format([x], "0.00"))", "pattern"},
    Refus{"[a].[b].[c]", "more than two parts"}, Refus{"(1 + 2", "expected ')'"}, Refus{"\"open", "not closed"}));

TEST(JetNames, bracketsAndQualifiersBecomeQuotedNames)
{
    EXPECT_EQ(jet::traduitExpression("[Order Details].[Unit\"Price]").sql, R"("Order Details"."Unit""Price")");
    EXPECT_EQ(jet::traduitExpression("Umsätze.Betrag").sql, R"("Umsätze"."Betrag")");
    EXPECT_EQ(jet::traduitExpression("Produits!Prix").sql, R"("Produits"."Prix")");
}

struct Date {
    const char *jet;
    const char *iso; // "" when it is not a date
};

class JetDateLiteral : public ::testing::TestWithParam<Date> {};

TEST_P(JetDateLiteral, readsAsJetDoes)
{
    EXPECT_EQ(jet::dateIso(GetParam().jet).value_or(""), GetParam().iso) << GetParam().jet;
}

INSTANTIATE_TEST_SUITE_P(Literals, JetDateLiteral, ::testing::Values(
    Date{"1/1/95", "1995-01-01 00:00:00"}, Date{"12/31/1929", "1929-12-31 00:00:00"}, Date{"1/1/29", "2029-01-01 00:00:00"},
    Date{"1/1/30", "1930-01-01 00:00:00"}, Date{"1995-06-07", "1995-06-07 00:00:00"}, Date{"2/29/2000", "2000-02-29 00:00:00"},
    Date{"6/7/1995 2:30 PM", "1995-06-07 14:30:00"}, Date{" 12:00:00 AM ", "1899-12-30 00:00:00"},
    Date{"23:59:59", "1899-12-30 23:59:59"}, Date{"2/29/1900", ""}, Date{"13/1/95", ""}, Date{"1/1/95 25:00", ""},
    Date{"", ""}, Date{"tomorrow", ""}));

TEST(JetStoredDate, countsDaysFrom1899_12_30WithTheTimeAsFraction)
{
    EXPECT_EQ(jet::dateJetEnTexte(0), "1899-12-30 00:00:00");
    EXPECT_EQ(jet::dateJetEnTexte(2.75), "1900-01-01 18:00:00");
    EXPECT_EQ(jet::dateJetEnTexte(44532), "2021-12-02 00:00:00");
    EXPECT_EQ(jet::dateJetEnTexte(2958465.99998843), "9999-12-31 23:59:59");
    // Before 1899-12-30 the whole part counts back while the fraction stays the time of day.
    EXPECT_EQ(jet::dateJetEnTexte(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(jet::dateJetEnTexte(-0.5), "1899-12-30 12:00:00");
    EXPECT_EQ(jet::dateJetEnTexte(-657434), "0100-01-01 00:00:00");
    // A time that rounds up to midnight belongs to the next day.
    EXPECT_EQ(jet::dateJetEnTexte(1.999999999), "1900-01-01 00:00:00");
}

} // namespace
