#pragma once
// The host's text service: display texts through the message catalogue of the user's language,
// and messages through the platform's message box.

#include <string>

#include "contracts/host_global.h"
#include "framework/message_catalogue.h"

namespace framework {

class TextService : public com::ComObject<TextService, host::ITextService> {
  public:
    // Italian (the source language) until the user chooses another.
    static com::ComPtr<TextService> Create();

    // "it" shows the source texts; "en" the English catalogue. Another code is error 5 and
    // keeps the current language.
    void SetLanguage(const std::string& language);
    const std::string& Language() const { return language_; }

    std::string TranslateText(std::string& text) override;
    int32_t TextMessageBox(const std::string& text, int32_t flags, const std::string& title,
                           com::IUnknown* owner) override;

  private:
    TextService() = default;

    std::string language_ = "it";
    const MessageCatalogue* catalogue_ = nullptr;  // none for the source language
};

// The English catalogue compiled into the library (read once).
const MessageCatalogue& EnglishCatalogue();

}  // namespace framework
