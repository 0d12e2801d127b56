#pragma once
// The error object of the runtime: number, description, source.

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "platform/com/hresult.h"

namespace com {

// Error numbers of the classic runtime used by this system.
namespace err {
inline constexpr int32_t InvalidCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t ObjectNotSet = 91;
inline constexpr int32_t InvalidUseOfNull = 94;
inline constexpr int32_t CannotCreateObject = 429;
inline constexpr int32_t NoSuchMember = 438;
inline constexpr int32_t Automation = 440;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t FileAlreadyExists = 58;
inline constexpr int32_t PathFileAccess = 75;
inline constexpr int32_t ResourceNotFound = 326;
inline constexpr int32_t ObjectUnloaded = 364;
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t InvalidArrayIndex = 381;
// The tree view's own (as the classic common controls number them).
inline constexpr int32_t IndexOutOfBounds = 35600;
inline constexpr int32_t ElementNotFound = 35601;
inline constexpr int32_t KeyNotUnique = 35602;
// Data access errors (in the 3000 range, as the classic data access objects report them).
inline constexpr int32_t Database = 3000;
inline constexpr int32_t ArgumentOutOfRange = 3001;
inline constexpr int32_t RowConflict = 3197;
inline constexpr int32_t NoCurrentRecord = 3021;
inline constexpr int32_t ObjectClosed = 3704;
inline constexpr int32_t OperationNotAllowed = 3219;
inline constexpr int32_t ItemNotFound = 3265;
}  // namespace err

// Standard description of a runtime error number ("" when none is known).
std::string StandardDescription(int32_t number);

class ComError : public std::exception {
  public:
    ComError() = default;
    // The description defaults to the standard text of the number.
    explicit ComError(int32_t number, std::string description = {}, std::string source = {});

    int32_t Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }
    const std::string& Source() const noexcept { return source_; }
    HRESULT Hresult() const noexcept { return HresultFromErrorNumber(number_); }

    // A provider's own account of a failure (its error code, its message, the statement), for
    // the log: users read the description, which says what happened in their words.
    int32_t NativeCode() const noexcept { return nativeCode_; }
    const std::string& Detail() const noexcept { return detail_; }
    ComError& SetNative(int32_t code, std::string detail);
    // The five-character SQLSTATE of a server's failure ("" when there is none).
    const std::string& SqlState() const noexcept { return sqlState_; }
    ComError& SetSqlState(std::string state) {
        sqlState_ = std::move(state);
        return *this;
    }

    // A description made of a text of the program's catalogue and the values of its "%1",
    // "%2"...: the description is the text filled in; whoever shows it in another language
    // translates Text() and fills in Values() again.
    ComError& SetValues(std::vector<std::string> values);
    const std::string& Text() const noexcept { return text_.empty() ? description_ : text_; }
    const std::vector<std::string>& Values() const noexcept { return values_; }

    // Adds context in front of the description ("context: description"), which then is no
    // catalogue text.
    ComError& AddContext(const std::string& context);
    ComError& SetSource(std::string source);

    const char* what() const noexcept override { return description_.c_str(); }

  private:
    int32_t number_ = 0;
    std::string description_;
    std::string text_;  // the catalogue text, when the description was filled in from it
    std::vector<std::string> values_;
    std::string source_;
    int32_t nativeCode_ = 0;
    std::string detail_;
    std::string sqlState_;
};

// Converts any exception in flight into a ComError (number 440 for foreign exceptions).
ComError CurrentError();

// The error state of the running code (the classic `Err`): set by steps that continue past
// failures, cleared where a procedure says so. One per thread.
class ErrorState {
  public:
    static ErrorState& Current();
    void Set(const ComError& e) { error_ = e; }
    void Clear() { error_ = ComError(); }
    int32_t Number() const { return error_.Number(); }
    const ComError& Error() const { return error_; }

  private:
    ComError error_;
};

inline ErrorState& Err() {
    return ErrorState::Current();
}

// Binary boundaries: a call that must not throw stores the error and returns its status;
// the caller turns the status back into the stored error.
void SetErrorInfo(const ComError& e);
ComError TakeErrorInfo(HRESULT hr);

template <class F>
HRESULT Guard(F&& f) noexcept {
    try {
        f();
        return S_OK;
    } catch (...) {
        ComError e = CurrentError();
        SetErrorInfo(e);
        return e.Hresult();
    }
}

// Throws the error stored for a failed status.
inline void Check(HRESULT hr) {
    if (Failed(hr)) throw TakeErrorInfo(hr);
}

}  // namespace com
