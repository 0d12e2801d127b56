#include "platform/ado/odbc/odbc_statement.h"

#include <algorithm>
#include <cstring>

#include "platform/ado/odbc/odbc_error.h"

namespace ado::detail {

// How a column's values are fetched (outside the anonymous namespace: OdbcStatement::Column holds
// one).
enum class OdbcKind { Integer, Boolean, Double, Text };

namespace {

// Rows fetched per round trip; texts up to this many characters are fetched in blocks.
constexpr SQLULEN kBlockRows = 256;
constexpr SQLULEN kBlockTextChars = 4000;

// The UTF-16 units a text of `chars` characters may take, and its terminator: a character
// outside the Basic Multilingual Plane (an emoji) takes two, and drivers count characters.
SQLULEN TextUnits(SQLULEN chars) {
    return 2 * chars + 1;
}

OdbcKind KindOf(SQLSMALLINT type, SQLSMALLINT scale) {
    switch (type) {
        case SQL_BIT:
            return OdbcKind::Boolean;
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            return OdbcKind::Integer;
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return scale == 0 ? OdbcKind::Integer : OdbcKind::Double;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return OdbcKind::Double;
        default:
            return OdbcKind::Text;
    }
}

com::VarType VarTypeOf(OdbcKind kind) {
    switch (kind) {
        case OdbcKind::Integer:
            return com::VarType::Long;
        case OdbcKind::Boolean:
            return com::VarType::Boolean;
        case OdbcKind::Double:
            return com::VarType::Double;
        default:
            return com::VarType::String;
    }
}

com::Variant IntegerValue(int64_t v) {
    if (v >= INT32_MIN && v <= INT32_MAX) return com::Variant(static_cast<int32_t>(v));
    return com::Variant(static_cast<double>(v));
}

std::string AttributeText(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field) {
    SQLWCHAR text[256] = {};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLColAttributeW(stmt, column, field, text, sizeof text, &bytes, nullptr)))
        return {};
    return Utf8(text, std::min<size_t>(static_cast<size_t>(bytes) / sizeof(SQLWCHAR), 255));
}

}  // namespace

struct OdbcStatement::Column {
    ColumnInfo info;
    OdbcKind kind = OdbcKind::Text;
    SQLULEN size = 0;
    // Block buffers: one value (and one length) per row of the block.
    std::vector<int64_t> integers;
    std::vector<double> doubles;
    std::vector<SQLWCHAR> texts;
    std::vector<SQLLEN> lengths;
};

OdbcStatement::OdbcStatement(SQLHDBC connection) : stmt_(SQL_HANDLE_STMT, connection) {}

OdbcStatement::~OdbcStatement() = default;

void OdbcStatement::Fail(const std::string& context) {
    throw OdbcError(SQL_HANDLE_STMT, stmt_.Get(), context);
}

void OdbcStatement::Execute(const std::string& sql, const std::vector<com::Variant>& params) {
    sql_ = sql;
    Bind(params);
    std::u16string text = Utf16(sql);
    Ended(SQLExecDirectW(stmt_.Get(), reinterpret_cast<SQLWCHAR*>(text.data()),
                         static_cast<SQLINTEGER>(text.size())));
}

void OdbcStatement::Prepare(const std::string& sql) {
    sql_ = sql;
    std::u16string text = Utf16(sql);
    if (!SQL_SUCCEEDED(SQLPrepareW(stmt_.Get(), reinterpret_cast<SQLWCHAR*>(text.data()),
                                   static_cast<SQLINTEGER>(text.size()))))
        Fail("Statement: " + sql);
}

void OdbcStatement::Run(const std::vector<com::Variant>& params) {
    SQLFreeStmt(stmt_.Get(), SQL_CLOSE);  // the last run's rows, if they were not all read
    Bind(params);
    Ended(SQLExecute(stmt_.Get()));
}

void OdbcStatement::Ended(SQLRETURN rc) {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) Fail("Statement: " + sql_);
    described_ = false;
    noData_ = rc == SQL_NO_DATA;
}

