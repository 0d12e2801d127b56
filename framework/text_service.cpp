#include "framework/text_service.h"

#include <boost/locale/gnu_gettext.hpp>
#include <boost/locale/message.hpp>

#include "framework/embedded_catalogues.h"
#include "platform/com/placeholders.h"
#include "platform/ui/toolkit.h"

namespace framework {

namespace {

// The English catalogue, read by Boost.Locale from the bytes compiled into the library. The
// messages facet stands on the classic locale: no locale of the system needs to be generated
// (GNU gettext's own lookup in the C library would need one, or LANGUAGE in the environment),
// and no file is read (the facet asks the callback for it).
const std::locale& EnglishCatalogue() {
    static const std::locale english = [] {
        namespace gettext = boost::locale::gnu_gettext;
        gettext::messages_info info;
        info.language = "en";
        info.encoding = "UTF-8";
        info.paths = {"embedded"};
        info.domains = {gettext::messages_info::domain("dravel")};
        info.callback = [](const std::string&, const std::string&) {
            return std::vector<char>(embedded::kEnglishCatalogue.begin(),
                                     embedded::kEnglishCatalogue.end());
        };
        return std::locale(std::locale::classic(), gettext::create_messages_facet<char>(info));
    }();
    return english;
}

int32_t ShowTranslated(TextService* texts, const std::string& text, int32_t flags,
                       const std::string& title) {
    if (!texts) return ui::MessageBox(text, flags, title);
    std::string t = text, c = title;
    return ui::MessageBox(texts->TranslateText(t), flags, texts->TranslateText(c));
}

}  // namespace

TextService* TextService::current_ = nullptr;

TextService* TextService::Current() {
    return current_;
}

TextService::~TextService() {
    if (current_ == this) current_ = nullptr;
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
    return boost::locale::translate(text).str(*catalogue_);
}

int32_t TextService::TextMessageBox(const std::string& text, int32_t flags,
                                    const std::string& title, com::IUnknown*) {
    return ShowTranslated(this, text, flags, title);
}

std::string Translated(const std::string& italian, const std::vector<std::string>& values) {
    std::string text = italian;
    if (TextService* texts = TextService::Current()) text = texts->TranslateText(text);
    return com::FillPlaceholders(text, values);
}

int32_t PresentMessage(const std::string& text, int32_t flags, const std::string& title) {
    return ShowTranslated(TextService::Current(), text, flags, title);
}

}  // namespace framework
