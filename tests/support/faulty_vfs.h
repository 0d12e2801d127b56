#pragma once
// A SQLite VFS that fails one chosen file operation on purpose. It wraps the default VFS and
// takes its place as the default, so that every connection opened afterwards goes through it
// unchanged: the main database, its WAL (or rollback journal) and, through the main file, the
// WAL index (-shm). Operations are counted only while it is armed.

namespace testing_support {

// The operations counted: reads (xRead, mapping the WAL index), writes (xWrite, xTruncate),
// syncs (xSync) and lock requests (xLock, locking a WAL index slot).
enum class FileOp { Read, Write, Sync, Lock };
// How the chosen operation fails: SQLite's I/O error for it (SQLITE_IOERR_READ, _WRITE, ...),
// a full disk (SQLITE_FULL, writes only) or a lock held by another user (SQLITE_BUSY, locks
// only).
enum class FileFault { IoError, DiskFull, Busy };

class FaultyVfs {
  public:
    // Registers the shim as the default VFS on first use.
    static FaultyVfs& Install();

    // From now on the k-th operation of kind `op` (from 1) fails with `fault`, once. A fault
    // that does not fit the operation is an error.
    void Arm(FileOp op, int k, FileFault fault);
    // Stops counting; whether the fault fired since Arm.
    bool Disarm();
    // The operations of the armed kind counted since Arm, up to the one that failed.
    int Seen();

  private:
    FaultyVfs() = default;
};

}  // namespace testing_support
