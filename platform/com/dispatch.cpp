#include "platform/com/dispatch.h"

#include "platform/text/text.h"

namespace com {

namespace {
ComPtr<IDispatch> Dispatch(IUnknown* object, std::string_view name) {
    if (!object) throw ComError(err::ObjectNotSet);
    auto d = QueryAs<IDispatch>(object);
    if (!d)
        throw ComError(err::NoSuchMember,
                       StandardDescription(err::NoSuchMember) + " (" + std::string(name) + ")");
    return d;
}
}  // namespace

Variant GetProperty(IUnknown* object, std::string_view name) {
    std::vector<Variant> none;
    return Dispatch(object, name)->Invoke(name, CallKind::Get, none);
}

void PutProperty(IUnknown* object, std::string_view name, const Variant& value) {
    std::vector<Variant> args{value};
    Dispatch(object, name)->Invoke(name, CallKind::Put, args);
}

Variant CallMethod(IUnknown* object, std::string_view name, std::vector<Variant> args) {
    return Dispatch(object, name)->Invoke(name, CallKind::Method, args);
}

DispatchTable& DispatchTable::Property(std::string name, Getter get, Putter put) {
    auto& e = entries_[txt::Lower(name)];
    e.get = std::move(get);
    e.put = std::move(put);
    return *this;
}

DispatchTable& DispatchTable::Function(std::string name, Method m) {
    entries_[txt::Lower(name)].method = std::move(m);
    return *this;
}

bool DispatchTable::Has(std::string_view name) const {
    return entries_.count(txt::Lower(name)) != 0;
}

Variant DispatchTable::Invoke(std::string_view name, CallKind kind,
                              std::vector<Variant>& args) const {
    auto it = entries_.find(txt::Lower(name));
    auto missing = [&] {
        return ComError(err::NoSuchMember,
                        StandardDescription(err::NoSuchMember) + " (" + std::string(name) + ")");
    };
    if (it == entries_.end()) throw missing();
    const Entry& e = it->second;
    switch (kind) {
        case CallKind::Get:
            if (e.get) return e.get();
            if (e.method) return e.method(args);
            break;
        case CallKind::Put:
            if (e.put) {
                if (args.size() != 1) throw ComError(err::InvalidCall);
                e.put(args[0]);
                return {};
            }
            break;
        case CallKind::Method:
            if (e.method) return e.method(args);
            if (e.get && args.empty()) return e.get();
            break;
    }
    throw missing();
}

}  // namespace com
