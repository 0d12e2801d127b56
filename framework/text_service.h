#pragma once
// The host's text service: display texts through the message catalogue of the user's language,
// and messages through the platform's message box.

#include <locale>
#include <string>
#include <vector>

#include "contracts/host_global.h"

namespace framework {

class TextService : public com::ComObject<TextService, host::ITextService> {
  public:
    // Italian (the source language) until the user chooses another.
    static com::ComPtr<TextService> Create();

    // "it" shows the source texts; "en" the English catalogue. Another code is error 5 and
    // keeps the current language.
    void SetLanguage(const std::string& language);
    const std::string& Language() const { return language_; }

    // The text in the user's language; unchanged when the catalogue has no translation of it.
    std::string TranslateText(std::string& text) override;
    int32_t TextMessageBox(const std::string& text, int32_t flags, const std::string& title,
                           com::IUnknown* owner) override;

    // The service of the host's user, through which every message is presented in the user's
    // language (objects created by program identifier cannot be handed one). The latest
    // service made current, or none.
    static TextService* Current();
    void MakeCurrent() { current_ = this; }

  private:
    friend class com::ComObject<TextService, host::ITextService>;
    TextService() = default;
    ~TextService() override;
    static TextService* current_;

    std::string language_ = "it";
    const std::locale* catalogue_ = nullptr;  // none for the source language
};

// An Italian source text in the user's language (unchanged when no service is current), with
// %1, %2, ... replaced by `values`.
std::string Translated(const std::string& italian, const std::vector<std::string>& values = {});
// The same for a text without values, where a function of one text is wanted.
inline std::string TranslatedText(const std::string& italian) {
    return Translated(italian);
}

// Shows a message box with its text and title in the user's language (unchanged when no
// service is current). Returns the answer.
int32_t PresentMessage(const std::string& text, int32_t flags, const std::string& title);

}  // namespace framework
