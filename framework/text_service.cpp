#include "framework/text_service.h"

#include "framework/embedded_catalogues.h"
#include "platform/ui/toolkit.h"

namespace framework {

const MessageCatalogue& EnglishCatalogue() {
    static const MessageCatalogue catalogue =
        MessageCatalogue::Parse(embedded::kEnglishCatalogue, "locale/en.po");
    return catalogue;
}

TextService* TextService::current_ = nullptr;

TextService* TextService::Current() {
    return current_;
}

TextService::~TextService() {
    if (current_ == this) current_ = nullptr;
}

int32_t PresentMessage(const std::string& text, int32_t flags, const std::string& title) {
    TextService* texts = TextService::Current();
    if (!texts) return ui::MessageBox(text, flags, title);
    std::string t = text, c = title;
    return ui::MessageBox(texts->TranslateText(t), flags, c.empty() ? c : texts->TranslateText(c));
}

com::ComPtr<TextService> TextService::Create() {
    return com::ComPtr<TextService>(new TextService());
}

void TextService::SetLanguage(const std::string& language) {
    if (language == "it") {
        catalogue_ = nullptr;
    } else if (language == "en") {
        catalogue_ = &EnglishCatalogue();
    } else {
        throw com::ComError(com::err::InvalidCall,
                            "No texts for the language \"" + language + "\" (it, en)",
                            "TextService");
    }
    language_ = language;
}

std::string TextService::TranslateText(std::string& text) {
    if (!catalogue_) return text;
    return catalogue_->Find(text).value_or(text);
}

int32_t TextService::TextMessageBox(const std::string& text, int32_t flags,
                                    const std::string& title, com::IUnknown*) {
    std::string t = text, c = title;
    return ui::MessageBox(TranslateText(t), flags, c.empty() ? c : TranslateText(c));
}

}  // namespace framework
