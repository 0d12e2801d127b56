#include "platform/ado/provider_messages.h"

namespace ado::detail {

std::string NameAfter(std::string_view message, std::string_view prefix, char end) {
    const size_t at = message.find(prefix);
    if (at == std::string_view::npos) return "";
    const std::string_view rest = message.substr(at + prefix.size());
    return std::string(rest.substr(0, rest.find(end)));
}

UserMessage MissingTable(const std::string& table) {
    if (table.empty())
        return {"Nel database manca una tabella: l'operazione non è stata eseguita.", {}};
    return {"Nel database manca la tabella %1: l'operazione non è stata eseguita.", {table}};
}

}  // namespace ado::detail
