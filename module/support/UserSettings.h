// The user's settings for the maker's products: string values under the current
// user's "Software\Norvane Software\<subkey>" key ("Shared" for the user's own details,
// one subkey per discipline). The support report and the user options read and write
// them here; the products' LISP code reads the same values.
#pragma once
#include <string>

namespace tabrik::arx {

// The value's text; empty when the key or the value is missing or not text.
std::wstring readUserSetting(const std::wstring& subkey, const std::wstring& name);
// Stores the text, creating the key when missing; false when the registry refuses.
bool writeUserSetting(const std::wstring& subkey, const std::wstring& name,
                      const std::wstring& value);

}  // namespace tabrik::arx
