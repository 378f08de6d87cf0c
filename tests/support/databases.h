#pragma once
// For the database tests: SQLite databases to compact, and a desktop of the tests'
// own. The desktop has its own HOME and XDG folders (so its trash is not the
// user's), a MIME database in which "*.mdb" is an Access database with no program
// registered and "*.qdb" a test type, and a "fake compactor" registered as the
// default program for that test type. The fake compactor writes its arguments, one
// a line, to a file beside it and, given "IN /compact OUT", copies IN to OUT unless
// IN holds the word "refuse". GIO reads these folders once, at its first use: call
// TestDesktop::get() before that, from a static initialiser of the test file.

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/files.h"

namespace quillet::testing {

// A database of one table with `rows` rows of 1 KiB each, journal in `journal_mode`;
// then every second row is deleted, so that compaction has pages to give back.
inline void make_database(const std::filesystem::path& file, int rows, const char* journal_mode = "DELETE") {
    sqlite3* database = nullptr;
    sqlite3_open(utf8(file).c_str(), &database);
    const std::string script = "PRAGMA journal_mode=" + std::string(journal_mode) +
                               ";CREATE TABLE item(id INTEGER PRIMARY KEY, body BLOB);"
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                               std::to_string(rows) + ") INSERT INTO item SELECT i, zeroblob(1024) FROM n;" +
                               "DELETE FROM item WHERE id % 2 = 0;";
    const int result = sqlite3_exec(database, script.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(database);
    if (result != SQLITE_OK) throw std::runtime_error("cannot make the test database");
}

// A connection that stays open, as a program that uses the database keeps one,
// after running a script; what the script commits may stay in the write-ahead log.
class OpenDatabase {
public:
    OpenDatabase(const std::filesystem::path& file, const std::string& script) {
        sqlite3_open(utf8(file).c_str(), &database_);
        if (sqlite3_exec(database_, script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(database_));
        }
    }
    ~OpenDatabase() { sqlite3_close(database_); }
    OpenDatabase(const OpenDatabase&) = delete;
    OpenDatabase& operator=(const OpenDatabase&) = delete;

private:
    sqlite3* database_ = nullptr;
};

// "rows=N sum=S" for the table of make_database; the error text when unreadable.
inline std::string database_rows(const std::filesystem::path& file) {
    sqlite3* database = nullptr;
    sqlite3_open_v2(utf8(file).c_str(), &database, SQLITE_OPEN_READONLY, nullptr);
    std::string rows;
    const auto take = [](void* into, int, char** values, char**) {
        *static_cast<std::string*>(into) = values[0];
        return 0;
    };
    const char* query = "SELECT printf('rows=%d sum=%d', count(*), total(id)) FROM item";
    if (sqlite3_exec(database, query, take, &rows, nullptr) != SQLITE_OK) rows = sqlite3_errmsg(database);
    sqlite3_close(database);
    return rows;
}

class TestDesktop {
public:
    static const TestDesktop& get() {
        static const TestDesktop desktop;
        return desktop;
    }

    std::filesystem::path trashed(const std::string& name) const { return folder_.native("data/Trash/files") / name; }
    std::filesystem::path compactor() const { return folder_.native("my tools/fake-compactor"); }
    // What the fake compactor was given last, one argument a line; empty when it
    // has not run since forget_arguments().
    std::string compactor_arguments() const { return folder_.read("my tools/arguments"); }
    void forget_arguments() const { std::filesystem::remove(folder_.native("my tools/arguments")); }

private:
    TestDesktop() {
        set_environment("HOME", utf8(folder_.native()));
        set_environment("XDG_DATA_HOME", utf8(folder_.native("data")));
        set_environment("XDG_DATA_DIRS", utf8(folder_.native("system data")));
        set_environment("XDG_CONFIG_HOME", utf8(folder_.native("config")));
        set_environment("XDG_CONFIG_DIRS", utf8(folder_.native("system config")));
        folder_.write("data/mime/packages/quillet-test.xml",
                      R"(<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/vnd.ms-access"><comment>Access database</comment><glob pattern="*.mdb"/></mime-type>
  <mime-type type="application/x-quillet-test-database"><comment>Test database</comment><glob pattern="*.qdb"/></mime-type>
</mime-info>
)");
        const std::string command = "update-mime-database '" + folder_.native("data/mime").string() + "'";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("update-mime-database failed");
        folder_.write("my tools/fake-compactor",
                      "#!/bin/sh\n"
                      "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/arguments\"\n"
                      "[ \"$2\" = /compact ] && ! grep -q refuse \"$1\" && cp \"$1\" \"$3\"\n"
                      "exit 0\n");
        std::filesystem::permissions(compactor(), std::filesystem::perms::owner_all);
        folder_.write("data/applications/quillet-test-compactor.desktop",
                      "[Desktop Entry]\nType=Application\nName=Test compactor\nNoDisplay=true\nExec=\"" +
                          compactor().string() + "\" %f\nMimeType=application/x-quillet-test-database;\n");
        folder_.write("config/mimeapps.list",
                      "[Default Applications]\n"
                      "application/x-quillet-test-database=quillet-test-compactor.desktop\n");
    }

    ScratchFolder folder_;
};

}  // namespace quillet::testing