void OdbcStatement::Bind(const std::vector<com::Variant>& params) {
    const size_t n = params.size();
    texts_.assign(n, {});
    integers_.assign(n, 0);
    doubles_.assign(n, 0);
    lengths_.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const com::Variant& v = params[i];
        auto number = static_cast<SQLUSMALLINT>(i + 1);
        SQLRETURN rc;
        switch (v.Type()) {
            case com::VarType::Integer:
            case com::VarType::Long:
            case com::VarType::Boolean:
                integers_[i] =
                    v.Type() == com::VarType::Boolean ? (v.ToBool() ? 1 : 0) : v.ToLong();
                rc = SQLBindParameter(stmt_.Get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT,
                                      SQL_INTEGER, 0, 0, &integers_[i], 0, &lengths_[i]);
                break;
            case com::VarType::Double:
                doubles_[i] = v.ToDouble();
                rc = SQLBindParameter(stmt_.Get(), number, SQL_PARAM_INPUT, SQL_C_DOUBLE,
                                      SQL_DOUBLE, 0, 0, &doubles_[i], 0, &lengths_[i]);
                break;
            case com::VarType::Empty:
            case com::VarType::Null:
                lengths_[i] = SQL_NULL_DATA;
                rc = SQLBindParameter(stmt_.Get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR,
                                      SQL_WVARCHAR, 1, 0, nullptr, 0, &lengths_[i]);
                break;
            default:
                texts_[i] = Utf16(v.ToText());
                lengths_[i] = static_cast<SQLLEN>(texts_[i].size() * sizeof(SQLWCHAR));
                rc = SQLBindParameter(stmt_.Get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR,
                                      SQL_WVARCHAR, std::max<SQLULEN>(texts_[i].size(), 1), 0,
                                      texts_[i].data(), lengths_[i], &lengths_[i]);
                break;
        }
        if (!SQL_SUCCEEDED(rc)) Fail("Binding parameter " + std::to_string(i + 1) + " of: " + sql_);
    }
}

bool OdbcStatement::HasColumns() {
    if (noData_) return false;
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt_.Get(), &count))) Fail("Statement: " + sql_);
    return count > 0;
}

void OdbcStatement::Describe() {
    if (described_) return;
    columns_.clear();
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt_.Get(), &count))) Fail("Statement: " + sql_);
    for (SQLUSMALLINT c = 1; c <= count; ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, type = 0, scale = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(stmt_.Get(), c, name, 256, &nameLength, &type, &size,
                                           &scale, &nullable)))
            Fail("Statement: " + sql_);
        Column column;
        column.info.name = Utf8(name, std::min<size_t>(static_cast<size_t>(nameLength), 255));
        column.kind = KindOf(type, scale);
        column.info.type = VarTypeOf(column.kind);
        column.size = size;
        if (column.kind == OdbcKind::Text && size < 1u << 30)
            column.info.definedSize = static_cast<int32_t>(size);
        column.info.baseTable = AttributeText(stmt_.Get(), c, SQL_DESC_BASE_TABLE_NAME);
        column.info.baseColumn = AttributeText(stmt_.Get(), c, SQL_DESC_BASE_COLUMN_NAME);
        columns_.push_back(std::move(column));
    }
    described_ = true;
}

std::vector<ColumnInfo> OdbcStatement::Columns() {
    Describe();
    std::vector<ColumnInfo> infos;
    for (const auto& c : columns_) infos.push_back(c.info);
    return infos;
}

void OdbcStatement::FetchAll(std::vector<RowValues>& rows) {
    Describe();
    if (!FetchBlocks(rows)) FetchOneByOne(rows);
}

