#pragma once
// An ODBC handle freed when it goes out of scope, and the UTF-16 texts ODBC's wide calls take.
// Only the ODBC provider's own files include this (and with it sql.h).

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <utility>

namespace ado::detail {

class OdbcHandle {
  public:
    OdbcHandle() = default;
    // Allocates a handle of `type` under `parent` (SQL_NULL_HANDLE for the environment).
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
    ~OdbcHandle() { Reset(); }
    OdbcHandle(OdbcHandle&& o) noexcept
        : type_(o.type_), handle_(std::exchange(o.handle_, nullptr)) {}
    OdbcHandle& operator=(OdbcHandle&& o) noexcept {
        Reset();
        type_ = o.type_;
        handle_ = std::exchange(o.handle_, nullptr);
        return *this;
    }

    SQLHANDLE Get() const { return handle_; }
    SQLSMALLINT Type() const { return type_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
    void Reset();
    // Lets go of the handle without freeing it: for a statement its connection's disconnect frees.
    void Abandon() { handle_ = SQL_NULL_HANDLE; }

  private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

std::u16string Utf16(const std::string& utf8);
std::string Utf8(const SQLWCHAR* text, size_t length);

}  // namespace ado::detail
