#include "knowledge/sqlite.h"

#include <sqlite3.h>

#include <utility>

namespace tarvenko::sqlite {

Database::Database(Database &&other) noexcept : m_db(std::exchange(other.m_db, nullptr)) {}

Database &Database::operator=(Database &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

Database::~Database() { close(); }

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool Database::openReadOnly(const std::string &path, Error &error)
{
    close();
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error = {rc, m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc)};
        close();
        return false;
    }
    // Reading the schema makes SQLite look at the file header: a file that is not a database
    // fails here with SQLITE_NOTADB rather than at some later lookup.
    Statement probe(*this, "SELECT count(*) FROM sqlite_master");
    if (!probe.ok() || (!probe.step() && probe.error().code != 0)) {
        error = probe.error();
        close();
        return false;
    }
    return true;
}

bool Database::openReadWrite(const std::string &path, Error &error)
{
    close();
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        error = {rc, m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc)};
        close();
        return false;
    }
    return true;
}

bool Database::exec(std::string_view sql, Error &error)
{
    char *message = nullptr;
    const std::string text(sql);
    const int rc = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        error = {rc, message ? message : sqlite3_errstr(rc)};
        sqlite3_free(message);
        return false;
    }
    return true;
}

namespace {

bool schemaHas(const Database &db, std::string_view type, std::string_view name)
{
    Statement st(db, "SELECT 1 FROM sqlite_master WHERE type = ?1 AND name = ?2 COLLATE NOCASE");
    if (!st.ok())
        return false;
    st.bind(1, type);
    st.bind(2, name);
    return st.step();
}

} // namespace

bool Database::tableExists(std::string_view name) const { return schemaHas(*this, "table", name); }
bool Database::viewExists(std::string_view name) const { return schemaHas(*this, "view", name); }

Statement::Statement(const Database &db, std::string_view sql) : m_db(db.handle())
{
    if (!m_db) {
        m_error = {SQLITE_MISUSE, "database not open"};
        return;
    }
    const int rc = sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        m_error = {rc, sqlite3_errmsg(m_db)};
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

void Statement::bind(int index, std::int64_t value) { sqlite3_bind_int64(m_stmt, index, value); }
void Statement::bind(int index, double value) { sqlite3_bind_double(m_stmt, index, value); }
void Statement::bind(int index, std::string_view text)
{
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}
void Statement::bindBlob(int index, const void *data, std::size_t size)
{
    sqlite3_bind_blob64(m_stmt, index, data, size, SQLITE_TRANSIENT);
}
void Statement::bindNull(int index) { sqlite3_bind_null(m_stmt, index); }

bool Statement::step()
{
    if (!m_stmt)
        return false;
    m_error = {};
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_error = {rc, sqlite3_errmsg(m_db)};
    return false;
}

void Statement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

int Statement::columnCount() const { return m_stmt ? sqlite3_column_count(m_stmt) : 0; }

std::string Statement::columnName(int column) const
{
    const char *name = sqlite3_column_name(m_stmt, column);
    return name ? name : "";
}

Statement::Type Statement::type(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER: return Type::Integer;
    case SQLITE_FLOAT: return Type::Real;
    case SQLITE_TEXT: return Type::Text;
    case SQLITE_BLOB: return Type::Blob;
    default: return Type::Null;
    }
}

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
double Statement::real(int column) const { return sqlite3_column_double(m_stmt, column); }

std::string Statement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

std::string quoteIdentifier(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string quoteLiteral(std::string_view text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

} // namespace tarvenko::sqlite
