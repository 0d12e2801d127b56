#include "bench/matrix_rows_database.h"

#include <fstream>
#include <map>
#include <string_view>

#include "bench/criteria_database.h"
#include "framework/csv_writer.h"
#include "platform/ado/connection_string.h"

namespace bench {

namespace {

std::string Value(char prefix, int i) {
    return prefix + std::to_string(i);
}

}  // namespace

void FillMatrixRows(ado::Connection& connection, int rows) {
    FillCriteria(connection, 7);
    connection.ExecuteWith(
        "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, "
        "MGA1_VALORE02, MGA1_VALORE03, MGA1_CONTO) "
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
        "SELECT 1, 1, 'M' || (i % 10), 'C' || (i % 100), 'A' || i, '60.' || i FROM n",
        {com::Variant(static_cast<int32_t>(rows))});
    connection.Execute("ANALYZE");
}

std::string MatrixRowsDatabase(int rows) {
    static std::map<int, std::string> files;
    auto& file = files[rows];
    if (!file.empty()) return file;
    std::string path = (TemporaryFolder() / ("matrix_" + std::to_string(rows) + ".db")).string();
    auto connection = ado::Connection::Create();
    connection->Open(ado::SqliteConnectionString(path));
    FillMatrixRows(*connection, rows);
    connection->Close();
    file = path;
    return file;
}

std::string MatrixImportFile(int lines) {
    static std::map<int, std::string> files;
    auto& file = files[lines];
    if (!file.empty()) return file;
    std::string path = (TemporaryFolder() / ("import_" + std::to_string(lines) + ".csv")).string();
    std::ofstream out(path, std::ios::binary);
    framework::WriteCsvRecord({"MACC", "CATC", "CODA", "CONTO"}, out);
    for (int i = 1; i <= lines; ++i)
        framework::WriteCsvRecord(
            {Value('M', i % 10), Value('C', i % 100), Value('B', i), "70." + std::to_string(i)},
            out);
    file = path;
    return file;
}

std::vector<std::vector<std::string>> SplitImportFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::vector<std::string>> lines;
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        std::string_view rest(line);
        if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
        auto& fields = lines.emplace_back();
        for (size_t at; (at = rest.find(';')) != std::string_view::npos; rest.remove_prefix(at + 1))
            fields.emplace_back(rest.substr(0, at));
        fields.emplace_back(rest);
    }
    return lines;
}

}  // namespace bench
