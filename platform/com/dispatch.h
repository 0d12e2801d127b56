#pragma once
// Late binding by name: property get, property put and method call.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/variant.h"

namespace com {

enum class CallKind { Get, Put, Method };

struct IDispatch : IUnknown {
    static constexpr Guid IID = Guid::Parse("00020400-0000-0000-C000-000000000046");
    // Calls the member `name` (letter case ignored). Unknown name: error 438.
    virtual Variant Invoke(std::string_view name, CallKind kind, std::vector<Variant>& args) = 0;

  protected:
    ~IDispatch() = default;
};

// Late-bound helpers on any object; an object without IDispatch is error 438.
Variant GetProperty(IUnknown* object, std::string_view name);
void PutProperty(IUnknown* object, std::string_view name, const Variant& value);
Variant CallMethod(IUnknown* object, std::string_view name, std::vector<Variant> args = {});

// A table of members for implementing IDispatch::Invoke.
class DispatchTable {
  public:
    using Getter = std::function<Variant()>;
    using Putter = std::function<void(const Variant&)>;
    using Method = std::function<Variant(std::vector<Variant>&)>;

    DispatchTable& Property(std::string name, Getter get, Putter put = {});
    DispatchTable& Function(std::string name, Method m);

    Variant Invoke(std::string_view name, CallKind kind, std::vector<Variant>& args) const;
    bool Has(std::string_view name) const;

  private:
    struct Entry {
        Getter get;
        Putter put;
        Method method;
    };
    std::map<std::string, Entry> entries_;
};

}  // namespace com
