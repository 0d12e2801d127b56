#include "platform/com/com_error.h"

#include "platform/com/placeholders.h"

#include <map>
#include <new>

namespace com {

std::string StandardDescription(int32_t number) {
    static const std::map<int32_t, std::string> texts = {
        {err::InvalidCall, "Invalid procedure call or argument"},
        {err::Overflow, "Overflow"},
        {err::OutOfMemory, "Out of memory"},
        {err::SubscriptOutOfRange, "Subscript out of range"},
        {err::TypeMismatch, "Type mismatch"},
        {err::FileNotFound, "File not found"},
        {err::ObjectNotSet, "Object variable or With block variable not set"},
        {err::InvalidUseOfNull, "Invalid use of Null"},
        {err::CannotCreateObject, "ActiveX component can't create object"},
        {err::NoSuchMember, "Object doesn't support this property or method"},
        {err::Automation, "Automation error"},
        {err::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted"},
        {err::ObjectClosed, "Operation is not allowed when the object is closed"},
        {err::OperationNotAllowed, "Operation is not allowed in this context"},
        {err::ItemNotFound, "Item cannot be found in the collection"},
    };
    auto it = texts.find(number);
    return it == texts.end() ? std::string() : it->second;
}

ComError::ComError(int32_t number, std::string description, std::string source)
    : number_(number), description_(std::move(description)), source_(std::move(source)) {
    if (description_.empty()) description_ = StandardDescription(number);
}

ComError& ComError::SetValues(std::vector<std::string> values) {
    if (text_.empty()) text_ = description_;
    values_ = std::move(values);
    description_ = FillPlaceholders(text_, values_);
    return *this;
}

ComError& ComError::AddContext(const std::string& context) {
    description_ = description_.empty() ? context : context + ": " + description_;
    text_.clear();
    values_.clear();
    return *this;
}

ComError& ComError::SetNative(int32_t code, std::string detail) {
    nativeCode_ = code;
    detail_ = std::move(detail);
    return *this;
}

ComError& ComError::SetSource(std::string source) {
    source_ = std::move(source);
    return *this;
}

ComError CurrentError() {
    try {
        throw;
    } catch (const ComError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return ComError(err::OutOfMemory);
    } catch (const std::exception& e) {
        return ComError(err::Automation, e.what());
    } catch (...) {
        return ComError(err::Automation);
    }
}

ErrorState& ErrorState::Current() {
    thread_local ErrorState state;
    return state;
}

namespace {
thread_local ComError lastErrorInfo;
thread_local bool hasErrorInfo = false;
}  // namespace

void SetErrorInfo(const ComError& e) {
    lastErrorInfo = e;
    hasErrorInfo = true;
}

ComError TakeErrorInfo(HRESULT hr) {
    if (hasErrorInfo && lastErrorInfo.Hresult() == hr) {
        hasErrorInfo = false;
        return lastErrorInfo;
    }
    hasErrorInfo = false;
    if ((static_cast<uint32_t>(hr) & 0xFFFF0000u) == 0x800A0000u)
        return ComError(static_cast<int32_t>(hr & 0xFFFF));
    return ComError(err::Automation,
                    "Automation error " + std::to_string(static_cast<uint32_t>(hr)));
}

}  // namespace com
