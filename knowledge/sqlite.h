#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvenko::sqlite {

// Error of the SQLite library: its result code and message.
struct Error {
    int code = 0;
    std::string message;
};

// Read-only connection to one database file. Owns the sqlite3 handle.
class Database final {
public:
    Database() = default;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;
    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;
    ~Database();

    // Opens the file read-only and checks that it really is an SQLite database (SQLite itself
    // only reads the file at the first statement). Returns false and fills `error` otherwise.
    bool openReadOnly(const std::string &path, Error &error);
    // Opens (creating it if needed) a file for writing: for the tools that build knowledge bases.
    bool openReadWrite(const std::string &path, Error &error);
    bool isOpen() const { return m_db != nullptr; }
    void close();

    // Runs statements that return no rows; false and `error` on failure.
    bool exec(std::string_view sql, Error &error);
    bool tableExists(std::string_view name) const;
    bool viewExists(std::string_view name) const;

    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

// Prepared statement over a Database; finalised when destroyed.
class Statement final {
public:
    Statement(const Database &db, std::string_view sql);
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement();

    bool ok() const { return m_stmt != nullptr; }
    const Error &error() const { return m_error; }

    void bind(int index, std::int64_t value);
    void bind(int index, double value);
    void bind(int index, std::string_view text);
    void bindBlob(int index, const void *data, std::size_t size);
    void bindNull(int index);
    // Steps to the next row; false at the end or on an error (see error(), which tells of this
    // step only).
    bool step();
    void reset();

    int columnCount() const;
    std::string columnName(int column) const;

    enum class Type { Integer, Real, Text, Blob, Null };
    Type type(int column) const;
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    Error m_error;
};

// Quotes an identifier for SQL ("Vernaculaire_Français" becomes "\"Vernaculaire_Français\"").
std::string quoteIdentifier(std::string_view name);
// Quotes a text as an SQL string literal ("l'If" becomes "'l''If'").
std::string quoteLiteral(std::string_view text);

} // namespace tarvenko::sqlite
