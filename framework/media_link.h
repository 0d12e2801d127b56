#pragma once
// The multimedia link of a record: shows the user the media items stored in HOST_MEDIA under
// the record's media identifier.

#include <vector>

#include "contracts/models.h"

namespace framework {

inline constexpr const char* kMediaTitle = "Dati multimediali";
inline constexpr const char* kNoMedia = "Nessun dato multimediale collegato";

struct MediaItem {
    std::string description;
    std::string path;
};

// The items stored under `mediaId`, in MEDIA_ID order (none for Empty or Null).
std::vector<MediaItem> ReadMediaItems(const std::string& connectionString,
                                      const com::Variant& mediaId);

class MediaLink : public com::ComObject<MediaLink, host::IMediaLink> {
  public:
    static com::ComPtr<MediaLink> Create() { return com::ComPtr<MediaLink>(new MediaLink()); }

    // Shows the items, one line each ("description: path"), in an information message box;
    // the host values, the window handle and the two flags are not needed on this platform.
    // Returns the number of items shown.
    com::Variant OpenMediaLink(const com::Variant& hostValue1, const com::Variant& hostValue2,
                               const com::Variant& connectionString, const com::Variant& mediaId,
                               const com::Variant& parentWindow, int32_t a, int32_t b) override;

    int Calls() const { return calls_; }

  private:
    MediaLink() = default;
    int calls_ = 0;
};

}  // namespace framework
