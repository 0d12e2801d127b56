#pragma once
// The rows a query returns, written "v|v;v|v", NULL for null: how tests compare what a database
// holds.

#include <string>

#include "platform/ado/connection.h"
#include "platform/ado/recordset.h"

namespace testing_support {

inline std::string Rows(ado::Connection& connection, const std::string& sql) {
    auto rs = connection.Execute(sql);
    std::string out;
    for (; !rs->Eof(); rs->MoveNext()) {
        if (!out.empty()) out += ";";
        for (int i = 0; i < rs->FieldCount(); ++i) {
            auto v = rs->Fields(i).Value();
            out += (i ? "|" : "") + (v.IsNull() ? std::string("NULL") : v.ToText());
        }
    }
    return out;
}

}  // namespace testing_support
