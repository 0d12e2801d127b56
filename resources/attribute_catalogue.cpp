#include "resources/attribute_catalogue.h"

#include <string>

#include "platform/com/com_error.h"

namespace dravel {

namespace {

struct ResString {
    int32_t id;
    const char* text;
};

// Language 1040 (Italian). The tree is built in id order, so the order gives the node indices.
constexpr ResString kStringTable[] = {
    {101, "\\ART\\Dati Articoli"},
    {102, "\\ART\\CODA\\Codice articolo"},
    {103, "\\ART\\TPPD\\Tipo prodotto"},
    {104, "\\ART\\MARC\\Codice marca"},
    {105, "\\ART\\FAMI\\Famiglia"},
    {106, "\\ART\\SFAM\\Sottofamiglia"},
    {107, "\\ART\\GRUP\\Gruppo"},
    {108, "\\ART\\SGRU\\Sottogruppo"},
    {109, "\\ART\\CPA1\\Indice contabile articolo 1"},
    {110, "\\ART\\CPA2\\Indice contabile articolo 2"},
    {111, "\\CLI\\Dati clienti"},
    {112, "\\CLI\\INDC\\Cliente"},
    {113, "\\CLI\\CODC\\Codice Cliente"},
    {114, "\\CLI\\INTC\\Intermedio"},
    {115, "\\CLI\\SEDC\\Sede"},
    {116, "\\CLI\\RG1C\\Raggruppo 1"},
    {117, "\\CLI\\RG2C\\Raggruppo 2"},
    {118, "\\CLI\\RG3C\\Raggruppo 3"},
    {119, "\\CLI\\MCRC\\Macroarea"},
    {120, "\\CLI\\AREC\\Area"},
    {121, "\\CLI\\ZONC\\Zona"},
    {122, "\\CLI\\MACC\\Macrocategoria"},
    {123, "\\CLI\\CATC\\Categoria"},
    {124, "\\CLI\\STCC\\Sottocategoria"},
    {125, "\\CLI\\CPAC\\Indice contabile cliente"},
    {126, "\\CLI\\IGRC\\Intergruppo"},
    {127, "\\FOR\\Dati Fornitore"},
    {128, "\\FOR\\INDF\\Fornitore"},
    {129, "\\FOR\\CODF\\Codice fornitore"},
    {130, "\\FOR\\INTF\\Intermedio"},
    {131, "\\FOR\\SEDF\\Sede"},
    {132, "\\FOR\\RG1F\\Raggruppo 1"},
    {133, "\\FOR\\RG2F\\Raggruppo 2"},
    {134, "\\FOR\\RG3F\\Raggruppo 3"},
    {135, "\\FOR\\MCRF\\Macroarea"},
    {136, "\\FOR\\AREF\\Area"},
    {137, "\\FOR\\ZONF\\Zona"},
    {138, "\\FOR\\MACF\\Macrocategoria"},
    {139, "\\FOR\\CATF\\Categoria"},
    {140, "\\FOR\\STCF\\Sottocategoria"},
    {141, "\\FOR\\CPAF\\Indice contabile fornitore"},
    {142, "\\FOR\\IGRF\\Intergruppo"},
    {143, "\\DOC\\Dati documento"},
    {144, "\\DOC\\DOCU\\Codice documento"},
    {145, "\\DOC\\TIPO\\Tipi documento"},
    {146, "\\DOC\\STIP\\Sottotipo documento"},
    {147, "\\DOC\\CSEZ\\Codice sezionale"},
    {148, "\\DOC\\DESF\\Destinazione preferenziale"},
    {149, "\\DOC\\CONC\\Condizioni di pagamento"},
    {150, "\\DOC\\AGEC\\Agente preferenziale (Testata)"},
    {151, "\\DOC\\DEPO\\Deposito (Riga)"},
    {152, "\\DOC\\PROG\\Codice progetto (Riga)"},
    {153, "\\DOC\\FASE\\Codice fase"},
    {154, "\\DOC\\RGFA\\Categoria fase"},
    {155, "\\DOC\\DIVC\\Divisione commerciale"},
    {156, "\\DOC\\STAG\\Stagione"},
    {157, "\\DOC\\CAUP\\Causale prest. prof."},
};

}  // namespace

std::string LoadResString(int32_t id) {
    for (const auto& s : kStringTable)
        if (s.id == id) return s.text;
    throw com::ComError(com::err::ResourceNotFound,
                        "Resource with identifier " + std::to_string(id) + " not found");
}

std::string AttributeCaption(std::string_view code) {
    for (const auto& s : kStringTable) {
        std::string_view line = s.text;  // "\GROUP\CODE\Caption"
        size_t codeAt = line.find('\\', 1) + 1;
        size_t captionAt = line.find('\\', codeAt);
        if (captionAt != std::string_view::npos && line.substr(codeAt, captionAt - codeAt) == code)
            return std::string(line.substr(captionAt + 1));
    }
    return {};
}

}  // namespace dravel
