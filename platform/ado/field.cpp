#include "platform/ado/recordset.h"
#include "platform/ado/row_cache.h"
#include "platform/ado/write_back.h"

namespace ado {

const std::string& Field::Name() const {
    return rs_->Column(index_).name;
}

com::VarType Field::Type() const {
    return rs_->Column(index_).type;
}

int32_t Field::DefinedSize() const {
    return rs_->Column(index_).definedSize;
}

com::Variant Field::Value() const {
    rs_->Column(index_);
    return rs_->CurrentRow().values[index_];
}

void Field::SetValue(const com::Variant& v) {
    rs_->SetFieldValue(index_, v);
}

com::Variant Field::OriginalValue() const {
    rs_->Column(index_);
    return rs_->CurrentRow().Original(index_);
}

com::Variant Field::UnderlyingValue() const {
    rs_->Column(index_);
    return detail::ReadUnderlying(rs_->connection_->Backend(), *rs_->rows_, rs_->CurrentRow(),
                                  index_);
}

}  // namespace ado
