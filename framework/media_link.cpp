#include "framework/media_link.h"

#include "framework/text_service.h"

#include "platform/ui/toolkit.h"

namespace framework {

std::vector<MediaItem> ReadMediaItems(const std::string& connectionString,
                                      const com::Variant& mediaId) {
    std::vector<MediaItem> items;
    if (mediaId.IsEmptyOrNull()) return items;
    auto connection = ado::Connection::Create();
    connection->Open(connectionString);
    auto rs = connection->ExecuteWith(
        "SELECT MEDIA_DESCR, MEDIA_PATH FROM HOST_MEDIA WHERE MEDIA_IDENT = ? ORDER BY MEDIA_ID",
        {mediaId});
    auto text = [](const com::Variant& v) { return v.IsNull() ? std::string() : v.ToText(); };
    for (; !rs->Eof(); rs->MoveNext())
        items.push_back(
            {text(rs->Fields("MEDIA_DESCR").Value()), text(rs->Fields("MEDIA_PATH").Value())});
    connection->Close();
    return items;
}

com::Variant MediaLink::OpenMediaLink(const com::Variant&, const com::Variant&,
                                      const com::Variant& connectionString,
                                      const com::Variant& mediaId, const com::Variant&, int32_t,
                                      int32_t) {
    ++calls_;
    auto items = ReadMediaItems(connectionString.ToText(), mediaId);
    std::string message;
    for (const auto& item : items) {
        if (!message.empty()) message += '\n';
        message += item.path.empty() ? item.description : item.description + ": " + item.path;
    }
    PresentMessage(items.empty() ? kNoMedia : message, ui::mb::Information, kMediaTitle);
    return static_cast<int32_t>(items.size());
}

}  // namespace framework
