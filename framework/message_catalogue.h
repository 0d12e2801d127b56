#pragma once
// A message catalogue in the GNU gettext .po format: source text to translated text.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace framework {

class MessageCatalogue {
  public:
    // Reads a catalogue. `origin` names it in errors ("en.po:12: ..."). A malformed line, a
    // duplicate source text or an unsupported keyword is error 5 naming the line; nothing of a
    // malformed catalogue is kept.
    static MessageCatalogue Parse(std::string_view text, const std::string& origin);

    // The translation of a source text; nullopt when the catalogue has none (or an empty one).
    std::optional<std::string> Find(const std::string& source) const;
    std::size_t Size() const { return entries_.size(); }

  private:
    std::map<std::string, std::string> entries_;
};

}  // namespace framework
