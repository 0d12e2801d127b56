#include "tests/support/faulty_vfs.h"

#include <sqlite3.h>

#include <mutex>
#include <stdexcept>

namespace testing_support {

namespace {

struct Plan {
    std::mutex mutex;
    bool armed = false;
    FileOp op = FileOp::Read;
    FileFault fault = FileFault::IoError;
    int k = 0;
    int seen = 0;
    bool fired = false;
};

Plan& ThePlan() {
    static Plan plan;
    return plan;
}

// SQLITE_OK, or the code the current operation of kind `op` fails with (`ioError` for an I/O
// error).
int Inject(FileOp op, int ioError) {
    Plan& p = ThePlan();
    std::lock_guard lock(p.mutex);
    if (!p.armed || p.op != op || p.fired || ++p.seen != p.k) return SQLITE_OK;
    p.fired = true;
    switch (p.fault) {
        case FileFault::DiskFull:
            return SQLITE_FULL;
        case FileFault::Busy:
            return SQLITE_BUSY;
        case FileFault::IoError:
            break;
    }
    return ioError;
}

sqlite3_vfs* Real() {
    static sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
    return real;
}

// The wrapped file follows the shim's own in the memory SQLite allocates for it.
struct File {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* RealFile(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real;
}
const sqlite3_io_methods& Methods(sqlite3_file* f) {
    return *RealFile(f)->pMethods;
}

int Close(sqlite3_file* f) {
    return Methods(f).xClose(RealFile(f));
}
int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    if (int rc = Inject(FileOp::Read, SQLITE_IOERR_READ)) return rc;
    return Methods(f).xRead(RealFile(f), buffer, amount, offset);
}
int Write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    if (int rc = Inject(FileOp::Write, SQLITE_IOERR_WRITE)) return rc;
    return Methods(f).xWrite(RealFile(f), buffer, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    if (int rc = Inject(FileOp::Write, SQLITE_IOERR_TRUNCATE)) return rc;
    return Methods(f).xTruncate(RealFile(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    if (int rc = Inject(FileOp::Sync, SQLITE_IOERR_FSYNC)) return rc;
    return Methods(f).xSync(RealFile(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Methods(f).xFileSize(RealFile(f), size);
}
int Lock(sqlite3_file* f, int level) {
    if (int rc = Inject(FileOp::Lock, SQLITE_IOERR_LOCK)) return rc;
    return Methods(f).xLock(RealFile(f), level);
}
int Unlock(sqlite3_file* f, int level) {
    return Methods(f).xUnlock(RealFile(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Methods(f).xCheckReservedLock(RealFile(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Methods(f).xFileControl(RealFile(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Methods(f).xSectorSize(RealFile(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Methods(f).xDeviceCharacteristics(RealFile(f));
}
int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    if (int rc = Inject(FileOp::Read, SQLITE_IOERR_SHMMAP)) return rc;
    return Methods(f).xShmMap(RealFile(f), region, size, extend, out);
}
// Only taking a lock counts; releasing one never fails.
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    if (flags & SQLITE_SHM_LOCK)
        if (int rc = Inject(FileOp::Lock, SQLITE_IOERR_SHMLOCK)) return rc;
    return Methods(f).xShmLock(RealFile(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
    Methods(f).xShmBarrier(RealFile(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Methods(f).xShmUnmap(RealFile(f), deleteFlag);
}

// Version 2: the WAL index without memory-mapped reads, which the product does not turn on.
constexpr sqlite3_io_methods kMethods = {2,
                                         Close,
                                         Read,
                                         Write,
                                         Truncate,
                                         Sync,
                                         FileSize,
                                         Lock,
                                         Unlock,
                                         CheckReservedLock,
                                         FileControl,
                                         SectorSize,
                                         DeviceCharacteristics,
                                         ShmMap,
                                         ShmLock,
                                         ShmBarrier,
                                         ShmUnmap,
                                         nullptr,
                                         nullptr};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    int rc = Real()->xOpen(Real(), name, file->real, flags, outFlags);
    // SQLite calls xClose only when pMethods is set, which the real VFS leaves unset on failure.
    file->base.pMethods = file->real->pMethods ? &kMethods : nullptr;
    return rc;
}
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    return Real()->xDelete(Real(), name, syncDir);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
    return Real()->xAccess(Real(), name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
    return Real()->xFullPathname(Real(), name, n, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) {
    return Real()->xDlOpen(Real(), name);
}
void DlError(sqlite3_vfs*, int n, char* out) {
    Real()->xDlError(Real(), n, out);
}
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return Real()->xDlSym(Real(), handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) {
    Real()->xDlClose(Real(), handle);
}
int Randomness(sqlite3_vfs*, int n, char* out) {
    return Real()->xRandomness(Real(), n, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
    return Real()->xSleep(Real(), microseconds);
}
int CurrentTime(sqlite3_vfs*, double* out) {
    return Real()->xCurrentTime(Real(), out);
}
int GetLastError(sqlite3_vfs*, int n, char* out) {
    return Real()->xGetLastError(Real(), n, out);
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
    return Real()->xCurrentTimeInt64(Real(), out);
}

}  // namespace

FaultyVfs& FaultyVfs::Install() {
    static sqlite3_vfs shim = {2,
                               static_cast<int>(sizeof(File)) + Real()->szOsFile,
                               Real()->mxPathname,
                               nullptr,
                               "dravel-faulty",
                               nullptr,
                               Open,
                               Delete,
                               Access,
                               FullPathname,
                               DlOpen,
                               DlError,
                               DlSym,
                               DlClose,
                               Randomness,
                               Sleep,
                               CurrentTime,
                               GetLastError,
                               CurrentTimeInt64,
                               nullptr,
                               nullptr,
                               nullptr};
    static FaultyVfs* vfs = [] {
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
    Plan& p = ThePlan();
    std::lock_guard lock(p.mutex);
    p.armed = true;
    p.op = op;
    p.fault = fault;
    p.k = k;
    p.seen = 0;
    p.fired = false;
}

bool FaultyVfs::Disarm() {
    Plan& p = ThePlan();
    std::lock_guard lock(p.mutex);
    p.armed = false;
    return p.fired;
}

}  // namespace testing_support
