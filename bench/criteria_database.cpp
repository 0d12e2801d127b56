#include "bench/criteria_database.h"

#include <unistd.h>

#include <filesystem>
#include <map>

#include "db/schema.h"
#include "platform/ado/recordset.h"

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

// Criteria spread over the seven posting types with dense priorities, as the window keeps them.
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

std::string CriteriaDatabase(int criteria) {
    static Folder folder;
    static std::map<int, std::string> files;
    auto& file = files[criteria];
    if (!file.empty()) return file;
    std::string path = (folder.Path() / ("criteria_" + std::to_string(criteria) + ".db")).string();
    auto connection = ado::Connection::Create();
    connection->Open("Provider=SQLite;Data Source=" + path);
    db::CreateSchema(*connection);
    connection->ExecuteWith(kFill, {com::Variant(static_cast<int32_t>(criteria))});
    connection->Close();
    file = path;
    return file;
}

}  // namespace bench
