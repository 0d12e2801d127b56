#pragma once
// Enumerations and constants of the data access layer (values as the classic ADO library).

#include <cstdint>

namespace ado {

enum ObjectState : int32_t { adStateClosed = 0, adStateOpen = 1 };

enum CursorType : int32_t {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3,
};

enum LockType : int32_t {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};

enum CursorLocation : int32_t { adUseServer = 2, adUseClient = 3 };

enum EditMode : int32_t { adEditNone = 0, adEditInProgress = 1, adEditAdd = 2, adEditDelete = 4 };

// AbsolutePosition when the cursor is not on a row.
enum PositionEnum : int32_t { adPosUnknown = -1, adPosBOF = -2, adPosEOF = -3 };

enum IsolationLevel : int32_t {
    adXactUnspecified = -1,
    adXactReadUncommitted = 256,
    adXactReadCommitted = 4096,
    adXactRepeatableRead = 65536,
    adXactSerializable = 1048576,
};

inline constexpr int32_t adOptionUnspecified = -1;
inline constexpr int32_t adCmdText = 1;
inline constexpr int32_t adExecuteNoRecords = 128;

// Which SQL the connection speaks; only the module's renumbering differs by dialect.
enum class Dialect { Sqlite, Tsql, Postgresql };

}  // namespace ado
