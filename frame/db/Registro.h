// Numbering by registro. Ordinal o (0..701) is named "A".."Z", then
// "AA".."ZZ"; its first number is F = o * 1 000 000 and its last L = F + 999 999.
// Its codes are F+1 .. L and the number a user sees is code - F.
#pragma once

#include <string>
#include <string_view>

namespace orvdb {
constexpr int RegistroCount = 702;
constexpr long RegistroSpan = 1000000;
}  // namespace orvdb

// Name of an ordinal; "" outside 0..701.
std::string GetRegistroFromOrdinal(int ordinal);
// Fills a buffer of at least 3 characters.
void GetRegistroFromOrdinal(int ordinal, char* buf);
// Ordinal of a name (case-insensitive, blanks trimmed); -1 for no registro.
int GetOrdinalFromRegistro(std::string_view name);
// Lower bound of a registro's stored codes (not itself one); -1 for no registro.
long GetFirstRegNumber(std::string_view name);
// Highest stored code of a registro; -1 for no registro.
long GetLastRegNumber(std::string_view name);
// Ordinal of the registro a stored code falls in; 0 for code 0.
int GetOrdinalFromNumDoc(long code);
// Number shown to the user; 0 for code 0.
long GetShowedNumDoc(long code);
// Stored code of a shown number; 0 when the registro cannot hold it.
long GetStoredNumDoc(long shown, std::string_view registro);
long GetStoredNumDoc(long shown, int ordinal);
