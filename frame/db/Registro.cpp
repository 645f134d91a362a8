#include "frame/db/Registro.h"

#include <cctype>
#include <cstring>

using orvdb::RegistroCount;
using orvdb::RegistroSpan;

std::string GetRegistroFromOrdinal(int o) {
    if (o < 0 || o >= RegistroCount) return {};
    if (o < 26) return std::string(1, static_cast<char>('A' + o));
    o -= 26;
    return {static_cast<char>('A' + o / 26), static_cast<char>('A' + o % 26)};
}

void GetRegistroFromOrdinal(int ordinal, char* buf) {
    std::string s = GetRegistroFromOrdinal(ordinal);
    std::memcpy(buf, s.c_str(), s.size() + 1);
}

int GetOrdinalFromRegistro(std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.remove_suffix(1);
    auto letter = [](char c) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return (c >= 'A' && c <= 'Z') ? c - 'A' : -1;
    };
    if (name.size() == 1) return letter(name[0]);
    if (name.size() == 2) {
        int a = letter(name[0]), b = letter(name[1]);
        if (a < 0 || b < 0) return -1;
        return 26 + a * 26 + b;
    }
    return -1;
}

long GetFirstRegNumber(std::string_view name) {
    int o = GetOrdinalFromRegistro(name);
    return o < 0 ? -1 : o * RegistroSpan;
}

long GetLastRegNumber(std::string_view name) {
    int o = GetOrdinalFromRegistro(name);
    return o < 0 ? -1 : o * RegistroSpan + RegistroSpan - 1;
}

int GetOrdinalFromNumDoc(long code) {
    if (code <= 0) return 0;
    return static_cast<int>((code - 1) / RegistroSpan);
}

long GetShowedNumDoc(long code) {
    if (code <= 0) return 0;
    return code - GetOrdinalFromNumDoc(code) * RegistroSpan;
}

long GetStoredNumDoc(long shown, int ordinal) {
    if (ordinal < 0 || ordinal >= RegistroCount || shown < 1 || shown > RegistroSpan - 1) return 0;
    return ordinal * RegistroSpan + shown;
}

long GetStoredNumDoc(long shown, std::string_view registro) {
    return GetStoredNumDoc(shown, GetOrdinalFromRegistro(registro));
}
