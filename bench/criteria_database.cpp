#include "bench/criteria_database.h"

#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>

#include "bench/raw_sqlite.h"
#include "db/schema.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/recordset.h"
#include "window/criteria_statements.h"

namespace bench {

namespace {

class Folder {
  public:
    Folder()
        : path_(std::filesystem::temp_directory_path() /
                ("dravel_bench_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Criteria spread over the seven posting types with dense priorities, as the window keeps them;
// the same statement in every dialect.
constexpr const char* kFill = R"(INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO,
    MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI, MG99_IDMEDIA_CG99)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?)
SELECT i, 1,
       CASE i % 7 WHEN 0 THEN 0 WHEN 1 THEN 1 WHEN 2 THEN 4 WHEN 3 THEN 5 WHEN 4 THEN 6
                  WHEN 5 THEN 7 ELSE 8 END,
       (i - 1) / 7 + 1,
       'Macrocategoria, Categoria, Codice articolo ' || i,
       'MACCCATCCODA',
       CASE WHEN i % 10 = 0 THEN 1 END
  FROM n)";

}  // namespace

const std::filesystem::path& TemporaryFolder() {
    static Folder folder;
    return folder.Path();
}

void FillCriteria(ado::Connection& connection, int criteria) {
    db::CreateDatabase(connection, [&] {
        connection.Execute("INSERT INTO HOST_DITTE VALUES (1, 'Ditta uno', 4, 1)");
        db::InsertWithKeys(connection, "MGA0_QUINTAB", "MGA0_ID", [&] {
            connection.ExecuteWith(kFill, {com::Variant(static_cast<int32_t>(criteria))});
        });
    });
}

std::string CriteriaDatabase(int criteria) {
    static std::map<int, std::string> files;
    auto& file = files[criteria];
    if (!file.empty()) return file;
    std::string path =
        (TemporaryFolder() / ("criteria_" + std::to_string(criteria) + ".db")).string();
    auto connection = ado::Connection::Create();
    connection->Open(ado::SqliteConnectionString(path));
    FillCriteria(*connection, criteria);
    connection->Close();
    file = path;
    return file;
}

std::string DatabaseCopy(const std::string& file, const std::string& name) {
    std::filesystem::path copy = TemporaryFolder() / (name + ".db");
    // The last connection to close checkpointed the WAL, so the main file holds every row; a
    // WAL left by an earlier copy must not be replayed over this one.
    for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(copy.string() + suffix);
    std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing);
    return copy.string();
}

std::string CriteriaDatabaseCopy(int criteria, const std::string& name) {
    return DatabaseCopy(CriteriaDatabase(criteria), name + "_" + std::to_string(criteria));
}

std::string MatrixDatabase() {
    static const std::string file = [] {
        std::string copy = CriteriaDatabaseCopy(kMatrixCriteria, "matrix");
        RawDatabase db(copy);
        const std::string perCriterion = std::to_string(kMatrixRowsPerCriterion);
        db.Execute(
            "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, "
            "MGA1_VALORE02, MGA1_VALORE03, MGA1_CONTO) "
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " +
            std::to_string(kMatrixCriteria * kMatrixRowsPerCriterion - 1) + ") SELECT 1, i / " +
            perCriterion + " + 1, 'M' || (i % 10), 'C' || (i % 100 / 10), 'A' || (i / " +
            perCriterion + " + 1), '60.' || i FROM n");
        db.Execute("ANALYZE");
        return copy;
    }();
    return file;
}

namespace {

// The window's list of company 1, read-only.
com::ComPtr<ado::Recordset> Criteria(const std::string& connectionString) {
    auto connection = ado::Connection::Create();
    connection->Open(connectionString);
    auto rs = ado::Recordset::Create();
    rs->Open(dravel::CriteriaQuery(com::Variant(1)), connection.Get(), ado::adOpenStatic,
             ado::adLockReadOnly);
    return rs;
}

}  // namespace

std::vector<std::vector<com::Variant>> CriteriaFromLine(const std::string& connectionString,
                                                        int32_t line, int64_t count) {
    auto rs = Criteria(connectionString);
    std::vector<std::vector<com::Variant>> rows;
    for (rs->SetAbsolutePosition(line); !rs->Eof() && static_cast<int64_t>(rows.size()) < count;
         rs->MoveNext()) {
        auto& row = rows.emplace_back();
        for (int c = 0; c < rs->FieldCount(); ++c) row.push_back(rs->Fields(c).Value());
    }
    return rows;
}

Probe MiddleOfType0(const std::string& connectionString) {
    auto rs = Criteria(connectionString);
    auto value = [&](const char* column) { return rs->Fields(column).Value(); };
    int32_t typeZero = 0;
    for (; !rs->Eof() && value("MGA0_FLGRESO").ToLong() == 0; rs->MoveNext()) ++typeZero;
    if (typeZero < 2) throw std::runtime_error("Too few criteria of type 0");
    Probe probe{};
    probe.line = typeZero / 2;
    rs->SetAbsolutePosition(probe.line);
    probe.id = value("MGA0_ID").ToLong();
    probe.priority = value("MGA0_INDPRIOR").ToLong();
    probe.description = value("MGA0_DESCR").ToText();
    rs->MoveNext();
    probe.nextId = value("MGA0_ID").ToLong();
    probe.nextPriority = value("MGA0_INDPRIOR").ToLong();
    return probe;
}

Probe MiddleOfType0(int criteria) {
    return MiddleOfType0(ado::SqliteConnectionString(CriteriaDatabase(criteria)));
}

}  // namespace bench
