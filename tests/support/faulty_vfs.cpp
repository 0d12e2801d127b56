#include "tests/support/faulty_vfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <list>
#include <mutex>
#include <stdexcept>

namespace testing_support {

namespace {

std::mutex mutex;  // guards the plan
struct Plan {
    bool armed = false, fired = false;
    FileOp op = FileOp::Read;
    FileFault fault = FileFault::IoError;
    int k = 0, seen = 0;
} plan;

// SQLITE_OK, or the code the current operation of kind `op` fails with (`ioError` for an I/O
// error).
int Inject(FileOp op, int ioError) {
    std::lock_guard lock(mutex);
    if (!plan.armed || plan.op != op || plan.fired || ++plan.seen != plan.k) return SQLITE_OK;
    plan.fired = true;
    return plan.fault == FileFault::DiskFull ? SQLITE_FULL
           : plan.fault == FileFault::Busy   ? SQLITE_BUSY
                                             : ioError;
}

sqlite3_vfs* Real() {
    static sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
    return real;
}

using M = sqlite3_io_methods;
// Each kind of file the default VFS opens (locking for databases, not for journals) has its own
// methods; its files get a copy in which the methods that count for faults are replaced.
struct Kind {
    const M* real;
    M counted;
};
std::list<Kind> kinds;  // guarded by `mutex`

const M& RealMethods(sqlite3_file* f) {
    std::lock_guard lock(mutex);
    return *std::find_if(kinds.begin(), kinds.end(), [&](const Kind& k) {
                return &k.counted == f->pMethods;
            })->real;
}

// A method of the real file that counts as an operation of kind `op`, failing with `ioError`
// for an I/O error.
template <auto Method, FileOp op, int ioError>
int Failing(sqlite3_file* f, auto... args) {
    if (int rc = Inject(op, ioError)) return rc;
    return (RealMethods(f).*Method)(f, args...);
}
// Only taking a lock counts; releasing one never fails.
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    if (flags & SQLITE_SHM_LOCK)
        if (int rc = Inject(FileOp::Lock, SQLITE_IOERR_SHMLOCK)) return rc;
    return RealMethods(f).xShmLock(f, offset, n, flags);
}

// The real file, opened by the default VFS, with the methods that count in place of its own.
int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    int rc = Real()->xOpen(Real(), name, f, flags, outFlags);
    if (!f->pMethods) return rc;
    std::lock_guard lock(mutex);
    auto kind = std::find_if(kinds.begin(), kinds.end(),
                             [&](const Kind& k) { return k.real == f->pMethods; });
    if (kind == kinds.end()) {
        M m = *f->pMethods;
        m.iVersion = 2;  // no memory-mapped reads, which the product does not turn on either
        m.xRead = Failing<&M::xRead, FileOp::Read, SQLITE_IOERR_READ>;
        m.xWrite = Failing<&M::xWrite, FileOp::Write, SQLITE_IOERR_WRITE>;
        m.xTruncate = Failing<&M::xTruncate, FileOp::Write, SQLITE_IOERR_TRUNCATE>;
        m.xSync = Failing<&M::xSync, FileOp::Sync, SQLITE_IOERR_FSYNC>;
        m.xLock = Failing<&M::xLock, FileOp::Lock, SQLITE_IOERR_LOCK>;
        m.xShmMap = Failing<&M::xShmMap, FileOp::Read, SQLITE_IOERR_SHMMAP>;
        m.xShmLock = ShmLock;
        kind = kinds.insert(kinds.end(), {f->pMethods, m});
    }
    f->pMethods = &kind->counted;
    return rc;
}

}  // namespace

FaultyVfs& FaultyVfs::Install() {
    static FaultyVfs* vfs = [] {
        // The default VFS in all but its name and how it opens a file.
        static sqlite3_vfs shim = *Real();
        shim.zName = "dravel-faulty";
        shim.pNext = nullptr;
        shim.xOpen = Open;
        if (sqlite3_vfs_register(&shim, 1) != SQLITE_OK)
            throw std::runtime_error("cannot register the faulty SQLite VFS");
        return new FaultyVfs();
    }();
    return *vfs;
}

void FaultyVfs::Arm(FileOp op, int k, FileFault fault) {
    if ((fault == FileFault::DiskFull && op != FileOp::Write) ||
        (fault == FileFault::Busy && op != FileOp::Lock))
        throw std::invalid_argument("a full disk fails writes, a busy database lock requests");
    std::lock_guard lock(mutex);
    plan = {.armed = true, .op = op, .fault = fault, .k = k};
}

bool FaultyVfs::Disarm() {
    std::lock_guard lock(mutex);
    plan.armed = false;
    return plan.fired;
}

int FaultyVfs::Seen() {
    std::lock_guard lock(mutex);
    return plan.seen;
}

}  // namespace testing_support
