#pragma once
// Small value helpers shared by the module.

#include "platform/com/variant.h"

namespace dravel {

// Empty, Null or "" give ""; anything else its text with trailing blanks removed.
// A value without a text form (object, array) fails with error 13.
com::Variant TrimToText(const com::Variant& value);

// The default when the value is Empty or Null; otherwise the value unchanged.
com::Variant ValueOrDefault(const com::Variant& value, const com::Variant& fallback);

}  // namespace dravel