// Column-wise binding of a block of rows, when every column has a bounded size; false (and
// nothing fetched) otherwise.
bool OdbcStatement::FetchBlocks(std::vector<RowValues>& rows) {
    for (const auto& c : columns_)
        if (c.kind == OdbcKind::Text && (c.size == 0 || c.size > kBlockTextChars)) return false;
    SQLHSTMT stmt = stmt_.Get();
    SQLULEN fetched = 0;
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN, 0);
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE,
                                      reinterpret_cast<SQLPOINTER>(kBlockRows), 0)))
        return false;
    // However the fetch ends (a failure, a value too long), the statement lets go of the block,
    // the buffers and the count of rows, which is this call's own.
    struct Unbind {
        SQLHSTMT stmt;
        ~Unbind() {
            SQLFreeStmt(stmt, SQL_UNBIND);
            SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
            SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
        }
    } unbind{stmt};
    SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    for (size_t i = 0; i < columns_.size(); ++i) {
        Column& c = columns_[i];
        auto number = static_cast<SQLUSMALLINT>(i + 1);
        c.lengths.assign(kBlockRows, 0);
        SQLRETURN rc;
        if (c.kind == OdbcKind::Integer || c.kind == OdbcKind::Boolean) {
            c.integers.assign(kBlockRows, 0);
            rc = SQLBindCol(stmt, number, SQL_C_SBIGINT, c.integers.data(), sizeof(int64_t),
                            c.lengths.data());
        } else if (c.kind == OdbcKind::Double) {
            c.doubles.assign(kBlockRows, 0);
            rc = SQLBindCol(stmt, number, SQL_C_DOUBLE, c.doubles.data(), sizeof(double),
                            c.lengths.data());
        } else {
            c.texts.assign(kBlockRows * TextUnits(c.size), 0);
            rc = SQLBindCol(stmt, number, SQL_C_WCHAR, c.texts.data(),
                            static_cast<SQLLEN>(TextUnits(c.size) * sizeof(SQLWCHAR)),
                            c.lengths.data());
        }
        if (!SQL_SUCCEEDED(rc)) Fail("Statement: " + sql_);
    }
    for (;;) {
        SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) Fail("Statement: " + sql_);
        for (SQLULEN r = 0; r < fetched; ++r) {
            RowValues& row = rows.emplace_back();
            row.reserve(columns_.size());
            for (const Column& c : columns_) {
                SQLLEN length = c.lengths[r];
                if (length == SQL_NULL_DATA) {
                    row.push_back(com::Variant::Null());
                } else if (c.kind == OdbcKind::Boolean) {
                    row.emplace_back(c.integers[r] != 0);
                } else if (c.kind == OdbcKind::Integer) {
                    row.push_back(IntegerValue(c.integers[r]));
                } else if (c.kind == OdbcKind::Double) {
                    row.emplace_back(c.doubles[r]);
                } else {
                    // A value cut to the buffer would read back as another value, which every
                    // later save would take for another user's change: refused instead.
                    const size_t units = static_cast<size_t>(length) / sizeof(SQLWCHAR);
                    if (units >= TextUnits(c.size))
                        throw OdbcError(
                            0, nullptr,
                            "A value of " + c.info.name + " is longer than the " +
                                std::to_string(c.size) +
                                " characters the driver gave as its size\nStatement: " + sql_);
                    row.emplace_back(Utf8(&c.texts[r * TextUnits(c.size)], units));
                }
            }
        }
    }
    return true;
}

void OdbcStatement::FetchOneByOne(std::vector<RowValues>& rows) {
    for (;;) {
        SQLRETURN rc = SQLFetch(stmt_.Get());
        if (rc == SQL_NO_DATA) return;
        if (!SQL_SUCCEEDED(rc)) Fail("Statement: " + sql_);
        RowValues& row = rows.emplace_back();
        for (size_t i = 0; i < columns_.size(); ++i)
            row.push_back(ReadValue(static_cast<SQLUSMALLINT>(i + 1), columns_[i]));
    }
}

com::Variant OdbcStatement::ReadValue(SQLUSMALLINT index, const Column& column) {
    SQLLEN length = 0;
    SQLHSTMT stmt = stmt_.Get();
    if (column.kind == OdbcKind::Integer || column.kind == OdbcKind::Boolean) {
        int64_t v = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, index, SQL_C_SBIGINT, &v, sizeof v, &length)))
            Fail("Statement: " + sql_);
        if (length == SQL_NULL_DATA) return com::Variant::Null();
        return column.kind == OdbcKind::Boolean ? com::Variant(v != 0) : IntegerValue(v);
    }
    if (column.kind == OdbcKind::Double) {
        double v = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, index, SQL_C_DOUBLE, &v, sizeof v, &length)))
            Fail("Statement: " + sql_);
        return length == SQL_NULL_DATA ? com::Variant::Null() : com::Variant(v);
    }
    // A long text comes in pieces, each ending in a terminator that is not part of it.
    std::u16string text;
    SQLWCHAR piece[2048];
    for (;;) {
        SQLRETURN rc = SQLGetData(stmt, index, SQL_C_WCHAR, piece, sizeof piece, &length);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) Fail("Statement: " + sql_);
        if (length == SQL_NULL_DATA) return com::Variant::Null();
        size_t chars = length == SQL_NO_TOTAL || static_cast<size_t>(length) >= sizeof piece
                           ? std::size(piece) - 1
                           : static_cast<size_t>(length) / sizeof(SQLWCHAR);
        text.append(reinterpret_cast<const char16_t*>(piece), chars);
        if (rc == SQL_SUCCESS) break;
    }
    return com::Variant(Utf8(reinterpret_cast<const SQLWCHAR*>(text.data()), text.size()));
}

int32_t OdbcStatement::RowsAffected() {
    SQLLEN count = 0;
    if (!SQL_SUCCEEDED(SQLRowCount(stmt_.Get(), &count))) return 0;
    return static_cast<int32_t>(std::max<SQLLEN>(count, 0));
}

bool OdbcStatement::NextResult() {
    SQLRETURN rc = SQLMoreResults(stmt_.Get());
    if (rc == SQL_NO_DATA) return false;
    if (!SQL_SUCCEEDED(rc)) Fail("Statement: " + sql_);
    described_ = false;
    return true;
}

}  // namespace ado::detail
