#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "knowledge/jet/mdb_reader.h"
#include "knowledge/sqlite.h"
#include "support/commande.h"

namespace tarvenko::test {

// The public Access samples of the shared test data.
inline std::string echantillon(const std::string &nom) { return std::string(TARVENKO_ACCESS_SAMPLES) + "/" + nom; }

// Skips a test that reads the samples when they or the Jet reader are missing.
#define EXIGE_ECHANTILLONS()                                                                                    \
    do {                                                                                                        \
        if (!std::filesystem::exists(::tarvenko::test::echantillon("nwind-jet3.mdb")))                        \
            GTEST_SKIP() << "the Access samples are not in " TARVENKO_ACCESS_SAMPLES;                          \
        if (!::tarvenko::jet::LecteurJet::disponible())                                                        \
            GTEST_SKIP() << "this build has no Access (Jet) reader (libmdb was not found)";                    \
    } while (false)

// Every row of a query, each field as text ("NULL" for Null).
inline std::vector<std::vector<std::string>> lignes(const sqlite::Database &db, const std::string &sql)
{
    sqlite::Statement st(db, sql);
    EXPECT_TRUE(st.ok()) << sql << ": " << st.error().message;
    std::vector<std::vector<std::string>> out;
    while (st.step()) {
        std::vector<std::string> ligne;
        for (int i = 0; i < st.columnCount(); ++i)
            ligne.push_back(st.type(i) == sqlite::Statement::Type::Null ? "NULL" : st.text(i));
        out.push_back(std::move(ligne));
    }
    EXPECT_EQ(st.error().code, 0) << sql << ": " << st.error().message;
    return out;
}

// The first field of the first row.
inline std::string valeur(const sqlite::Database &db, const std::string &sql)
{
    const auto l = lignes(db, sql);
    return l.empty() || l.front().empty() ? "<no row>" : l.front().front();
}

// Runs a command line through the shell; standard output and error together.
inline Execution lance(const std::string &commande)
{
    return execute(commande + " 2>&1");
}

} // namespace tarvenko::test
