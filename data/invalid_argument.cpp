#include "data/invalid_argument.h"

namespace {

[[noreturn]] void ThrowOutOfRange(int nIndex, std::size_t nCount, const char* pszWhat) {
    throw InvalidArgumentException(std::string(pszWhat) + " index " + std::to_string(nIndex) +
                                   " is outside 0.." + std::to_string(nCount));
}

}  // namespace

void CheckIndex(int nIndex, std::size_t nCount, const char* pszWhat) {
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= nCount) {
        ThrowOutOfRange(nIndex, nCount, pszWhat);
    }
}

void CheckInsertIndex(int nIndex, std::size_t nCount, const char* pszWhat) {
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) > nCount) {
        ThrowOutOfRange(nIndex, nCount, pszWhat);
    }
}
